#include "engine/qvideoelementwindow.h"

#include "engine/nsopenglvideoview.h"
#include "engine/nsvideoview.h"

#include <QVBoxLayout>

QVideoElementWindow::QVideoElementWindow(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_MouseTracking);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QVideoElementWindow::~QVideoElementWindow()
{
    dropView();
}

void QVideoElementWindow::SetOpenGl(bool openGl)
{
    dropView();
    m_openGl = openGl;
    QWidget *view;
    NSOpenGLVideoView *glView = nullptr;
    if (openGl) {
        glView = new NSOpenGLVideoView;
        // The pane under the picture takes the mouse.
        glView->setFlag(Qt::WindowTransparentForInput);
        connect(glView, &NSOpenGLVideoView::emitFrameDropped, this, &QVideoElementWindow::emitFrameDropped);
        // A native child window of its own: the picture is drawn once, straight to the screen.
        view = QWidget::createWindowContainer(glView, this);
        view->setAttribute(Qt::WA_MouseTracking);
    } else {
        auto *bitmapView = new NSVideoView(this);
        connect(bitmapView, &NSVideoView::emitFrameDropped, this, &QVideoElementWindow::emitFrameDropped);
        view = bitmapView;
    }
    layout()->addWidget(view);
    view->show();
    {
        std::lock_guard<std::mutex> lock(m_viewLock);
        m_view = view;
        m_glView = glView;
        m_bitmapView = qobject_cast<NSVideoView *>(view);
    }
    setAttribute(Qt::WA_MouseTracking);
}

void QVideoElementWindow::reshape()
{
    if (m_openGl && m_glView)
        m_glView->reshape();
}

bool QVideoElementWindow::showImage(unsigned char *data, unsigned int width, unsigned int height,
                                    unsigned int stride)
{
    std::lock_guard<std::mutex> lock(m_viewLock);
    if (m_glView)
        return m_glView->showImage(data, int(width), int(height), int(stride));
    if (m_bitmapView)
        return m_bitmapView->showImage(data, int(width), int(height), int(stride));
    return false;
}

// The bitmap view takes no planar frames.
bool QVideoElementWindow::showYUVImage(unsigned char **planes, int width, int height, int *strides)
{
    std::lock_guard<std::mutex> lock(m_viewLock);
    return m_glView && m_glView->showYUVImage(planes, width, height, strides);
}

// Only the OpenGL view counts; the bitmap view is a fallback no player chooses.
void QVideoElementWindow::frameCounts(long long *shown, long long *dropped) const
{
    std::lock_guard<std::mutex> lock(m_viewLock);
    *shown = m_glView ? m_glView->shownCount() : 0;
    *dropped = m_glView ? m_glView->droppedCount() : 0;
}

// Frames still queued for the old view go with it.
void QVideoElementWindow::dropView()
{
    QWidget *old;
    {
        std::lock_guard<std::mutex> lock(m_viewLock);
        old = m_view;
        m_view = nullptr;
        m_glView = nullptr;
        m_bitmapView = nullptr;
    }
    delete old;
}
