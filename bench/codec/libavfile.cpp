#include "libavfile.h"

bool LibavFile::open(const std::string &path, bool decoder)
{
    AVFormatContext *context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return false;
    format_.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        return false;
    if (!decoder)
        return true;
    const AVCodec *codec = nullptr;
    const int index = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0)
        return false;
    stream_ = context->streams[index];
    codec_.reset(avcodec_alloc_context3(codec));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream_->codecpar) < 0)
        return false;
    codec_->thread_count = 0;
    codec_->pkt_timebase = stream_->time_base;
    return avcodec_open2(codec_.get(), codec, nullptr) == 0;
}

bool LibavFile::nextPicture()
{
    for (;;) {
        const int received = avcodec_receive_frame(codec_.get(), frame_.get());
        if (received == 0)
            return true;
        if (received != AVERROR(EAGAIN) || draining_)
            return false;
        if (av_read_frame(format_.get(), packet_.get()) < 0) {
            avcodec_send_packet(codec_.get(), nullptr);
            draining_ = true;
            continue;
        }
        if (packet_->stream_index == stream_->index)
            avcodec_send_packet(codec_.get(), packet_.get());
        av_packet_unref(packet_.get());
    }
}

double LibavFile::start() const
{
    return format_->start_time == AV_NOPTS_VALUE ? 0 : double(format_->start_time) / AV_TIME_BASE;
}

double LibavFile::pictureTime() const
{
    return double(frame_->best_effort_timestamp) * av_q2d(stream_->time_base) - start();
}

bool LibavFile::seekExact(double seconds)
{
    const int64_t target = int64_t((start() + seconds) / av_q2d(stream_->time_base));
    if (av_seek_frame(format_.get(), stream_->index, target, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(codec_.get());
    draining_ = false;
    const double period = 1 / av_q2d(stream_->avg_frame_rate);
    while (nextPicture()) {
        if (pictureTime() + period > seconds)
            return true;
    }
    return false;
}
