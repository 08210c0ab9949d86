#ifndef QSCROLLAREAFRAMESELECTION_H
#define QSCROLLAREAFRAMESELECTION_H

#include <QPoint>
#include <QScrollArea>

class QTimer;

// A scroll area that follows a rubber-band drag in content coordinates and scrolls by itself
// while the pointer is near its top or bottom edge.
class QScrollAreaFrameSelection : public QScrollArea
{
    Q_OBJECT

public:
    explicit QScrollAreaFrameSelection(QWidget *parent = nullptr);

    void sendSelectChangePt();
    bool isSelecting() const;

signals:
    void emitSelectPtChange(QPoint startPt, QPoint endPt);

public slots:
    void itemPressStart();
    void itemRelease();

protected slots:
    void mouseChangeSliderTimer();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool m_selecting = false;
    QTimer *m_timer;
    bool m_scrollUp = false;
    QPoint m_startPt;
    QPoint m_endPt;
    int m_lastY = -1;
};

#endif
