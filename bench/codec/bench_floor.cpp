// Our library against libavformat/libavcodec used directly, in one process, on one file, in the same state:
// probing (open + stream information), open to the first decoded picture, and an exact seek from an opened,
// warm state. Prints one Markdown table row per figure: the libav floor, ours (median and min-max of the
// runs, ms) and their ratio.
// Usage: bench_floor <clip> <runs> [video]
//        bench_floor --once probe|first|seek <clip> [seconds]: one job, then exit (for whole-process timings)
#include "codec/rqcodec.h"
#include "benchstats.h"
#include "libavfile.h"
#include "showncount.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using benchstats::Clock;
using benchstats::msSince;

bool ourProbe(const std::string &clip)
{
    const uint64_t probe = codecCreateProbe(-1);
    const int opened = codecProbeOpenFile(probe, clip.c_str());
    codecCloseProbe(probe);
    codecDestroyProbe(probe);
    return opened != 0;
}

bool ourFirstPicture(uint64_t player, ShownCount &shown, const std::string &clip)
{
    const int before = shown.seen();
    return codecOpenFile(player, clip.c_str(), 0, 0, nullptr, nullptr) && shown.waitPast(before);
}

bool ourSeek(uint64_t player, ShownCount &shown, double seconds)
{
    const int before = shown.seen();
    return codecSeek(player, uint64_t(seconds * 1e6)) && shown.waitPast(before);
}

bool libavFirstPicture(const std::string &clip)
{
    LibavFile file;
    return file.open(clip, true) && file.nextPicture();
}

struct Figure {
    const char *name;
    std::vector<double> floor, ours;
};

void timeInto(std::vector<double> &into, const std::function<bool()> &work)
{
    const auto start = Clock::now();
    if (!work()) {
        std::fprintf(stderr, "a benchmark step failed\n");
        std::exit(1);
    }
    into.push_back(msSince(start));
}

// The row of a figure whose first round warmed up.
void printRow(Figure figure)
{
    figure.floor.erase(figure.floor.begin());
    figure.ours.erase(figure.ours.begin());
    const double floor = benchstats::median(figure.floor), ours = benchstats::median(figure.ours);
    std::printf("| %s | %s | %s | %.2f |\n", figure.name, benchstats::spread(figure.floor).c_str(),
                benchstats::spread(figure.ours).c_str(), ours / floor);
}

int once(const char *job, const std::string &clip, double seconds)
{
    if (std::strcmp(job, "probe") == 0)
        return ourProbe(clip) ? 0 : 1;
    ShownCount shown;
    const uint64_t player = codecCreatePlayer(-1);
    codecSetFrameCallback(player, &ShownCount::callback, &shown);
    bool done = ourFirstPicture(player, shown, clip);
    if (done && std::strcmp(job, "seek") == 0)
        done = ourSeek(player, shown, seconds);
    codecDestroyPlayer(player);
    return done ? 0 : 1;
}

}

int main(int argc, char **argv)
{
    codecGlobalInit(1);
    codecSetGlobalOption(1, 1);
    if (argc >= 4 && std::strcmp(argv[1], "--once") == 0)
        return once(argv[2], argv[3], argc > 4 ? std::atof(argv[4]) : 0);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_floor <clip> <runs> [video] | --once probe|first|seek <clip> [seconds]\n");
        return 2;
    }
    const std::string clip = argv[1];
    const int runs = std::atoi(argv[2]);
    const bool video = argc > 3 && std::strcmp(argv[3], "video") == 0;

    // The first round of each figure warms the file cache and is not counted.
    Figure probe{"probe (open + stream information)", {}, {}};
    for (int i = 0; i <= runs; ++i) {
        timeInto(probe.floor, [&] { return LibavFile().open(clip, false); });
        timeInto(probe.ours, [&] { return ourProbe(clip); });
    }
    printRow(probe);
    if (!video)
        return 0;

    ShownCount shown;
    const uint64_t player = codecCreatePlayer(-1);
    codecSetFrameCallback(player, &ShownCount::callback, &shown);
    Figure first{"open to first picture", {}, {}};
    for (int i = 0; i <= runs; ++i) {
        timeInto(first.floor, [&] { return libavFirstPicture(clip); });
        codecClosePlayer(player);
        timeInto(first.ours, [&] { return ourFirstPicture(player, shown, clip); });
    }
    printRow(first);

    // Both sides opened and warm (a picture decoded and a seek made), then the same targets; each run is the
    // mean of the seeks to them.
    const double duration = codecGetDuration(player) / 1e6;
    const std::vector<double> targets{duration * 0.23, duration * 0.71, duration * 0.48, duration * 0.94};
    LibavFile warm;
    if (!warm.open(clip, true) || !warm.nextPicture() || !warm.seekExact(duration / 2)
        || !ourSeek(player, shown, duration / 2)) {
        std::fprintf(stderr, "cannot seek in %s\n", clip.c_str());
        return 1;
    }
    Figure seek{"exact seek, opened and warm (mean of 4 targets)", {}, {}};
    for (int i = 0; i <= runs; ++i) {
        std::vector<double> floor, ours;
        for (double target : targets) {
            timeInto(floor, [&] { return warm.seekExact(target); });
            timeInto(ours, [&] { return ourSeek(player, shown, target); });
        }
        seek.floor.push_back(benchstats::mean(floor));
        seek.ours.push_back(benchstats::mean(ours));
    }
    printRow(seek);
    codecDestroyPlayer(player);
    return 0;
}
