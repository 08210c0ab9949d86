#include "engine/qvideoframegate.h"

#include <climits>
#include <cstdio>

namespace {

const int kMaxWaiting = 9;
// No OpenGL implementation offers textures this large on a side.
const int kMaxExtent = 1 << 16;

bool rowsFit(int rowBytes, int stride, int rows)
{
    return rowBytes > 0 && stride >= rowBytes && stride <= kMaxExtent && stride % 4 == 0
        && static_cast<long long>(stride) * rows <= INT_MAX;
}

}

bool QVideoFrameGate::enter(bool clear, const char *slowLine)
{
    if (clear) {
        ++mCount;
        return true;
    }
    int waiting = mCount.load();
    do {
        if (waiting >= kMaxWaiting) {
            // Marked before the count is read again, so that one of the frames still waiting sees it.
            mRefused = true;
            waiting = mCount.load();
            if (waiting < kMaxWaiting)
                continue;
            ++mDropped;
            std::printf("%s\n", slowLine);
            std::fflush(stdout);
            return false;
        }
    } while (!mCount.compare_exchange_weak(waiting, waiting + 1));
    return true;
}

void QVideoFrameGate::leave()
{
    --mCount;
}

bool QVideoFrameGate::handled()
{
    --mCount;
    return mRefused.exchange(false);
}

long long QVideoFrameGate::dropped() const
{
    return mDropped.load();
}

void QVideoFrameGate::countDropped()
{
    ++mDropped;
}

bool QVideoFrameGate::packedFits(int width, int height, int stride)
{
    return width > 0 && width <= kMaxExtent / 4 && height > 0 && height <= kMaxExtent
        && rowsFit(width * 4, stride, height);
}

bool QVideoFrameGate::planarFits(int width, int height, const int *strides)
{
    if (width <= 0 || width > kMaxExtent || height <= 0 || height > kMaxExtent)
        return false;
    const int evenHeight = height + (height & 1);
    const int chromaWidth = (width + 1) / 2;
    return rowsFit(width, strides[0], evenHeight) && rowsFit(chromaWidth, strides[1], evenHeight / 2)
        && rowsFit(chromaWidth, strides[2], evenHeight / 2);
}
