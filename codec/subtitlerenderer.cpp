#include "codec/subtitlerenderer.h"

#include "codec/frameconverter.h"
#include "codec/numeric.h"
#include "codec/subtitlelimits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace rq {

namespace {

// The largest canvas picture subtitles may declare, in either direction.
constexpr int kMaxCanvas = 16384;
// Seconds a picture is shown for at 25 pictures a second.
constexpr double kPictureTime = 0.04;

// Time the calling thread has run, in seconds: what a layout costs, whatever else the machine does.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

// libass colours are 0xRRGGBBAA with AA the transparency.
uint32_t assColour(uint32_t argb, int alpha)
{
    const uint32_t a = ((argb >> 24) & 0xFF) * uint32_t(std::clamp(alpha, 0, 255)) / 255;
    return ((argb & 0xFFFFFF) << 8) | (255 - a);
}

struct Yuv {
    int y, u, v;
};

Yuv toYuv(int r, int g, int b, bool fullRange)
{
    if (fullRange)
        return {(77 * r + 150 * g + 29 * b + 128) / 256, 128 + (-43 * r - 85 * g + 128 * b + 128) / 256,
                128 + (128 * r - 107 * g - 21 * b + 128) / 256};
    return {16 + (66 * r + 129 * g + 25 * b + 128) / 256, 128 + (-38 * r - 74 * g + 112 * b + 128) / 256,
            128 + (112 * r - 94 * g - 18 * b + 128) / 256};
}

inline uint8_t mix(uint8_t under, int over, int alpha)
{
    return uint8_t((under * (255 - alpha) + over * alpha + 127) / 255);
}

// Mixes one pixel of the picture with a colour at opacity a: c1, c2 and c3 are R, G and B on BGRA pictures, Y, U
// and V on planar 4:2:0 ones, where the colour goes to the chroma of even pixels.
inline void blendPixel(AVFrame *frame, bool bgra, int fx, int fy, int c1, int c2, int c3, int a)
{
    if (bgra) {
        uint8_t *p = frame->data[0] + fy * frame->linesize[0] + fx * 4;
        p[0] = mix(p[0], c3, a);
        p[1] = mix(p[1], c2, a);
        p[2] = mix(p[2], c1, a);
        return;
    }
    uint8_t *luma = frame->data[0] + fy * frame->linesize[0] + fx;
    *luma = mix(*luma, c1, a);
    if (!(fx & 1) && !(fy & 1)) {
        uint8_t *u = frame->data[1] + (fy / 2) * frame->linesize[1] + fx / 2;
        uint8_t *v = frame->data[2] + (fy / 2) * frame->linesize[2] + fx / 2;
        *u = mix(*u, c2, a);
        *v = mix(*v, c3, a);
    }
}

// Puts one colour through a coverage mask (alpha 0..255 per pixel, scaled by opacity) onto the picture.
void blendMask(AVFrame *frame, const uint8_t *mask, int stride, int x0, int y0, int w, int h, int r, int g,
               int b, int opacity)
{
    const bool bgra = frame->format == AV_PIX_FMT_BGRA;
    const Yuv c = bgra ? Yuv{r, g, b} : toYuv(r, g, b, FrameConverter::isFullRange(frame));
    for (int y = std::max(0, -y0); y < h && y0 + y < frame->height; ++y)
        for (int x = std::max(0, -x0); x < w && x0 + x < frame->width; ++x)
            if (const int a = mask[y * stride + x] * opacity / 255)
                blendPixel(frame, bgra, x0 + x, y0 + y, c.y, c.u, c.v, a);
}

// Puts an overlay part, already inside the picture, onto it.
void blendPart(AVFrame *frame, const SubtitleRenderer::Part &part, bool bgra)
{
    for (int y = 0; y < part.height; ++y) {
        const uint32_t *row = part.pixels.data() + size_t(y) * part.width;
        for (int x = 0; x < part.width; ++x)
            if (const uint32_t p = row[x]; p >> 24)
                blendPixel(frame, bgra, part.x + x, part.y + y, int((p >> 16) & 0xFF), int((p >> 8) & 0xFF),
                           int(p & 0xFF), int(p >> 24));
    }
}

}

SubtitleRenderer::SubtitleRenderer()
{
    m_library = ass_library_init();
    if (m_library) {
        ass_set_message_cb(m_library, [](int, const char *, va_list, void *) {}, nullptr);
        m_renderer = ass_renderer_init(m_library);
    }
    if (m_renderer)
        ass_set_fonts(m_renderer, nullptr, "sans-serif", ASS_FONTPROVIDER_AUTODETECT, nullptr, 1);
}

