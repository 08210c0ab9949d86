#ifndef RQ_MEDIADESCRIPTION_H
#define RQ_MEDIADESCRIPTION_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What a probe learnt about a medium, read once at open so that every later query is a plain
// lookup and every string it hands out stays put until the next open. Unknown values stay 0 or empty.

namespace rq {

struct VideoStreamDescription {
    std::string title;
    std::string codec;
    std::string language;
    int width = 0;
    int height = 0;
    int bitRate = 0;
    int aspectNum = 0;
    int aspectDen = 0;
    int frameRateNum = 0;
    int frameRateDen = 0;
    uint64_t duration = 0;
};

struct AudioStreamDescription {
    std::string title;
    std::string codec;
    std::string language;
    int sampleRate = 0;
    int channels = 0;
    uint64_t channelLayout = 0;
    int bitRate = 0;
    int bitDepth = 0;
    uint64_t duration = 0;
};

struct SubtitleStreamDescription {
    std::string title;
    std::string codec;
    std::string language;
    uint64_t duration = 0;
};

struct ChapterDescription {
    std::string title;
    uint64_t start = 0;     // from the start of its program
    uint64_t duration = 0;
};

struct ProgramDescription {
    std::string name;
    uint64_t duration = 0;
    std::vector<VideoStreamDescription> video;
    std::vector<AudioStreamDescription> audio;
    std::vector<SubtitleStreamDescription> subtitles;
    std::vector<ChapterDescription> chapters;
};

struct MediaDescription {
    std::string formatName;
    uint64_t duration = 0;
    std::vector<std::pair<std::string, std::string>> tags;
    std::vector<ProgramDescription> programs;
};

}

#endif
