// Measures stepping back one picture at a time against an exact seek to the same place, in the same run.
// Usage: bench_step <clip> <frames per second> <GOP length> <steps> [<steps forward first>]
// The steps start a few pictures into the second GOP, so that one of them crosses into the first; with steps
// forward first, they start that many pictures later, stepped to one at a time.
#include "codec/rqcodec.h"
#include "benchstats.h"
#include "showncount.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

using benchstats::Clock;
using benchstats::msSince;
using benchstats::percentile;

}

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_step <clip> <fps> <GOP length> <steps>\n");
        return 2;
    }
    const std::string clip = argv[1];
    const double fps = std::atof(argv[2]);
    const int gop = std::atoi(argv[3]);
    const int steps = std::atoi(argv[4]);
    const int forward = argc > 5 ? std::atoi(argv[5]) : 0;
    const int start = gop + 5;
    codecGlobalInit(1);
    ShownCount shown;
    const uint64_t player = codecCreatePlayer(-1);
    codecSetFrameCallback(player, &ShownCount::callback, &shown);
    if (!codecOpenFile(player, clip.c_str(), 0, 0, nullptr, nullptr) || !shown.waitPast(0)) {
        std::fprintf(stderr, "cannot open %s\n", clip.c_str());
        return 1;
    }

    // What a step back cost before: an exact seek to the last picture of the first GOP, decoded from its start.
    std::vector<double> seeks;
    for (int run = 0; run < 5; ++run) {
        const uint64_t target = run % 2 ? uint64_t((gop - 1) * 1e6 / fps) : uint64_t((gop - 2) * 1e6 / fps);
        const int before = shown.seen();
        const auto t = Clock::now();
        codecSeek(player, target);
        if (!shown.waitPast(before)) {
            std::fprintf(stderr, "seek gave no picture\n");
            return 1;
        }
        seeks.push_back(msSince(t));
    }

    codecSeek(player, uint64_t(start * 1e6 / fps));
    while (codecGetCurrentTime(player) != uint64_t(start * 1e6 / fps) || shown.seen() == 0)
        shown.waitPast(shown.seen());
    for (int i = 0; i < forward; ++i)
        if (!codecStepFrame(player, 1)) {
            std::fprintf(stderr, "step forward %d failed\n", i + 1);
            return 1;
        }
    std::vector<double> times;
    for (int i = 0; i < steps; ++i) {
        const auto t = Clock::now();
        if (!codecStepFrame(player, -1)) {
            std::fprintf(stderr, "step %d failed\n", i + 1);
            return 1;
        }
        times.push_back(msSince(t));
    }
    codecDestroyPlayer(player);

    const double seek = percentile(seeks, 0.5);
    const double median = percentile(times, 0.5);
    std::printf("exact seek to the end of a %d-picture GOP: median %.1f ms (min %.1f, max %.1f, %zu runs)\n", gop,
                seek, percentile(seeks, 0), percentile(seeks, 1), seeks.size());
    std::printf("%d consecutive steps back from picture %d (%d stepped forward first): median %.2f ms, p10 %.2f, p90 %.2f, max %.1f ms;"
                " median %.3fx the exact seek, max %.2fx; frame period %.1f ms\n",
                steps, start + forward, forward, median, percentile(times, 0.1), percentile(times, 0.9), percentile(times, 1),
                median / seek, percentile(times, 1) / seek, 1000 / fps);
    // The steps longer than a frame period are those that decode: the first, the one into the first GOP and
    // those past what the cache holds.
    for (size_t i = 0; i < times.size(); ++i)
        if (times[i] > 1000 / fps)
            std::printf("  step %zu (to picture %d) decodes: %.1f ms, %.2fx the exact seek\n", i + 1,
                        start + forward - int(i) - 1, times[i], times[i] / seek);
    return 0;
}
