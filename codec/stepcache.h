#ifndef RQ_STEPCACHE_H
#define RQ_STEPCACHE_H

#include "codec/ffptr.h"
#include "codec/frameconverter.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>

namespace rq {

// Pictures decoded on the way to a backward step's target and pictures shown while paused, before processing
// and subtitles, so that backward steps are served without decoding again. Bounded by bytes: past the bound
// it keeps the pictures nearest below the latest target. Pictures the frame callback takes as YUV 4:2:0 but
// come in another form (10-bit, 4:2:2) are kept converted to it, which is what they are shown as and half
// the size of 10-bit. Others from the decoder are copied into buffers of its own, kept for reuse: memory the
// decoder would have to take anew for every picture held is slow to fault in; the few shown while paused are
// only referred to.
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
    // A picture shown while paused; the latest one becomes the target.
    void keep(const AVFrame *frame, double pts, double duration);
    // The picture that covers target and starts before `before`; null when it is not here.
    FramePtr find(double target, double before, double *pts, double *duration) const;
    void clear();
    // Clears and gives back the buffers kept for reuse, when the medium closes.
    void release();

private:
    struct Picture {
        FramePtr frame;
        double duration = 0;
        size_t bytes = 0;
    };
    // copied: into a buffer of the pool rather than referred to.
    void storeLocked(const AVFrame *frame, double pts, double duration, bool copied);
    // What the picture takes here, converted or not.
    size_t storedBytes(const AVFrame *frame);
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
    double m_target = 0;
    // Made for the frame formats in force when the first picture after a clear comes.
    std::unique_ptr<FrameConverter> m_converter;
    AVBufferPool *m_pool = nullptr;
    int m_poolSize = 0;
};

}

#endif