SubtitleRenderer::~SubtitleRenderer()
{
    if (m_track)
        ass_free_track(m_track);
    if (m_renderer)
        ass_renderer_done(m_renderer);
    if (m_library)
        ass_library_done(m_library);
}

int SubtitleRenderer::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_track)
        ass_free_track(m_track);
    m_track = nullptr;
    m_bitmaps.clear();
    m_overlay = Overlay();
    m_seen.clear();
    m_slowEvents.clear();
    return ++m_source;
}

int SubtitleRenderer::source() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source;
}

void SubtitleRenderer::beginText(int source, const std::string &header, bool restyle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (source != m_source || !m_library)
        return;
    if (m_track)
        ass_free_track(m_track);
    m_track = ass_new_track(m_library);
    m_seen.clear();
    if (!m_track)
        return;
    if (!header.empty())
        ass_process_codec_private(m_track, const_cast<char *>(header.data()), int(header.size()));
    const SubtitleLimits limits(*m_track);
    for (int i = 0; i < m_track->n_styles; ++i)
        limits.bound(m_track->styles[i]);
    m_restyle = restyle;
    restyleLocked();
}

void SubtitleRenderer::addText(int source, const char *line, int64_t startMs, int64_t durationMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (source != m_source || !m_track || !line)
        return;
    const char *rest = std::strchr(line, ',');
    if (!rest || !m_seen.insert(std::to_string(startMs) + rest).second)
        return;
    // "ReadOrder,Layer,Style,Name,MarginL,MarginR,MarginV,Effect,Text": the text is held within what a screen
    // shows, counted from its style.
    const std::string fields(rest);
    size_t text = 0;
    for (int comma = 0; comma < 7 && text != std::string::npos; ++comma)
        text = fields.find(',', text + 1);
    if (text == std::string::npos)
        return;
    const size_t styleStart = fields.find(',', 1) + 1;
    const std::string styleName = fields.substr(styleStart, fields.find(',', styleStart) - styleStart);
    // libass's own default look, for a script without styles.
    ASS_Style style{};
    style.FontSize = 18;
    style.ScaleX = style.ScaleY = 1;
    if (m_track->n_styles > 0)
        style = m_track->styles[std::clamp(m_track->default_style, 0, m_track->n_styles - 1)];
    for (int i = 0; i < m_track->n_styles; ++i)
        if (styleName == m_track->styles[i].Name)
            style = m_track->styles[i];
    // Read orders of our own: a decoder counts again from 0 after a seek, which libass would take for repeats.
    std::string event = std::to_string(m_readOrder++) + fields.substr(0, text + 1)
                        + SubtitleLimits(*m_track).bound(fields.substr(text + 1), style);
    ass_process_chunk(m_track, event.data(), int(event.size()), startMs, durationMs);
}

void SubtitleRenderer::addBitmaps(int source, double start, double end, int canvasWidth, int canvasHeight,
                                  std::vector<Bitmap> bitmaps)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (source != m_source)
        return;
    // An event without an end lasts until the next one begins.
    for (BitmapEvent &event : m_bitmaps)
        if (event.end < 0 && event.start < start)
            event.end = start;
    const bool known = std::any_of(m_bitmaps.begin(), m_bitmaps.end(),
                                   [&](const BitmapEvent &event) { return std::abs(event.start - start) < 1e-3; });
    if (bitmaps.empty() || known)
        return;
    m_bitmaps.push_back({start, end, canvasWidth, canvasHeight, std::move(bitmaps), ++m_lastEvent});
}

bool SubtitleRenderer::hasEvents() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return (m_track && m_track->n_events > 0) || !m_bitmaps.empty();
}

void SubtitleRenderer::beginStyle()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = m_style;
}

void SubtitleRenderer::applyStyle()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_style = m_pending;
    m_slowEvents.clear();
    restyleLocked();
}

SubtitleStyle SubtitleRenderer::style() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_style;
}

