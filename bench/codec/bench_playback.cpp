// Plays a clip once in real time from its paused start to its end, the way the player does, and identifies
// each picture handed to the frame callback against the reference decode of bench_signatures, so that a
// picture shown twice cannot hide one never shown. Run as a process of its own so that its CPU time and peak
// memory can be taken beside the ffmpeg tool's. Prints one line:
//   pictures <n> shown <n> repeated <n> dropped <n> late <n> lateness_ms <p50> <p90> <p99> <max>
//   end_s <wall time from play to the end> over_bound <n shown later than the lateness bound>
//   counts <shown> <repeated> <dropped, as the player counted them> handed <n>
// handed: pictures given to the callback while playing, identified or not (a large subtitle can make a picture
// look like another one).
// Usage: bench_playback <clip> <signature file, or - for none> [<subtitle stream index, or subtitle file>]
#include "codec/rqcodec.h"
#include "benchstats.h"
#include "picturesignature.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Reference {
    std::vector<double> times;
    std::vector<benchsig::Signature> signatures;

    bool load(const std::string &path)
    {
        FILE *in = std::fopen(path.c_str(), "rb");
        if (!in)
            return false;
        double time;
        benchsig::Signature signature;
        while (std::fread(&time, sizeof time, 1, in) == 1 && std::fread(signature.data(), signature.size(), 1, in) == 1) {
            times.push_back(time);
            signatures.push_back(signature);
        }
        std::fclose(in);
        return !times.empty();
    }
};

// Each picture the callback is given: which reference picture it is, the player's clock then, and whether
// the player was playing.
struct Shown {
    struct Picture {
        int index;
        double clock;
        bool playing;
    };
    const Reference *reference = nullptr;
    uint64_t player = 0;
    std::mutex mutex;
    std::vector<Picture> pictures;
    bool playing = false;

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<Shown *>(context);
        const double clock = codecGetCurrentTime(self->player) / 1e6;
        int index = -1;
        if (codecFrameGetFormat(frame) == 0 && !self->reference->signatures.empty()) {
            const benchsig::Signature signature
                = benchsig::compute(codecFrameGetPlane(frame, 0), codecFrameGetLineSize(frame, 0),
                                    codecFrameGetWidth(frame), codecFrameGetHeight(frame), 1, 0);
            index = benchsig::nearest(self->reference->signatures, signature);
        }
        std::lock_guard<std::mutex> lock(self->mutex);
        self->pictures.push_back({index, clock, self->playing});
        return 1;
    }
    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return int(pictures.size());
    }
};

}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_playback <clip> <signature file|-> [<subtitle stream index|file>]\n");
        return 2;
    }
    Reference reference;
    if (std::string(argv[2]) != "-" && !reference.load(argv[2])) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    codecGlobalInit(1);
    codecSetGlobalOption(1, 1);
    const int planarYuv = 0;
    codecSetGlobalIntList(&planarYuv, 1);
    Shown shown;
    shown.reference = &reference;
    shown.player = codecCreatePlayer(-1);
    codecSetFrameCallback(shown.player, &Shown::callback, &shown);
    if (!codecOpenFile(shown.player, argv[1], 0, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const auto opened = Clock::now();
    while (codecHasVideo(shown.player) && shown.count() == 0 && Clock::now() - opened < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (argc > 3) {
        char *end = nullptr;
        const long stream = std::strtol(argv[3], &end, 10);
        const bool chosen = *end ? codecOpenSubtitleFile(shown.player, argv[3])
                                 : codecSelectSubtitleStream(shown.player, int(stream));
        if (!chosen) {
            std::fprintf(stderr, "no subtitles %s\n", argv[3]);
            return 1;
        }
    }
    {
        std::lock_guard<std::mutex> lock(shown.mutex);
        shown.playing = true;
    }
    const auto limit = std::chrono::microseconds(codecGetDuration(shown.player)) * 3 + std::chrono::seconds(10);
    const auto start = Clock::now();
    codecPlay(shown.player);
    for (int polls = 1; !codecIsEndReached(shown.player) && Clock::now() - start < limit; ++polls) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (polls % 5 == 0)
            codecPlayerTick(shown.player);
    }
    const double endSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    const bool ended = codecIsEndReached(shown.player);
    int64_t counted[3] = {};
    codecGetFrameCounts(shown.player, &counted[0], &counted[1], &counted[2]);
    codecDestroyPlayer(shown.player);
    if (!ended) {
        std::fprintf(stderr, "%s did not reach its end\n", argv[1]);
        return 1;
    }

    // Late: first shown more than one frame period after its time on the player's clock.
    const size_t count = reference.times.size();
    const double period = count > 1 ? (reference.times.back() - reference.times.front()) / double(count - 1) : 0;
    std::vector<int> showings(count, 0);
    std::vector<double> lateness;
    // The player's default lateness bound.
    constexpr double kBoundMs = 50;
    int repeated = 0, late = 0, overBound = 0;
    for (const Shown::Picture &picture : shown.pictures) {
        if (picture.index < 0)
            continue;
        if (showings[size_t(picture.index)]++ > 0) {
            ++repeated;
            continue;
        }
        if (!picture.playing)
            continue;
        const double ms = (picture.clock - reference.times[size_t(picture.index)]) * 1000;
        lateness.push_back(ms);
        late += ms > period * 1000;
        overBound += ms > kBoundMs;
    }
    int handed = 0;
    for (const Shown::Picture &picture : shown.pictures)
        handed += picture.playing;
    int shownCount = 0;
    for (int n : showings)
        shownCount += n > 0;
    std::printf("pictures %zu shown %d repeated %d dropped %zu late %d lateness_ms %.1f %.1f %.1f %.1f end_s %.3f"
                " over_bound %d counts %lld %lld %lld handed %d\n",
                count, shownCount, repeated, count - size_t(shownCount), late, benchstats::percentile(lateness, 0.5),
                benchstats::percentile(lateness, 0.9), benchstats::percentile(lateness, 0.99),
                benchstats::percentile(lateness, 1.0), endSeconds, overBound, static_cast<long long>(counted[0]),
                static_cast<long long>(counted[1]), static_cast<long long>(counted[2]), handed);
    return 0;
}
