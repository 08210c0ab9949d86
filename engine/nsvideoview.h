#ifndef NSVIDEOVIEW_H
#define NSVIDEOVIEW_H

#include "engine/qvideoframegate.h"

#include <QImage>
#include <QWidget>

// Shows packed 32-bit frames as an image scaled to the whole view, without OpenGL.
class NSVideoView : public QWidget
{
    Q_OBJECT

public:
    explicit NSVideoView(QWidget *parent = nullptr);

    // Runs on the decoder's thread and copies the frame; a null pointer asks to clear.
    bool showImage(unsigned char *data, int width, int height, int stride);

signals:
    // A frame was refused while nine waited, and one of those has been shown since.
    void emitFrameDropped();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mDisplayImage;
    QVideoFrameGate mCount;
};

#endif
