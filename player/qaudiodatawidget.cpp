#include "player/qaudiodatawidget.h"

#include "toolkit/qbaseimagedraw.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstring>

bool TransData(unsigned short *values, int n, unsigned int *out, int bars, int cells, bool check)
{
    if (bars < 1)
        return true;
    // A block without one whole value has nothing to show; a bar must not read past it.
    if (n < 1) {
        std::fill(out, out + bars, 0u);
        return true;
    }
    bool silent = true;
    const unsigned short first = values[0];
    const auto read = [&](qint64 k) {
        const unsigned short v = values[k];
        if (check && qAbs(int(v) - int(first)) > 10)
            silent = false;
        return v;
    };
    // 64-bit ranges, sums and products: a long block or a tall widget cannot overflow them.
    for (int i = 0; i < bars; ++i) {
        const qint64 start = qint64(i) * n / bars;
        const qint64 end = qMin(qint64(i + 1) * n / bars, qint64(n));
        quint64 average = 0;
        if (end > start) {
            for (qint64 k = start; k < end; ++k)
                average += read(k);
            average /= quint64(end - start);
        } else {
            average = read(start);
        }
        if (!check && average != 0)
            silent = false;
        out[i] = cells > 0 ? unsigned((average * unsigned(cells)) >> 16) : unsigned(average);
    }
    return silent;
}

QAudioDataWidget::QAudioDataWidget(QWidget *parent, AudioDataAttribute *attribute) : QWidget(parent)
{
    if (attribute)
        m_attribute = *attribute;
    if (m_attribute.drawStyle == 1) {
        m_attribute.barSpacing = 0;
        m_attribute.cellSpacing = 0;
    }
}

void QAudioDataWidget::setAudioLogo(QString path)
{
    m_logo = QPixmap(path);
    m_logo.setDevicePixelRatio(2.0);
    m_background = QPixmap();
}

void QAudioDataWidget::setBackgroundColor(QColor color)
{
    if (color.isValid())
        m_backgroundColor = color;
    // An opaque colour covers what lies under the widget: its parents need not paint there.
    setAttribute(Qt::WA_OpaquePaintEvent, m_backgroundColor.alpha() == 255);
    m_background = QPixmap();
}

// Every resize and show starts the bars and peaks from nothing.
void QAudioDataWidget::resizeBars()
{
    const int w = width();
    const int h = height();
    m_drawRect = QRect(0, 0, w, h);
    const int barPitch = m_attribute.barWidth + m_attribute.barSpacing;
    const int cellPitch = m_attribute.cellHeight + m_attribute.cellSpacing;
    m_nBars = barPitch > 0 ? qMax(0, (w + m_attribute.barSpacing) / barPitch) : 0;
    m_nCells = cellPitch > 0 ? qMax(0, (h + m_attribute.cellSpacing) / cellPitch) : 0;
    m_levels = QVector<unsigned int>(m_nBars, 0);
    m_peaks.clear();
    m_falls.clear();
    if (m_attribute.showPeak) {
        m_peaks = QVector<int>(m_nBars, 0);
        m_falls = QVector<int>(m_nBars, 0);
    }
    m_background = QPixmap();
    m_shownLevels = QVector<int>(m_nBars, -1);
    m_shownPeaks = QVector<int>(m_nBars, -1);
    drawBarColumn();
}

void QAudioDataWidget::drawBarColumn()
{
    const AudioDataAttribute &a = m_attribute;
    m_barColumn = QPixmap();
    if (a.drawStyle != 0 || a.barWidth < 1 || height() < 1)
        return;
    const qreal ratio = devicePixelRatioF();
    m_barColumn = QPixmap(QSize(a.barWidth, height()) * ratio);
    m_barColumn.setDevicePixelRatio(ratio);
    m_barColumn.fill(Qt::transparent);
    QPainter painter(&m_barColumn);
    painter.setRenderHint(QPainter::Antialiasing);
    const int bottom = height() - 1;
    for (int c = 0; c < m_nCells; ++c) {
        const QRectF cell(0, bottom - a.cellHeight - (a.cellHeight + a.cellSpacing) * c, a.barWidth, a.cellHeight);
        painter.fillPath(QBaseImageDraw::GetRoundedRectanglePath(cell, a.cornerRadius), a.barColor);
    }
}

// The colour and the picture at the widget's size, so that a paint only copies them.
void QAudioDataWidget::drawBackground()
{
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    // Filled with an opaque colour the copy needs no alpha and is copied rather than blended.
    m_background.fill(m_backgroundColor.alpha() == 255 ? m_backgroundColor : QColor(Qt::transparent));
    QPainter painter(&m_background);
    painter.fillRect(rect(), m_backgroundColor);
    if (!m_logo.isNull())
        painter.drawPixmap((width() - m_logo.width() / 2) / 2, (height() - m_logo.height() / 2) / 2, m_logo);
}

QRect QAudioDataWidget::columnRect(int bar) const
{
    return QRect((m_attribute.barWidth + m_attribute.barSpacing) * bar, 0, m_attribute.barWidth, height());
}

