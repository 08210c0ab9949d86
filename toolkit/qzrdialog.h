#ifndef QZRDIALOG_H
#define QZRDIALOG_H

#include "toolkit/qzrchromewindow.h"

#include <QDialog>

// A frameless dialog drawn, moved and resized by the chrome mix-in.
class QZRDialog : public QZRChromeWindow<QDialog, QWidget, QDialog>
{
    Q_OBJECT

public:
    explicit QZRDialog(QWidget *parent = nullptr) : QZRChromeWindow(parent, QBaseDrawWidget::Dialog) {}
};

#endif
