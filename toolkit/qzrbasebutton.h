#ifndef QZRBASEBUTTON_H
#define QZRBASEBUTTON_H

#include "toolkit/qzrbasebuttondraw.h"

#include <QMouseEvent>
#include <QPushButton>

// A push button drawn from a four-frame skin.
class QZRBaseButton : public QPushButton, public QZRBaseButtonDraw
{
    Q_OBJECT

public:
    explicit QZRBaseButton(QWidget *parent = nullptr);

    void seedClick();

public slots:
    void addItemCount();

signals:
    void mouseDown(QMouseEvent *e, int x);
    void mouseEnter(QEvent *event);
    void mouseLeave(QEvent *event);
    void mouseMove(QMouseEvent *e, int x);
    void mouseRelease(QMouseEvent *e, int x);

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
};

#endif
