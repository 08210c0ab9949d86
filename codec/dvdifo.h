#ifndef RQ_DVDIFO_H
#define RQ_DVDIFO_H

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct dvd_reader_s;

namespace rq {

// The parts of a disc's IFO files that playing titles needs, parsed here with every offset checked:
// libdvdread's own IFO reader frees memory twice on some damaged tables.
class DvdIfo {
public:
    struct TitleEntry {
        int titleSet = 0;
        int titleNumber = 0;   // within its title set, 1-based
    };
    struct Cell {
        int blockMode = 0;
        int blockType = 0;
        uint64_t duration = 0;
        uint32_t first = 0;
        uint32_t last = 0;
    };
    struct Chain {
        uint64_t duration = 0;
        std::vector<int> programs;   // first cell of each program, 1-based
        std::vector<Cell> cells;
        std::array<uint16_t, 8> audioControl{};
        std::array<uint32_t, 32> subpictureControl{};
    };
    struct Part {
        int chain = 0;     // 1-based
        int program = 0;   // 1-based
    };

    // The titles listed in VIDEO_TS.IFO, or in its backup when it does not parse; empty when neither does.
    static std::vector<TitleEntry> readTitles(dvd_reader_s *reader);
    // One title set's VTS_nn_0.IFO, or its backup.
    static std::optional<DvdIfo> readTitleSet(dvd_reader_s *reader, int titleSet);

    std::array<uint8_t, 2> videoAttributes{};
    std::vector<std::array<uint8_t, 8>> audioAttributes;
    std::vector<std::array<uint8_t, 6>> subpictureAttributes;
    std::vector<std::vector<Part>> titleParts;   // per title of the set
    std::vector<Chain> chains;
};

// Microseconds of an IFO time: BCD hours, minutes, seconds, and frames with the rate in the top two bits.
uint64_t dvdTimeMicros(const uint8_t *time);

}

#endif
