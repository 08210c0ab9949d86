// The C entry points of picture, sound and subtitle processing.
#include "codec/rqcodec.h"

#include "codec/playerhandles.h"

#include <algorithm>
#include <cmath>

using rq::Player;
using rq::PictureProcessor;
using rq::SubtitleStyle;
using rq::withPlayer;

namespace {

// Changes the player's picture settings and shows the paused picture with them.
template <typename F>
void changePicture(uint64_t handle, F f)
{
    withPlayer(handle, 0, [&](Player &p) {
        f(p.picture());
        p.redraw();
        return 0;
    });
}

// Changes the style being prepared between codecBeginSubtitleStyle and codecApplySubtitleStyle.
template <typename F>
void changeStyle(uint64_t handle, F f)
{
    withPlayer(handle, 0, [&](Player &p) {
        p.subtitles().editStyle(f);
        return 0;
    });
}

}

void codecSetOutputAspect(uint64_t player, unsigned int num, unsigned int den)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setOutputAspect(num, den); });
}

void codecSetCropRect(uint64_t player, double x, double y, double width, double height)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setCrop(x, y, width, height); });
}

void codecSetRotation(uint64_t player, int degree)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setRotation(degree); });
}

void codecSetFlip(uint64_t player, int mirror)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setMirror(mirror != 0); });
}

void codecSetBrightness(uint64_t player, int brightness)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setBrightness(brightness); });
}

void codecSetContrast(uint64_t player, int contrast)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setContrast(contrast); });
}

void codecSetSaturation(uint64_t player, int saturation)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setSaturation(saturation); });
}

void codecSetHue(uint64_t player, int hue)
{
    changePicture(player, [&](PictureProcessor &picture) { picture.setHue(hue); });
}

void codecSetDeinterlace(uint64_t player, int mode)
{
    withPlayer(player, 0, [&](Player &p) {
        p.setDeinterlace(mode);
        return 0;
    });
}

void codecSetAudioDelay(uint64_t player, int64_t delay)
{
    withPlayer(player, 0, [&](Player &p) {
        p.setAudioDelay(delay);
        return 0;
    });
}

void codecSetPlaybackSpeed(uint64_t player, unsigned int percent)
{
    withPlayer(player, 0, [&](Player &p) {
        p.setPlaybackSpeed(int(std::min(percent, 800u)));
        return 0;
    });
}

void codecSetAudioRatePercent(uint64_t player, unsigned int percent)
{
    withPlayer(player, 0, [&](Player &p) {
        p.sound().setRatePercent(int(std::min(percent, 100000u)));
        return 0;
    });
}

void codecSetEqualizer(uint64_t player, const double *frequencies, const double *gains, int count)
{
    withPlayer(player, 0, [&](Player &p) {
        p.sound().setEqualizer(frequencies, gains, count);
        return 0;
    });
}

int codecSelectSubtitleStream(uint64_t player, int index)
{
    return withPlayer(player, 0, [&](Player &p) { return p.selectSubtitleStream(index) ? 1 : 0; });
}

int codecSelectVideoCaptions(uint64_t player, int enable)
{
    return withPlayer(player, 0, [&](Player &p) { return p.selectVideoCaptions(enable != 0) ? 1 : 0; });
}

int codecOpenSubtitleFile(uint64_t player, const char *path)
{
    if (!path || !*path)
        return 0;
    return withPlayer(player, 0, [&](Player &p) { return p.openSubtitleFile(path) ? 1 : 0; });
}

void codecBeginSubtitleStyle(uint64_t player)
{
    withPlayer(player, 0, [](Player &p) {
        p.subtitles().beginStyle();
        return 0;
    });
}

void codecSetSubtitleAlpha(uint64_t player, int alpha)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.alpha = std::clamp(alpha, 0, 255); });
}

void codecSetSubtitleScale(uint64_t player, int scaleX, int scaleY)
{
    changeStyle(player, [&](SubtitleStyle &s) {
        s.scaleX = std::clamp(scaleX, 1, 1000);
        s.scaleY = std::clamp(scaleY, 1, 1000);
    });
}

void codecSetSubtitleDelay(uint64_t player, int64_t delay)
{
    constexpr int64_t kHour = 3600 * int64_t(1000000);
    changeStyle(player, [&](SubtitleStyle &s) { s.delayMicros = std::clamp(delay, -kHour, kHour); });
}

void codecSetSubtitleFontName(uint64_t player, const char *name)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.fontName = name ? name : ""; });
}

void codecSetSubtitleBold(uint64_t player, int bold)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.bold = bold != 0; });
}

void codecSetSubtitleItalic(uint64_t player, int italic)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.italic = italic != 0; });
}

void codecSetSubtitleUnderline(uint64_t player, int underline)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.underline = underline != 0; });
}

void codecSetSubtitleStrikeOut(uint64_t player, int strikeOut)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.strikeOut = strikeOut != 0; });
}

void codecSetSubtitleFontSize(uint64_t player, double size)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.fontSize = std::isfinite(size) ? std::clamp(size, 1.0, 500.0) : 18; });
}

void codecSetSubtitleFontColour(uint64_t player, uint32_t colour)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.fontColour = colour; });
}

void codecSetSubtitleShadowColour(uint64_t player, uint32_t colour)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.shadowColour = colour; });
}

void codecSetSubtitleOutlineColour(uint64_t player, uint32_t colour)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.outlineColour = colour; });
}

namespace {

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

}

void codecSetSubtitleShadowOffset(uint64_t player, double offset)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.shadowOffset = std::clamp(finiteOr(offset, 0), -100.0, 100.0); });
}

void codecSetSubtitleOutlineSize(uint64_t player, double size)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.outlineSize = std::clamp(finiteOr(size, 0), 0.0, 100.0); });
}

void codecSetSubtitlePosition(uint64_t player, int position)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.position = position; });
}

void codecSetSubtitleSpacingH(uint64_t player, double spacing)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.spacingH = std::clamp(finiteOr(spacing, 0), -100.0, 100.0); });
}

void codecSetSubtitleSpacingV(uint64_t player, double spacing)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.spacingV = std::clamp(finiteOr(spacing, 0), -100.0, 100.0); });
}

void codecSetSubtitleMarginX(uint64_t player, double margin)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.marginX = std::clamp(finiteOr(margin, 0.05), 0.0, 0.5); });
}

void codecSetSubtitleMarginY(uint64_t player, double margin)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.marginY = std::clamp(finiteOr(margin, 0.05), 0.0, 1.0); });
}

void codecSetSubtitleExtra1(uint64_t player, double value)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.extra1 = std::clamp(finiteOr(value, 0), 0.0, 100.0); });
}

void codecSetSubtitleExtra2(uint64_t player, double value)
{
    changeStyle(player, [&](SubtitleStyle &s) { s.extra2 = std::fmod(finiteOr(value, 0), 360.0); });
}

void codecApplySubtitleStyle(uint64_t player)
{
    withPlayer(player, 0, [](Player &p) {
        p.subtitles().applyStyle();
        p.redraw();
        return 0;
    });
}
