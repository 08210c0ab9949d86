#ifndef NEWMAINWINDOWFLAGS_H
#define NEWMAINWINDOWFLAGS_H

// Main-window state that other windows read; header-only so the toolkit and the player link
// without the shell. The main window derives from it, so the flags are NewMainWindow::m_bFullscreen
// and so on.
struct NewMainWindowFlags
{
    static inline bool m_bMouseInMainWindow = false;
    static inline bool m_bFullscreen = false;
    // Set when the mouse enters the main window; the player window's menu handling reads it too.
    static inline bool m_bMouseEnter = false;
};

#endif
