#ifndef RQ_DVDDISC_H
#define RQ_DVDDISC_H

#include "codec/mediadescription.h"
#include "codec/mediasource.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct dvd_reader_s;

namespace rq {

class DvdTitleStream;

// A run of 2048-byte sectors in a title set's VOB files.
struct DvdCell {
    uint32_t first = 0;
    uint32_t last = 0;
};

struct DvdTitle {
    int titleSet = 0;
    std::vector<DvdCell> cells;   // in playing order, first angle only
    ProgramDescription description;
};

// A DVD-Video folder or ISO-9660/UDF image read through libdvdread: titles with their lengths,
// chapters and streams from the IFO files, and the VOB cells each title plays.
class DvdDisc {
public:
    // Null when the path is no readable, unencrypted disc with at least one playable title.
    static std::unique_ptr<DvdDisc> open(const std::string &path);

    int titleCount() const { return int(m_titles.size()); }
    const DvdTitle &title(int index) const { return m_titles[size_t(index)]; }
    // Titles as programs, then six empty entries that callers count away.
    MediaDescription describe() const;
    // Null when the index is out of range or the title's VOBs do not open.
    std::unique_ptr<DvdTitleStream> openTitle(int index) const;
    // The title as a source for the player: its cells through the MPEG-PS demuxer, its length from the IFO.
    std::optional<MediaSource> titleSource(int index) const;

private:
    explicit DvdDisc(std::shared_ptr<dvd_reader_s> reader);
    // shared: other threads may open discs at the same time.
    static std::unique_ptr<DvdDisc> load(const std::filesystem::path &target, bool shared);
    static bool loadsInChild(const std::filesystem::path &image);
    bool readTitles();

    std::shared_ptr<dvd_reader_s> m_reader;
    std::vector<DvdTitle> m_titles;
};

}

#endif
