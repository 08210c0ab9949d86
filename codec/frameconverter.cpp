#include "codec/frameconverter.h"

#include <algorithm>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace rq {

FrameConverter::FrameConverter(std::vector<int> accepted) : m_accepted(std::move(accepted))
{
}

bool FrameConverter::isRgb(AVPixelFormat format)
{
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(format);
    return desc && (desc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_ALPHA | AV_PIX_FMT_FLAG_PAL));
}

bool FrameConverter::isFullRange(const AVFrame *frame)
{
    const AVPixelFormat format = AVPixelFormat(frame->format);
    if (isRgb(format))
        return false;
    return frame->color_range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P
           || format == AV_PIX_FMT_YUVJ444P || format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
}

SwsPtr FrameConverter::scalerFor(const AVFrame *source, int width, int height, AVPixelFormat target, int flags)
{
    SwsPtr scaler(sws_alloc_context());
    SwsContext *s = scaler.get();
    if (!s || av_opt_set_int(s, "srcw", source->width, 0) < 0 || av_opt_set_int(s, "srch", source->height, 0) < 0
        || av_opt_set_int(s, "src_format", source->format, 0) < 0 || av_opt_set_int(s, "dstw", width, 0) < 0
        || av_opt_set_int(s, "dsth", height, 0) < 0 || av_opt_set_int(s, "dst_format", target, 0) < 0
        || av_opt_set_int(s, "sws_flags", flags, 0) < 0
        || av_opt_set_int(s, "src_range", isFullRange(source) ? 1 : 0, 0) < 0
        || av_opt_set_int(s, "dst_range", isRgb(target) ? 1 : 0, 0) < 0 || sws_init_context(s, nullptr, nullptr) < 0)
        return SwsPtr();
    return scaler;
}

AVPixelFormat FrameConverter::targetFor(AVPixelFormat source) const
{
    const bool yuv = std::find(m_accepted.begin(), m_accepted.end(), int(CodecFrame::Yuv420)) != m_accepted.end();
    const bool bgra = std::find(m_accepted.begin(), m_accepted.end(), int(CodecFrame::Bgra)) != m_accepted.end();
    if (yuv && (source == AV_PIX_FMT_YUV420P || source == AV_PIX_FMT_YUVJ420P))
        return AV_PIX_FMT_YUV420P;
    if (bgra && source == AV_PIX_FMT_BGRA)
        return AV_PIX_FMT_BGRA;
    if (bgra && (isRgb(source) || !yuv))
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
    if (source != target || isFullRange(frame)) {
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
        const std::vector<int> key{frame->width, frame->height, source, isFullRange(frame), target};
        if (!m_scaler || key != m_scalerKey) {
            m_scaler = scalerFor(frame, frame->width, frame->height, target, SWS_BILINEAR);
            m_scalerKey = key;
        }
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
