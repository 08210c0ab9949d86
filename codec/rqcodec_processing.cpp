// The C entry points of picture, sound and subtitle processing.
#include "codec/rqcodec.h"

#include "codec/playerhandles.h"

#include <algorithm>

using rq::Player;
using rq::PictureProcessor;
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
