#ifndef QZRCHROMEWINDOW_H
#define QZRCHROMEWINDOW_H

#include "toolkit/qbasedrawwidget.h"

#include <QWidget>

// Joins a Qt window class with the chrome mix-in and forwards its events: the Qt handler first
// and the mix-in second, except the generic handler, which asks the mix-in first. EventBase
// supplies the generic handler and LayoutBase the resize and show handlers; after those the
// window lays out its children in resetControlLocation().
template <class QtBase, class EventBase, class LayoutBase>
class QZRChromeWindow : public QtBase, public QBaseDrawWidget
{
public:
    QZRChromeWindow(QWidget *parent, QBaseDrawWidget::dlgType type)
        : QtBase(parent), QBaseDrawWidget(static_cast<QWidget *>(this), type)
    {
    }

protected:
    bool event(QEvent *e) override
    {
        if (QBaseDrawWidget::event(e))
            return true;
        return EventBase::event(e);
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        QWidget::mousePressEvent(e);
        QBaseDrawWidget::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QWidget::mouseReleaseEvent(e);
        QBaseDrawWidget::mouseReleaseEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent *e) override
    {
        QWidget::mouseDoubleClickEvent(e);
        QBaseDrawWidget::mouseDoubleClickEvent(e);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        QWidget::mouseMoveEvent(e);
        QBaseDrawWidget::mouseMoveEvent(e);
    }
    void focusOutEvent(QFocusEvent *e) override
    {
        QWidget::focusOutEvent(e);
        QBaseDrawWidget::focusOutEvent(e);
    }
    void paintEvent(QPaintEvent *e) override
    {
        QWidget::paintEvent(e);
        QBaseDrawWidget::paintEvent(e);
    }
    void resizeEvent(QResizeEvent *e) override
    {
        LayoutBase::resizeEvent(e);
        resetControlLocation();
    }
    void showEvent(QShowEvent *e) override
    {
        LayoutBase::showEvent(e);
        resetControlLocation();
    }
};

#endif
