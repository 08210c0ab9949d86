#ifndef RQ_LIBAVFILE_H
#define RQ_LIBAVFILE_H

// A file read with libavformat/libavcodec directly, the way the ffmpeg tool does it: the floor the codec
// library's open, first picture and exact seek are measured against.
#include "codec/ffptr.h"

#include <string>

class LibavFile {
public:
    // Opens and reads the stream information; with decoder, also opens the best video stream's decoder
    // (as many threads as the machine has).
    bool open(const std::string &path, bool decoder);
    // The next picture in presentation order; false at the end or on an error.
    bool nextPicture();
    // Seeks to the keyframe before seconds (from the start of the file) and decodes up to the picture shown then.
    bool seekExact(double seconds);
    const AVFrame *picture() const { return frame_.get(); }
    // The current picture's time in seconds from the start of the file (the earliest stream's start).
    double pictureTime() const;

private:
    double start() const;

    rq::FormatContextPtr format_;
    rq::CodecContextPtr codec_;
    rq::PacketPtr packet_ = rq::makePacket();
    rq::FramePtr frame_ = rq::makeFrame();
    AVStream *stream_ = nullptr;
    bool draining_ = false;
};

#endif
