#ifndef AUDIODATAATTRIBUTE_H
#define AUDIODATAATTRIBUTE_H

#include <QColor>

// How a level widget draws its bars; the widget keeps a copy.
struct AudioDataAttribute
{
    int barWidth = 1;
    int cellHeight = 1;
    int barSpacing = 0;
    int cellSpacing = 0;
    bool showPeak = false;
    // Non-zero: peaks fall faster and faster; zero: one pixel per block.
    int peakGravity = 0;
    double cornerRadius = 0.0;
    QColor barColor = QColor(255, 255, 255);
    QColor peakColor = QColor(255, 0, 0);
    // 0 rounded cells, 1 one line through the bar tops, anything else only the peak marks.
    int drawStyle = 0;
};

#endif
