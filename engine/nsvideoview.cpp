#include "engine/nsvideoview.h"

#include <QPainter>

NSVideoView::NSVideoView(QWidget *parent)
    : QWidget(parent)
{
}

bool NSVideoView::showImage(unsigned char *data, int width, int height, int stride)
{
    if (!mCount.enter(!data, "showImage too slow..."))
        return false;
    QImage image;
    if (data) {
        // Bytes blue, green, red and an ignored fourth; copied so the decoder may reuse its buffer.
        if (QVideoFrameGate::packedFits(width, height, stride))
            image = QImage(data, width, height, stride, QImage::Format_RGB32).copy();
        if (image.isNull()) {
            mCount.leave();
            return false;
        }
    }
    QMetaObject::invokeMethod(
        this,
        [this, image]() {
            mDisplayImage = image;
            const bool dropped = mCount.handled();
            update();
            if (dropped)
                emit emitFrameDropped();
        },
        Qt::QueuedConnection);
    return true;
}

void NSVideoView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (mDisplayImage.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(rect(), mDisplayImage);
}
