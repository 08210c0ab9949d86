#ifndef QCOVERWINDOW_H
#define QCOVERWINDOW_H

#include <QWidget>

class Ui_QCoverWindow;

// The pane shown while nothing plays: a play picture in the centre of a near-black panel and the
// "Open media..." button under it.
class QCoverWindow : public QWidget
{
    Q_OBJECT

public:
    explicit QCoverWindow(QWidget *parent = nullptr);
    ~QCoverWindow() override;

signals:
    void emitOpenFile();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Ui_QCoverWindow *ui;
};

#endif
