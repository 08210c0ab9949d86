#ifndef QACCEPTDIALOG_H
#define QACCEPTDIALOG_H

#include <QDialog>

namespace Ui {
class QAcceptDialog;
}

// A dialog that is never shown; it only parents the system-wide hot keys.
class QAcceptDialog : public QDialog
{
    Q_OBJECT

public:
    explicit QAcceptDialog(QWidget *parent = nullptr);
    ~QAcceptDialog() override;

private:
    Ui::QAcceptDialog *ui;
};

#endif
