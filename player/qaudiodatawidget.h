#ifndef QAUDIODATAWIDGET_H
#define QAUDIODATAWIDGET_H

#include "player/audiodataattribute.h"

#include <QPixmap>
#include <QVector>
#include <QWidget>

// Reduces n unsigned 16-bit values to bar levels of 0 to cells - 1, one average per bar, into out.
// Returns true for silence: every average 0, or with check, no value read more than 10 away from
// the first. Fewer than one value gives every bar level 0 and reads nothing.
bool TransData(unsigned short *values, int n, unsigned int *out, int bars, int cells, bool check);

// A row of level bars over a picture, fed with the blocks of audio values the playback object
// hands out. The bars show only at the paint that follows a block.
class QAudioDataWidget : public QWidget
{
    Q_OBJECT

public:
    QAudioDataWidget(QWidget *parent, AudioDataAttribute *attribute);

    void setAudioLogo(QString path);
    void setBackgroundColor(QColor color);

public slots:
    bool setAudioData(unsigned char *data, int sps);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void resizeBars();
    // One bar of every cell, drawn once per size; a bar of t cells is its bottom part.
    void drawBarColumn();
    void drawBackground();
    // The columns whose bar or peak differ from what the screen shows.
    QRegion changedColumns() const;
    QRect columnRect(int bar) const;

    AudioDataAttribute m_attribute;
    QRect m_drawRect = QRect(0, 0, 400, 100);
    int m_nBars = 0;
    int m_nCells = 0;
    QVector<unsigned int> m_levels;
    // Heights in pixels and fall counters; empty unless peaks were on at the last resize.
    QVector<int> m_peaks;
    QVector<int> m_falls;
    bool m_bNewData = false;
    // The levels and peaks on the screen; -1 where a repaint without a block wiped them.
    QVector<int> m_shownLevels;
    QVector<int> m_shownPeaks;
    QPixmap m_barColumn;
    QPixmap m_background;
    QPixmap m_logo;
    QColor m_backgroundColor = Qt::transparent;
};

#endif
