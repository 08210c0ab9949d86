#ifndef RQ_SUBTITLEDECODER_H
#define RQ_SUBTITLEDECODER_H

#include "codec/subtitlerenderer.h"

#include <functional>
#include <string>

namespace rq {

// Decodes the packets of one subtitle source (a stream, a file or the captions carried in the video) into
// events of the renderer: text as ASS lines, pictures as bitmaps.
class SubtitleDecoder
{
public:
    // changed(from, to) runs after events were added, on the decoding thread, with the seconds they cover (to < 0:
    // until the next event).
    SubtitleDecoder(SubtitleRenderer &renderer, int source, std::function<void(double, double)> changed = {});

    // charset: the encoding of text that is not UTF-8, as iconv names it; empty for UTF-8. joins: the events
    // join those the source has, its text begun already (by another decoder of the same stream).
    bool open(const AVStream *stream, const std::string &charset = std::string(), bool joins = false);
    // EIA-608 captions, fed with the caption data of decoded pictures.
    bool openCaptions();
    // Packet times are taken on the medium's time line, which starts at origin (seconds). Answers 0, or the
    // decoder's error: AVERROR_INVALIDDATA for text that is not UTF-8.
    int decode(const AVPacket *packet, double origin);
    // Caption bytes of a picture shown at pts seconds.
    void decodeCaptions(const uint8_t *data, int size, double pts);
    // After a seek: the decoder forgets what it held; the events read so far stay.
    void flush();

private:
    bool openCodec(const AVCodec *codec, const AVCodecParameters *parameters, const std::string &charset,
                   bool joins = false);

    SubtitleRenderer &m_renderer;
    const int m_source;
    std::function<void(double, double)> m_changed;
    CodecContextPtr m_context;
    AVRational m_timeBase{1, AV_TIME_BASE};
};

}

#endif
