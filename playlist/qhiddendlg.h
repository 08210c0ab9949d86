#ifndef QHIDDENDLG_H
#define QHIDDENDLG_H

#include "engine/playtypes.h"
#include "toolkit/qzrdialog.h"

class QMouseEvent;
class Ui_QHiddenDlg;

// The small strip over the player window's edge where the playlist opens: a button that asks
// the host to show the playlist and one that asks it to hide it, at most one of them visible.
class QHiddenDlg : public QZRDialog
{
    Q_OBJECT

public:
    explicit QHiddenDlg(QWidget *parent = nullptr);
    ~QHiddenDlg() override;

    // 0 offers the hide button, 1 the show button, 2 and 3 neither; other values act as 0.
    void setHiddenBtnState(HiddenBtnState state);
    HiddenBtnState getHiddenBtnState() const;
    void resetControlLocation() override;

signals:
    void emitShowPlayList();
    void emitHiddenPlayList();
    void emitEnterEvent(QEvent *event);
    void emitLeaveEvent(QEvent *event);
    void emitMouseMoveEvent(QMouseEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void initControls();

    Ui_QHiddenDlg *ui;
    HiddenBtnState m_state = HiddenBtnState_ShowHideButton;
};

#endif
