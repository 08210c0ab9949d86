#include "codec/subtitlescanner.h"

#include "codec/numeric.h"

#include <algorithm>
#include <limits>

namespace rq {

SubtitleScanner::SubtitleScanner(const std::string &path, int stream, int clock, int64_t startTime,
                                 SubtitleRenderer &renderer, int source, SyncState &sync,
                                 std::function<void(double, double)> changed)
    : m_path(path), m_stream(stream), m_clock(clock), m_origin(startTime / double(AV_TIME_BASE)), m_sync(sync),
      m_decoder(renderer, source, std::move(changed)), m_packet(makePacket())
{
    m_thread = std::thread(&SubtitleScanner::run, this);
}

SubtitleScanner::~SubtitleScanner()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_cond.notify_all();
    m_thread.join();
}

void SubtitleScanner::scan(int serial, double target)
{
    m_sync.beginScan(serial);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_serial = serial;
        m_target = target;
        m_done = false;
    }
    m_cond.notify_all();
}

void SubtitleScanner::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (m_done) {
            m_cond.wait(lock);
            continue;
        }
        const int serial = m_serial;
        const double target = m_target;
        lock.unlock();
        bool finished = true;
        // Nothing may leave the thread: a failure (no memory) ends the reading.
        try {
            finished = advance(target);
        } catch (const std::exception &) {
            m_broken = true;
        }
        lock.lock();
        if (finished && serial == m_serial) {
            m_done = true;
            m_sync.endScan(serial);
        }
    }
}

bool SubtitleScanner::openInput()
{
    AVFormatContext *ctx = avformat_alloc_context();
    if (!ctx || !m_packet)
        return false;
    ctx->interrupt_callback.callback = [](void *stop) { return static_cast<std::atomic<bool> *>(stop)->load() ? 1 : 0; };
    ctx->interrupt_callback.opaque = &m_stop;
    // avformat_open_input frees the context when it fails.
    if (avformat_open_input(&ctx, m_path.c_str(), nullptr, nullptr) < 0)
        return false;
    m_context.reset(ctx);
    // Streams found only by reading packets are looked for only when the header does not name ours.
    auto named = [&] { return m_stream < int(ctx->nb_streams) && m_clock < int(ctx->nb_streams); };
    if ((!named() && avformat_find_stream_info(ctx, nullptr) < 0) || !named())
        return false;
    const AVStream *stream = ctx->streams[m_stream];
    if (stream->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE || !m_decoder.open(stream, std::string(), true))
        return false;
    for (unsigned i = 0; i < ctx->nb_streams; ++i)
        ctx->streams[i]->discard = int(i) == m_stream || int(i) == m_clock ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    return true;
}

double SubtitleScanner::firstUnread(double from) const
{
    for (const auto &stretch : m_read)
        if (stretch.first <= from && from <= stretch.second)
            from = stretch.second;
    return from;
}

void SubtitleScanner::markRead(double from, double to)
{
    m_read.emplace_back(from, to);
    std::sort(m_read.begin(), m_read.end());
    std::vector<std::pair<double, double>> merged;
    for (const auto &stretch : m_read) {
        if (!merged.empty() && stretch.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, stretch.second);
        else
            merged.push_back(stretch);
    }
    m_read = std::move(merged);
}

bool SubtitleScanner::advance(double target)
{
    const double from = firstUnread(std::max(0.0, target - kLookBack));
    if (from >= target || m_broken)
        return true;
    if (!m_context && !openInput()) {
        m_broken = true;
        return true;
    }
    AVFormatContext *ctx = m_context.get();
    // Read on from where the handle stands when that is where the unread stretch begins; else go there.
    if (!m_reading || from != m_readTo) {
        const int64_t ts = saturated<int64_t>((from + m_origin) * AV_TIME_BASE);
        if (avformat_seek_file(ctx, -1, INT64_MIN, ts, ts, 0) < 0) {
            // Nowhere to read it from: the stretch is given up rather than waited for.
            markRead(from, target);
            m_reading = false;
            return true;
        }
        m_decoder.flush();
        m_reading = true;
        m_readFrom = m_readTo = from;
    }
    const int result = av_read_frame(ctx, m_packet.get());
    if (result == AVERROR(EAGAIN))
        return false;
    if (result < 0) {
        // The end of the file: nothing lies past it.
        markRead(m_readFrom, std::numeric_limits<double>::infinity());
        m_reading = false;
        return true;
    }
    const AVPacket *packet = m_packet.get();
    if (packet->stream_index == m_stream)
        m_decoder.decode(packet, m_origin);
    const int64_t ts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (ts != AV_NOPTS_VALUE && packet->stream_index < int(ctx->nb_streams)) {
        const double at = ts * av_q2d(ctx->streams[packet->stream_index]->time_base) - m_origin;
        if (at > m_readTo) {
            m_readTo = at;
            markRead(m_readFrom, m_readTo);
        }
    }
    av_packet_unref(m_packet.get());
    return m_readTo >= target;
}

}
