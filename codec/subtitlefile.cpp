#include "codec/subtitlefile.h"

#include "codec/subtitledecoder.h"

namespace rq {

namespace {

FormatContextPtr openInput(const std::string &path)
{
    AVFormatContext *context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return FormatContextPtr();
    FormatContextPtr owned(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        return FormatContextPtr();
    return owned;
}

}

bool SubtitleFile::load(const std::string &path, SubtitleRenderer &renderer, int source)
{
    FormatContextPtr context = openInput(path);
    int index = context ? av_find_best_stream(context.get(), AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0) : -1;
    // The .sub half of a VobSub pair is read through its index.
    const size_t dot = path.rfind('.');
    if (index < 0 && dot != std::string::npos && path.substr(dot) == ".sub") {
        context = openInput(path.substr(0, dot) + ".idx");
        index = context ? av_find_best_stream(context.get(), AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0) : -1;
    }
    if (index < 0)
        return false;
    SubtitleDecoder decoder(renderer, source);
    if (!decoder.open(context->streams[index]))
        return false;
    PacketPtr packet = makePacket();
    while (av_read_frame(context.get(), packet.get()) >= 0) {
        // Text that is not UTF-8 fails the file; a packet the decoder cannot make sense of is passed over, as
        // SAMI's blank lines are.
        const bool ours = packet->stream_index == index;
        const int result = ours ? decoder.decode(packet.get(), 0) : 0;
        av_packet_unref(packet.get());
        if (result == AVERROR_INVALIDDATA)
            return false;
    }
    return renderer.hasEvents();
}

}
