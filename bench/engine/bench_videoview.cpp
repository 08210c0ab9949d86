// Upload-and-draw rate of the OpenGL view: bench_videoview <raw yuv420p 1920x1080 file> <frames>
// Each frame is handed in, uploaded on the main thread, painted into the shown window, swapped to the
// screen and finished before the next.
#include "engine/nsopenglvideoview.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <cstdio>

namespace {

const int kWidth = 1920;
const int kHeight = 1080;

void showAndFinish(NSOpenGLVideoView &view, unsigned char **planes, int *strides)
{
    if (!view.showYUVImage(planes, kWidth, kHeight, strides))
        std::fprintf(stderr, "frame refused\n");
    QCoreApplication::sendPostedEvents(&view, QEvent::MetaCall);
    // Paints now, as a refresh of the window does.
    QEvent paint(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&view, &paint);
    view.makeCurrent();
    view.context()->functions()->glFinish();
}

}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_videoview <yuv420p 1920x1080 file> <frames>\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const int frames = QByteArray(argv[2]).toInt();
    if (!file.open(QIODevice::ReadOnly) || frames < 1)
        return 2;
    QByteArray picture = file.readAll();
    const int lumaSize = kWidth * kHeight;
    if (picture.size() != lumaSize * 3 / 2)
        return 2;
    unsigned char *base = reinterpret_cast<unsigned char *>(picture.data());
    unsigned char *planes[3] = {base, base + lumaSize, base + lumaSize + lumaSize / 4};
    int strides[3] = {kWidth, kWidth / 2, kWidth / 2};

    NSOpenGLVideoView view;
    view.resize(kWidth, kHeight);
    view.show();
    while (!view.isValid() || !view.isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // The first frame allocates the textures and builds the program.
    showAndFinish(view, planes, strides);

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i)
        showAndFinish(view, planes, strides);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const char *renderer = reinterpret_cast<const char *>(view.context()->functions()->glGetString(GL_RENDERER));
    std::printf("renderer: %s\n", renderer ? renderer : "unknown");
    std::printf("fps: %.1f\n", frames / seconds);
    return 0;
}
