#include "codec/subtitlelimits.h"

#include "codec/numeric.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace rq {

namespace {

// A value at most limit (in magnitude when both ways count); a value that is no number is left to libass.
double within(double value, double limit, bool magnitude)
{
    if (!std::isfinite(value))
        return magnitude ? 0 : limit;
    return magnitude ? std::clamp(value, -limit, limit) : std::min(value, limit);
}

}

SubtitleLimits::SubtitleLimits(const ASS_Track &track) : m_track(track)
{
    // libass takes a missing dimension of the script's screen from the other one.
    if (track.PlayResY > 0)
        m_height = track.PlayResY;
    if (track.PlayResX > 0)
        m_width = track.PlayResX;
    else if (track.PlayResY > 0)
        m_width = m_height * 4 / 3;
    if (track.PlayResY <= 0 && track.PlayResX > 0)
        m_height = m_width * 3 / 4;
}

SubtitleLimits::Look SubtitleLimits::lookOf(const ASS_Style &style) const
{
    return {style.FontSize, style.ScaleX * 100, style.ScaleY * 100};
}

void SubtitleLimits::bound(ASS_Style &style) const
{
    style.FontSize = within(style.FontSize, m_height, false);
    const double size = std::max(1.0, style.FontSize);
    style.ScaleX = within(style.ScaleX, m_width / size, false);
    style.ScaleY = within(style.ScaleY, m_height / size, false);
    style.Outline = within(style.Outline, m_height / 4, true);
    style.Shadow = within(style.Shadow, m_height / 4, true);
    style.Spacing = within(style.Spacing, m_width, true);
}

std::string SubtitleLimits::boundTag(const std::string &name, const char *&at, Look &look,
                                     const ASS_Style &style) const
{
    // A number as libass reads it: an optional sign, digits, a point and an exponent, whatever the locale.
    const bool relative = *at == '+' || *at == '-';
    const char *digits = *at == '+' ? at + 1 : at;
    double value = 0;
    const std::from_chars_result parsed = std::from_chars(digits, digits + std::strlen(digits), value);
    const bool given = parsed.ec == std::errc() || parsed.ec == std::errc::result_out_of_range;
    const char *end = given ? parsed.ptr : at;
    if (parsed.ec == std::errc::result_out_of_range)
        value = *digits == '-' ? -HUGE_VAL : HUGE_VAL;
    const Look own = lookOf(style);
    if (name == "fs") {
        // \fs+n and \fs-n change the size by n; either way what goes on is the size itself.
        const double size = !given ? own.size : relative ? look.size + value : value;
        look.size = within(size, std::min(m_height * 100 / std::max(1.0, look.scaleY),
                                          m_width * 100 / std::max(1.0, look.scaleX)), false);
    } else if (name == "fscx") {
        look.scaleX = within(given ? value : own.scaleX, m_width * 100 / std::max(1.0, look.size), false);
    } else if (name == "fscy") {
        look.scaleY = within(given ? value : own.scaleY, m_height * 100 / std::max(1.0, look.size), false);
    } else if (name == "fsc") {
        look.scaleX = own.scaleX;
        look.scaleY = own.scaleY;
        return "\\fsc";
    } else if (given && (name == "bord" || name == "xbord" || name == "ybord" || name == "shad" || name == "xshad"
                         || name == "yshad")) {
        at = end;
        return "\\" + name + decimal(within(value, m_height / 4, true));
    } else if (given && name == "fsp") {
        at = end;
        return "\\" + name + decimal(within(value, m_width, true));
    } else {
        return "\\" + name;
    }
    if (given)
        at = end;
    const double shown = name == "fs" ? look.size : name == "fscx" ? look.scaleX : look.scaleY;
    return "\\" + name + decimal(shown);
}

std::string SubtitleLimits::bound(const std::string &text, const ASS_Style &style) const
{
    Look look = lookOf(style);
    std::string out;
    out.reserve(text.size());
    int characters = 0;
    bool drawing = false;
    const char *at = text.c_str();
    while (*at) {
        if (*at == '{') {
            const char *close = std::strchr(at, '}');
            if (!close)
                break;
            out += '{';
            ++at;
            while (at < close) {
                if (*at != '\\') {
                    out += *at++;
                    continue;
                }
                const char *start = ++at;
                while (at < close && std::isalpha(static_cast<unsigned char>(*at)))
                    ++at;
                const std::string name(start, at);
                if (name == "r") {
                    // \r and \rStyle: the look of that style again.
                    const char *nameEnd = std::find_if(at, close, [](char c) { return c == '\\'; });
                    const std::string reset(at, nameEnd);
                    look = lookOf(style);
                    for (int i = 0; i < m_track.n_styles; ++i)
                        if (reset == m_track.styles[i].Name)
                            look = lookOf(m_track.styles[i]);
                    out += "\\r" + reset;
                    at = nameEnd;
                    continue;
                }
                if (name == "p") {
                    drawing = std::atoi(at) > 0;
                    out += "\\p";
                    continue;
                }
                out += boundTag(name, at, look, style);
            }
            out += '}';
            at = close + 1;
            continue;
        }
        // Vector drawings are commands, not characters; libass itself refuses shapes larger than a screen.
        const unsigned char c = static_cast<unsigned char>(*at);
        if (!drawing && (c & 0xC0) != 0x80 && ++characters > kMostCharacters)
            break;
        out += *at++;
    }
    return out;
}

}
