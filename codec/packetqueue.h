#ifndef RQ_PACKETQUEUE_H
#define RQ_PACKETQUEUE_H

#include "codec/ffptr.h"
#include "codec/wakesignal.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace rq {

// Compressed packets of one stream on their way from the demuxer to a decoder. Every entry carries the
// serial of the seek it belongs to; a flush starts a new serial and drops what is left of older ones.
// A null packet marks the end of the stream.
class PacketQueue
{
public:
    struct Entry {
        PacketPtr packet;
        int serial = 0;
    };

    // taken, if any, is notified whenever a decoder takes an entry: the reader waits on it while full.
    explicit PacketQueue(WakeSignal *taken = nullptr) : m_taken(taken) {}

    // Drops the packet when its serial is not the queue's current one.
    void put(PacketPtr packet, int serial);
    void putEnd(int serial);
    // Blocks until an entry arrives; false once aborted.
    bool get(Entry &entry);
    void flush(int serial);
    void abort();

    int count() const;
    int64_t bytes() const;
    // Sum of packet durations, in the stream's time base.
    int64_t duration() const;

private:
    WakeSignal *const m_taken;
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    std::deque<Entry> m_entries;
    int m_serial = 0;
    int64_t m_bytes = 0;
    int64_t m_duration = 0;
    bool m_aborted = false;
};

}

#endif
