#ifndef QZRDIALOGEX_H
#define QZRDIALOGEX_H

#include "toolkit/qzrdialog.h"

class QZRBaseButton;

// A fixed-size frameless dialog with factories for its title-bar buttons. Only the close button
// acts; the minimise and maximise buttons are shown disabled.
class QZRDialogEx : public QZRDialog
{
    Q_OBJECT

public:
    explicit QZRDialogEx(QWidget *parent = nullptr);
    ~QZRDialogEx() override;

    void addCloseBtn(QString path, bool visible);
    void addMinBtn(QString path, bool visible);
    void addMaxBtn(QString path, bool visible);
    void addRestoreBtn(QString path, bool visible);
    void setTransDlg(bool trans);

protected:
    QZRBaseButton *m_btnClose = nullptr;
    QZRBaseButton *m_btnMin = nullptr;
    QZRBaseButton *m_btnMax = nullptr;
    QZRBaseButton *m_btnRestore = nullptr;
    bool m_bTransDlg = true;

    // The house look of the program's small modal boxes: the dialog background with 56-pixel
    // corners, a drawn white title, a 30-pixel drag band, Tahoma 12 px, a fixed size.
    void initSkin(const QString &title, QSize size);

private:
    QZRBaseButton *replaceButton(QZRBaseButton *&button, const QString &path, bool visible, QPoint pos);
};

#endif
