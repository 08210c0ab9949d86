#include "toolkit/qzrmainwindowex.h"

#include "toolkit/qzrbuttonext.h"

#include <QCoreApplication>

QZRMainWindowEx::QZRMainWindowEx(QWidget *parent) : QZRMainWindow(parent)
{
}

QZRMainWindowEx::~QZRMainWindowEx()
{
    delete m_btnClose;
    delete m_btnMin;
    delete m_btnMax;
    delete m_btnRestore;
}

void QZRMainWindowEx::replaceButton(QZRButtonExt *&button, const QString &path, bool visible, QPoint pos,
                                    const char *tip)
{
    delete button;
    button = new QZRButtonExt(this);
    // Frame buttons answer the mouse only: a focused one would take the window's keys (Space pressing Close).
    button->setFocusPolicy(Qt::NoFocus);
    button->setButtonImage(path, true);
    button->setHidden(!visible);
    button->move(pos);
    button->setToolTip(QCoreApplication::translate("QObject", tip));
}

void QZRMainWindowEx::addCloseBtn(QString path, bool visible)
{
    replaceButton(m_btnClose, path, visible, QPoint(8, 5), QT_TRANSLATE_NOOP("QObject", "Close"));
}

void QZRMainWindowEx::addMinBtn(QString path, bool visible)
{
    replaceButton(m_btnMin, path, visible, QPoint(28, 5), QT_TRANSLATE_NOOP("QObject", "Minimize"));
}

void QZRMainWindowEx::addMaxBtn(QString path, bool visible)
{
    replaceButton(m_btnMax, path, visible, QPoint(48, 5), QT_TRANSLATE_NOOP("QObject", "Maximize"));
}

void QZRMainWindowEx::addRestoreBtn(QString path, bool visible)
{
    replaceButton(m_btnRestore, path, visible, QPoint(48, 5), QT_TRANSLATE_NOOP("QObject", "Restore"));
}

void QZRMainWindowEx::setTransDlg(bool trans)
{
    m_bTransDlg = trans;
}
