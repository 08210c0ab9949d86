#ifndef RQ_DECODER_H
#define RQ_DECODER_H

#include "codec/ffptr.h"
#include "codec/framequeue.h"
#include "codec/packetqueue.h"
#include "codec/syncstate.h"

#include <atomic>
#include <thread>

namespace rq {

// One stream's decoding thread: packets in, frames out. A packet of a new serial flushes the decoder first;
// the end-of-stream packet drains it and is passed on as an end entry.
class Decoder
{
public:
    Decoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync);
    virtual ~Decoder();
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    // threads: 0 for one a core.
    bool open(const AVStream *stream, int64_t startTime, int threads);
    void start();
    // The queues must have been aborted first.
    void join();

protected:
    // Takes one decoded frame; false stops the thread.
    virtual bool deliver(FramePtr frame, int serial) = 0;
    // The stream of this serial is drained.
    virtual bool deliverEnd(int serial);
    virtual void beginSerial(int serial);

    double ptsOf(const AVFrame *frame) const;

    PacketQueue &m_packets;
    FrameQueue &m_frames;
    SyncState &m_sync;
    AVRational m_timeBase{1, 1};
    int64_t m_startTime = 0;
    double m_nextPts = 0;
    // Pictures no other picture refers to are not decoded, to catch up while behind.
    std::atomic<bool> m_skipNonRef{false};

private:
    void run();

    CodecContextPtr m_context;
    std::thread m_thread;
};

}

#endif
