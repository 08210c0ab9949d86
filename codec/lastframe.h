#ifndef RQ_LASTFRAME_H
#define RQ_LASTFRAME_H

#include "codec/ffptr.h"

#include <mutex>

namespace rq {

// The picture presented last, kept by reference for snapshots and for presenting it again.
class LastFrame
{
public:
    void store(const AVFrame *frame, double pts);
    void clear();
    // A new reference to the picture, or null.
    FramePtr take(double *pts = nullptr) const;

    // A 24-bit BMP file of the picture scaled to width x height; 0 x 0 gives the picture's height at the
    // display aspect aspectNum:aspectDen (its own size when that is 0:0). Null without a picture.
    unsigned char *snapshot(int width, int height, unsigned aspectNum, unsigned aspectDen) const;
    static void release(unsigned char *block);

private:
    mutable std::mutex m_mutex;
    FramePtr m_frame;
    double m_pts = 0;
};

}

#endif
