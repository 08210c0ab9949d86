#ifndef RQ_SUBTITLERENDERER_H
#define RQ_SUBTITLERENDERER_H

#include "codec/ffptr.h"

#include <ass/ass.h>

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace rq {

// How text subtitles look, as the style calls of the C interface set it.
struct SubtitleStyle {
    int alpha = 255;  // 0 transparent .. 255 opaque, also for picture subtitles
    int scaleX = 100, scaleY = 100;  // percent
    int64_t delayMicros = 0;         // positive: subtitles show later
    std::string fontName;            // empty: the default sans-serif font
    bool bold = false, italic = false, underline = false, strikeOut = false;
    double fontSize = 18;            // on a picture 288 units high
    uint32_t fontColour = 0xFFFFFFFF, shadowColour = 0x80000000, outlineColour = 0xFF000000;  // 0xAARRGGBB
    double shadowOffset = 0.5, outlineSize = 1.0;
    int position = 0;                // 0 bottom, 16 top, 32 middle
    double spacingH = 0, spacingV = 0;
    double marginX = 0.05, marginY = 0.05;  // fractions of the picture width and height
    double extra1 = 0;               // edge blur
    double extra2 = 0;               // text angle in degrees
};

// The subtitles of the playing medium, from one source at a time (an embedded stream, a file or the captions
// of the video), and their drawing into pictures: text through libass, styled by SubtitleStyle, and pictures
// of DVD and Blu-ray subtitles scaled from their canvas. Sources add events from their threads; the presenter
// draws.
class SubtitleRenderer
{
public:
    // A picture of a few colours, as DVD and Blu-ray subtitles come: an index a pixel into its palette.
    struct Bitmap {
        int x = 0, y = 0, width = 0, height = 0;
        std::vector<uint8_t> indices;   // width x height
        std::vector<uint32_t> palette;  // 0xAARRGGBB; an index past its end is transparent
    };
    // Pixels put in a picture's colours.
    struct Part {
        int x = 0, y = 0, width = 0, height = 0;
        std::vector<uint32_t> pixels;
    };

    SubtitleRenderer();
    ~SubtitleRenderer();
    SubtitleRenderer(const SubtitleRenderer &) = delete;
    SubtitleRenderer &operator=(const SubtitleRenderer &) = delete;

    // Drops every event and the source; returns the new source's number, which its events carry.
    int reset();
    // The source whose events are kept.
    int source() const;
    // Starts the text of a source with the ASS header of its decoder. restyle: the source's own look gives way
    // to the style (for formats without styles of their own).
    void beginText(int source, const std::string &header, bool restyle);
    // line: an ASS event as decoders give it ("ReadOrder,Layer,Style,..."). An event read again after a seek
    // is recognised and kept once.
    void addText(int source, const char *line, int64_t startMs, int64_t durationMs);
    // A picture event from start to end seconds (end < 0: until the next event) on a canvas of that size.
    void addBitmaps(int source, double start, double end, int canvasWidth, int canvasHeight,
                    std::vector<Bitmap> bitmaps);
    bool hasEvents() const;

    // The style calls: begin copies the style in use, the setters change the copy, apply puts it in use.
    void beginStyle();
    template <typename F> void editStyle(F f)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        f(m_pending);
    }
    void applyStyle();
    SubtitleStyle style() const;

    // Draws what shows at pts (seconds) into the picture, which becomes a private writable copy if it has to.
    // Text whose layout takes longer than the picture's time (seconds) twice running is left out for as long
    // as the same events show: the picture goes out without it rather than late.
    void render(FramePtr &frame, double pts, double duration);

private:
    struct BitmapEvent {
        double start = 0, end = -1;
        int canvasWidth = 0, canvasHeight = 0;
        std::vector<Bitmap> bitmaps;
        uint64_t id = 0;
    };
    // The pictures of one event scaled to the frame and put in its colours, made once for all the frames that
    // show the event: per pixel the opacity, then R, G and B for BGRA frames, Y, U and V for YUV ones.
    struct Overlay {
        uint64_t event = 0;
        int width = 0, height = 0, alpha = 0;
        bool bgra = false, fullRange = false;
        std::vector<Part> parts;
    };

    void restyleLocked();
    bool writable(FramePtr &frame);
    const Overlay &overlayFor(const BitmapEvent &event, const AVFrame *frame);
    // Lays out the text that shows at ms, or nothing when its layout keeps taking longer than the budget.
    ASS_Image *layOut(long long ms, double budget);

    mutable std::mutex m_mutex;
    ASS_Library *m_library = nullptr;
    ASS_Renderer *m_renderer = nullptr;
    ASS_Track *m_track = nullptr;
    bool m_restyle = false;
    int m_source = 0;
    std::set<std::string> m_seen;
    int m_readOrder = 0;
    std::vector<BitmapEvent> m_bitmaps;
    uint64_t m_lastEvent = 0;
    Overlay m_overlay;
    SubtitleStyle m_style;
    SubtitleStyle m_pending;
    int m_frameWidth = 0, m_frameHeight = 0;
    // Where pictures the decoder still holds are copied to be drawn on.
    FramePtr m_canvas;
    // The events that showed when a layout overran its budget, and how many layouts of them overran running.
    std::vector<int> m_slowEvents;
    int m_overruns = 0;
};

}

#endif
