#include "codec/pictureprocessor.h"

#include "codec/frameconverter.h"
#include "codec/numeric.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace rq {

namespace {

int evenDown(double v)
{
    return std::max(2, int(v) & ~1);
}

}

template <typename F>
void PictureProcessor::change(F f)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    f(m_settings);
    ++m_generation;
}

void PictureProcessor::setCrop(double x, double y, double width, double height)
{
    auto unit = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    change([&](Settings &s) {
        s.cropX = unit(x);
        s.cropY = unit(y);
        s.cropWidth = std::isfinite(width) && width > 0 ? std::min(width, 1.0) : 1.0;
        s.cropHeight = std::isfinite(height) && height > 0 ? std::min(height, 1.0) : 1.0;
    });
}

void PictureProcessor::setOutputAspect(unsigned num, unsigned den)
{
    change([&](Settings &s) {
        const bool set = num && den;
        s.aspectNum = set ? num : 0;
        s.aspectDen = set ? den : 0;
    });
}

void PictureProcessor::setRotation(int degrees)
{
    // Quarter turns only; anything between rounds to the nearest.
    const int quarter = int(std::lround((((degrees % 360) + 360) % 360) / 90.0)) % 4;
    change([&](Settings &s) { s.rotation = quarter * 90; });
}

void PictureProcessor::setMirror(bool mirror)
{
    change([&](Settings &s) { s.mirror = mirror; });
}

void PictureProcessor::setBrightness(int value)
{
    change([&](Settings &s) { s.brightness = std::clamp(value, -255, 255); });
}

void PictureProcessor::setContrast(int value)
{
    change([&](Settings &s) { s.contrast = std::clamp(value, 0, 300); });
}

void PictureProcessor::setSaturation(int value)
{
    change([&](Settings &s) { s.saturation = std::clamp(value, 0, 200); });
}

void PictureProcessor::setHue(int degrees)
{
    change([&](Settings &s) { s.hue = std::clamp(degrees, -180, 180); });
}

PictureProcessor::Settings PictureProcessor::settings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

std::string PictureProcessor::chainFor(const Settings &s, int width, int height)
{
    std::string chain;
    auto add = [&](const std::string &filter) { chain += (chain.empty() ? "" : ",") + filter; };
    int w = width, h = height;
    if (s.cropX > 0 || s.cropY > 0 || s.cropWidth < 1 || s.cropHeight < 1) {
        const int cw = std::min(evenDown(width * s.cropWidth + 0.5), width & ~1);
        const int ch = std::min(evenDown(height * s.cropHeight + 0.5), height & ~1);
        const int x = std::min(int(width * s.cropX + 0.5) & ~1, (width - cw) & ~1);
        const int y = std::min(int(height * s.cropY + 0.5) & ~1, (height - ch) & ~1);
        if (cw != width || ch != height) {
            add("crop=" + std::to_string(cw) + ":" + std::to_string(ch) + ":" + std::to_string(x) + ":"
                + std::to_string(y) + ":exact=1");
            w = cw;
            h = ch;
        }
    }
    if (s.aspectNum && s.aspectDen) {
        // The height stays; the width follows the aspect, within what a frame can hold.
        const int aw = std::clamp(evenDown(double(h) * s.aspectNum / s.aspectDen + 0.5), 2, 8192);
        if (aw != w)
            add("scale=" + std::to_string(aw) + ":" + std::to_string(h) + ",setsar=1");
    }
    // eq's contrast acts on luma alone; colour differences are scaled with it, as an RGB contrast would.
    if (s.brightness != 0 || s.contrast != 100 || s.saturation != 100)
        add("eq=brightness=" + decimal(s.brightness / 255.0) + ":contrast=" + decimal(s.contrast / 100.0)
            + ":saturation=" + decimal(s.saturation / 100.0 * s.contrast / 100.0));
    if (s.hue != 0)
        add("hue=h=" + std::to_string(s.hue));
    // The mirror acts on the turned picture, so a turn looks the same way round with the mirror on or off.
    if (s.rotation == 90)
        add("transpose=cclock");
    else if (s.rotation == 180)
        add("hflip,vflip");
    else if (s.rotation == 270)
        add("transpose=clock");
    if (s.mirror)
        add("hflip");
    return chain;
}

FramePtr PictureProcessor::process(const AVFrame *frame)
{
    Settings settings;
    uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        settings = m_settings;
        generation = m_generation;
    }
    if (generation != m_builtGeneration || frame->width != m_builtWidth || frame->height != m_builtHeight
        || frame->format != m_builtFormat) {
        m_builtGeneration = generation;
        m_builtWidth = frame->width;
        m_builtHeight = frame->height;
        m_builtFormat = frame->format;
        const std::string chain = chainFor(settings, frame->width, frame->height);
        // The filters may work in another format (eq and hue take YUV only); what comes out is what went in, so
        // that one stream reaches the callback in one format whatever is set.
        const AVPixelFormat format = AVPixelFormat(frame->format);
        const AVPixelFormat out = sws_isSupportedOutput(format) ? format
                                  : FrameConverter::isRgb(format) ? AV_PIX_FMT_BGRA
                                                                  : AV_PIX_FMT_YUV420P;
        m_passThrough = chain.empty()
                        || !m_graph.configureVideo(frame, AVRational{1, AV_TIME_BASE},
                                                   chain + ",format=pix_fmts=" + av_get_pix_fmt_name(out));
        if (m_passThrough)
            m_graph.reset();
    }
    FramePtr out;
    if (!m_passThrough && m_graph.push(frame))
        out = m_graph.pull();
    if (!out) {
        out = makeFrame();
        if (out && av_frame_ref(out.get(), frame) < 0)
            out.reset();
    }
    return out;
}

}
