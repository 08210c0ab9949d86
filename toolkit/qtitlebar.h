#ifndef QTITLEBAR_H
#define QTITLEBAR_H

#include "toolkit/qzrwidget.h"

namespace Ui {
class QTitleBar;
}

// A title bar with close, restore and minimise buttons at its right end.
class QTitleBar : public QZRWidget
{
    Q_OBJECT

public:
    explicit QTitleBar(QWidget *parent = nullptr);
    ~QTitleBar() override;

signals:
    void emitClose();
    void emitFullToNormal();
    void emitMinimize();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void initControls();

    Ui::QTitleBar *ui;
};

#endif
