#ifndef RQ_FILTERGRAPH_H
#define RQ_FILTERGRAPH_H

#include "codec/ffptr.h"

#include <string>

struct AVFilterContext;

namespace rq {

// One libavfilter graph with a single buffer source and sink, built from a chain description such as
// "crop=100:100:0:0,hflip". Frames go in with push() and come out with pull().
class FilterGraph
{
public:
    // The chain takes frames shaped like `like` (size, format, aspect) in the given time base.
    bool configureVideo(const AVFrame *like, AVRational timeBase, const std::string &chain);
    // Interleaved audio of this rate, layout and format; the sink gives the same shape back.
    bool configureAudio(int rate, const AVChannelLayout &layout, AVSampleFormat format, const std::string &chain);
    void reset();
    bool isConfigured() const { return bool(m_graph); }

    // null ends the stream: what the filters still hold comes out.
    bool push(const AVFrame *frame);
    // The next filtered frame, or null when none is ready.
    FramePtr pull();
    // The time base of what comes out, which a filter may have changed.
    AVRational outputTimeBase() const;

private:
    bool link(const std::string &chain, const AVFilter *sinkFilter);

    FilterGraphPtr m_graph;
    AVFilterContext *m_source = nullptr;
    AVFilterContext *m_sink = nullptr;
};

}

#endif
