#ifndef FRAMEGRABBER_H
#define FRAMEGRABBER_H

#include "codec/rqcodec.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QElapsedTimer>
#include <QTest>

#include <QSet>

#include <cstring>
#include <mutex>

// A frame callback that keeps a copy of the latest picture it was given: packed BGRA pictures map straight onto
// QImage::Format_ARGB32; of planar YUV ones the luma plane is kept as a grey image, and the chroma planes too.
class FrameGrabber
{
public:
    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<FrameGrabber *>(context);
        const int format = codecFrameGetFormat(frame);
        const int w = codecFrameGetWidth(frame), h = codecFrameGetHeight(frame);
        const int stride = codecFrameGetLineSize(frame, 0);
        const unsigned char *data = codecFrameGetPlane(frame, 0);
        const bool bgra = format == 30;
        QImage image(w, h, bgra ? QImage::Format_ARGB32 : QImage::Format_Grayscale8);
        for (int y = 0; y < h; ++y)
            std::memcpy(image.scanLine(y), data + size_t(y) * stride, size_t(w) * (bgra ? 4 : 1));
        QImage chroma[2];
        for (int plane = 1; plane <= 2 && !bgra; ++plane) {
            QImage &c = chroma[plane - 1];
            c = QImage((w + 1) / 2, (h + 1) / 2, QImage::Format_Grayscale8);
            for (int y = 0; y < c.height(); ++y)
                std::memcpy(c.scanLine(y), codecFrameGetPlane(frame, plane)
                                               + size_t(y) * codecFrameGetLineSize(frame, plane), size_t(c.width()));
        }
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_image = image;
        self->m_chroma[0] = chroma[0];
        self->m_chroma[1] = chroma[1];
        self->m_formats.insert(format);
        if (++self->m_frames == self->m_keptNumber)
            self->m_kept = image;
        return 1;
    }

    int frames() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_frames;
    }
    // The formats of the pictures since the last call.
    QSet<int> takeFormats()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        QSet<int> formats;
        formats.swap(m_formats);
        return formats;
    }
    QImage image() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_image;
    }
    // Keeps picture number n (counted from 1), whatever comes after it; kept() is null until it came.
    void keep(int n)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_keptNumber = n;
        m_kept = QImage();
    }
    QImage kept() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_kept;
    }
    // Plane 1 or 2 of the latest picture when it was planar YUV, else a null image.
    QImage chroma(int plane) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_chroma[plane - 1];
    }

    // Waits, running the event loop, for a picture after the first count; false after ten seconds.
    bool waitAfter(int count) const
    {
        QElapsedTimer timer;
        timer.start();
        while (frames() <= count && timer.elapsed() < 10000)
            QTest::qWait(5);
        return frames() > count;
    }

    // Mean colour of a part of the latest picture (all of it when the rectangle is null).
    QColor mean(QRect area = QRect()) const { return mean(image(), area); }
    static QColor mean(const QImage &img, QRect area = QRect())
    {
        if (img.isNull())
            return QColor();
        area = area.isNull() ? img.rect() : area.intersected(img.rect());
        qint64 r = 0, g = 0, b = 0, n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb p = img.pixel(x, y);
                r += qRed(p);
                g += qGreen(p);
                b += qBlue(p);
                ++n;
            }
        return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
    }

private:
    mutable std::mutex m_mutex;
    QImage m_image;
    QImage m_chroma[2];
    QSet<int> m_formats;
    int m_frames = 0;
    int m_keptNumber = -1;
    QImage m_kept;
};

#endif
