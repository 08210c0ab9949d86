#ifndef RQ_DEINTERLACER_H
#define RQ_DEINTERLACER_H

#include "codec/filtergraph.h"

#include <atomic>
#include <vector>

namespace rq {

// Deinterlaces decoded pictures in decoding order, where the filter sees every neighbouring picture.
// Mode 0 passes pictures through, 1 deinterlaces those marked interlaced, 2 every picture. The filter
// holds one picture back; finish() lets it out at the end of the stream.
class Deinterlacer
{
public:
    explicit Deinterlacer(const std::atomic<int> &mode) : m_mode(mode) {}

    // Appends what comes out for this picture, which may be nothing yet.
    void push(FramePtr frame, AVRational timeBase, std::vector<FramePtr> &out);
    void finish(std::vector<FramePtr> &out);
    // Drops what the filter holds, after a seek.
    void reset();

private:
    const std::atomic<int> &m_mode;
    FilterGraph m_graph;
    int m_builtMode = 0;
    int m_width = 0, m_height = 0, m_format = -1;
    AVRational m_timeBase{1, AV_TIME_BASE};
};

}

#endif
