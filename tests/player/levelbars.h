// Audio blocks as the playback object hands them out, and reading the audio pane's level bars back
// from a picture of the level widget.
#ifndef LEVELBARS_H
#define LEVELBARS_H

#include <QImage>
#include <QVector>
#include <cstring>
#include <vector>

namespace LevelBars {

// The audio pane's bars: 11 wide, 2 apart, cells 3 high and 2 apart, in the house accent colour.
const QRgb Colour = qRgb(253, 94, 105);
const int BarPitch = 13;
const int BarWidth = 11;
const int CellPitch = 5;
const int CellHeight = 3;

// A block of exactly the size its header claims: 44 header bytes, then the payload. The length
// field may say less than the values given (or nothing), to build short payloads.
inline std::vector<unsigned char> block(const QVector<quint16> &values, qint64 length = -1)
{
    const quint32 bytes = length < 0 ? quint32(values.size() * 2) : quint32(length);
    std::vector<unsigned char> data(44 + bytes, 0);
    std::memcpy(data.data() + 40, &bytes, sizeof bytes);
    std::memcpy(data.data() + 44, values.constData(), qMin<size_t>(bytes, size_t(values.size()) * 2));
    return data;
}

inline bool barColoured(const QImage &image, int x, int y)
{
    return image.rect().contains(x, y) && image.pixel(x, y) == Colour;
}

// The column through the middle of a bar.
inline int centreOf(int bar)
{
    return BarPitch * bar + BarWidth / 2;
}

// The top row of cell c (0 at the bottom) in a picture of the given height.
inline int cellTop(int height, int c)
{
    return height - 1 - CellHeight - CellPitch * c;
}

// Cells of a bar, counted from the bottom by the middle rows that carry the bar colour.
inline int cells(const QImage &image, int bar)
{
    int count = 0;
    while (barColoured(image, centreOf(bar), cellTop(image.height(), count) + 1))
        ++count;
    return count;
}

// Rows of a bar's middle column that carry the bar colour, from the top.
inline QVector<int> colouredRows(const QImage &image, int bar)
{
    QVector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (barColoured(image, centreOf(bar), y))
            rows << y;
    return rows;
}

inline int colouredPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == Colour;
    return count;
}

}

#endif
