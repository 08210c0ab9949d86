#include "codec/frameconverter.h"

#include <algorithm>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace rq {

namespace {

// 10-bit samples to 8 bits, rounded to the nearest: limited range stays limited range (64..940 to 16..235).
// The picture is read again only after several more were decoded: aligned rows are written past the cache.
void narrow(const uint8_t *from, int fromLine, uint8_t *to, int toLine, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const auto *s = reinterpret_cast<const uint16_t *>(from + size_t(y) * fromLine);
        uint8_t *d = to + size_t(y) * toLine;
        int x = 0;
#ifdef __SSE2__
        const __m128i two = _mm_set1_epi16(2);
        const bool aligned = (reinterpret_cast<uintptr_t>(d) & 15) == 0;
        for (; x + 16 <= width; x += 16) {
            // Saturating: out-of-range samples of a broken stream end at 255 rather than wrap.
            const auto *in = reinterpret_cast<const __m128i *>(s + x);
            const __m128i a = _mm_srli_epi16(_mm_adds_epu16(_mm_loadu_si128(in), two), 2);
            const __m128i b = _mm_srli_epi16(_mm_adds_epu16(_mm_loadu_si128(in + 1), two), 2);
            auto *out = reinterpret_cast<__m128i *>(d + x);
            if (aligned)
                _mm_stream_si128(out, _mm_packus_epi16(a, b));
            else
                _mm_storeu_si128(out, _mm_packus_epi16(a, b));
        }
#endif
        for (; x < width; ++x)
            d[x] = uint8_t(std::min(255, (s[x] + 2) >> 2));
    }
#ifdef __SSE2__
    _mm_sfence();
#endif
}

}

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

bool FrameConverter::reuseOrAllocate(FramePtr &frame, int width, int height, AVPixelFormat format)
{
    if (frame && frame->width == width && frame->height == height && frame->format == format
        && av_frame_is_writable(frame.get()))
        return true;
    frame = makeFrame();
    if (!frame)
        return false;
    frame->width = width;
    frame->height = height;
    frame->format = format;
    if (av_frame_get_buffer(frame.get(), 0) < 0) {
        frame.reset();
        return false;
    }
    return true;
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

bool FrameConverter::needsConversion(const AVFrame *frame, AVPixelFormat target) const
{
    return AVPixelFormat(frame->format) != target || isFullRange(frame);
}

bool FrameConverter::convertsToYuv(const AVFrame *frame) const
{
    const AVPixelFormat target = targetFor(AVPixelFormat(frame->format));
    return target == AV_PIX_FMT_YUV420P && needsConversion(frame, target);
}

bool FrameConverter::scale(const AVFrame *frame, AVFrame *to)
{
    const std::vector<int> key{frame->width, frame->height, frame->format, isFullRange(frame), to->format};
    if (!m_scaler || key != m_scalerKey) {
        m_scaler = scalerFor(frame, frame->width, frame->height, AVPixelFormat(to->format), SWS_BILINEAR);
        m_scalerKey = key;
    }
    if (!m_scaler)
        return false;
    sws_scale(m_scaler.get(), frame->data, frame->linesize, 0, frame->height, to->data, to->linesize);
    return true;
}

FramePtr FrameConverter::toYuv(const AVFrame *frame)
{
    const int w = frame->width, h = frame->height;
    const int chromaW = (w + 1) / 2, chromaH = (h + 1) / 2;
    const int lumaLine = (w + 63) & ~63, chromaLine = (chromaW + 63) & ~63;
    const size_t lumaSize = size_t(lumaLine) * h, chromaSize = size_t(chromaLine) * chromaH;
    if (!m_pool || w != m_poolWidth || h != m_poolHeight) {
        // Room past the end for readers that overread a line, as FFmpeg's own buffers have.
        m_pool.reset(av_buffer_pool_init(lumaSize + 2 * chromaSize + 64, nullptr));
        m_poolWidth = m_pool ? w : 0;
        m_poolHeight = m_pool ? h : 0;
    }
    FramePtr out = makeFrame();
    if (!out || !m_pool || !(out->buf[0] = av_buffer_pool_get(m_pool.get()))
        || av_frame_copy_props(out.get(), frame) < 0)
        return FramePtr();
    out->width = w;
    out->height = h;
    out->format = AV_PIX_FMT_YUV420P;
    out->color_range = AVCOL_RANGE_MPEG;
    out->data[0] = out->buf[0]->data;
    out->data[1] = out->data[0] + lumaSize;
    out->data[2] = out->data[1] + chromaSize;
    out->linesize[0] = lumaLine;
    out->linesize[1] = out->linesize[2] = chromaLine;
    if (frame->format == AV_PIX_FMT_YUV420P10 && !isFullRange(frame)) {
        narrow(frame->data[0], frame->linesize[0], out->data[0], lumaLine, w, h);
        narrow(frame->data[1], frame->linesize[1], out->data[1], chromaLine, chromaW, chromaH);
        narrow(frame->data[2], frame->linesize[2], out->data[2], chromaLine, chromaW, chromaH);
    } else if (!scale(frame, out.get())) {
        return FramePtr();
    }
    return out;
}

bool FrameConverter::convert(const AVFrame *frame, CodecFrame &out)
{
    const AVPixelFormat target = targetFor(AVPixelFormat(frame->format));
    out.width = frame->width;
    out.height = frame->height;
    out.format = target == AV_PIX_FMT_BGRA ? CodecFrame::Bgra : CodecFrame::Yuv420;
    const AVFrame *shown = frame;
    if (target == AV_PIX_FMT_YUV420P && needsConversion(frame, target)) {
        m_buffer = toYuv(frame);
        if (!m_buffer)
            return false;
        shown = m_buffer.get();
    } else if (needsConversion(frame, target)) {
        if (!reuseOrAllocate(m_buffer, frame->width, frame->height, target))
            return false;
        if (!scale(frame, m_buffer.get()))
            return false;
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
