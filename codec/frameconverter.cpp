#include "codec/frameconverter.h"

#include <algorithm>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace rq {

FrameConverter::FrameConverter(std::vector<int> accepted) : m_accepted(std::move(accepted))
{
}

AVPixelFormat FrameConverter::targetFor(AVPixelFormat source) const
{
    const bool yuv = std::find(m_accepted.begin(), m_accepted.end(), int(CodecFrame::Yuv420)) != m_accepted.end();
    const bool bgra = std::find(m_accepted.begin(), m_accepted.end(), int(CodecFrame::Bgra)) != m_accepted.end();
    if (yuv && (source == AV_PIX_FMT_YUV420P || source == AV_PIX_FMT_YUVJ420P))
        return AV_PIX_FMT_YUV420P;
    if (bgra && source == AV_PIX_FMT_BGRA)
        return AV_PIX_FMT_BGRA;
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(source);
    const bool rgbLike = desc && (desc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_ALPHA));
    if (bgra && (rgbLike || !yuv))
        return AV_PIX_FMT_BGRA;
    return AV_PIX_FMT_YUV420P;
}

bool FrameConverter::convert(const AVFrame *frame, CodecFrame &out)
{
    const AVPixelFormat source = AVPixelFormat(frame->format);
    const AVPixelFormat target = targetFor(source);
    out.width = frame->width;
    out.height = frame->height;
    out.format = target == AV_PIX_FMT_BGRA ? CodecFrame::Bgra : CodecFrame::Yuv420;
    const AVFrame *shown = frame;
    if (source != target && !(source == AV_PIX_FMT_YUVJ420P && target == AV_PIX_FMT_YUV420P)) {
        if (!m_buffer || m_buffer->width != frame->width || m_buffer->height != frame->height
            || m_buffer->format != target) {
            m_buffer = makeFrame();
            m_buffer->width = frame->width;
            m_buffer->height = frame->height;
            m_buffer->format = target;
            if (av_frame_get_buffer(m_buffer.get(), 0) < 0) {
                m_buffer.reset();
                return false;
            }
        }
        m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame->width, frame->height, source,
                                            frame->width, frame->height, target, SWS_BILINEAR,
                                            nullptr, nullptr, nullptr));
        if (!m_scaler)
            return false;
        sws_scale(m_scaler.get(), frame->data, frame->linesize, 0, frame->height,
                  m_buffer->data, m_buffer->linesize);
        shown = m_buffer.get();
    }
    const int planes = out.format == CodecFrame::Bgra ? 1 : 3;
    for (int i = 0; i < 4; ++i) {
        out.planes[i] = i < planes ? shown->data[i] : nullptr;
        out.lineSizes[i] = i < planes ? shown->linesize[i] : 0;
    }
    return true;
}

}
