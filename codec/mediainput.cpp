#include "codec/mediainput.h"

#include <sys/stat.h>

namespace rq {

namespace {

// Rates above any sound format's are a damaged or hostile header: such a stream is not played.
constexpr int kMostSampleRate = 768000;

int interruptRequested(void *opaque)
{
    return static_cast<const std::atomic<bool> *>(opaque)->load() ? 1 : 0;
}

bool decodable(const AVStream *st)
{
    const AVCodecParameters *par = st->codecpar;
    if (!avcodec_find_decoder(par->codec_id))
        return false;
    if (par->codec_type == AVMEDIA_TYPE_VIDEO)
        return !(st->disposition & AV_DISPOSITION_ATTACHED_PIC) && par->width > 0 && par->height > 0;
    if (par->codec_type == AVMEDIA_TYPE_AUDIO)
        return par->sample_rate > 0 && par->sample_rate <= kMostSampleRate && par->ch_layout.nb_channels > 0;
    return false;
}

}

MediaInput::~MediaInput()
{
    // A custom AVIOContext outlives the demuxer that reads it.
    m_context.reset();
    m_io.reset();
}

bool MediaInput::open(MediaSource source, const std::atomic<bool> *abort)
{
    const AVInputFormat *format = nullptr;
    if (!source.formatName().empty())
        format = av_find_input_format(source.formatName().c_str());
    AVFormatContext *ctx = avformat_alloc_context();
    if (!ctx)
        return false;
    if (abort) {
        ctx->interrupt_callback.callback = interruptRequested;
        ctx->interrupt_callback.opaque = const_cast<std::atomic<bool> *>(abort);
    }
    if (source.isCustomIO()) {
        m_io = source.takeIO();
        m_owner = source.owner();
        ctx->pb = m_io.get();
        ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
    } else {
        struct stat info;
        if (stat(source.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) {
            avformat_free_context(ctx);
            return false;
        }
    }
    m_durationHint = source.durationHint();
    // avformat_open_input frees the context when it fails.
    if (avformat_open_input(&ctx, source.isCustomIO() ? "" : source.path().c_str(), format, nullptr) < 0)
        return false;
    m_context.reset(ctx);
    if (!source.isCustomIO())
        m_path = source.path();
    if (avformat_find_stream_info(ctx, nullptr) < 0)
        return false;
    m_startTime = ctx->start_time == AV_NOPTS_VALUE ? 0 : ctx->start_time;
    m_duration = m_durationHint > 0 ? m_durationHint : (ctx->duration > 0 ? ctx->duration : 0);
    pickStreams();
    return m_video >= 0 || m_audio >= 0;
}

AVStream *MediaInput::stream(int index) const
{
    if (!m_context || index < 0 || index >= int(m_context->nb_streams))
        return nullptr;
    return m_context->streams[index];
}

int MediaInput::programCount() const
{
    return m_context ? int(m_context->nb_programs) : 0;
}

bool MediaInput::selectProgram(int index)
{
    const int count = programCount();
    if (count == 0) {
        if (index != 0)
            return false;
        m_program = -1;
    } else {
        if (index < 0 || index >= count)
            return false;
        m_program = index;
    }
    pickStreams();
    return m_video >= 0 || m_audio >= 0;
}

std::vector<int> MediaInput::programStreams() const
{
    std::vector<int> streams;
    if (!m_context)
        return streams;
    if (m_program >= 0) {
        const AVProgram *program = m_context->programs[m_program];
        for (unsigned i = 0; i < program->nb_stream_indexes; ++i)
            streams.push_back(int(program->stream_index[i]));
    } else {
        for (unsigned i = 0; i < m_context->nb_streams; ++i)
            streams.push_back(int(i));
    }
    return streams;
}

std::vector<int> MediaInput::audioStreams() const
{
    std::vector<int> audio;
    for (int i : programStreams())
        if (m_context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && decodable(m_context->streams[i]))
            audio.push_back(i);
    return audio;
}

bool MediaInput::selectAudio(int order)
{
    const std::vector<int> audio = audioStreams();
    if (order < 0 || order >= int(audio.size()))
        return false;
    m_audio = audio[order];
    applyDiscard();
    return true;
}

std::vector<int> MediaInput::subtitleStreams() const
{
    std::vector<int> subtitles;
    for (int i : programStreams())
        if (m_context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE)
            subtitles.push_back(i);
    return subtitles;
}

bool MediaInput::selectSubtitle(int order)
{
    const std::vector<int> subtitles = subtitleStreams();
    if (order >= int(subtitles.size()))
        return false;
    m_subtitle = order < 0 ? -1 : subtitles[size_t(order)];
    applyDiscard();
    return true;
}

void MediaInput::pickStreams()
{
    m_video = -1;
    m_audio = -1;
    m_subtitle = -1;
    int64_t bestArea = 0;
    for (int i : programStreams()) {
        const AVStream *st = m_context->streams[i];
        if (!decodable(st))
            continue;
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            const int64_t area = int64_t(st->codecpar->width) * st->codecpar->height;
            if (area > bestArea) {
                bestArea = area;
                m_video = i;
            }
        } else if (m_audio < 0 || (st->disposition & AV_DISPOSITION_DEFAULT
                                   && !(m_context->streams[m_audio]->disposition & AV_DISPOSITION_DEFAULT))) {
            m_audio = i;
        }
    }
    applyDiscard();
}

void MediaInput::applyDiscard()
{
    for (unsigned i = 0; i < m_context->nb_streams; ++i)
        m_context->streams[i]->discard = (int(i) == m_video || int(i) == m_audio || int(i) == m_subtitle)
                                             ? AVDISCARD_DEFAULT
                                             : AVDISCARD_ALL;
}

}
