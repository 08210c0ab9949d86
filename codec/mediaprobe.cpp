#include "codec/mediaprobe.h"

#include "codec/dvddisc.h"
#include "codec/ffptr.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <strings.h>

namespace rq {

namespace {

// A thousand years.
constexpr double kMostSeconds = 1000 * 365.25 * 86400;

uint64_t micros(int64_t value, AVRational timeBase)
{
    if (value == AV_NOPTS_VALUE || value <= 0)
        return 0;
    // av_rescale_q answers INT64_MIN when the result does not fit.
    const int64_t rescaled = av_rescale_q(value, timeBase, AV_TIME_BASE_Q);
    return rescaled > 0 ? uint64_t(rescaled) : 0;
}

std::string entry(const AVDictionary *metadata, const char *key)
{
    const AVDictionaryEntry *found = av_dict_get(metadata, key, nullptr, 0);
    return found && found->value ? found->value : std::string();
}

// Matroska keeps stream lengths only as a "DURATION" tag, "HH:MM:SS.nnnnnnnnn". A length that is negative, no
// number or longer than any medium (a thousand years) is unknown.
uint64_t streamDuration(const AVStream *stream)
{
    const uint64_t own = micros(stream->duration, stream->time_base);
    if (own)
        return own;
    const std::string tag = entry(stream->metadata, "DURATION");
    const char *at = tag.c_str();
    const char *end = at + tag.size();
    double parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        // Digits first: no sign, no space, no word.
        if (at == end || !std::isdigit(static_cast<unsigned char>(*at)))
            return 0;
        const std::from_chars_result parsed = std::from_chars(at, end, parts[i]);
        if (parsed.ec != std::errc() || (i < 2 && (parsed.ptr == end || *parsed.ptr != ':')))
            return 0;
        at = parsed.ptr + (i < 2 ? 1 : 0);
    }
    const double seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
    if (!std::isfinite(seconds) || parts[1] >= 60 || parts[2] >= 60 || seconds > kMostSeconds)
        return 0;
    return uint64_t(seconds * 1e6 + 0.5);
}

int clampInt(int64_t value)
{
    return value > 0 && value <= INT32_MAX ? int(value) : 0;
}

// The fields every kind of stream has.
template <typename Description>
Description describeStream(const AVStream *stream)
{
    Description description;
    description.title = entry(stream->metadata, "title");
    description.codec = avcodec_get_name(stream->codecpar->codec_id);
    description.language = entry(stream->metadata, "language");
    description.duration = streamDuration(stream);
    return description;
}

VideoStreamDescription describeVideo(AVFormatContext *context, AVStream *stream)
{
    const AVCodecParameters *par = stream->codecpar;
    auto video = describeStream<VideoStreamDescription>(stream);
    video.width = clampInt(par->width);
    video.height = clampInt(par->height);
    video.bitRate = clampInt(par->bit_rate);
    if (video.width && video.height) {
        AVRational sar = av_guess_sample_aspect_ratio(context, stream, nullptr);
        if (sar.num <= 0 || sar.den <= 0)
            sar = AVRational{1, 1};
        av_reduce(&video.aspectNum, &video.aspectDen, int64_t(video.width) * sar.num,
                  int64_t(video.height) * sar.den, 1 << 30);
    }
    AVRational rate = stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        video.frameRateNum = rate.num;
        video.frameRateDen = rate.den;
    }
    return video;
}

