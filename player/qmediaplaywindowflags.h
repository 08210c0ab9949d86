#ifndef QMEDIAPLAYWINDOWFLAGS_H
#define QMEDIAPLAYWINDOWFLAGS_H

// Player-window state that the toolkit reads; header-only so the toolkit links without the player.
// The player window derives from it, so the flag is QMediaPlayWindow::m_bWindowShowTop: true while a
// modal dialog or file chooser runs over the player.
struct QMediaPlayWindowFlags
{
    static inline bool m_bWindowShowTop = false;
};

#endif
