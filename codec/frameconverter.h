#ifndef RQ_FRAMECONVERTER_H
#define RQ_FRAMECONVERTER_H

#include "codec/codecframe.h"
#include "codec/ffptr.h"

#include <vector>

namespace rq {

// Hands a decoded picture over as planar YUV 4:2:0 or packed BGRA, whichever the callback accepts: pictures
// already in such a format are passed by pointer, others are converted into buffers of its own, which it
// reuses. YUV goes out in limited range, as views expect it: full-range pictures (JPEG, many phone recordings)
// are converted as well. 10-bit 4:2:0 in limited range is narrowed by a rounding shift, the rest by swscale.
class FrameConverter
{
public:
    explicit FrameConverter(std::vector<int> accepted);

    // out is valid until the next call or the converter's end.
    bool convert(const AVFrame *frame, CodecFrame &out);
    // Whether convert() would turn the picture into YUV 4:2:0 rather than pass it by pointer.
    bool convertsToYuv(const AVFrame *frame) const;
    // The picture as limited-range YUV 4:2:0 with its properties, in a buffer of the converter's pool; null
    // without memory. Used ahead of convert() by a thread of its own, with a converter of its own.
    FramePtr toYuv(const AVFrame *frame);

    // Packed or palette colours rather than YUV.
    static bool isRgb(AVPixelFormat format);
    static bool isFullRange(const AVFrame *frame);
    // Makes frame a writable picture of that size and format, keeping its buffer when it already is one;
    // false without memory.
    static bool reuseOrAllocate(FramePtr &frame, int width, int height, AVPixelFormat format);
    // A scaler from the picture to that size and format which knows the picture's range and gives limited
    // range for YUV out.
    static SwsPtr scalerFor(const AVFrame *source, int width, int height, AVPixelFormat target, int flags);

private:
    AVPixelFormat targetFor(AVPixelFormat source) const;
    bool needsConversion(const AVFrame *frame, AVPixelFormat target) const;
    // Converts with swscale, made anew when the picture's kind changes.
    bool scale(const AVFrame *frame, AVFrame *to);

    std::vector<int> m_accepted;
    SwsPtr m_scaler;
    // What the scaler was made for: size, source format and range, target format.
    std::vector<int> m_scalerKey;
    BufferPoolPtr m_pool;
    int m_poolWidth = 0, m_poolHeight = 0;
    FramePtr m_buffer;
};

}

#endif
