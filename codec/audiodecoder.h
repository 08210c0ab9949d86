#ifndef RQ_AUDIODECODER_H
#define RQ_AUDIODECODER_H

#include "codec/decoder.h"

namespace rq {

// Decodes sound and converts it to interleaved signed 16-bit stereo at the output rate; after an exact seek
// the samples before the target are cut off.
class AudioDecoder : public Decoder
{
public:
    static constexpr int kChannels = 2;
    static constexpr int kBytesPerFrame = kChannels * 2;

    AudioDecoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync, int outputRate);
    ~AudioDecoder() override;

protected:
    bool deliver(FramePtr frame, int serial) override;
    void beginSerial(int serial) override;

private:
    bool configure(const AVFrame *frame);

    const int m_outputRate;
    SwrPtr m_resampler;
    AVChannelLayout m_inLayout{};
    int m_inRate = 0;
    int m_inFormat = -1;
    double m_start = 0;
};

}

#endif
