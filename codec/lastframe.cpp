#include "codec/lastframe.h"

#include "codec/frameconverter.h"

#include <cstring>
#include <vector>

namespace rq {

namespace {

void putLE(unsigned char *p, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

int evenUp(uint64_t v)
{
    return int((v + 1) & ~uint64_t(1));
}

}

void LastFrame::store(const AVFrame *frame, double pts)
{
    FramePtr copy = makeFrame();
    if (!copy || av_frame_ref(copy.get(), frame) < 0)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frame = std::move(copy);
    m_pts = pts;
}

void LastFrame::clear()
{
    FramePtr old;
    std::lock_guard<std::mutex> lock(m_mutex);
    old = std::move(m_frame);
}

FramePtr LastFrame::take(double *pts) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_frame)
        return FramePtr();
    FramePtr copy = makeFrame();
    if (!copy || av_frame_ref(copy.get(), m_frame.get()) < 0)
        return FramePtr();
    if (pts)
        *pts = m_pts;
    return copy;
}

void LastFrame::release(unsigned char *block)
{
    delete[] block;
}

unsigned char *LastFrame::snapshot(int width, int height, unsigned aspectNum, unsigned aspectDen) const
{
    FramePtr frame = take();
    if (!frame || frame->width <= 0 || frame->height <= 0)
        return nullptr;
    const uint64_t w = uint64_t(frame->width), h = uint64_t(frame->height);
    if (width <= 0 || height <= 0) {
        width = int(w);
        height = int(h);
        if (aspectNum && aspectDen) {
            if (h * aspectNum > w * aspectDen)
                width = evenUp(h * aspectNum / aspectDen);
            else
                height = evenUp(w * aspectDen / aspectNum);
        }
    }
    if (width > 16384 || height > 16384)
        return nullptr;

    SwsPtr scaler = FrameConverter::scalerFor(frame.get(), width, height, AV_PIX_FMT_BGR24, SWS_BICUBIC);
    if (!scaler)
        return nullptr;
    const int packedRow = width * 3;
    std::vector<uint8_t> pixels(size_t(packedRow) * height);
    uint8_t *dst[4] = {pixels.data(), nullptr, nullptr, nullptr};
    int dstStride[4] = {packedRow, 0, 0, 0};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);

    // BITMAPFILEHEADER and BITMAPINFOHEADER, rows bottom-up, each padded to four bytes.
    const uint32_t row = uint32_t(packedRow + 3) & ~3u;
    const uint32_t imageSize = row * uint32_t(height);
    const uint32_t fileSize = 54 + imageSize;
    auto *block = new unsigned char[fileSize]();
    block[0] = 'B';
    block[1] = 'M';
    putLE(block + 2, fileSize, 4);
    putLE(block + 10, 54, 4);
    putLE(block + 14, 40, 4);
    putLE(block + 18, uint32_t(width), 4);
    putLE(block + 22, uint32_t(height), 4);
    putLE(block + 26, 1, 2);
    putLE(block + 28, 24, 2);
    putLE(block + 34, imageSize, 4);
    putLE(block + 38, 2835, 4);
    putLE(block + 42, 2835, 4);
    for (int y = 0; y < height; ++y)
        std::memcpy(block + 54 + size_t(row) * (height - 1 - y), pixels.data() + size_t(packedRow) * y, packedRow);
    return block;
}

}
