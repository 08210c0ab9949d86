#include "codec/decoder.h"

extern "C" {
#include <libavutil/cpu.h>
#include <libavutil/imgutils.h>
}

#include <algorithm>

namespace rq {

namespace {
// What the pictures in flight of every decoding thread may take together: each frame thread holds one more,
// and on large pictures threads past four add little speed. Four at least, which 8K needs.
constexpr int64_t kMostThreadBytes = int64_t(100) << 20;
constexpr int64_t kFewestCappedThreads = 4;

// Threads for "one a core".
int threadsFor(const AVCodecParameters *parameters)
{
    const int cores = av_cpu_count();
    const int bytes = parameters->codec_type == AVMEDIA_TYPE_VIDEO
                          ? av_image_get_buffer_size(AVPixelFormat(parameters->format), parameters->width,
                                                     parameters->height, 1)
                          : 0;
    if (bytes <= 0)
        return cores;
    return int(std::min<int64_t>(cores, std::max(kFewestCappedThreads, kMostThreadBytes / bytes)));
}

}

Decoder::Decoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync)
    : m_packets(packets), m_frames(frames), m_sync(sync)
{
}

Decoder::~Decoder()
{
    join();
}

bool Decoder::open(const AVStream *stream, int64_t startTime, int threads)
{
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return false;
    m_context.reset(avcodec_alloc_context3(codec));
    if (!m_context || avcodec_parameters_to_context(m_context.get(), stream->codecpar) < 0)
        return false;
    m_context->pkt_timebase = stream->time_base;
    // One thread a core, fewer on large pictures: FFmpeg's own choice for "every core" adds one more, which
    // holds more pictures and spends more time switching.
    m_context->thread_count = threads > 0 ? threads : threadsFor(stream->codecpar);
    m_context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(m_context.get(), codec, nullptr) < 0)
        return false;
    m_timeBase = stream->time_base;
    m_startTime = startTime;
    return true;
}

void Decoder::start()
{
    m_thread = std::thread(&Decoder::run, this);
}

void Decoder::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool Decoder::deliverEnd(int serial)
{
    FrameQueue::Entry end;
    end.serial = serial;
    end.end = true;
    return m_frames.push(std::move(end));
}

void Decoder::beginSerial(int)
{
}

double Decoder::ptsOf(const AVFrame *frame) const
{
    const int64_t ts = frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE)
        return m_nextPts;
    return ts * av_q2d(m_timeBase) - m_startTime / double(AV_TIME_BASE);
}

// Nothing may leave the thread: a failure (no memory) ends the decoding.
void Decoder::run()
try {
    AVCodecContext *ctx = m_context.get();
    PacketQueue::Entry entry;
    int serial = -1;
    FramePtr frame = makeFrame();
    while (m_packets.get(entry)) {
        if (entry.serial != serial) {
            if (serial != -1)
                avcodec_flush_buffers(ctx);
            serial = entry.serial;
            beginSerial(serial);
        }
        ctx->skip_frame = m_skipNonRef ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        // Corrupt packets are skipped: the decoder carries on with the next one.
        avcodec_send_packet(ctx, entry.packet.get());
        int result;
        while ((result = avcodec_receive_frame(ctx, frame.get())) >= 0) {
            if (!deliver(std::move(frame), serial))
                return;
            frame = makeFrame();
        }
        if (result == AVERROR_EOF) {
            if (!deliverEnd(serial))
                return;
            avcodec_flush_buffers(ctx);
        }
    }
} catch (const std::exception &) {
}

}
