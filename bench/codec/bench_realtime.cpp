// Real-time playback of one clip, whole process against whole process: the codec player (a child running this
// program with "play") and `ffmpeg -re -i clip -f null -`, in turns. For each: CPU time and peak memory of the
// child; for ours also how late each picture reached the callback against the player's clock, pictures dropped
// and the lateness of pictures 2-30 after the start. Pictures are told apart by a hash of their luma, against a
// reference made by stepping through the clip.
// Usage: bench_realtime <clip> <frames per second> [rounds]
#include "codec/rqcodec.h"
#include "benchstats.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using benchstats::median;
using benchstats::percentile;

uint64_t lumaHash(void *frame)
{
    const int w = codecFrameGetWidth(frame), h = codecFrameGetHeight(frame);
    const unsigned char *y = codecFrameGetPlane(frame, 0);
    const int stride = codecFrameGetLineSize(frame, 0);
    uint64_t hash = 1469598103934665603ull;
    for (int row = 0; row < h; row += std::max(1, h / 97))
        for (int x = 0; x < w; x += 7) {
            hash ^= y[size_t(row) * stride + x];
            hash *= 1099511628211ull;
        }
    return hash;
}

struct Seen {
    std::mutex mutex;
    std::condition_variable cond;
    uint64_t player = 0;
    std::vector<uint64_t> hashes;
    std::vector<double> clocks;

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<Seen *>(context);
        const double clock = codecGetCurrentTime(self->player) / 1e6;
        const uint64_t hash = lumaHash(frame);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->hashes.push_back(hash);
        self->clocks.push_back(clock);
        self->cond.notify_all();
        return 1;
    }

    bool waitFor(size_t n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return cond.wait_for(lock, std::chrono::seconds(30), [&] { return hashes.size() >= n; });
    }
};

uint64_t openPlayer(const char *clip, Seen &seen)
{
    codecGlobalInit(1);
    codecSetGlobalOption(1, 1);
    seen.player = codecCreatePlayer(-1);
    codecSetFrameCallback(seen.player, &Seen::callback, &seen);
    if (!codecOpenFile(seen.player, clip, 0, 0, nullptr, nullptr) || !seen.waitFor(1)) {
        std::fprintf(stderr, "cannot open %s\n", clip);
        std::exit(1);
    }
    return seen.player;
}

// The child: plays the clip from its start to its end and writes "hash clock" per callback to out.
int play(const char *clip, const char *out)
{
    Seen seen;
    const uint64_t player = openPlayer(clip, seen);
    codecPlay(player);
    while (!codecIsEndReached(player))
        usleep(20000);
    FILE *f = std::fopen(out, "w");
    std::lock_guard<std::mutex> lock(seen.mutex);
    for (size_t i = 0; i < seen.hashes.size(); ++i)
        std::fprintf(f, "%llu %.6f\n", (unsigned long long)seen.hashes[i], seen.clocks[i]);
    std::fclose(f);
    codecDestroyPlayer(player);
    return 0;
}

// The child that makes the reference: picture hashes in order, by stepping through the clip, to out.
int reference(const char *clip, const char *out)
{
    Seen seen;
    const uint64_t player = openPlayer(clip, seen);
    while (codecStepFrame(player, 1)) {
    }
    FILE *f = std::fopen(out, "w");
    std::lock_guard<std::mutex> lock(seen.mutex);
    for (uint64_t hash : seen.hashes)
        std::fprintf(f, "%llu\n", (unsigned long long)hash);
    std::fclose(f);
    codecDestroyPlayer(player);
    return 0;
}

struct Run {
    double cpu = 0;
    double peakMiB = 0;
};

Run spawnAndWait(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    Run run;
    run.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
              + usage.ru_stime.tv_usec / 1e6;
    run.peakMiB = usage.ru_maxrss / 1024.0;
    return run;
}

}

int main(int argc, char **argv)
{
    // Children, so that the measured ones start small: a spawned child begins with its parent's peak memory.
    if (argc == 4 && std::string(argv[1]) == "play")
        return play(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "reference")
        return reference(argv[2], argv[3]);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_realtime <clip> <fps> [rounds]\n");
        return 2;
    }
    const std::string clip = argv[1];
    const double fps = std::atof(argv[2]);
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const std::string out = "/tmp/bench_realtime." + std::to_string(getpid());
    spawnAndWait({"/proc/self/exe", "reference", clip, out});
    std::vector<uint64_t> ref;
    FILE *rf = std::fopen(out.c_str(), "r");
    unsigned long long h;
    while (rf && std::fscanf(rf, "%llu", &h) == 1)
        ref.push_back(h);
    if (rf)
        std::fclose(rf);
    std::map<uint64_t, int> index;
    for (size_t i = 0; i < ref.size(); ++i)
        index.emplace(ref[i], int(i));
    std::printf("reference: %zu pictures (%zu distinct)\n", ref.size(), index.size());

    std::vector<double> ourCpu, toolCpu, ourMem, toolMem, lateMedian, lateP95, startLate, drops;
    for (int r = 0; r < rounds; ++r) {
        const Run ours = spawnAndWait({"/proc/self/exe", "play", clip, out});
        const Run tool = spawnAndWait({"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-re", "-i", clip,
                                       "-f", "null", "-"});
        std::vector<double> late;
        std::vector<bool> shown(ref.size(), false);
        double worstStart = 0;
        FILE *f = std::fopen(out.c_str(), "r");
        unsigned long long hash;
        double clock;
        int unknown = 0;
        while (f && std::fscanf(f, "%llu %lf", &hash, &clock) == 2) {
            const auto it = index.find(hash);
            if (it == index.end()) {
                ++unknown;
                continue;
            }
            // The first picture is shown paused, before the clock runs.
            if (shown[size_t(it->second)])
                continue;
            shown[size_t(it->second)] = true;
            const double l = (clock - it->second / fps) * 1000;
            if (it->second == 0)
                continue;
            late.push_back(l);
            if (it->second < 30)
                worstStart = std::max(worstStart, l);
        }
        if (f)
            std::fclose(f);
        std::remove(out.c_str());
        const int dropped = int(std::count(shown.begin(), shown.end(), false));
        std::printf("round %d: cpu %.2f s vs tool %.2f s (%.2fx); peak %.0f MiB vs %.0f MiB; late median %.1f ms "
                    "p95 %.1f ms; start (2-30) worst %.1f ms; dropped %d; unknown %d\n",
                    r + 1, ours.cpu, tool.cpu, ours.cpu / tool.cpu, ours.peakMiB, tool.peakMiB, median(late),
                    percentile(late, 95), worstStart, dropped, unknown);
        std::fflush(stdout);
        ourCpu.push_back(ours.cpu);
        toolCpu.push_back(tool.cpu);
        ourMem.push_back(ours.peakMiB);
        toolMem.push_back(tool.peakMiB);
        lateMedian.push_back(median(late));
        lateP95.push_back(percentile(late, 95));
        startLate.push_back(worstStart);
        drops.push_back(dropped);
    }
    std::printf("median of %d: cpu %.2f s vs %.2f s (%.2fx); peak %.0f vs %.0f MiB; late median %.1f ms, p95 %.1f ms;"
                " start worst %.1f ms; dropped %.0f\n",
                rounds, median(ourCpu), median(toolCpu), median(ourCpu) / median(toolCpu), median(ourMem),
                median(toolMem), median(lateMedian), median(lateP95), median(startLate), median(drops));
    return 0;
}
