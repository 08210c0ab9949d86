#ifndef QZRMAINWINDOWEX_H
#define QZRMAINWINDOWEX_H

#include "toolkit/qzrmainwindow.h"

class QZRButtonExt;

// A resizable frameless main window with factories for its title-bar buttons; the maximise and
// restore buttons share one place and the window shows one of them at a time.
class QZRMainWindowEx : public QZRMainWindow
{
    Q_OBJECT

public:
    explicit QZRMainWindowEx(QWidget *parent = nullptr);
    ~QZRMainWindowEx() override;

    void addCloseBtn(QString path, bool visible);
    void addMinBtn(QString path, bool visible);
    void addMaxBtn(QString path, bool visible);
    void addRestoreBtn(QString path, bool visible);
    void setTransDlg(bool trans);

protected:
    QZRButtonExt *m_btnClose = nullptr;
    QZRButtonExt *m_btnMin = nullptr;
    QZRButtonExt *m_btnMax = nullptr;
    QZRButtonExt *m_btnRestore = nullptr;
    bool m_bTransDlg = true;

private:
    void replaceButton(QZRButtonExt *&button, const QString &path, bool visible, QPoint pos, const char *tip);
};

#endif
