#ifndef RQ_GLOBALOPTIONS_H
#define RQ_GLOBALOPTIONS_H

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace rq {

// The process-wide settings of the library and the one SDL audio subsystem that every player shares.
class GlobalOptions
{
public:
    static GlobalOptions &instance();

    void setOption(int option, int64_t value);
    // The thread count for AVCodecContext.thread_count.
    int decoderThreads() const;
    int64_t readAheadMicros() const;
    int deinterlaceMode() const;

    void setWorkDirectory(const std::string &path);
    std::string workDirectory() const;

    void setFrameFormats(const std::vector<int> &formats);
    std::vector<int> frameFormats() const;

    // SDL's audio subsystem is process-wide: players take and give back a reference to it. False, with
    // nothing to give back, when there is no audio to use: ZR_AUDIO=null, or no driver that starts.
    bool acquireAudio();
    void releaseAudio();

private:
    GlobalOptions() = default;

    mutable std::mutex m_mutex;
    int m_decoderThreads = 1;
    int64_t m_readAhead = 2000000;
    int m_deinterlace = 0;
    std::string m_workDirectory;
    std::vector<int> m_frameFormats{0, 30};

    std::mutex m_audioMutex;
    int m_audioUsers = 0;
};

}

#endif
