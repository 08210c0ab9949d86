#include "codec/stepcache.h"

#include <cmath>

namespace rq {

namespace {
// Two stamps this close name the same picture.
constexpr double kSame = 1e-4;

size_t bytesOf(const AVFrame *frame)
{
    size_t bytes = 0;
    for (const AVBufferRef *buf : frame->buf)
        if (buf)
            bytes += buf->size;
    return bytes;
}
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
    FramePtr copy = makeFrame();
    if (!copy || av_frame_ref(copy.get(), frame) < 0)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (serial != m_armed)
        return;
    if (serial != m_filling) {
        // Decoding from another keyframe starts another run; from the same one it fills in what is missing.
        m_filling = serial;
        if (std::abs(pts - m_runStart) > kSame) {
            m_pictures.clear();
            m_bytes = 0;
            m_runStart = pts;
        }
    }
    auto near = m_pictures.lower_bound(pts - kSame);
    if (near != m_pictures.end() && near->first <= pts + kSame)
        return;
    Picture picture;
    picture.bytes = bytesOf(frame);
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
    m_filling = -1;
    m_runStart = -1;
}

}
