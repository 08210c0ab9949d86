#ifndef PLAYTYPES_H
#define PLAYTYPES_H

#include <QMetaType>

// The playback engine's enums; each is a 32-bit value.

enum PlayState {
    PlayState_Playing = 1,
    PlayState_Paused = 2,
    PlayState_Completed = 3,  // end reached, or nothing playable was found
    PlayState_Stopped = 4,
    PlayState_StartFailed = 5
};

enum MediaType {
    MediaType_None = 0,
    MediaType_Audio = 1,
    MediaType_Video = 2
};

enum RatioType {
    RatioType_Source = 0,      // source display aspect
    RatioType_PixelSize = 1,   // source width to height in pixels
    RatioType_16_9 = 2,
    RatioType_4_3 = 3,
    RatioType_9_16 = 4,
    RatioType_3_4 = 5
};

Q_DECLARE_METATYPE(PlayState)

#endif
