#ifndef RQ_DVDTITLESTREAM_H
#define RQ_DVDTITLESTREAM_H

#include "codec/dvddisc.h"
#include "codec/ffptr.h"

#include <cstdint>
#include <memory>
#include <vector>

struct dvd_file_s;

namespace rq {

// The cells of one title as a single seekable byte stream, for the MPEG-PS demuxer.
class DvdTitleStream {
public:
    static std::unique_ptr<DvdTitleStream> open(std::shared_ptr<dvd_reader_s> reader, const DvdTitle &title);
    ~DvdTitleStream();
    DvdTitleStream(const DvdTitleStream &) = delete;
    DvdTitleStream &operator=(const DvdTitleStream &) = delete;

    // A new context reading this stream, for a format context opened with AVFMT_FLAG_CUSTOM_IO;
    // the stream must outlive it. Null when out of memory.
    IOContextPtr createContext();
    int64_t size() const { return m_size; }

private:
    DvdTitleStream() = default;
    static int readPacket(void *opaque, uint8_t *buffer, int size);
    static int64_t seekPacket(void *opaque, int64_t offset, int whence);
    int read(uint8_t *buffer, int size);
    int64_t seek(int64_t offset, int whence);

    std::shared_ptr<dvd_reader_s> m_reader;
    dvd_file_s *m_file = nullptr;
    std::vector<DvdCell> m_cells;
    std::vector<int64_t> m_cellStarts;   // byte offset of each cell in the stream
    int64_t m_size = 0;
    int64_t m_position = 0;
    std::vector<uint8_t> m_blocks;
};

}

#endif
