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

// Playlist play mode: what follows the current item. A fixed type, so that any stored number
// (unknown ones included) is a value of it.
enum PlayModel : int {
    PlayModel_SinglePlay = 0,   // steps as List Play
    PlayModel_ListCycle = 1,
    PlayModel_ListPlay = 2,
    PlayModel_SingleLoop = 3,
    PlayModel_ShufflePlay = 4
};

// How a playlist row shows its item; other values show as normal.
enum PlayListItemState : int {
    PlayListItemState_Normal = 0,
    PlayListItemState_Playing = 1,
    PlayListItemState_Paused = 2,
    PlayListItemState_Finished = 3
};

// Which button the playlist overlay offers; other values are meaningful too.
enum HiddenBtnState : int {
    HiddenBtnState_ShowHideButton = 0,  // the playlist is shown
    HiddenBtnState_ShowShowButton = 1   // the playlist is hidden
};

Q_DECLARE_METATYPE(PlayState)
Q_DECLARE_METATYPE(PlayModel)
Q_DECLARE_METATYPE(PlayListItemState)

#endif