AudioStreamDescription describeAudio(AVStream *stream)
{
    const AVCodecParameters *par = stream->codecpar;
    auto audio = describeStream<AudioStreamDescription>(stream);
    audio.sampleRate = clampInt(par->sample_rate);
    audio.channels = clampInt(par->ch_layout.nb_channels);
    if (par->ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
        audio.channelLayout = par->ch_layout.u.mask;
    audio.bitRate = clampInt(par->bit_rate);
    // Containers declare a sample size even for lossy codecs, where it means nothing.
    const int fixedDepth = av_get_bits_per_sample(par->codec_id);
    audio.bitDepth = clampInt(fixedDepth ? fixedDepth : par->bits_per_raw_sample);
    return audio;
}

void addStream(AVFormatContext *context, AVStream *stream, ProgramDescription &program)
{
    switch (stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        // A cover picture is not a video to play.
        if (!(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            program.video.push_back(describeVideo(context, stream));
        break;
    case AVMEDIA_TYPE_AUDIO:
        program.audio.push_back(describeAudio(stream));
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        program.subtitles.push_back(describeStream<SubtitleStreamDescription>(stream));
        break;
    default:
        break;
    }
}

// Chapters on the play time line, which starts at the medium's first timestamp.
std::vector<ChapterDescription> describeChapters(const AVFormatContext *context)
{
    const int64_t origin = context->start_time == AV_NOPTS_VALUE ? 0 : context->start_time;
    std::vector<ChapterDescription> chapters;
    for (unsigned i = 0; i < context->nb_chapters; ++i) {
        const AVChapter *source = context->chapters[i];
        const int64_t start = av_rescale_q(source->start, source->time_base, AV_TIME_BASE_Q);
        const int64_t end = av_rescale_q(source->end, source->time_base, AV_TIME_BASE_Q);
        ChapterDescription chapter;
        chapter.title = entry(source->metadata, "title");
        chapter.start = uint64_t(std::max<int64_t>(0, start - origin));
        chapter.duration = uint64_t(std::max<int64_t>(0, end - start));
        chapters.push_back(chapter);
    }
    return chapters;
}

MediaDescription describeFile(AVFormatContext *context)
{
    MediaDescription media;
    media.formatName = context->iformat && context->iformat->name ? context->iformat->name : "";
    media.duration = micros(context->duration, AV_TIME_BASE_Q);
    const AVDictionaryEntry *tag = nullptr;
    while ((tag = av_dict_get(context->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)))
        media.tags.emplace_back(tag->key, tag->value ? tag->value : "");
    const std::vector<ChapterDescription> chapters = describeChapters(context);

    if (context->nb_programs == 0) {
        ProgramDescription program;
        program.duration = media.duration;
        for (unsigned i = 0; i < context->nb_streams; ++i)
            addStream(context, context->streams[i], program);
        program.chapters = chapters;
        media.programs.push_back(std::move(program));
        return media;
    }
    for (unsigned p = 0; p < context->nb_programs; ++p) {
        const AVProgram *source = context->programs[p];
        ProgramDescription program;
        program.name = entry(source->metadata, "service_name");
        if (program.name.empty())
            program.name = entry(source->metadata, "title");
        const bool timed = source->start_time != AV_NOPTS_VALUE && source->end_time != AV_NOPTS_VALUE
                           && source->end_time > source->start_time;
        program.duration = timed ? uint64_t(source->end_time - source->start_time) : media.duration;
        for (unsigned i = 0; i < source->nb_stream_indexes; ++i) {
            if (source->stream_index[i] < context->nb_streams)
                addStream(context, context->streams[source->stream_index[i]], program);
        }
        program.chapters = chapters;
        media.programs.push_back(std::move(program));
    }
    return media;
}

} // namespace

bool MediaProbe::openFile(const char *path)
{
    close();
    // Only regular files: opening a pipe or a device would block the loading thread.
    std::error_code error;
    if (!path || !*path || !std::filesystem::is_regular_file(path, error))
        return false;
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, path, nullptr, nullptr) < 0)
        return false;
    const FormatContextPtr context(raw);
    if (avformat_find_stream_info(context.get(), nullptr) < 0 || context->nb_streams == 0)
        return false;
    take(describeFile(context.get()));
    return true;
}

bool MediaProbe::openDisc(const char *path)
{
    close();
    if (!path || !*path)
        return false;
    const std::unique_ptr<DvdDisc> disc = DvdDisc::open(path);
    if (!disc)
        return false;
    take(disc->describe());
    return true;
}

void MediaProbe::take(MediaDescription media)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_media = std::move(media);
    m_program = -1;
    m_video = m_audio = m_subtitle = 0;
}

void MediaProbe::close()
{
    take(MediaDescription());
}

const ProgramDescription *MediaProbe::program() const
{
    if (m_media.programs.empty())
        return nullptr;
    return &m_media.programs[m_program < 0 ? 0 : size_t(m_program)];
}

uint64_t MediaProbe::duration() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_program < 0 ? m_media.duration : m_media.programs[size_t(m_program)].duration;
}

const char *MediaProbe::formatName() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return text(m_media.formatName);
}

const char *MediaProbe::tag(const char *key) const
{
    if (!key)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto &entry : m_media.tags) {
        if (strcasecmp(entry.first.c_str(), key) == 0)
            return text(entry.second);
    }
    return nullptr;
}

int MediaProbe::programCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_media.programs.size());
}

bool MediaProbe::selectProgram(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < 0 || index >= int(m_media.programs.size()))
        return false;
    m_program = index;
    m_video = m_audio = m_subtitle = 0;
    return true;
}

const char *MediaProbe::programName() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const ProgramDescription *p = program();
    return p ? text(p->name) : nullptr;
}

bool MediaProbe::hasVideo() const
{
    return videoStreamCount() > 0;
}

bool MediaProbe::hasAudio() const
{
    return audioStreamCount() > 0;
}

template <typename T>
int MediaProbe::count(StreamList<T> list) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const ProgramDescription *p = program();
    return p ? int((p->*list).size()) : 0;
}

template <typename T>
bool MediaProbe::select(StreamList<T> list, int &slot, int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const ProgramDescription *p = program();
    if (!p || index < 0 || index >= int((p->*list).size()))
        return false;
    slot = index;
    return true;
}

int MediaProbe::videoStreamCount() const
{
    return count(&ProgramDescription::video);
}

int MediaProbe::audioStreamCount() const
{
    return count(&ProgramDescription::audio);
}

int MediaProbe::subtitleStreamCount() const
{
    return count(&ProgramDescription::subtitles);
}

bool MediaProbe::selectVideoStream(int index)
{
    return select(&ProgramDescription::video, m_video, index);
}

bool MediaProbe::selectAudioStream(int index)
{
    return select(&ProgramDescription::audio, m_audio, index);
}

bool MediaProbe::selectSubtitleStream(int index)
{
    return select(&ProgramDescription::subtitles, m_subtitle, index);
}

int MediaProbe::chapterCount() const
{
    return count(&ProgramDescription::chapters);
}

}
