#ifndef RQ_STEPCACHE_H
#define RQ_STEPCACHE_H

#include "codec/ffptr.h"

#include <cstddef>
#include <map>
#include <mutex>

namespace rq {

// Pictures decoded on the way to a backward step's target, as they came from the decoder (before processing
// and subtitles), so that the steps after it are served without decoding again. It holds one run of decoding
// from a keyframe, bounded by bytes: past the bound it keeps the pictures nearest below the latest target.
// The pictures are copied into buffers of its own, kept for reuse: memory the decoder would have to take
// anew for every picture held is slow to fault in.
class StepCache
{
public:
    static constexpr size_t kMostBytes = size_t(64) << 20;

    explicit StepCache(size_t mostBytes = kMostBytes) : m_mostBytes(mostBytes) {}
    ~StepCache();
    StepCache(const StepCache &) = delete;
    StepCache &operator=(const StepCache &) = delete;

    // Takes the pictures the decoder drops for this serial, a backward step's seek to target.
    void arm(int serial, double target);
    bool accepts(int serial) const;
    // Called by the decoder for each picture before the target, in order from the keyframe.
    void insert(int serial, const AVFrame *frame, double pts, double duration);
    // The picture that covers target and starts before `before`; null when it is not here.
    FramePtr find(double target, double before, double *pts, double *duration) const;
    void clear();

private:
    struct Picture {
        FramePtr frame;
        double duration = 0;
        size_t bytes = 0;
    };
    void trimLocked();
    // A copy of the picture in a buffer of the pool; null without memory.
    FramePtr copyLocked(const AVFrame *frame);
    // Fills a new pool of blocks of that size up to the bound, touched.
    void warmLocked(size_t size);

    const size_t m_mostBytes;
    mutable std::mutex m_mutex;
    std::map<double, Picture> m_pictures;
    size_t m_bytes = 0;
    int m_armed = -1;
    int m_filling = -1;  // the serial the pictures came from last
    double m_target = 0;
    double m_runStart = -1;
    AVBufferPool *m_pool = nullptr;
    int m_poolSize = 0;
};

}

#endif
