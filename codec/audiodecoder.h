#ifndef RQ_AUDIODECODER_H
#define RQ_AUDIODECODER_H

#include "codec/audioprocessor.h"
#include "codec/decoder.h"

#include <vector>

namespace rq {

// Decodes sound, converts it to interleaved signed 16-bit stereo at the output rate and passes it through the
// player's speed and equaliser; after an exact seek the samples before the target are cut off.
class AudioDecoder : public Decoder
{
public:
    static constexpr int kChannels = 2;
    static constexpr int kBytesPerFrame = kChannels * 2;
    // Sound of a higher rate is resampled down to this before anything else touches it.
    static constexpr int kMostOutputRate = 192000;

    AudioDecoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync, int outputRate,
                 AudioProcessor &processor);
    ~AudioDecoder() override;

protected:
    bool deliver(FramePtr frame, int serial) override;
    bool deliverEnd(int serial) override;
    void beginSerial(int serial) override;

private:
    bool configure(const AVFrame *frame);
    bool pushChunks(int serial);

    const int m_outputRate;
    SwrPtr m_resampler;
    AVChannelLayout m_inLayout{};
    int m_inRate = 0;
    int m_inFormat = -1;
    double m_start = 0;
    AudioProcessor &m_processor;
    std::vector<AudioProcessor::Chunk> m_chunks;
};

}

#endif
