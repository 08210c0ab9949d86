#ifndef QMEDIAPLAYWINDOWFLAGS_H
#define QMEDIAPLAYWINDOWFLAGS_H

// Player-window state shared by the program's windows; header-only so the toolkit and the playlist
// write it without linking the player. The player window derives from it, so the flags read as
// QMediaPlayWindow::m_bPlayBtnActicate and so on.
struct QMediaPlayWindowFlags
{
    // Which of the floating windows is active: the control bar, the main window, the playlist
    // overlay and the message popup. The controls stay up only while one of them is.
    static inline bool m_bPlayBtnActicate = false;
    static inline bool m_bHistoryActicate = false;
    static inline bool m_bHiddenBtnActicate = false;
    static inline bool m_bMessageActicate = false;
    // True while a modal dialog, file chooser or context menu runs over the player.
    static inline bool m_bWindowShowTop = false;

    static void setPlayBtnDlgActivate(bool activate) { m_bPlayBtnActicate = activate; }
    static void setHistoryDlgActivate(bool activate) { m_bHistoryActicate = activate; }
    static void setHiddenBtnActivate(bool activate) { m_bHiddenBtnActicate = activate; }
    static void setMessageActivate(bool activate) { m_bMessageActicate = activate; }

    static bool getActivate()
    {
        return m_bPlayBtnActicate && m_bHistoryActicate && m_bHiddenBtnActicate && m_bMessageActicate;
    }
};

#endif
