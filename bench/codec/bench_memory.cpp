// Opens, plays a little, steps back in and closes a clip over and over on one player, as the program does
// with one player for its whole life, and reports the resident memory after the first close and after the
// last. Prints one line:
//   cycles <n> rss_mb first <after the first close> last <after the last close> most <highest after a close>
// Usage: bench_memory <clip> <cycles>
#include "codec/rqcodec.h"
#include "showncount.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

double residentMb()
{
    long pages = 0, resident = 0;
    FILE *statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return -1;
    const bool read = std::fscanf(statm, "%ld %ld", &pages, &resident) == 2;
    std::fclose(statm);
    return read ? double(resident) * double(sysconf(_SC_PAGESIZE)) / (1 << 20) : -1;
}

}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_memory <clip> <cycles>\n");
        return 2;
    }
    const int cycles = std::atoi(argv[2]);
    codecGlobalInit(1);
    ShownCount shown;
    const uint64_t player = codecCreatePlayer(-1);
    codecSetFrameCallback(player, &ShownCount::callback, &shown);
    double first = 0, most = 0, last = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (!codecOpenFile(player, argv[1], 0, 0, nullptr, nullptr) || !shown.waitPast(shown.seen())) {
            std::fprintf(stderr, "cannot open %s\n", argv[1]);
            return 1;
        }
        // A few pictures played, then one step back, which fills the step cache.
        const int before = shown.seen();
        codecPlay(player);
        while (shown.seen() < before + 5)
            if (!shown.waitPast(shown.seen())) {
                std::fprintf(stderr, "no pictures played in cycle %d\n", cycle + 1);
                return 1;
            }
        codecStepFrame(player, -1);
        codecClosePlayer(player);
        last = residentMb();
        if (cycle == 0)
            first = last;
        if (last > most)
            most = last;
    }
    codecDestroyPlayer(player);
    std::printf("cycles %d rss_mb first %.0f last %.0f most %.0f\n", cycles, first, last, most);
    return 0;
}
