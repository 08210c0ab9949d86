#ifndef NEWMAINWINDOWFLAGS_H
#define NEWMAINWINDOWFLAGS_H

// Main-window state that the toolkit reads; header-only so the toolkit links without the shell.
// The main window derives from it, so the flags are NewMainWindow::m_bMouseInMainWindow and
// NewMainWindow::m_bFullscreen.
struct NewMainWindowFlags
{
    static inline bool m_bMouseInMainWindow = false;
    static inline bool m_bFullscreen = false;
};

#endif
