#ifndef RQ_DEMUXER_H
#define RQ_DEMUXER_H

#include "codec/mediainput.h"
#include "codec/packetqueue.h"
#include "codec/subtitledecoder.h"
#include "codec/syncstate.h"
#include "codec/wakesignal.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace rq {

// The reading thread: packets of the playing streams into their queues, read ahead as far as the global
// option allows; at the end of the input an end entry for each. Subtitle packets, few and small, are decoded
// here as they are read. Seeks are carried out here, the latest request winning.
class Demuxer
{
public:
    // wake: notified by the queues whenever a packet is taken; the reader waits on it, and nothing else, while
    // it has nothing to do.
    Demuxer(MediaInput &input, PacketQueue *video, PacketQueue *audio, WakeSignal &wake, int64_t readAheadMicros,
            SubtitleDecoder *subtitles = nullptr, SyncState *sync = nullptr);
    ~Demuxer();
    Demuxer(const Demuxer &) = delete;
    Demuxer &operator=(const Demuxer &) = delete;

    void start(int serial);
    // The queues must have been flushed to the serial already. target: seconds from the start.
    void seek(int serial, double target);
    void stop();

private:
    void run();
    void markRead(const AVPacket *packet);
    // Into the queue of its stream, or to the subtitles; packet is left empty for the next read.
    void dispatch(PacketPtr &packet);
    // After a seek to ts (microseconds, with the start time): goes back one keyframe when the one landed on is
    // shown after ts; otherwise passes on what it read to find out.
    void landBefore(int64_t ts);
    // refilling: the reader stopped full, and goes on once the queues have drained by part of the read-ahead.
    bool queuesFull(bool refilling) const;
    double secondsIn(const PacketQueue *queue, int stream) const;

    MediaInput &m_input;
    PacketQueue *m_video;
    PacketQueue *m_audio;
    SubtitleDecoder *m_subtitles;
    // Told how far the reading has come, with subtitles.
    SyncState *m_sync;
    const int64_t m_readAhead;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    WakeSignal &m_wake;
    std::mutex m_mutex;
    bool m_seekPending = false;
    int m_seekSerial = 0;
    double m_seekTarget = 0;
    int m_serial = 0;
};

}

#endif
