#include "codec/demuxer.h"

#include "codec/numeric.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace rq {

namespace {
constexpr int64_t kMaxBytes = 64 * 1024 * 1024;
constexpr int kMinPackets = 16;
// A full reader waits until an eighth of the read-ahead has been taken, rather than read each packet as soon as
// one is taken.
constexpr int kRefillParts = 8;
// How far past a seek the reader looks for the first picture.
constexpr int kMostLandingPackets = 64;
}

Demuxer::Demuxer(MediaInput &input, PacketQueue *video, PacketQueue *audio, WakeSignal &wake,
                 int64_t readAheadMicros, SubtitleDecoder *subtitles, SyncState *sync)
    : m_input(input), m_video(video), m_audio(audio), m_subtitles(subtitles), m_sync(subtitles ? sync : nullptr),
      m_readAhead(readAheadMicros), m_wake(wake)
{
}

Demuxer::~Demuxer()
{
    stop();
}

void Demuxer::start(int serial)
{
    m_serial = serial;
    m_thread = std::thread(&Demuxer::run, this);
}

void Demuxer::seek(int serial, double target)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_seekPending = true;
        m_seekSerial = serial;
        m_seekTarget = target;
    }
    m_wake.notify();
}

void Demuxer::stop()
{
    m_stop = true;
    m_wake.notify();
    if (m_thread.joinable())
        m_thread.join();
}

double Demuxer::secondsIn(const PacketQueue *queue, int stream) const
{
    return queue->duration() * av_q2d(m_input.stream(stream)->time_base);
}

bool Demuxer::queuesFull(bool refilling) const
{
    const int64_t bytes = (m_video ? m_video->bytes() : 0) + (m_audio ? m_audio->bytes() : 0);
    if (bytes > kMaxBytes)
        return true;
    const double limit = m_readAhead / 1e6 * (refilling ? 1.0 - 1.0 / kRefillParts : 1.0);
    auto enough = [&](const PacketQueue *queue, int stream) {
        return !queue || (queue->count() >= kMinPackets && secondsIn(queue, stream) >= limit)
               || queue->count() >= 4096;
    };
    return enough(m_video, m_input.videoStream()) && enough(m_audio, m_input.audioStream());
}

void Demuxer::markRead(const AVPacket *packet)
{
    const int64_t ts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (!m_sync || ts == AV_NOPTS_VALUE)
        return;
    const AVStream *stream = m_input.stream(packet->stream_index);
    if (stream)
        m_sync->setReadTo(m_serial, ts * av_q2d(stream->time_base) - m_input.startTime() / double(AV_TIME_BASE));
}

// Nothing may leave the thread: a failure (no memory) ends the reading as the end of the input would.
void Demuxer::run()
try {
    AVFormatContext *ctx = m_input.context();
    PacketPtr packet = makePacket();
    bool ended = false;
    bool full = false;
    while (!m_stop) {
        // Taken before looking, so that a packet taken or a seek asked meanwhile ends the wait below at once.
        const uint64_t seen = m_wake.generation();
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            full = !m_seekPending && !ended && queuesFull(full);
            if (!m_seekPending && (ended || full)) {
                // A full reader looks again when a packet is taken, an ended one when a seek comes.
                lock.unlock();
                m_wake.wait(seen);
                continue;
            }
            if (m_seekPending) {
                m_seekPending = false;
                m_serial = m_seekSerial;
                // MPEG program and transport streams are searched by timestamp, which lands on any packet before
                // the time, often past the keyframe the target needs: start a second early, the exact seek decodes up.
                const int64_t early = (ctx->iformat->flags & AVFMT_TS_DISCONT) ? AV_TIME_BASE : 0;
                const int64_t ts = saturated<int64_t>(m_seekTarget * AV_TIME_BASE + double(m_input.startTime()));
                const int64_t from = std::max(m_input.startTime(), ts > INT64_MIN + early ? ts - early : INT64_MIN);
                lock.unlock();
                if (avformat_seek_file(ctx, -1, INT64_MIN, from, from, 0) < 0)
                    avformat_seek_file(ctx, -1, INT64_MIN, ts, INT64_MAX, 0);
                else if (m_video && !early)
                    landBefore(ts);
                if (m_subtitles)
                    m_subtitles->flush();
                ended = false;
                continue;
            }
        }
        const int result = av_read_frame(ctx, packet.get());
        if (result < 0) {
            if (result == AVERROR(EAGAIN)) {
                m_wake.wait(seen, WakeSignal::Clock::now() + std::chrono::milliseconds(5));
                continue;
            }
            // Read errors past this point (a cut-off file) end the stream the same way as its real end.
            if (m_sync)
                m_sync->setReadTo(m_serial, std::numeric_limits<double>::infinity());
            if (m_video)
                m_video->putEnd(m_serial);
            if (m_audio)
                m_audio->putEnd(m_serial);
            ended = true;
            continue;
        }
        dispatch(packet);
    }
} catch (const std::exception &) {
}

void Demuxer::dispatch(PacketPtr &packet)
{
    markRead(packet.get());
    PacketQueue *target = nullptr;
    if (m_video && packet->stream_index == m_input.videoStream())
        target = m_video;
    else if (m_audio && packet->stream_index == m_input.audioStream())
        target = m_audio;
    if (target) {
        target->put(std::move(packet), m_serial);
        packet = makePacket();
    } else if (m_subtitles && packet->stream_index == m_input.subtitleStream()) {
        m_subtitles->decode(packet.get(), m_input.startTime() / double(AV_TIME_BASE));
        av_packet_unref(packet.get());
    } else {
        av_packet_unref(packet.get());
    }
}

void Demuxer::landBefore(int64_t ts)
{
    AVFormatContext *ctx = m_input.context();
    const AVStream *video = m_input.stream(m_input.videoStream());
    std::vector<PacketPtr> read;
    for (int i = 0; i < kMostLandingPackets; ++i) {
        PacketPtr packet = makePacket();
        if (!packet || av_read_frame(ctx, packet.get()) < 0)
            break;
        const bool isVideo = packet->stream_index == video->index;
        read.push_back(std::move(packet));
        if (!isVideo)
            continue;
        const AVPacket *first = read.back().get();
        // An open GOP's keyframe is decoded ahead of pictures shown before it, which need the GOP before: a
        // keyframe shown after the target is left for the one before it.
        if ((first->flags & AV_PKT_FLAG_KEY) && first->pts != AV_NOPTS_VALUE && first->dts != AV_NOPTS_VALUE
            && av_compare_ts(first->pts, video->time_base, ts, AV_TIME_BASE_Q) > 0
            && av_compare_ts(first->dts, video->time_base, m_input.startTime(), AV_TIME_BASE_Q) > 0
            && avformat_seek_file(ctx, video->index, INT64_MIN, first->dts - 1, first->dts - 1, 0) >= 0)
            return;
        break;
    }
    for (PacketPtr &packet : read)
        dispatch(packet);
}

}
