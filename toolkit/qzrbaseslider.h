#ifndef QZRBASESLIDER_H
#define QZRBASESLIDER_H

#include "toolkit/qzrbaseprogress.h"

class QMouseEvent;
class QZRBaseButton;
class QZRBaseSliderPrivate;

// A progress bar with a draggable thumb button; press, drag and the arrow keys set the value.
class QZRBaseSlider : public QZRBaseProgress
{
    Q_OBJECT

public:
    explicit QZRBaseSlider(QWidget *parent = nullptr);
    ~QZRBaseSlider() override;

    virtual bool setBtnImage(QString path);
    void setOffset(int tl, int rb);
    QZRBaseButton *getButton() const;
    void setBtnOffset(int offset);
    void setEnabledPull(bool enable);
    bool enablePull() const;

signals:
    void sendPressEvent(QMouseEvent *e);
    void sendProgressValue(double v);
    void sendReleseEvent(QMouseEvent *e);

public slots:
    void setValue(double val);
    void setValue(int val);

protected:
    virtual void calcBtnPostion();
    virtual void OnKeyLeftDown();
    virtual void OnKeyRightUp();

    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void btnMouseDown(QMouseEvent *e, int x);
    void btnMouseMove(QMouseEvent *e, int x);
    void btnMouseRelease(QMouseEvent *e, int x);

private:
    int validLength() const;
    QPoint eventPoint(QMouseEvent *event) const;
    void PointToValue(QPoint point);
    QPoint valueToPoint() const;
    void stepBy(double delta);
    void raiseOffsets(int &tl, int &rb) const;

    QZRBaseSliderPrivate *d;
};

#endif
