#ifndef RQ_FFPTR_H
#define RQ_FFPTR_H

// Owners of FFmpeg and SDL objects: std::unique_ptr with each library's own free function.

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace rq {

struct FormatContextFree { void operator()(AVFormatContext *c) const { avformat_close_input(&c); } };
struct CodecContextFree { void operator()(AVCodecContext *c) const { avcodec_free_context(&c); } };
struct FrameFree { void operator()(AVFrame *f) const { av_frame_free(&f); } };
struct PacketFree { void operator()(AVPacket *p) const { av_packet_free(&p); } };
struct SwsFree { void operator()(SwsContext *c) const { sws_freeContext(c); } };
struct FilterGraphFree { void operator()(AVFilterGraph *g) const { avfilter_graph_free(&g); } };
struct SwrFree { void operator()(SwrContext *c) const { swr_free(&c); } };
struct BufferPoolFree { void operator()(AVBufferPool *p) const { av_buffer_pool_uninit(&p); } };
struct IOContextFree {
    void operator()(AVIOContext *io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextFree>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;
// Buffers still out when the pool goes are freed as they come back.
using BufferPoolPtr = std::unique_ptr<AVBufferPool, BufferPoolFree>;
using IOContextPtr = std::unique_ptr<AVIOContext, IOContextFree>;

inline FramePtr makeFrame() { return FramePtr(av_frame_alloc()); }
inline PacketPtr makePacket() { return PacketPtr(av_packet_alloc()); }

}

#endif
