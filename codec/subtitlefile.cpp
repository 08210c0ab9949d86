#include "codec/subtitlefile.h"

#include "codec/subtitledecoder.h"

#include <uchardet.h>

#include <fstream>
#include <memory>

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
    int result = read(path, renderer, source, std::string());
    if (result == AVERROR_INVALIDDATA) {
        const std::string charset = detectCharset(path);
        if (charset.empty() || charset == "UTF-8" || charset == "ASCII")
            return false;
        result = read(path, renderer, source, charset);
    }
    return result == 0 && renderer.hasEvents();
}

int SubtitleFile::read(const std::string &path, SubtitleRenderer &renderer, int source, const std::string &charset)
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
        return AVERROR_STREAM_NOT_FOUND;
    // Opening starts the source over, so a second reading in another encoding replaces the first.
    SubtitleDecoder decoder(renderer, source);
    if (!decoder.open(context->streams[index], charset))
        return AVERROR_DECODER_NOT_FOUND;
    PacketPtr packet = makePacket();
    while (av_read_frame(context.get(), packet.get()) >= 0) {
        // Text that is not in the encoding fails the file; a packet the decoder cannot make sense of is passed
        // over, as SAMI's blank lines are.
        const bool ours = packet->stream_index == index;
        const int result = ours ? decoder.decode(packet.get(), 0) : 0;
        av_packet_unref(packet.get());
        if (result == AVERROR_INVALIDDATA)
            return result;
    }
    return 0;
}

std::string SubtitleFile::detectCharset(const std::string &path)
{
    // Subtitle text is small; a few megabytes say all there is to say about its encoding.
    constexpr std::streamsize kMost = 4 << 20;
    std::ifstream file(path, std::ios::binary);
    std::string bytes(size_t(kMost), '\0');
    file.read(&bytes[0], kMost);
    bytes.resize(size_t(file.gcount()));
    const std::unique_ptr<uchardet, void (*)(uchardet_t)> detector(uchardet_new(), uchardet_delete);
    if (!detector || bytes.empty() || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0)
        return std::string();
    uchardet_data_end(detector.get());
    return uchardet_get_charset(detector.get());
}

}
