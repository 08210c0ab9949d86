#include "codec/dvdtitlestream.h"

extern "C" {
#include <dvdread/dvd_reader.h>
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cstring>

namespace rq {

namespace {

constexpr int kBlocksPerRead = 32;

} // namespace

std::unique_ptr<DvdTitleStream> DvdTitleStream::open(std::shared_ptr<dvd_reader_s> reader, const DvdTitle &title)
{
    std::unique_ptr<DvdTitleStream> stream(new DvdTitleStream);
    stream->m_file = DVDOpenFile(reader.get(), title.titleSet, DVD_READ_TITLE_VOBS);
    if (!stream->m_file || title.cells.empty())
        return nullptr;
    stream->m_reader = std::move(reader);
    stream->m_cells = title.cells;
    for (const DvdCell &cell : title.cells) {
        stream->m_cellStarts.push_back(stream->m_size);
        stream->m_size += int64_t(cell.last - cell.first + 1) * DVD_VIDEO_LB_LEN;
    }
    stream->m_blocks.resize(size_t(kBlocksPerRead) * DVD_VIDEO_LB_LEN);
    return stream;
}

DvdTitleStream::~DvdTitleStream()
{
    if (m_file)
        DVDCloseFile(m_file);
}

IOContextPtr DvdTitleStream::createContext()
{
    const int bufferSize = kBlocksPerRead * DVD_VIDEO_LB_LEN;
    auto *buffer = static_cast<unsigned char *>(av_malloc(bufferSize));
    if (!buffer)
        return nullptr;
    IOContextPtr context(avio_alloc_context(buffer, bufferSize, 0, this, readPacket, nullptr, seekPacket));
    if (!context)
        av_free(buffer);
    return context;
}

int DvdTitleStream::readPacket(void *opaque, uint8_t *buffer, int size)
{
    return static_cast<DvdTitleStream *>(opaque)->read(buffer, size);
}

int64_t DvdTitleStream::seekPacket(void *opaque, int64_t offset, int whence)
{
    return static_cast<DvdTitleStream *>(opaque)->seek(offset, whence);
}

int DvdTitleStream::read(uint8_t *buffer, int size)
{
    if (m_position >= m_size)
        return AVERROR_EOF;
    if (size <= 0)
        return 0;
    const size_t cell = size_t(std::upper_bound(m_cellStarts.begin(), m_cellStarts.end(), m_position)
                               - m_cellStarts.begin() - 1);
    const int64_t within = m_position - m_cellStarts[cell];
    const uint32_t sector = m_cells[cell].first + uint32_t(within / DVD_VIDEO_LB_LEN);
    const int offset = int(within % DVD_VIDEO_LB_LEN);
    const int64_t wanted = (int64_t(offset) + size + DVD_VIDEO_LB_LEN - 1) / DVD_VIDEO_LB_LEN;
    const int64_t blocks = std::min<int64_t>({wanted, kBlocksPerRead, int64_t(m_cells[cell].last - sector) + 1});
    const ssize_t got = DVDReadBlocks(m_file, int(sector), size_t(blocks), m_blocks.data());
    if (got <= 0)
        return AVERROR(EIO);
    const int count = int(std::min<int64_t>(size, int64_t(got) * DVD_VIDEO_LB_LEN - offset));
    std::memcpy(buffer, m_blocks.data() + offset, size_t(count));
    m_position += count;
    return count;
}

int64_t DvdTitleStream::seek(int64_t offset, int whence)
{
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE)
        return m_size;
    int64_t target = offset;
    if (whence == SEEK_CUR)
        target += m_position;
    else if (whence == SEEK_END)
        target += m_size;
    else if (whence != SEEK_SET)
        return AVERROR(EINVAL);
    if (target < 0)
        return AVERROR(EINVAL);
    m_position = std::min(target, m_size);
    return m_position;
}

}
