#ifndef RQ_VIDEODECODER_H
#define RQ_VIDEODECODER_H

#include "codec/decoder.h"
#include "codec/deinterlacer.h"
#include "codec/frameconverter.h"
#include "codec/stepcache.h"
#include "codec/subtitledecoder.h"

#include <vector>

namespace rq {

// Decodes pictures, deinterlaces them as the player's mode asks, stamps them with their position and drops
// those before an exact seek's target; when the target lies past the last picture, the last one is kept so
// that a seek always shows something. While playing, a picture already later than the lateness bound when it
// could be queued is dropped before it is converted, and the decoder skips pictures nothing refers to until
// the pictures come in time again. Caption data the pictures carry goes to the caption decoder, if any;
// pictures dropped before a backward step's target go to the step cache, if any. Pictures the callback cannot
// take as they are go out converted to YUV 4:2:0.
class VideoDecoder : public Decoder
{
public:
    VideoDecoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync, double frameDuration,
                 SubtitleDecoder *captions = nullptr, StepCache *steps = nullptr);
    ~VideoDecoder() override;

protected:
    bool deliver(FramePtr frame, int serial) override;
    bool deliverEnd(int serial) override;
    void beginSerial(int serial) override;

private:
    // Passes on what the deinterlacer gave out.
    bool deliverPictures(int serial);
    // raw: straight from the decoder, past the deinterlacer.
    bool deliverPicture(FramePtr frame, int serial, bool raw = false);
    // Converts the picture to what the callback takes here rather than in the presenter, so that it is ready
    // when its time comes, then queues it.
    bool push(FrameQueue::Entry entry);
    // How far the picture is behind the playing clock, in seconds; negative when ahead or not playing.
    double behind(const FrameQueue::Entry &entry) const;

    const double m_frameDuration;
    Deinterlacer m_deinterlacer;
    FrameConverter m_converter;
    SubtitleDecoder *m_captions;
    StepCache *m_steps;
    std::vector<FramePtr> m_pictures;
    double m_start = 0;
    FrameQueue::Entry m_held;
    bool m_delivered = false;
    // A picture of the serial has been queued; the first one always is.
    bool m_queued = false;
    // Pictures were skipped since the last one in sequence: a gap in the time stamps counts as dropped.
    bool m_skipped = false;
};

}

#endif
