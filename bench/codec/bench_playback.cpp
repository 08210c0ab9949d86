// Measures the codec player against the ffmpeg tool on the same file: time to the first picture, exact-seek
// latency, CPU time of real-time playback, A/V offset at presentation, dropped frames and peak memory.
// Usage: bench_playback <clip> <frames per second> <frame count>
#include "codec/rqcodec.h"
#include "benchstats.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

namespace {

using benchstats::Clock;
using benchstats::median;
using benchstats::msSince;
using benchstats::percentile;

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct ToolRun {
    double wallMs = 0;
    double cpuSeconds = 0;
};

// Runs the ffmpeg tool with its output thrown away; wall time and the child's CPU time.
ToolRun runTool(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ToolRun run;
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.wallMs = msSince(start);
    run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
                     + usage.ru_stime.tv_usec / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// What the frame callback saw: the time of each call and the player's clock at that moment.
struct Presentations {
    std::mutex mutex;
    std::condition_variable cond;
    uint64_t player = 0;
    int count = 0;
    std::vector<Clock::time_point> times;
    std::vector<double> clockAt;

    static int callback(void *context, void *)
    {
        auto *self = static_cast<Presentations *>(context);
        const auto now = Clock::now();
        const double clock = codecGetCurrentTime(self->player) / 1e6;
        std::lock_guard<std::mutex> lock(self->mutex);
        ++self->count;
        self->times.push_back(now);
        self->clockAt.push_back(clock);
        self->cond.notify_all();
        return 1;
    }

    void reset()
    {
        std::lock_guard<std::mutex> lock(mutex);
        count = 0;
        times.clear();
        clockAt.clear();
    }

    // Waits for the n-th call; its time, or none after ten seconds.
    bool waitFor(int n, Clock::time_point *at)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!cond.wait_for(lock, std::chrono::seconds(10), [&] { return count >= n; }))
            return false;
        *at = times[size_t(n - 1)];
        return true;
    }
};

}

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_playback <clip> <fps> <frames> [<subtitle file>]\n");
        return 2;
    }
    const std::string clip = argv[1];
    const double fps = std::atof(argv[2]);
    const int frameCount = std::atoi(argv[3]);
    const int rounds = 5;
    // With a subtitle file the typical processing chain is on: eq, hue, deinterlacing and the subtitles.
    const std::string subtitles = argc > 4 ? argv[4] : "";

    codecGlobalInit(1);
    codecSetGlobalOption(1, 1);
    codecSetGlobalOption(7, 2000000);
    Presentations shown;
    shown.player = codecCreatePlayer(-1);
    codecSetFrameCallback(shown.player, &Presentations::callback, &shown);
    if (!subtitles.empty()) {
        codecSetBrightness(shown.player, 20);
        codecSetContrast(shown.player, 110);
        codecSetSaturation(shown.player, 120);
        codecSetHue(shown.player, 10);
        codecSetDeinterlace(shown.player, 2);
    }
    auto openClip = [&] {
        return codecOpenFile(shown.player, clip.c_str(), 0, 0, nullptr, nullptr)
               && (subtitles.empty() || codecOpenSubtitleFile(shown.player, subtitles.c_str()));
    };

    // Open to first picture.
    std::vector<double> ours, theirs;
    for (int i = 0; i < rounds; ++i) {
        codecClosePlayer(shown.player);
        shown.reset();
        const auto start = Clock::now();
        if (!openClip()) {
            std::fprintf(stderr, "cannot open %s\n", clip.c_str());
            return 1;
        }
        Clock::time_point first;
        if (!shown.waitFor(1, &first)) {
            std::fprintf(stderr, "no picture\n");
            return 1;
        }
        ours.push_back(std::chrono::duration<double, std::milli>(first - start).count());
        theirs.push_back(runTool({"ffmpeg", "-nostdin", "-i", clip, "-frames:v", "1", "-f", "null", "-"}).wallMs);
    }
    const double firstOurs = median(ours), firstTheirs = median(theirs);
    std::printf("open to first picture: %.1f ms vs ffmpeg %.1f ms (medians of %d): ratio %.2f (target <= 1.0)\n",
                firstOurs, firstTheirs, rounds, firstOurs / firstTheirs);

    // Exact seeks while paused, to the same ten random points.
    std::mt19937 random(20240601);
    std::uniform_real_distribution<double> where(0.5, frameCount / fps - 0.5);
    double seekOurs = 0, seekTheirs = 0;
    const int points = 10;
    for (int i = 0; i < points; ++i) {
        const double target = std::round(where(random) * 1000) / 1000;
        int before;
        {
            std::lock_guard<std::mutex> lock(shown.mutex);
            before = shown.count;
        }
        const auto start = Clock::now();
        codecSeek(shown.player, uint64_t(target * 1e6));
        Clock::time_point at;
        if (!shown.waitFor(before + 1, &at)) {
            std::fprintf(stderr, "seek to %.3f showed nothing\n", target);
            return 1;
        }
        seekOurs += std::chrono::duration<double, std::milli>(at - start).count();
        char ss[32];
        std::snprintf(ss, sizeof ss, "%.3f", target);
        seekTheirs += runTool({"ffmpeg", "-nostdin", "-ss", ss, "-i", clip, "-frames:v", "1", "-f", "null", "-"}).wallMs;
    }
    std::printf("exact seek, %d random points: mean %.1f ms vs ffmpeg -ss %.1f ms: ratio %.2f (target <= 1.0)\n",
                points, seekOurs / points, seekTheirs / points, seekOurs / seekTheirs);

    // Real-time playback from the start to the end.
    codecClosePlayer(shown.player);
    shown.reset();
    openClip();
    Clock::time_point at;
    shown.waitFor(1, &at);
    const double cpuStart = cpuSeconds();
    const auto playStart = Clock::now();
    codecPlay(shown.player);
    while (!codecIsEndReached(shown.player) && msSince(playStart) < 60000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double cpuOurs = cpuSeconds() - cpuStart;
    const double playMs = msSince(playStart);
    const ToolRun reference = runTool({"ffmpeg", "-nostdin", "-re", "-i", clip, "-f", "null", "-"});
    std::printf("CPU to play in real time: %.2f s in %.1f s vs ffmpeg -re %.2f s in %.1f s: ratio %.2f "
                "(target <= 1.3)\n",
                cpuOurs, playMs / 1000, reference.cpuSeconds, reference.wallMs / 1000, cpuOurs / reference.cpuSeconds);

    // The k-th picture of the run is frame k when none was dropped; its offset is its time minus the clock.
    std::vector<double> offsets;
    int presented;
    {
        std::lock_guard<std::mutex> lock(shown.mutex);
        presented = shown.count;
        for (size_t k = 1; k < shown.clockAt.size(); ++k)
            offsets.push_back(std::fabs(k / fps - shown.clockAt[k]) * 1000);
    }
    const int dropped = std::max(0, frameCount - presented);
    if (dropped == 0)
        std::printf("A/V offset at presentation: p50 %.1f ms, p99 %.1f ms, max %.1f ms (target p99 <= 20 ms)\n",
                    percentile(offsets, 0.5), percentile(offsets, 0.99), percentile(offsets, 1.0));
    else
        std::printf("A/V offset at presentation: not measured, pictures were dropped\n");
    std::printf("frames dropped: %d of %d (target 0)\n", dropped, frameCount);

    codecClosePlayer(shown.player);
    codecDestroyPlayer(shown.player);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the player process: %.0f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
