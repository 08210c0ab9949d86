#ifndef RQ_FRAMECONVERTER_H
#define RQ_FRAMECONVERTER_H

#include "codec/codecframe.h"
#include "codec/ffptr.h"

#include <vector>

namespace rq {

// Hands a decoded picture over as planar YUV 4:2:0 or packed BGRA, whichever the callback accepts: pictures
// already in such a format are passed by pointer, others are converted with swscale into a buffer of its own.
// YUV goes out in limited range, as views expect it: full-range pictures (JPEG, many phone recordings) are
// converted as well.
class FrameConverter
{
public:
    explicit FrameConverter(std::vector<int> accepted);

    // out is valid until the next call or the converter's end.
    bool convert(const AVFrame *frame, CodecFrame &out);

    // Packed or palette colours rather than YUV.
    static bool isRgb(AVPixelFormat format);
    static bool isFullRange(const AVFrame *frame);
    // A scaler from the picture to that size and format which knows the picture's range and gives limited
    // range for YUV out.
    static SwsPtr scalerFor(const AVFrame *source, int width, int height, AVPixelFormat target, int flags);

private:
    AVPixelFormat targetFor(AVPixelFormat source) const;

    std::vector<int> m_accepted;
    SwsPtr m_scaler;
    // What the scaler was made for: size, source format and range, target format.
    std::vector<int> m_scalerKey;
    FramePtr m_buffer;
};

}

#endif
