#ifndef RQ_FRAMECONVERTER_H
#define RQ_FRAMECONVERTER_H

#include "codec/codecframe.h"
#include "codec/ffptr.h"

#include <vector>

namespace rq {

// Hands a decoded picture over as planar YUV 4:2:0 or packed BGRA, whichever the callback accepts: pictures
// already in such a format are passed by pointer, others are converted with swscale into a buffer of its own.
class FrameConverter
{
public:
    explicit FrameConverter(std::vector<int> accepted);

    // out is valid until the next call or the converter's end.
    bool convert(const AVFrame *frame, CodecFrame &out);

private:
    AVPixelFormat targetFor(AVPixelFormat source) const;

    std::vector<int> m_accepted;
    SwsPtr m_scaler;
    FramePtr m_buffer;
};

}

#endif
