#ifndef RQ_VIDEODECODER_H
#define RQ_VIDEODECODER_H

#include "codec/decoder.h"

namespace rq {

// Decodes pictures, stamps them with their position and drops those before an exact seek's target; when the
// target lies past the last picture, the last one is kept so that a seek always shows something.
class VideoDecoder : public Decoder
{
public:
    VideoDecoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync, double frameDuration);
    ~VideoDecoder() override;

protected:
    bool deliver(FramePtr frame, int serial) override;
    bool deliverEnd(int serial) override;
    void beginSerial(int serial) override;

private:
    const double m_frameDuration;
    double m_start = 0;
    FrameQueue::Entry m_held;
    bool m_delivered = false;
};

}

#endif
