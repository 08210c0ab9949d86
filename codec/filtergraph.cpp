#include "codec/filtergraph.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace rq {

namespace {

struct InOutFree { void operator()(AVFilterInOut *io) const { avfilter_inout_free(&io); } };
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutFree>;

}

void FilterGraph::reset()
{
    m_graph.reset();
    m_source = nullptr;
    m_sink = nullptr;
}

bool FilterGraph::configureVideo(const AVFrame *like, AVRational timeBase, const std::string &chain)
{
    reset();
    m_graph.reset(avfilter_graph_alloc());
    if (!m_graph)
        return false;
    const AVRational sar = like->sample_aspect_ratio.num > 0 ? like->sample_aspect_ratio : AVRational{1, 1};
    const std::string args = "video_size=" + std::to_string(like->width) + "x" + std::to_string(like->height)
                             + ":pix_fmt=" + std::to_string(like->format) + ":time_base="
                             + std::to_string(timeBase.num) + "/" + std::to_string(timeBase.den)
                             + ":pixel_aspect=" + std::to_string(sar.num) + "/" + std::to_string(sar.den);
    if (avfilter_graph_create_filter(&m_source, avfilter_get_by_name("buffer"), "in", args.c_str(), nullptr,
                                     m_graph.get()) < 0
        || !link(chain.empty() ? "null" : chain, avfilter_get_by_name("buffersink"))) {
        reset();
        return false;
    }
    return true;
}

bool FilterGraph::configureAudio(int rate, const AVChannelLayout &layout, AVSampleFormat format,
                                 const std::string &chain)
{
    reset();
    m_graph.reset(avfilter_graph_alloc());
    if (!m_graph)
        return false;
    char layoutName[64] = {};
    av_channel_layout_describe(&layout, layoutName, sizeof layoutName);
    const std::string args = "sample_rate=" + std::to_string(rate) + ":sample_fmt="
                             + av_get_sample_fmt_name(format) + ":channel_layout=" + layoutName
                             + ":time_base=1/" + std::to_string(rate);
    // The sink gives back the shape that came in, whatever the filters work in.
    const std::string shaped = (chain.empty() ? std::string() : chain + ",") + "aformat=sample_fmts="
                               + av_get_sample_fmt_name(format) + ":sample_rates=" + std::to_string(rate)
                               + ":channel_layouts=" + layoutName;
    if (avfilter_graph_create_filter(&m_source, avfilter_get_by_name("abuffer"), "in", args.c_str(), nullptr,
                                     m_graph.get()) < 0
        || !link(shaped, avfilter_get_by_name("abuffersink"))) {
        reset();
        return false;
    }
    return true;
}

bool FilterGraph::link(const std::string &chain, const AVFilter *sinkFilter)
{
    if (avfilter_graph_create_filter(&m_sink, sinkFilter, "out", nullptr, nullptr, m_graph.get()) < 0)
        return false;
    InOutPtr outputs(avfilter_inout_alloc());
    InOutPtr inputs(avfilter_inout_alloc());
    if (!outputs || !inputs)
        return false;
    outputs->name = av_strdup("in");
    outputs->filter_ctx = m_source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = m_sink;
    AVFilterInOut *in = inputs.release();
    AVFilterInOut *out = outputs.release();
    const int parsed = avfilter_graph_parse_ptr(m_graph.get(), chain.c_str(), &in, &out, nullptr);
    InOutPtr leftIn(in), leftOut(out);
    return parsed >= 0 && avfilter_graph_config(m_graph.get(), nullptr) >= 0;
}

bool FilterGraph::push(const AVFrame *frame)
{
    if (!m_source)
        return false;
    return av_buffersrc_write_frame(m_source, frame) >= 0;
}

AVRational FilterGraph::outputTimeBase() const
{
    return m_sink ? av_buffersink_get_time_base(m_sink) : AVRational{1, AV_TIME_BASE};
}

FramePtr FilterGraph::pull()
{
    if (!m_sink)
        return FramePtr();
    FramePtr frame = makeFrame();
    if (!frame || av_buffersink_get_frame(m_sink, frame.get()) < 0)
        return FramePtr();
    return frame;
}

}
