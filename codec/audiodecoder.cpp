#include "codec/audiodecoder.h"

#include "codec/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rq {

AudioDecoder::AudioDecoder(PacketQueue &packets, FrameQueue &frames, SyncState &sync, int outputRate,
                           AudioProcessor &processor)
    : Decoder(packets, frames, sync), m_outputRate(outputRate), m_processor(processor)
{
}

AudioDecoder::~AudioDecoder()
{
    join();
    av_channel_layout_uninit(&m_inLayout);
}

void AudioDecoder::beginSerial(int serial)
{
    m_start = m_sync.startOf(serial);
    // Samples the resampler and the processing still hold belong to the old position.
    m_resampler.reset();
    m_processor.reset();
}

bool AudioDecoder::configure(const AVFrame *frame)
{
    AVChannelLayout layout{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels == 0)
        av_channel_layout_default(&layout, std::max(1, frame->ch_layout.nb_channels));
    else
        av_channel_layout_copy(&layout, &frame->ch_layout);
    if (m_resampler && frame->sample_rate == m_inRate && frame->format == m_inFormat
        && av_channel_layout_compare(&layout, &m_inLayout) == 0) {
        av_channel_layout_uninit(&layout);
        return true;
    }
    av_channel_layout_uninit(&m_inLayout);
    m_inLayout = layout;
    m_inRate = frame->sample_rate;
    m_inFormat = frame->format;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext *swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, m_outputRate, &m_inLayout,
                            AVSampleFormat(m_inFormat), m_inRate, 0, nullptr) < 0)
        return false;
    m_resampler.reset(swr);
    return swr_init(swr) >= 0;
}

bool AudioDecoder::deliver(FramePtr frame, int serial)
{
    if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || !configure(frame.get()))
        return true;
    double pts = ptsOf(frame.get());
    const int capacity = int(av_rescale_rnd(swr_get_delay(m_resampler.get(), m_inRate) + frame->nb_samples,
                                            m_outputRate, m_inRate, AV_ROUND_UP));
    FramePtr out = makeFrame();
    out->format = AV_SAMPLE_FMT_S16;
    out->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    out->sample_rate = m_outputRate;
    out->nb_samples = capacity;
    if (av_frame_get_buffer(out.get(), 0) < 0)
        return true;
    const int converted = swr_convert(m_resampler.get(), out->data, capacity,
                                      const_cast<const uint8_t **>(frame->extended_data), frame->nb_samples);
    if (converted <= 0)
        return true;
    out->nb_samples = converted;
    m_nextPts = pts + double(frame->nb_samples) / frame->sample_rate;
    if (pts + converted / double(m_outputRate) <= m_start)
        return true;
    if (pts < m_start) {
        // An exact seek's target lies inside: the samples before it are cut off here, before any processing.
        const int skip = std::min(converted - 1, saturated<int>((m_start - pts) * m_outputRate));
        std::memmove(out->data[0], out->data[0] + size_t(skip) * kBytesPerFrame,
                     size_t(converted - skip) * kBytesPerFrame);
        out->nb_samples = converted - skip;
        pts += skip / double(m_outputRate);
    }
    m_chunks.clear();
    m_processor.push(std::move(out), pts, m_chunks);
    return pushChunks(serial);
}

bool AudioDecoder::deliverEnd(int serial)
{
    m_chunks.clear();
    m_processor.finish(m_chunks);
    return pushChunks(serial) && Decoder::deliverEnd(serial);
}

bool AudioDecoder::pushChunks(int serial)
{
    for (AudioProcessor::Chunk &chunk : m_chunks) {
        FrameQueue::Entry entry;
        entry.serial = serial;
        entry.pts = chunk.pts;
        entry.duration = chunk.duration;
        entry.frame = std::move(chunk.frame);
        if (!m_frames.push(std::move(entry)))
            return false;
    }
    return true;
}

}
