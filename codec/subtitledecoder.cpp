#include "codec/subtitledecoder.h"

#include "codec/numeric.h"

#include <algorithm>
#include <cmath>

namespace rq {

namespace {

struct SubtitleFree { void operator()(AVSubtitle *s) const { avsubtitle_free(s); delete s; } };

// Text events without an end of their own stay this long.
constexpr double kOpenEnded = 5.0;

}

SubtitleDecoder::SubtitleDecoder(SubtitleRenderer &renderer, int source, std::function<void(double, double)> changed)
    : m_renderer(renderer), m_source(source), m_changed(std::move(changed))
{
}

bool SubtitleDecoder::openCodec(const AVCodec *codec, const AVCodecParameters *parameters, const std::string &charset,
                                bool joins)
{
    if (!codec)
        return false;
    m_context.reset(avcodec_alloc_context3(codec));
    if (!m_context || (parameters && avcodec_parameters_to_context(m_context.get(), parameters) < 0))
        return false;
    m_context->pkt_timebase = m_timeBase;
    // The decoder converts each packet to UTF-8 with iconv before it reads it.
    if (!charset.empty() && !(m_context->sub_charenc = av_strdup(charset.c_str())))
        return false;
    if (avcodec_open2(m_context.get(), codec, nullptr) < 0)
        return false;
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(codec->id);
    const bool text = descriptor && (descriptor->props & AV_CODEC_PROP_TEXT_SUB);
    if ((text || codec->id == AV_CODEC_ID_EIA_608) && !joins) {
        const std::string header = m_context->subtitle_header
                                       ? std::string(reinterpret_cast<const char *>(m_context->subtitle_header),
                                                     size_t(m_context->subtitle_header_size))
                                       : std::string();
        // ASS and SSA carry their own look; the other formats take the player's style.
        m_renderer.beginText(m_source, header, codec->id != AV_CODEC_ID_ASS && codec->id != AV_CODEC_ID_SSA);
    }
    return true;
}

bool SubtitleDecoder::open(const AVStream *stream, const std::string &charset, bool joins)
{
    m_timeBase = stream->time_base;
    return openCodec(avcodec_find_decoder(stream->codecpar->codec_id), stream->codecpar, charset, joins);
}

bool SubtitleDecoder::openCaptions()
{
    m_timeBase = AVRational{1, AV_TIME_BASE};
    return openCodec(avcodec_find_decoder(AV_CODEC_ID_EIA_608), nullptr, std::string());
}

int SubtitleDecoder::decode(const AVPacket *packet, double origin)
{
    if (!m_context)
        return AVERROR(EINVAL);
    std::unique_ptr<AVSubtitle, SubtitleFree> sub(new AVSubtitle{});
    int got = 0;
    const int result = avcodec_decode_subtitle2(m_context.get(), sub.get(), &got, const_cast<AVPacket *>(packet));
    if (result < 0)
        return result;
    if (!got)
        return 0;
    const double base = sub->pts != AV_NOPTS_VALUE ? sub->pts / double(AV_TIME_BASE)
                        : packet->pts != AV_NOPTS_VALUE ? packet->pts * av_q2d(m_timeBase)
                                                        : 0;
    const double start = base - origin + sub->start_display_time / 1000.0;
    const bool ends = sub->end_display_time > sub->start_display_time && sub->end_display_time != UINT32_MAX;
    const double end = ends ? base - origin + sub->end_display_time / 1000.0
                       : packet->duration > 0 ? start + packet->duration * av_q2d(m_timeBase)
                                              : -1;
    std::vector<SubtitleRenderer::Bitmap> bitmaps;
    for (unsigned i = 0; i < sub->num_rects; ++i) {
        const AVSubtitleRect *rect = sub->rects[i];
        if (rect->type == SUBTITLE_ASS && rect->ass) {
            const double length = end > start ? end - start : kOpenEnded;
            m_renderer.addText(m_source, rect->ass, saturated<int64_t>(start * 1000),
                               saturated<int64_t>(length * 1000));
        } else if (rect->type == SUBTITLE_BITMAP && rect->w > 0 && rect->h > 0 && rect->data[0] && rect->data[1]) {
            SubtitleRenderer::Bitmap bitmap;
            bitmap.x = rect->x;
            bitmap.y = rect->y;
            bitmap.width = rect->w;
            bitmap.height = rect->h;
            bitmap.indices.resize(size_t(rect->w) * rect->h);
            for (int y = 0; y < rect->h; ++y)
                std::copy_n(rect->data[0] + y * rect->linesize[0], rect->w, &bitmap.indices[size_t(y) * rect->w]);
            const auto *palette = reinterpret_cast<const uint32_t *>(rect->data[1]);
            bitmap.palette.assign(palette, palette + std::clamp(rect->nb_colors, 0, 256));
            bitmaps.push_back(std::move(bitmap));
        }
    }
    // A picture event, or an empty one that ends the picture before it.
    if (!bitmaps.empty() || sub->format == 0)
        m_renderer.addBitmaps(m_source, start, end, m_context->width, m_context->height, std::move(bitmaps));
    if (m_changed)
        m_changed(start, end > start ? end : -1.0);
    return 0;
}

void SubtitleDecoder::decodeCaptions(const uint8_t *data, int size, double pts)
{
    PacketPtr packet = makePacket();
    if (!packet || size <= 0 || av_new_packet(packet.get(), size) < 0)
        return;
    std::copy(data, data + size, packet->data);
    packet->pts = saturated<int64_t>(pts * AV_TIME_BASE);
    decode(packet.get(), 0);
}

void SubtitleDecoder::flush()
{
    if (m_context)
        avcodec_flush_buffers(m_context.get());
}

}
