#include "toolkit/qzrbuttonext.h"

#include "player/qmediaplaywindowflags.h"
#include "shell/newmainwindowflags.h"

#include <QCursor>
#include <QToolTip>

QZRButtonExt::QZRButtonExt(QWidget *parent) : QZRBaseButton(parent)
{
}

void QZRButtonExt::enterEvent(QEvent *event)
{
    QZRBaseButton::enterEvent(event);
    if (!NewMainWindowFlags::m_bMouseInMainWindow)
        return;
    if (QMediaPlayWindowFlags::m_bWindowShowTop || NewMainWindowFlags::m_bFullscreen)
        return;
    QToolTip::showText(QCursor::pos(), toolTip(), this, QRect(), 40000);
}

void QZRButtonExt::mouseReleaseEvent(QMouseEvent *event)
{
    QZRBaseButton::mouseReleaseEvent(event);
    if (isEnabled() && underMouse() && getBtnState() == 0) {
        setBtnState(1);
        update();
    }
}