// The rows of a column between the old and the new tops of its bar and its peak mark.
QRegion QAudioDataWidget::changedColumns() const
{
    const AudioDataAttribute &a = m_attribute;
    const int bottom = height() - 1;
    const auto barTop = [&](int t) { return t > 0 ? bottom - a.cellHeight - (a.cellHeight + a.cellSpacing) * (t - 1) : height(); };
    const auto peakRow = [&](int p) { return p > 0 ? bottom - p - 1 : height(); };
    QRegion changed;
    for (int i = 0; i < m_nBars; ++i) {
        const int level = int(m_levels[i]);
        const int peak = i < m_peaks.size() ? qMax(m_peaks[i], 0) : 0;
        if (level == m_shownLevels[i] && peak == m_shownPeaks[i])
            continue;
        const QRect column = columnRect(i);
        if (m_shownLevels[i] < 0 || m_shownPeaks[i] < 0) {
            changed += column;
            continue;
        }
        const int oldTop = barTop(m_shownLevels[i]), newTop = barTop(level);
        const int oldPeak = peakRow(m_shownPeaks[i]), newPeak = peakRow(peak);
        const int top = qMin(qMin(oldTop, newTop), qMin(oldPeak, newPeak));
        const int end = qMax(qMax(level != m_shownLevels[i] ? qMax(oldTop, newTop) : top,
                                  peak != m_shownPeaks[i] ? qMax(oldPeak, newPeak) + 1 : top),
                             top + 1);
        changed += QRect(column.x(), top, column.width(), qMin(end, height()) - top);
    }
    return changed;
}

bool QAudioDataWidget::setAudioData(unsigned char *data, int sps)
{
    if (!data) {
        m_bNewData = false;
        m_peaks.fill(0);
        m_falls.fill(0);
        update();
        return true;
    }
    quint32 length = 0;
    std::memcpy(&length, data + 40, sizeof length);
    qint64 n = length / 2;
    // The values run from 0 Hz up to sps; only those up to 16 kHz are shown.
    if (sps >= 16000)
        n = n * 16000 / sps;
    const bool silent = TransData(reinterpret_cast<unsigned short *>(data + 44), int(n), m_levels.data(), m_nBars,
                                  m_nCells, m_attribute.drawStyle == 1);

    const int cellPitch = m_attribute.cellHeight + m_attribute.cellSpacing;
    for (int i = 0; i < m_peaks.size(); ++i) {
        if (m_peaks[i] > 0) {
            if (m_attribute.peakGravity) {
                ++m_falls[i];
                m_peaks[i] -= m_falls[i] * m_falls[i] / 8;
            } else {
                --m_peaks[i];
            }
        }
        int t = int(m_levels[i]);
        if (t > 0)
            t = cellPitch * t - m_attribute.cellSpacing;
        if (t > m_peaks[i]) {
            m_peaks[i] = t;
            m_falls[i] = 0;
        }
    }
    m_bNewData = true;
    // The polyline crosses every column; cells and peaks repaint only where they moved.
    if (m_attribute.drawStyle == 1)
        update();
    else
        update(changedColumns());
    return silent;
}

void QAudioDataWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_background.isNull())
        drawBackground();
    painter.drawPixmap(0, 0, m_background);
    // A repaint that no block caused shows the picture alone.
    if (!m_bNewData) {
        for (int i = 0; i < m_nBars; ++i) {
            if (event->region().intersects(columnRect(i))) {
                m_shownLevels[i] = -1;
                m_shownPeaks[i] = -1;
            }
        }
        return;
    }

    const AudioDataAttribute &a = m_attribute;
    const int bottom = m_drawRect.bottom();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath line;
    for (int i = 0; i < m_levels.size(); ++i) {
        const int x = (a.barWidth + a.barSpacing) * i;
        const int t = int(m_levels[i]);
        if (a.drawStyle == 0) {
            if (t > 0 && !m_barColumn.isNull()) {
                const int top = qMax(0, bottom - a.cellHeight - (a.cellHeight + a.cellSpacing) * (t - 1));
                const qreal ratio = m_barColumn.devicePixelRatio();
                painter.drawPixmap(QPointF(x, top), m_barColumn,
                                   QRectF(0, top * ratio, a.barWidth * ratio, (height() - top) * ratio));
            }
        } else if (a.drawStyle == 1) {
            const QPointF top(a.barWidth * i, bottom - a.cellHeight * t);
            if (i == 0)
                line.moveTo(top);
            else
                line.lineTo(top);
        }
        if (a.showPeak && i < m_peaks.size() && m_peaks[i] > 0)
            painter.fillRect(QRect(x, bottom - m_peaks[i] - 1, a.barWidth, 1), a.peakColor);
        m_shownLevels[i] = t;
        m_shownPeaks[i] = i < m_peaks.size() ? qMax(m_peaks[i], 0) : 0;
    }
    if (a.drawStyle == 1)
        painter.strokePath(line, QPen(a.barColor, a.barWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    m_bNewData = false;
}

void QAudioDataWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resizeBars();
}

void QAudioDataWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    resizeBars();
    repaint();
}
