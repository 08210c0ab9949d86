#include "codec/videodecoder.h"

#include "codec/globaloptions.h"

#include <cmath>

namespace rq {

VideoDecoder::VideoDecoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync, double frameDuration,
                           SubtitleDecoder *captions, StepCache *steps)
    : Decoder(packets, frames, sync), m_frameDuration(frameDuration), m_deinterlacer(sync.deinterlace),
      m_converter(GlobalOptions::instance().frameFormats()), m_captions(captions), m_steps(steps)
{
}

VideoDecoder::~VideoDecoder()
{
    join();
}

void VideoDecoder::beginSerial(int serial)
{
    m_start = m_sync.startOf(serial);
    m_held = FrameQueue::Entry();
    m_delivered = false;
    m_queued = false;
    m_skipped = false;
    m_skipNonRef = false;
    m_deinterlacer.reset();
    if (m_captions)
        m_captions->flush();
}

bool VideoDecoder::deliver(FramePtr frame, int serial)
{
    // Pictures well before an exact seek's target are not shown: they skip the deinterlacer, which needs
    // only the one before the target. Those kept for stepping back are deinterlaced as any shown picture.
    const bool kept = m_steps && m_sync.deinterlace != 0 && m_steps->accepts(serial);
    if (!m_delivered && !kept && ptsOf(frame.get()) + 3 * m_frameDuration < m_start)
        return deliverPicture(std::move(frame), serial, true);
    m_pictures.clear();
    m_deinterlacer.push(std::move(frame), m_timeBase, m_pictures);
    return deliverPictures(serial);
}

bool VideoDecoder::deliverPictures(int serial)
{
    for (FramePtr &picture : m_pictures)
        if (!deliverPicture(std::move(picture), serial))
            return false;
    return true;
}

bool VideoDecoder::deliverPicture(FramePtr frame, int serial, bool raw)
{
    FrameQueue::Entry entry;
    entry.serial = serial;
    entry.pts = ptsOf(frame.get());
    entry.duration = frame->pkt_duration > 0 ? frame->pkt_duration * av_q2d(m_timeBase) : m_frameDuration;
    if (m_skipped && m_queued) {
        const double missing = std::round((entry.pts - m_nextPts) / entry.duration);
        if (missing >= 1)
            m_sync.droppedPictures += int64_t(missing);
        m_skipped = m_skipNonRef;
    }
    m_nextPts = entry.pts + entry.duration;
    if (m_captions)
        if (const AVFrameSideData *cc = av_frame_get_side_data(frame.get(), AV_FRAME_DATA_A53_CC))
            m_captions->decodeCaptions(cc->data, int(cc->size), entry.pts);
    entry.frame = std::move(frame);
    // A picture ending before the target of an exact seek is not shown; a tenth of a millisecond of slack
    // absorbs rounding of the time base.
    if (!m_delivered && entry.pts + entry.duration <= m_start + 1e-4) {
        if (m_steps && (!raw || m_sync.deinterlace == 0))
            m_steps->insert(serial, entry.frame.get(), entry.pts, entry.duration);
        m_held = std::move(entry);
        return true;
    }
    m_delivered = true;
    m_held = FrameQueue::Entry();
    return push(std::move(entry));
}

bool VideoDecoder::push(FrameQueue::Entry entry)
{
    // Converted once there is room for it, so that a converted picture does not wait beside a full queue.
    if (!m_frames.waitForSpace(entry.serial))
        return false;
    const double late = behind(entry);
    if (m_queued && late > m_sync.latenessMicros / 1e6) {
        ++m_sync.droppedPictures;
        m_skipNonRef = true;
        m_skipped = true;
        return true;
    }
    if (late < 0)
        m_skipNonRef = false;
    m_queued = true;
    // Without memory for the copy the picture goes as it is: the presenter converts it then.
    if (m_converter.convertsToYuv(entry.frame.get()))
        if (FramePtr yuv = m_converter.toYuv(entry.frame.get()))
            entry.frame = std::move(yuv);
    return m_frames.push(std::move(entry));
}

double VideoDecoder::behind(const FrameQueue::Entry &entry) const
{
    if (m_sync.paused || m_sync.clock.held())
        return -1;
    return m_sync.clock.now() - entry.pts;
}

bool VideoDecoder::deliverEnd(int serial)
{
    m_pictures.clear();
    m_deinterlacer.finish(m_pictures);
    if (!deliverPictures(serial))
        return false;
    if (!m_delivered && m_held.frame && !push(std::move(m_held)))
        return false;
    m_delivered = true;
    return Decoder::deliverEnd(serial);
}

}
