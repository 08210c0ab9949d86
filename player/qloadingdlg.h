#ifndef QLOADINGDLG_H
#define QLOADINGDLG_H

#include "toolkit/qzrdialogex.h"

class Ui_QLoadingDlg;

// The modal dialog shown while files are added: the path being examined, a count and a thin
// progress bar. It does no work itself; its owner feeds it from the main thread and learns of a
// stop request through seedStopAddFile(). Texts and value stay from one run to the next.
class QLoadingDlg : public QZRDialogEx
{
    Q_OBJECT

public:
    explicit QLoadingDlg(QWidget *parent = nullptr);
    ~QLoadingDlg() override;

    void setAddFilePath(QString path);
    void setAddCount(QString count);
    void setProgressVale(float value);
    void resetControlLocation() override;

signals:
    void seedStopAddFile();

public slots:
    void OnCloseStop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Init();
    void OnInitCtrl();

    Ui_QLoadingDlg *ui;
};

#endif
