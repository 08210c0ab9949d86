// The processor time a paused player takes: opened on a clip and paused on its first picture, then paused
// again after playing a second of it. Prints one line:
//   paused_after_open_cpu_pct <p> paused_after_play_cpu_pct <p> wakeups_per_s <n>
// Usage: bench_idle <clip> <seconds measured>
#include "codec/rqcodec.h"
#include "showncount.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>

namespace {

struct Usage {
    double cpu = 0;   // seconds
    long switches = 0;
};

Usage usage()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    Usage u;
    u.cpu = double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
    u.switches = r.ru_nvcsw + r.ru_nivcsw;
    return u;
}

// Processor time in percent of one core, and context switches a second, over the seconds given.
void measure(double seconds, double *percent, double *switches)
{
    const Usage before = usage();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const Usage after = usage();
    *percent = (after.cpu - before.cpu) / seconds * 100;
    *switches = double(after.switches - before.switches) / seconds;
}

}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_idle <clip> <seconds measured>\n");
        return 2;
    }
    const double seconds = std::atof(argv[2]);
    codecGlobalInit(1);
    ShownCount shown;
    const uint64_t player = codecCreatePlayer(-1);
    codecSetFrameCallback(player, &ShownCount::callback, &shown);
    if (!codecOpenFile(player, argv[1], 0, 0, nullptr, nullptr) || !shown.waitPast(0)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    // What the opening started (decoding ahead, reading ahead) has settled after a second.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    double afterOpen = 0, afterOpenSwitches = 0;
    measure(seconds, &afterOpen, &afterOpenSwitches);
    codecPlay(player);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    codecPause(player);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    double afterPlay = 0, afterPlaySwitches = 0;
    measure(seconds, &afterPlay, &afterPlaySwitches);
    codecDestroyPlayer(player);
    std::printf("paused_after_open_cpu_pct %.3f paused_after_play_cpu_pct %.3f wakeups_per_s %.1f\n", afterOpen,
                afterPlay, (afterOpenSwitches + afterPlaySwitches) / 2);
    return 0;
}
