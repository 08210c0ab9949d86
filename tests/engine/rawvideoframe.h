#ifndef RAWVIDEOFRAME_H
#define RAWVIDEOFRAME_H

#include <QByteArray>
#include <QImage>
#include <QString>

// One picture of a lavfi source made by the ffmpeg tool, laid out in rows of chosen strides,
// and ffmpeg's own RGB conversion of it to compare a displayed frame with.
class RawVideoFrame
{
public:
    // yuv420p planes; each stride is the tight row plus extra, rounded up to a multiple of 4.
    // Padding bytes hold 0xEE, which would show as a coloured seam if drawn.
    static RawVideoFrame yuv420p(const QString &dir, const QString &source, int width, int height, int extra);
    // bgra rows of stride width * 4 + extra (extra a multiple of 4).
    static RawVideoFrame bgra(const QString &dir, const QString &source, int width, int height, int extra);
    // ffmpeg's rgb24 conversion of the same picture.
    static QImage reference(const QString &dir, const QString &source, int width, int height);

    // Share of pixels whose largest channel difference exceeds tolerance; 1 when the sizes differ.
    static double mismatch(const QImage &shown, const QImage &expected, int tolerance);

    bool isNull() const { return m_planes[0].isEmpty(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    unsigned char **planes();
    int *strides() { return m_strides; }

private:
    static QByteArray run(const QString &dir, const QString &source, int width, int height, const QString &pixFmt);
    void addPlane(int index, const QByteArray &tight, int rowBytes, int rows, int stride);

    int m_width = 0;
    int m_height = 0;
    QByteArray m_planes[3];
    unsigned char *m_pointers[3] = {nullptr, nullptr, nullptr};
    int m_strides[3] = {0, 0, 0};
};

#endif
