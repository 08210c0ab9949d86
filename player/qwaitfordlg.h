#ifndef QWAITFORDLG_H
#define QWAITFORDLG_H

#include <QDialog>

class Ui_QWaitForDlg;

// An empty frameless dialog titled "Loading".
class QWaitForDlg : public QDialog
{
    Q_OBJECT

public:
    explicit QWaitForDlg(QWidget *parent = nullptr);
    ~QWaitForDlg() override;

private:
    Ui_QWaitForDlg *ui;
};

#endif
