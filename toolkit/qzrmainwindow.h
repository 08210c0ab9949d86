#ifndef QZRMAINWINDOW_H
#define QZRMAINWINDOW_H

#include "toolkit/qzrchromewindow.h"

#include <QMainWindow>

// A frameless main window drawn, moved and resized by the chrome mix-in.
class QZRMainWindow : public QZRChromeWindow<QMainWindow, QMainWindow, QWidget>
{
    Q_OBJECT

public:
    explicit QZRMainWindow(QWidget *parent = nullptr) : QZRChromeWindow(parent, QBaseDrawWidget::MainWindow) {}
};

#endif
