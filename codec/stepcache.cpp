#include "codec/stepcache.h"

#include "codec/globaloptions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

extern "C" {
#include <libavutil/imgutils.h>
}

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace rq {

namespace {
// Two stamps this close name the same picture.
constexpr double kSame = 1e-4;

constexpr size_t kPage = size_t(2) << 20;

void freeBlock(void *, uint8_t *data)
{
    std::free(data);
}

// Whole huge pages where the system gives them on asking: a few faults per picture instead of hundreds.
AVBufferRef *allocBlock(void *, size_t size)
{
    const size_t rounded = (size + kPage - 1) / kPage * kPage;
    void *data = std::aligned_alloc(kPage, rounded);
    if (!data)
        return nullptr;
#if defined(MADV_HUGEPAGE)
    madvise(data, rounded, MADV_HUGEPAGE);
#endif
    AVBufferRef *ref = av_buffer_create(static_cast<uint8_t *>(data), size, &freeBlock, nullptr, 0);
    if (!ref)
        std::free(data);
    return ref;
}

size_t bytesOf(const AVFrame *frame)
{
    size_t bytes = 0;
    for (const AVBufferRef *buf : frame->buf)
        if (buf)
            bytes += buf->size;
    return bytes;
}
}

StepCache::~StepCache()
{
    clear();
    av_buffer_pool_uninit(&m_pool);
}

FramePtr StepCache::copyLocked(const AVFrame *frame)
{
    const auto format = AVPixelFormat(frame->format);
    const int size = av_image_get_buffer_size(format, frame->width, frame->height, 64);
    if (size <= 0)
        return FramePtr();
    if (!m_pool || size != m_poolSize) {
        // Buffers still held go when their pictures do.
        av_buffer_pool_uninit(&m_pool);
        m_pool = av_buffer_pool_init2(size_t(size), nullptr, &allocBlock, nullptr);
        m_poolSize = m_pool ? size : 0;
        if (!m_pool)
            return FramePtr();
        warmLocked(size_t(size));
    }
    FramePtr copy = makeFrame();
    if (!copy)
        return FramePtr();
    copy->buf[0] = av_buffer_pool_get(m_pool);
    if (!copy->buf[0]
        || av_image_fill_arrays(copy->data, copy->linesize, copy->buf[0]->data, format, frame->width,
                                frame->height, 64) < 0)
        return FramePtr();
    copy->format = frame->format;
    copy->width = frame->width;
    copy->height = frame->height;
    av_image_copy(copy->data, copy->linesize, const_cast<const uint8_t **>(frame->data), frame->linesize, format,
                  frame->width, frame->height);
    if (av_frame_copy_props(copy.get(), frame) < 0)
        return FramePtr();
    return copy;
}

void StepCache::warmLocked(size_t size)
{
    // Large pictures: blocks for as many as the bound holds are faulted in now, on the first step back, so that
    // the step that crosses into the GOP before copies into memory at hand instead of zeroing it on the way.
    // Small ones cost little to fault in.
    if (size < kPage / 2)
        return;
    std::vector<AVBufferRef *> blocks(m_mostBytes / size);
    for (AVBufferRef *&block : blocks) {
        block = av_buffer_pool_get(m_pool);
        if (!block)
            break;
        for (size_t at = 0; at < block->size; at += 4096)
            block->data[at] = 0;
    }
    for (AVBufferRef *&block : blocks)
        av_buffer_unref(&block);
}

void StepCache::arm(int serial, double target)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed = serial;
    m_target = target;
}

bool StepCache::accepts(int serial) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return serial == m_armed;
}

void StepCache::insert(int serial, const AVFrame *frame, double pts, double duration)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (serial == m_armed)
        storeLocked(frame, pts, duration, true);
}

void StepCache::keep(const AVFrame *frame, double pts, double duration)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_target = pts;
    storeLocked(frame, pts, duration, false);
}

size_t StepCache::storedBytes(const AVFrame *frame)
{
    if (!m_converter)
        m_converter = std::make_unique<FrameConverter>(GlobalOptions::instance().frameFormats());
    const auto format = m_converter->convertsToYuv(frame) ? AV_PIX_FMT_YUV420P : AVPixelFormat(frame->format);
    return size_t(std::max(0, av_image_get_buffer_size(format, frame->width, frame->height, 64)));
}

void StepCache::storeLocked(const AVFrame *frame, double pts, double duration, bool copied)
{
    // A picture too far below the target to stay within the bound is not taken: holding it would only make
    // the decoder allocate another.
    const size_t bytes = storedBytes(frame);
    if (bytes > 0 && pts < m_target - double(m_mostBytes / bytes) * duration)
        return;
    auto near = m_pictures.lower_bound(pts - kSame);
    if (near != m_pictures.end() && near->first <= pts + kSame)
        return;
    FramePtr copy;
    if (m_converter->convertsToYuv(frame))
        copy = m_converter->toYuv(frame);
    else if (copied)
        copy = copyLocked(frame);
    else if ((copy = makeFrame()) && av_frame_ref(copy.get(), frame) < 0)
        copy.reset();
    if (!copy)
        return;
    Picture picture;
    picture.bytes = bytesOf(copy.get());
    picture.duration = duration;
    picture.frame = std::move(copy);
    m_bytes += picture.bytes;
    m_pictures.emplace(pts, std::move(picture));
    trimLocked();
}

void StepCache::trimLocked()
{
    // Pictures after the target go first: the decoder brings those again; then the earliest.
    while (m_bytes > m_mostBytes && !m_pictures.empty()) {
        auto last = std::prev(m_pictures.end());
        auto drop = last->first > m_target ? last : m_pictures.begin();
        m_bytes -= drop->second.bytes;
        m_pictures.erase(drop);
    }
}

FramePtr StepCache::find(double target, double before, double *pts, double *duration) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_pictures.upper_bound(target);
    if (it == m_pictures.begin())
        return FramePtr();
    --it;
    if (it->first >= before - kSame || it->first + it->second.duration <= target)
        return FramePtr();
    FramePtr copy = makeFrame();
    if (!copy || av_frame_ref(copy.get(), it->second.frame.get()) < 0)
        return FramePtr();
    *pts = it->first;
    *duration = it->second.duration;
    return copy;
}

void StepCache::clear()
{
    std::map<double, Picture> old;
    std::lock_guard<std::mutex> lock(m_mutex);
    old.swap(m_pictures);
    m_bytes = 0;
    m_armed = -1;
    m_converter.reset();
}

void StepCache::release()
{
    clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    av_buffer_pool_uninit(&m_pool);
    m_poolSize = 0;
}

}
