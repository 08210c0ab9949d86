#ifndef QZRWIDGET_H
#define QZRWIDGET_H

#include "toolkit/qzrchromewindow.h"

#include <QWidget>

// A widget drawn by the chrome mix-in; it neither moves nor resizes itself.
class QZRWidget : public QZRChromeWindow<QWidget, QWidget, QWidget>
{
    Q_OBJECT

public:
    explicit QZRWidget(QWidget *parent = nullptr) : QZRChromeWindow(parent, QBaseDrawWidget::Widget) {}
};

#endif
