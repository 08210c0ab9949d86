#ifndef RQ_SUBTITLELIMITS_H
#define RQ_SUBTITLELIMITS_H

#include <ass/ass.h>

#include <string>

namespace rq {

// What a screen can show, as limits on ASS styles and event text: no glyph taller or wider than the script's
// screen, borders and shadows within a quarter of its height, letter spacing within its width, and no more
// visible characters in one event than a screen holds. Beyond those limits libass takes seconds to lay out a
// line nobody could read.
class SubtitleLimits
{
public:
    static constexpr int kMostCharacters = 2000;

    explicit SubtitleLimits(const ASS_Track &track);

    void bound(ASS_Style &style) const;
    // The text of an event (what follows the eighth comma of its line) with its override tags held within the
    // limits, counted from the look of its style, and cut after the characters a screen holds.
    std::string bound(const std::string &text, const ASS_Style &style) const;

private:
    struct Look {
        double size, scaleX, scaleY;  // scales in percent
    };
    Look lookOf(const ASS_Style &style) const;
    // A tag (name and number) within the limits, given the look so far, which it changes.
    std::string boundTag(const std::string &name, const char *&at, Look &look, const ASS_Style &style) const;

    const ASS_Track &m_track;
    double m_width = 384, m_height = 288;
};

}

#endif
