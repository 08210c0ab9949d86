#ifndef RQ_SYNCSTATE_H
#define RQ_SYNCSTATE_H

#include "codec/mediaclock.h"

#include <atomic>
#include <chrono>
#include <limits>
#include <mutex>

namespace rq {

// What the threads of one player share: the serial of the latest seek and where it goes, the master clock,
// the pause state and the end-of-stream marks.
class SyncState
{
public:
    struct SeekPoint {
        int serial = 0;
        double target = 0;  // seconds from the start of the medium
        bool exact = false;
    };

    void setSeekPoint(const SeekPoint &point)
    {
        std::lock_guard<std::mutex> lock(m_seekMutex);
        m_seek = point;
    }
    // Where decoding of a serial should start presenting; -infinity when it presents from the keyframe.
    double startOf(int serial) const
    {
        std::lock_guard<std::mutex> lock(m_seekMutex);
        if (m_seek.serial == serial && m_seek.exact)
            return m_seek.target;
        return -std::numeric_limits<double>::infinity();
    }

    // How far the reader has read the medium for a serial (seconds, by decoding time), while embedded
    // subtitles are read beside the pictures: a picture waits for the lines of its time.
    void setReadTo(int serial, double seconds)
    {
        std::lock_guard<std::mutex> lock(m_seekMutex);
        if (m_readSerial != serial || seconds > m_readTo) {
            m_readSerial = serial;
            m_readTo = seconds;
        }
    }
    // A serial whose subtitles before its target are being read on their own counts as read only once they are.
    void beginScan(int serial)
    {
        std::lock_guard<std::mutex> lock(m_seekMutex);
        m_scanSerial = serial;
        m_scanned = false;
    }
    void endScan(int serial)
    {
        std::lock_guard<std::mutex> lock(m_seekMutex);
        if (m_scanSerial == serial)
            m_scanned = true;
    }
    bool scanning(int serial) const
    {
        std::lock_guard<std::mutex> lock(m_seekMutex);
        return m_scanSerial == serial && !m_scanned;
    }
    bool hasRead(int serial, double seconds) const
    {
        std::lock_guard<std::mutex> lock(m_seekMutex);
        return m_readSerial == serial && m_readTo > seconds && (m_scanSerial != serial || m_scanned);
    }

    MediaClock clock;
    std::atomic<int> serial{0};
    std::atomic<bool> paused{true};
    std::atomic<bool> videoEnded{false};
    // The audio device sets the clock as it plays; otherwise the clock runs on the wall clock.
    std::atomic<bool> deviceClock{false};
    // Steady-clock nanoseconds at which the last sample will have been played; 0 while not known.
    std::atomic<int64_t> audioEndsAt{0};
    // Audio older than this position (seconds) is skipped, after pictures were stepped while paused.
    std::atomic<double> audioSkipUntil{-1};
    std::atomic<int> volume{100};
    // An embedded subtitle stream is read: see setReadTo().
    std::atomic<bool> embeddedSubtitles{false};
    std::atomic<int64_t> latenessMicros{50000};
    // Since the medium was opened: pictures handed to the callback, handed to it again (redrawn while paused)
    // and dropped for being later than the lateness bound.
    std::atomic<int64_t> shownPictures{0};
    std::atomic<int64_t> repeatedPictures{0};
    std::atomic<int64_t> droppedPictures{0};
    // Deinterlacing of decoded pictures: 0 off, 1 those marked interlaced, 2 all.
    std::atomic<int> deinterlace{0};
    // How much later the sound is heard than the picture it belongs to; negative: earlier.
    std::atomic<int64_t> audioDelayMicros{0};

private:
    mutable std::mutex m_seekMutex;
    SeekPoint m_seek;
    int m_readSerial = -1;
    double m_readTo = 0;
    int m_scanSerial = -1;
    bool m_scanned = false;
};

}

#endif
