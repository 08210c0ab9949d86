#ifndef QZRSLIDEREX_H
#define QZRSLIDEREX_H

#include "toolkit/qzrbaseslider.h"

// A slider with pointing-hand cursors and a hover frame on its thumb while the pointer is over it.
class QZRSliderEx : public QZRBaseSlider
{
    Q_OBJECT

public:
    explicit QZRSliderEx(QWidget *parent = nullptr);

    bool setBtnImage(QString path) override;

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private slots:
    void buttonMouseDown(QMouseEvent *e, int x);
    void buttonMouseLeave(QEvent *event);
    void buttonMouseMove(QMouseEvent *e, int x);

private:
    void setThumbState(int state);
};

#endif
