#ifndef RQ_FRAMEQUEUE_H
#define RQ_FRAMEQUEUE_H

#include "codec/ffptr.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace rq {

// Decoded pictures or converted audio on their way to the presenter or the audio device, bounded in entries
// and, if given, in bytes of frame data (one entry always fits), with the serial of the seek they belong to.
// An entry without a frame marks the end of the stream.
class FrameQueue
{
public:
    using Clock = std::chrono::steady_clock;

    struct Entry {
        FramePtr frame;
        int serial = 0;
        double pts = 0;       // seconds from the start of the medium
        double duration = 0;  // seconds
        int consumed = 0;     // audio: bytes already played from the front of the frame
        bool end = false;
    };

    explicit FrameQueue(int capacity, size_t mostBytes = 0) : m_capacity(capacity), m_mostBytes(mostBytes) {}

    // Blocks while full; drops entries of an old serial; false once aborted.
    bool push(Entry entry);
    // Blocks while full for entries of the serial; false once aborted. Lets a producer make an entry only
    // once it has room, so that no finished entry waits outside the queue.
    bool waitForSpace(int serial);
    bool pop(Entry &entry);
    // Pops the front entry only when it belongs to the serial: what a consumer saw with front() may have
    // been flushed since, and the entry there now is not the one it decided about.
    bool pop(Entry &entry, int serial);
    // Copies what the front entry says, without its frame; false when empty.
    bool front(Entry &info) const;
    int size() const;

    void flush(int serial);
    void abort();
    // Wakes consumers waiting in waitChange, e.g. after a pause, a step request or a stop.
    void wake();
    // Waits until something is pushed, flushed or woken after the generation seen, or the deadline passes.
    uint64_t generation() const;
    void waitChange(uint64_t seen, Clock::time_point deadline);
    void waitChange(uint64_t seen);
    // Waits until the queue is full, holds the end of the stream, goes on to another serial or is aborted, or
    // the deadline passes; true unless the deadline passed.
    bool waitFilled(int serial, Clock::time_point deadline);

private:
    // With the lock held and an entry there.
    bool takeFront(Entry &entry);
    bool fullLocked() const;
    void waitSpaceLocked(std::unique_lock<std::mutex> &lock, int serial);
    static size_t bytesOf(const Entry &entry);

    const int m_capacity;
    const size_t m_mostBytes;
    size_t m_bytes = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_spaceCond;
    std::condition_variable m_changeCond;
    std::deque<Entry> m_entries;
    int m_serial = 0;
    uint64_t m_generation = 0;
    bool m_aborted = false;
};

}

#endif