void SubtitleRenderer::restyleLocked()
{
    if (!m_renderer)
        return;
    const SubtitleStyle &s = m_style;
    ass_set_line_spacing(m_renderer, s.spacingV);
    // libass keeps an event where it first placed it until the event ends; a changed renderer setting starts a
    // new layout, so that lines already on screen move with the style.
    ass_set_line_position(m_renderer, 1);
    ass_set_line_position(m_renderer, 0);
    if (!m_track)
        return;
    if (!m_restyle) {
        // A source with a look of its own keeps it; only the size follows the scale.
        ass_set_font_scale(m_renderer, s.scaleY / 100.0);
        return;
    }
    ass_set_font_scale(m_renderer, 1.0);
    const int resX = m_track->PlayResX > 0 ? m_track->PlayResX : 384;
    const int resY = m_track->PlayResY > 0 ? m_track->PlayResY : 288;
    const int align = s.position == 16 ? VALIGN_TOP : s.position == 32 ? VALIGN_CENTER : VALIGN_SUB;
    for (int i = 0; i < m_track->n_styles; ++i) {
        ASS_Style &st = m_track->styles[i];
        if (!s.fontName.empty()) {
            std::free(st.FontName);
            st.FontName = strdup(s.fontName.c_str());
        }
        st.FontSize = std::clamp(s.fontSize, 1.0, 500.0) * resY / 288.0;
        st.PrimaryColour = assColour(s.fontColour, s.alpha);
        st.SecondaryColour = st.PrimaryColour;
        st.OutlineColour = assColour(s.outlineColour, s.alpha);
        st.BackColour = assColour(s.shadowColour, s.alpha);
        st.Bold = s.bold;
        st.Italic = s.italic;
        st.Underline = s.underline;
        st.StrikeOut = s.strikeOut;
        st.ScaleX = std::clamp(s.scaleX, 1, 1000) / 100.0;
        st.ScaleY = std::clamp(s.scaleY, 1, 1000) / 100.0;
        st.Spacing = s.spacingH;
        st.Angle = s.extra2;
        st.BorderStyle = 1;
        st.Outline = std::max(0.0, s.outlineSize);
        st.Shadow = std::max(0.0, s.shadowOffset);
        st.Alignment = align | HALIGN_CENTER;
        st.MarginL = st.MarginR = int(std::lround(std::clamp(s.marginX, 0.0, 0.5) * resX));
        st.MarginV = int(std::lround(std::clamp(s.marginY, 0.0, 1.0) * resY));
        st.Blur = std::max(0.0, s.extra1);
        SubtitleLimits(*m_track).bound(st);
    }
}

bool SubtitleRenderer::writable(FramePtr &frame)
{
    const AVPixelFormat format = AVPixelFormat(frame->format);
    const bool drawable = format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_BGRA;
    if (drawable && av_frame_is_writable(frame.get()))
        return true;
    // Drawn on in planar 4:2:0 or packed BGRA, as the picture would reach the callback anyway: pictures with
    // and without text keep one format.
    const AVPixelFormat target = drawable ? format
                                 : FrameConverter::isRgb(format) ? AV_PIX_FMT_BGRA : AV_PIX_FMT_YUV420P;
    // The copy goes into a canvas of our own, reused once the picture before has been let go: a fresh one
    // for every picture costs more than the drawing.
    if (!FrameConverter::reuseOrAllocate(m_canvas, frame->width, frame->height, target))
        return false;
    if (drawable) {
        if (av_frame_copy(m_canvas.get(), frame.get()) < 0)
            return false;
    } else {
        SwsPtr scaler = FrameConverter::scalerFor(frame.get(), frame->width, frame->height, target, SWS_BILINEAR);
        if (!scaler)
            return false;
        sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, m_canvas->data, m_canvas->linesize);
    }
    FramePtr copy = makeFrame();
    if (av_frame_ref(copy.get(), m_canvas.get()) < 0)
        return false;
    av_frame_copy_props(copy.get(), frame.get());
    if (!drawable)
        copy->color_range = target == AV_PIX_FMT_YUV420P ? AVCOL_RANGE_MPEG : AVCOL_RANGE_JPEG;
    frame = std::move(copy);
    return true;
}

ASS_Image *SubtitleRenderer::layOut(long long ms, double budget)
{
    std::vector<int> shown;
    for (int i = 0; i < m_track->n_events; ++i) {
        const ASS_Event &event = m_track->events[i];
        if (event.Start <= ms && ms - event.Start < event.Duration)
            shown.push_back(i);
    }
    if (shown != m_slowEvents) {
        m_slowEvents.clear();
        m_overruns = 0;
    } else if (m_overruns >= 2) {
        return nullptr;
    }
    // The first layout of a line fills libass's caches and may be slow once; one that overruns again is slow.
    const double started = threadSeconds();
    ASS_Image *images = ass_render_frame(m_renderer, m_track, ms, nullptr);
    if (threadSeconds() - started > budget) {
        m_slowEvents = std::move(shown);
        ++m_overruns;
    } else {
        m_overruns = 0;
    }
    return images;
}

