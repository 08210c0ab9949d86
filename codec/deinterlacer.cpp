#include "codec/deinterlacer.h"

namespace rq {

namespace {

// yadif counts in half the time base it is given, for its field rate mode; times go back to the stream's.
void drain(FilterGraph &graph, AVRational timeBase, std::vector<FramePtr> &out)
{
    while (FramePtr frame = graph.pull()) {
        if (frame->pts != AV_NOPTS_VALUE)
            frame->pts = av_rescale_q(frame->pts, graph.outputTimeBase(), timeBase);
        frame->best_effort_timestamp = frame->pts;
        out.push_back(std::move(frame));
    }
}

}

void Deinterlacer::push(FramePtr frame, AVRational timeBase, std::vector<FramePtr> &out)
{
    const int mode = m_mode;
    m_timeBase = timeBase;
    if (mode != m_builtMode || frame->width != m_width || frame->height != m_height || frame->format != m_format) {
        finish(out);
        m_builtMode = mode;
        m_width = frame->width;
        m_height = frame->height;
        m_format = frame->format;
        if (mode == 1 || mode == 2)
            m_graph.configureVideo(frame.get(), timeBase,
                                   std::string("yadif=mode=send_frame:parity=auto:deint=")
                                       + (mode == 1 ? "interlaced" : "all"));
    }
    if (!m_graph.isConfigured()) {
        out.push_back(std::move(frame));
        return;
    }
    frame->pts = frame->best_effort_timestamp;
    if (!m_graph.push(frame.get())) {
        out.push_back(std::move(frame));
        return;
    }
    drain(m_graph, m_timeBase, out);
}

void Deinterlacer::finish(std::vector<FramePtr> &out)
{
    if (m_graph.isConfigured() && m_graph.push(nullptr))
        drain(m_graph, m_timeBase, out);
    reset();
}

void Deinterlacer::reset()
{
    m_graph.reset();
    m_builtMode = 0;
    m_format = -1;
}

}
