#ifndef OPENGLVIEW_H
#define OPENGLVIEW_H

#include "engine/nsopenglvideoview.h"

#include <QGuiApplication>
#include <QWidget>
#include <QTest>

// The OpenGL video view is a window of its own inside the video pane, not a child widget: this finds it
// among the application's windows, inside the top-level window of within if given. Null when there is
// none, or more than one.
inline NSOpenGLVideoView *openGlView(const QWidget *within = nullptr)
{
    const QWindow *top = within ? within->window()->windowHandle() : nullptr;
    NSOpenGLVideoView *found = nullptr;
    for (QWindow *window : QGuiApplication::allWindows()) {
        auto *view = qobject_cast<NSOpenGLVideoView *>(window);
        const QWindow *ancestor = view;
        while (top && ancestor && ancestor != top)
            ancestor = ancestor->parent();
        if (!view || !ancestor)
            continue;
        if (found)
            return nullptr;
        found = view;
    }
    return found;
}

// The view once it is on the screen, so that it has a picture to read; null when it never gets there.
inline NSOpenGLVideoView *exposedOpenGlView(const QWidget *within = nullptr)
{
    NSOpenGLVideoView *view = openGlView(within);
    return view && QTest::qWaitForWindowExposed(view, 30000) ? view : nullptr;
}

// What the view draws of its latest picture: it is drawn now, as a refresh of the window would, and read back.
// Null without a view.
inline QImage drawnPicture(NSOpenGLVideoView *view)
{
    if (!view)
        return QImage();
    QEvent refresh(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(view, &refresh);
    return view->grabFramebuffer();
}

#endif
