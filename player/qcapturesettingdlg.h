#ifndef QCAPTURESETTINGDLG_H
#define QCAPTURESETTINGDLG_H

#include "toolkit/qzrdialog.h"

class Ui_QCaptureSettingDlg;

// Where snapshots go and in which image format. The dialog edits the two stored snapshot
// settings and writes them only when OK is pressed; closing it any other way keeps them.
class QCaptureSettingDlg : public QZRDialog
{
    Q_OBJECT

public:
    explicit QCaptureSettingDlg(QWidget *parent = nullptr);
    ~QCaptureSettingDlg() override;

    void initControls();
    void initCbbSuffix();
    void setSavePath();

signals:
    void emitDlgClose();

private slots:
    void onOk();
    void onOpenPath();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resetControlLocation() override;

private:
    Ui_QCaptureSettingDlg *ui;
    QString m_strSavePath;
};

#endif
