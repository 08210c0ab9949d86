#ifndef RQ_MEDIAPROBE_H
#define RQ_MEDIAPROBE_H

#include "codec/mediadescription.h"

#include <mutex>

namespace rq {

// One probe handle: opens a file or a disc, reads its description once, then answers queries on
// the selected program and streams. Each probe owns its own demuxer, so probes run beside players.
class MediaProbe {
public:
    bool openFile(const char *path);
    bool openDisc(const char *path);
    void close();

    uint64_t duration() const;
    const char *formatName() const;
    const char *tag(const char *key) const;

    int programCount() const;
    bool selectProgram(int index);
    const char *programName() const;
    bool hasVideo() const;
    bool hasAudio() const;

    int videoStreamCount() const;
    int audioStreamCount() const;
    int subtitleStreamCount() const;
    bool selectVideoStream(int index);
    bool selectAudioStream(int index);
    bool selectSubtitleStream(int index);

    // Apply a reader to the selected stream (or the given chapter); the fallback when there is none.
    template <typename Read, typename Result>
    Result readVideo(Read read, Result fallback) const { return readSelected(&ProgramDescription::video, m_video, read, fallback); }
    template <typename Read, typename Result>
    Result readAudio(Read read, Result fallback) const { return readSelected(&ProgramDescription::audio, m_audio, read, fallback); }
    template <typename Read, typename Result>
    Result readSubtitle(Read read, Result fallback) const
    {
        return readSelected(&ProgramDescription::subtitles, m_subtitle, read, fallback);
    }
    int chapterCount() const;
    template <typename Read, typename Result>
    Result readChapter(int index, Read read, Result fallback) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ProgramDescription *p = program();
        return p && index >= 0 && index < int(p->chapters.size()) ? read(p->chapters[index]) : fallback;
    }

    // The C interface hands out null for a missing or empty text.
    static const char *text(const std::string &value) { return value.empty() ? nullptr : value.c_str(); }

private:
    template <typename T>
    using StreamList = std::vector<T> ProgramDescription::*;

    template <typename T, typename Read, typename Result>
    Result readSelected(StreamList<T> list, const int &slot, Read read, Result fallback) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const ProgramDescription *p = program();
        return p && slot < int((p->*list).size()) ? read((p->*list)[size_t(slot)]) : fallback;
    }
    template <typename T>
    int count(StreamList<T> list) const;
    template <typename T>
    bool select(StreamList<T> list, int &slot, int index);
    void take(MediaDescription media);
    const ProgramDescription *program() const;

    mutable std::mutex m_mutex;
    MediaDescription m_media;
    int m_program = -1;   // none chosen yet: the whole medium's duration, streams of the first program
    int m_video = 0;
    int m_audio = 0;
    int m_subtitle = 0;
};

}

#endif
