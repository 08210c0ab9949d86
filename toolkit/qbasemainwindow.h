#ifndef QBASEMAINWINDOW_H
#define QBASEMAINWINDOW_H

#include "toolkit/qbasedrawwidget.h"

#include <QMainWindow>

// A frameless main window that keeps its own move, resize and maximise state: 4-pixel resize
// bands inside its edges and a 32-pixel band at the top to drag it by.
class QBaseMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit QBaseMainWindow(QWidget *parent = nullptr);

public slots:
    void onMaximized();
    void onNormal();

protected:
    virtual void updateControlsPosition();

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void updateCursor(const QPoint &global);
    void resizeByEdge(const QPoint &global);

    bool m_bDragging = false;
    QPoint m_pressOffset;
    QBaseDrawWidget::CursorAndState m_cursor = QBaseDrawWidget::CursorNone;
    int m_grabX = 0;
    int m_grabY = 0;
    bool m_bMaximized = false;
    QRect m_normalGeometry;
};

#endif
