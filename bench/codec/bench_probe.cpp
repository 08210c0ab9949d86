// Times probing each fixture against ffprobe -show_streams -show_format on the same media, and prints
// one Markdown table row per fixture: our median, ffprobe's median and their ratio.
#include "codec/rqcodec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kRuns = 15;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Work>
double medianMillis(Work work)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        if (!work())
            return -1;
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return median(times);
}

bool probeOnce(const std::string &path, bool disc)
{
    const uint64_t probe = codecCreateProbe(-1);
    const int opened = disc ? codecProbeOpenDisc(probe, path.c_str()) : codecProbeOpenFile(probe, path.c_str());
    codecCloseProbe(probe);
    codecDestroyProbe(probe);
    return opened != 0;
}

bool ffprobeOnce(const std::string &path)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> words{"ffprobe", "-v", "error", "-show_streams", "-show_format", path};
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "ffprobe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fixtures folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    struct Item {
        std::string name;
        bool disc;
        std::vector<std::string> references;   // what ffprobe reads for the same content
    };
    const std::vector<std::string> titleVobs{"dvd/VIDEO_TS/VTS_01_1.VOB", "dvd/VIDEO_TS/VTS_02_1.VOB"};
    const std::vector<Item> items{{"clip.mp4", false, {"clip.mp4"}},
                                  {"audio.mp3", false, {"audio.mp3"}},
                                  {"movie.mkv", false, {"movie.mkv"}},
                                  {"twoprog.ts", false, {"twoprog.ts"}},
                                  {"anamorphic.mp4", false, {"anamorphic.mp4"}},
                                  {"dvd", true, titleVobs},
                                  {"dvd.iso", true, titleVobs}};

    std::printf("| Medium | Probe (ms) | ffprobe (ms) | Ratio |\n|---|---|---|---|\n");
    int failures = 0;
    for (const Item &item : items) {
        const double ours = medianMillis([&] { return probeOnce(folder + "/" + item.name, item.disc); });
        const double theirs = medianMillis([&] {
            for (const std::string &reference : item.references) {
                if (!ffprobeOnce(folder + "/" + reference))
                    return false;
            }
            return true;
        });
        if (ours < 0 || theirs <= 0) {
            std::printf("| %s | failed | | |\n", item.name.c_str());
            ++failures;
            continue;
        }
        std::printf("| %s%s | %.2f | %.2f | %.3f |\n", item.name.c_str(), item.disc ? " (disc; ffprobe on its title VOBs)" : "",
                    ours, theirs, ours / theirs);
    }
    return failures ? 1 : 0;
}
