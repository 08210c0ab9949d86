#include "codec/deinterlacer.h"

namespace rq {

namespace {

void drain(FilterGraph &graph, std::vector<FramePtr> &out)
{
    while (FramePtr frame = graph.pull()) {
        frame->best_effort_timestamp = frame->pts;
        out.push_back(std::move(frame));
    }
}

}

void Deinterlacer::push(FramePtr frame, AVRational timeBase, std::vector<FramePtr> &out)
{
    const int mode = m_mode;
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
    drain(m_graph, out);
}

void Deinterlacer::finish(std::vector<FramePtr> &out)
{
    if (m_graph.isConfigured() && m_graph.push(nullptr))
        drain(m_graph, out);
    reset();
}

void Deinterlacer::reset()
{
    m_graph.reset();
    m_builtMode = 0;
    m_format = -1;
}

}
