#include "rawvideoframe.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdlib>

QByteArray RawVideoFrame::run(const QString &dir, const QString &source, int width, int height,
                              const QString &pixFmt)
{
    const QString size = QString("%1x%2").arg(width).arg(height);
    const QString out = QDir(dir).filePath(QString("%1_%2_%3.raw").arg(source, size, pixFmt));
    // The picture is made as yuv420p (sources draw only even sizes in it), then scaled to the
    // size asked for; any other pixel format is swscale's conversion of that very picture, with
    // chroma interpolated as texture filtering does rather than repeated.
    QString graph = QString("%1=size=%2x%3,format=yuv420p,scale=%4:%5,format=yuv420p")
                        .arg(source)
                        .arg(width + (width & 1))
                        .arg(height + (height & 1))
                        .arg(width)
                        .arg(height);
    if (pixFmt != "yuv420p")
        graph += ",scale=flags=bicubic+full_chroma_int+accurate_rnd,format=" + pixFmt;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", graph, "-frames:v", "1", "-f", "rawvideo", out});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        return QByteArray();
    QFile file(out);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void RawVideoFrame::addPlane(int index, const QByteArray &tight, int rowBytes, int rows, int stride)
{
    QByteArray plane(stride * rows, char(0xEE));
    for (int row = 0; row < rows; ++row)
        std::copy_n(tight.constData() + row * rowBytes, rowBytes, plane.data() + row * stride);
    m_planes[index] = plane;
    m_strides[index] = stride;
}

unsigned char **RawVideoFrame::planes()
{
    for (int i = 0; i < 3; ++i)
        m_pointers[i] = m_planes[i].isEmpty() ? nullptr : reinterpret_cast<unsigned char *>(m_planes[i].data());
    return m_pointers;
}

RawVideoFrame RawVideoFrame::yuv420p(const QString &dir, const QString &source, int width, int height, int extra)
{
    RawVideoFrame frame;
    const QByteArray tight = run(dir, source, width, height, "yuv420p");
    const int chromaWidth = (width + 1) / 2;
    const int chromaHeight = (height + 1) / 2;
    const int lumaSize = width * height;
    const int chromaSize = chromaWidth * chromaHeight;
    if (tight.size() != lumaSize + 2 * chromaSize)
        return frame;
    auto strideFor = [extra](int rowBytes) { return (rowBytes + extra + 3) / 4 * 4; };
    frame.m_width = width;
    frame.m_height = height;
    frame.addPlane(0, tight.left(lumaSize), width, height, strideFor(width));
    frame.addPlane(1, tight.mid(lumaSize, chromaSize), chromaWidth, chromaHeight, strideFor(chromaWidth));
    frame.addPlane(2, tight.mid(lumaSize + chromaSize), chromaWidth, chromaHeight, strideFor(chromaWidth));
    return frame;
}

RawVideoFrame RawVideoFrame::bgra(const QString &dir, const QString &source, int width, int height, int extra)
{
    RawVideoFrame frame;
    const QByteArray tight = run(dir, source, width, height, "bgra");
    if (tight.size() != width * height * 4)
        return frame;
    frame.m_width = width;
    frame.m_height = height;
    frame.addPlane(0, tight, width * 4, height, width * 4 + extra);
    return frame;
}

QImage RawVideoFrame::reference(const QString &dir, const QString &source, int width, int height)
{
    const QByteArray rgb = run(dir, source, width, height, "rgb24");
    if (rgb.size() != width * height * 3)
        return QImage();
    return QImage(reinterpret_cast<const uchar *>(rgb.constData()), width, height, width * 3,
                  QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

double RawVideoFrame::mismatch(const QImage &shown, const QImage &expected, int tolerance)
{
    if (shown.size() != expected.size() || expected.isNull())
        return 1.0;
    const QImage a = shown.convertToFormat(QImage::Format_RGB32);
    const QImage b = expected.convertToFormat(QImage::Format_RGB32);
    qint64 off = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *rowA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *rowB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int diff = std::max({std::abs(qRed(rowA[x]) - qRed(rowB[x])),
                                       std::abs(qGreen(rowA[x]) - qGreen(rowB[x])),
                                       std::abs(qBlue(rowA[x]) - qBlue(rowB[x]))});
            off += diff > tolerance;
        }
    }
    return double(off) / (qint64(a.width()) * a.height());
}
