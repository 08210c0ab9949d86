#include "toolkit/qzrdialogex.h"

#include "services/qianyutil.h"
#include "toolkit/qzrbasebutton.h"

#include <QCoreApplication>
#include <QPalette>

QZRDialogEx::QZRDialogEx(QWidget *parent) : QZRDialog(parent)
{
    setStretchPolicy(StretchNone);
}

QZRDialogEx::~QZRDialogEx()
{
    delete m_btnClose;
    delete m_btnMin;
    delete m_btnMax;
    delete m_btnRestore;
}

QZRBaseButton *QZRDialogEx::replaceButton(QZRBaseButton *&button, const QString &path, bool visible, QPoint pos)
{
    delete button;
    button = new QZRBaseButton(this);
    button->setButtonImage(path, true);
    button->setHidden(!visible);
    button->move(pos);
    return button;
}

void QZRDialogEx::addCloseBtn(QString path, bool visible)
{
    replaceButton(m_btnClose, path, visible, QPoint(16, 13))
        ->setToolTip(QCoreApplication::translate("QObject", "Close"));
}

void QZRDialogEx::addMinBtn(QString path, bool visible)
{
    replaceButton(m_btnMin, path, visible, QPoint(36, 13))->setEnabled(false);
}

void QZRDialogEx::addMaxBtn(QString path, bool visible)
{
    replaceButton(m_btnMax, path, visible, QPoint(56, 13))->setEnabled(false);
}

void QZRDialogEx::addRestoreBtn(QString, bool)
{
}

void QZRDialogEx::setTransDlg(bool trans)
{
    m_bTransDlg = trans;
}

void QZRDialogEx::initSkin(const QString &title, QSize size)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("ZRPlayer"));
    setBackgroundImage(QIAnyUtil::getResourcePath() + "/images/bg_1.png", true);
    setTitleRect(QRect(0, 8, 0, 0));
    QBaseDrawWidget::setAlignment(Qt::AlignCenter);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    setMoveTopHeight(30);
    setStretchPolicy(StretchNone);
    QFont dialogFont = font();
    dialogFont.setFamily(QStringLiteral("Tahoma"));
    dialogFont.setPixelSize(12);
    setFont(dialogFont);
    const rectSize corner{56, 56};
    setGridViewInfo(corner, corner, corner, corner);
    setDlgTitle(title);
    setFixedSize(size);
}
