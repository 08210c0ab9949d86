#ifndef QVIDEOFRAMEGATE_H
#define QVIDEOFRAMEGATE_H

#include <atomic>

// What a video view checks on the delivering thread before it copies a frame:
// the frame's layout, and how many frames already wait for the main thread.
class QVideoFrameGate
{
public:
    // Counts a frame in; a clear request always passes, a picture only while fewer than nine wait,
    // else slowLine goes to standard output and the refusal is remembered.
    bool enter(bool clear, const char *slowLine);
    // Counts a frame out that enter() let in but that could not be queued.
    void leave();
    // Counts out a frame handled on the main thread. True for the first one after a refusal: there
    // is room again for the picture that was lost.
    bool handled();
    // Pictures refused for want of room, or because no copy of them could be made.
    long long dropped() const;
    void countDropped();

    // Packed 32-bit rows: positive sizes, stride of whole pixels covering the width, copy size within int.
    static bool packedFits(int width, int height, int stride);
    // Planar 4:2:0: the same for the three planes (chroma has half the width and rows, odd counted whole).
    static bool planarFits(int width, int height, const int *strides);

private:
    std::atomic<int> mCount{0};
    std::atomic<bool> mRefused{false};
    std::atomic<long long> mDropped{0};
};

#endif
