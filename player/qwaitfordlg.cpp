#include "player/qwaitfordlg.h"

#include "ui_qwaitfordlg.h"

QWaitForDlg::QWaitForDlg(QWidget *parent) : QDialog(parent), ui(new Ui_QWaitForDlg)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(tr("Loading"));
}

QWaitForDlg::~QWaitForDlg()
{
    delete ui;
}
