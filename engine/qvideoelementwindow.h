#ifndef QVIDEOELEMENTWINDOW_H
#define QVIDEOELEMENTWINDOW_H

#include <QWidget>

#include <mutex>

class NSOpenGLVideoView;
class NSVideoView;

// Holds the current video view, fills itself with it and forwards frames to it.
// The frame calls come from the decoder's thread; everything else runs on the main thread.
class QVideoElementWindow : public QWidget
{
    Q_OBJECT

public:
    explicit QVideoElementWindow(QWidget *parent = nullptr);
    ~QVideoElementWindow() override;

    // Replaces the view with a new OpenGL view, or a bitmap view when openGl is false.
    void SetOpenGl(bool openGl);
    void reshape();
    bool showImage(unsigned char *data, unsigned int width, unsigned int height, unsigned int stride);
    bool showYUVImage(unsigned char **planes, int width, int height, int *strides);
    // Pictures the current view has shown, and those it refused for want of room or memory.
    void frameCounts(long long *shown, long long *dropped) const;

signals:
    // The view refused a frame for want of room and has room again.
    void emitFrameDropped();

private:
    void dropView();

    bool m_openGl = true;
    // The view as placed: the OpenGL view's container, or the bitmap view.
    QWidget *m_view = nullptr;
    NSOpenGLVideoView *m_glView = nullptr;
    NSVideoView *m_bitmapView = nullptr;
    // Held while a frame is handed to the view and while the view is replaced,
    // so the decoder's thread never reaches a view that is being deleted.
    mutable std::mutex m_viewLock;
};

#endif
