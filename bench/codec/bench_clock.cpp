// Plays a clip to its end on the silent output and compares the player's clock with the wall clock.
// Usage: bench_clock <clip>
#include "codec/rqcodec.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_clock <clip>\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    codecGlobalInit(1);
    const uint64_t player = codecCreatePlayer(-1);
    if (!codecOpenFile(player, argv[1], 0, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const double duration = codecGetDuration(player) / 1e6;
    const auto start = Clock::now();
    codecPlay(player);
    double worst = 0;  // the clock against the wall clock, the most either way
    double wall = 0;
    while (!codecIsEndReached(player)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double clock = codecGetCurrentTime(player) / 1e6;
        if (!codecIsEndReached(player) && std::abs(clock - wall) > std::abs(worst))
            worst = clock - wall;
        if (wall > duration * 2 + 10) {
            std::fprintf(stderr, "no end after %.1f s\n", wall);
            return 1;
        }
    }
    wall = std::chrono::duration<double>(Clock::now() - start).count();
    codecDestroyPlayer(player);
    std::printf("%.3f s clip ended after %.3f s of wall time: off by %+.0f ms (%+.2f %%); the clock strayed from"
                " the wall clock by at most %+.0f ms\n",
                duration, wall, (wall - duration) * 1000, (wall - duration) / duration * 100, worst * 1000);
    return 0;
}