void SubtitleRenderer::render(FramePtr &frame, double pts, double duration)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!frame || frame->width <= 0 || frame->height <= 0)
        return;
    const double at = pts - m_style.delayMicros / 1e6;
    ASS_Image *images = nullptr;
    if (m_track && m_renderer && m_track->n_events > 0) {
        if (frame->width != m_frameWidth || frame->height != m_frameHeight) {
            m_frameWidth = frame->width;
            m_frameHeight = frame->height;
            ass_set_frame_size(m_renderer, m_frameWidth, m_frameHeight);
            ass_set_storage_size(m_renderer, m_frameWidth, m_frameHeight);
            m_slowEvents.clear();
        }
        // A picture has at least the time of one at 25 frames a second.
        images = layOut(saturated<long long>(at * 1000), std::max(duration, kPictureTime));
    }
    // Of the events that cover the time, the one begun last: events read before a seek target may come after
    // later ones.
    const BitmapEvent *shown = nullptr;
    for (const BitmapEvent &event : m_bitmaps)
        if (event.start <= at && (event.end < 0 ? at < event.start + 10 : at < event.end)
            && (!shown || event.start > shown->start))
            shown = &event;
    if ((!images && !shown) || !writable(frame))
        return;
    for (const ASS_Image *img = images; img; img = img->next) {
        const uint32_t c = img->color;
        blendMask(frame.get(), img->bitmap, img->stride, img->dst_x, img->dst_y, img->w, img->h, int(c >> 24),
                  int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), 255 - int(c & 0xFF));
    }
    if (!shown)
        return;
    for (const Part &part : overlayFor(*shown, frame.get()).parts)
        blendPart(frame.get(), part, m_overlay.bgra);
}

const SubtitleRenderer::Overlay &SubtitleRenderer::overlayFor(const BitmapEvent &event, const AVFrame *frame)
{
    const bool bgra = frame->format == AV_PIX_FMT_BGRA;
    const bool fullRange = FrameConverter::isFullRange(frame);
    const Overlay &o = m_overlay;
    if (o.event == event.id && o.width == frame->width && o.height == frame->height && o.alpha == m_style.alpha
        && o.bgra == bgra && o.fullRange == fullRange)
        return o;
    m_overlay = Overlay{event.id, frame->width, frame->height, m_style.alpha, bgra, fullRange, {}};
    // Nearest pixels from their canvas. A canvas that does not hold the pictures, or no screen could show, says
    // nothing: they are drawn as they are.
    int extentX = 1, extentY = 1;
    for (const Bitmap &bitmap : event.bitmaps) {
        extentX = std::max(extentX, bitmap.x + bitmap.width);
        extentY = std::max(extentY, bitmap.y + bitmap.height);
    }
    const bool canvas = event.canvasWidth >= extentX && event.canvasHeight >= extentY
                        && event.canvasWidth <= kMaxCanvas && event.canvasHeight <= kMaxCanvas;
    const double sx = canvas ? double(frame->width) / event.canvasWidth : 1.0;
    const double sy = canvas ? double(frame->height) / event.canvasHeight : 1.0;
    // The few colours of a palette, each converted once.
    std::vector<std::pair<uint32_t, uint32_t>> colours;
    auto colourOf = [&](uint32_t rgb) {
        for (const auto &known : colours)
            if (known.first == rgb)
                return known.second;
        const int r = int((rgb >> 16) & 0xFF), g = int((rgb >> 8) & 0xFF), b = int(rgb & 0xFF);
        const Yuv c = bgra ? Yuv{r, g, b} : toYuv(r, g, b, fullRange);
        const uint32_t converted = uint32_t(c.y) << 16 | uint32_t(c.u) << 8 | uint32_t(c.v);
        colours.emplace_back(rgb, converted);
        return converted;
    };
    for (const Bitmap &bitmap : event.bitmaps) {
        const int x0 = int(bitmap.x * sx), y0 = int(bitmap.y * sy);
        const int w = std::max(1, int(bitmap.width * sx)), h = std::max(1, int(bitmap.height * sy));
        // Only what lies inside the picture is kept, and only that much is allocated.
        const int left = std::max(0, x0), top = std::max(0, y0);
        const int right = std::min(frame->width, x0 + w), bottom = std::min(frame->height, y0 + h);
        if (right <= left || bottom <= top)
            continue;
        Part part;
        part.x = left;
        part.y = top;
        part.width = right - left;
        part.height = bottom - top;
        part.pixels.resize(size_t(part.width) * part.height);
        for (int y = 0; y < part.height; ++y) {
            const int sourceY = std::min(bitmap.height - 1, int((top + y - y0) / sy));
            for (int x = 0; x < part.width; ++x) {
                const uint8_t index = bitmap.indices[size_t(sourceY) * bitmap.width
                                                     + std::min(bitmap.width - 1, int((left + x - x0) / sx))];
                const uint32_t p = index < bitmap.palette.size() ? bitmap.palette[index] : 0;
                const uint32_t a = (p >> 24) * uint32_t(std::clamp(m_style.alpha, 0, 255)) / 255;
                part.pixels[size_t(y) * part.width + x] = a ? a << 24 | colourOf(p & 0xFFFFFF) : 0;
            }
        }
        m_overlay.parts.push_back(std::move(part));
    }
    return m_overlay;
}

}
