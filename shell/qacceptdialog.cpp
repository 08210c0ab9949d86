#include "shell/qacceptdialog.h"

#include "ui_qacceptdialog.h"

QAcceptDialog::QAcceptDialog(QWidget *parent) : QDialog(parent), ui(new Ui::QAcceptDialog)
{
    ui->setupUi(this);
}

QAcceptDialog::~QAcceptDialog()
{
    delete ui;
}
