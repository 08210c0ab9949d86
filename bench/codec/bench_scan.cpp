// Times the subtitle scanner reading a file's subtitle stream from the look-back before a target up to it, from
// a fresh scanner each run, as after a seek into an unread part of the medium: wall and CPU milliseconds of
// the process while it reads, and whether the line shown at the target was found. Prints one line per run:
//   wall_ms <ms> cpu_ms <ms> found <0|1>
// Usage: bench_scan <clip> <subtitle stream index> <clock stream index> <target seconds> <runs>
#include "codec/subtitledecoder.h"
#include "codec/subtitlescanner.h"
#include "benchstats.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <thread>

namespace {

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

}

int main(int argc, char **argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: bench_scan <clip> <subtitle stream> <clock stream> <target s> <runs>\n");
        return 2;
    }
    av_log_set_level(AV_LOG_ERROR);
    const std::string path = argv[1];
    const int stream = std::atoi(argv[2]), clock = std::atoi(argv[3]), runs = std::atoi(argv[5]);
    const double target = std::atof(argv[4]);
    AVFormatContext *input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    rq::FormatContextPtr owned(input);
    if (avformat_find_stream_info(input, nullptr) < 0 || stream < 0 || stream >= int(input->nb_streams)) {
        std::fprintf(stderr, "no stream %d\n", stream);
        return 1;
    }
    const int64_t start = input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time;
    for (int run = 0; run < runs; ++run) {
        rq::SubtitleRenderer renderer;
        const int source = renderer.reset();
        // The stream's text begun as the player begins it, so that the scanner's lines join it.
        rq::SubtitleDecoder player(renderer, source);
        if (!player.open(input->streams[stream])) {
            std::fprintf(stderr, "cannot decode stream %d\n", stream);
            return 1;
        }
        rq::SyncState sync;
        sync.setReadTo(1, std::numeric_limits<double>::infinity());
        const auto began = benchstats::Clock::now();
        const double cpu = cpuMs();
        {
            rq::SubtitleScanner scanner(path, stream, clock, start, renderer, source, sync, {});
            scanner.scan(1, target);
            while (!sync.hasRead(1, target))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::printf("wall_ms %.1f cpu_ms %.1f found %d\n", benchstats::msSince(began), cpuMs() - cpu,
                    renderer.hasEvents() ? 1 : 0);
    }
    return 0;
}
