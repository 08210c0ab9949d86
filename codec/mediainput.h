#ifndef RQ_MEDIAINPUT_H
#define RQ_MEDIAINPUT_H

#include "codec/ffptr.h"
#include "codec/mediasource.h"

#include <atomic>
#include <string>
#include <vector>

namespace rq {

// One opened container: its streams, its programs and which video and audio stream play.
class MediaInput
{
public:
    MediaInput() = default;
    MediaInput(const MediaInput &) = delete;
    MediaInput &operator=(const MediaInput &) = delete;
    ~MediaInput();

    // The one way in for paths and custom I/O alike. abort, when set, interrupts blocking reads.
    bool open(MediaSource source, const std::atomic<bool> *abort);

    AVFormatContext *context() const { return m_context.get(); }
    AVStream *stream(int index) const;
    int videoStream() const { return m_video; }
    int audioStream() const { return m_audio; }

    int programCount() const;
    bool selectProgram(int index);
    // Audio streams of the current program, in stream order.
    std::vector<int> audioStreams() const;
    bool selectAudio(int order);
    // Subtitle streams of the current program, in stream order; -1 reads none (the default).
    std::vector<int> subtitleStreams() const;
    bool selectSubtitle(int order);
    int subtitleStream() const { return m_subtitle; }

    // The file opened; empty for custom I/O.
    const std::string &path() const { return m_path; }
    int64_t duration() const { return m_duration; }
    int64_t startTime() const { return m_startTime; }

private:
    std::vector<int> programStreams() const;
    void pickStreams();
    void applyDiscard();

    FormatContextPtr m_context;
    std::string m_path;
    IOContextPtr m_io;
    std::shared_ptr<void> m_owner;
    int m_program = -1;
    int m_video = -1;
    int m_audio = -1;
    int m_subtitle = -1;
    int64_t m_duration = 0;
    int64_t m_startTime = 0;
    int64_t m_durationHint = 0;
};

}

#endif
