#include "toolkit/qzrbuttonext.h"

#include "player/qmediaplaywindowflags.h"
#include "shell/newmainwindowflags.h"

#include <QCursor>
#include <QTimer>
#include <QToolTip>

QZRButtonExt::QZRButtonExt(QWidget *parent) : QZRBaseButton(parent), m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &QZRButtonExt::mouseEnterTimer);
    m_timer->start(100);
}

void QZRButtonExt::mouseEnterTimer()
{
    const QPoint cursor = QCursor::pos();
    const QPoint delta = cursor - mapToGlobal(QPoint(0, 0));
    const bool inside = delta.x() >= 0 && delta.x() <= width() && delta.y() >= 0 && delta.y() <= height();
    // A disabled button keeps its disabled frame whatever the cursor does.
    if (!isEnabled())
        setBtnState(3);
    else if (!inside)
        setBtnState(0);
    else if (getBtnState() != 2)
        setBtnState(1);
    update();

    if (!inside) {
        m_bToolTipShown = false;
        return;
    }
    if (isHidden() || m_bToolTipShown)
        return;
    m_bToolTipShown = true;
    if (!NewMainWindowFlags::m_bMouseInMainWindow)
        return;
    if (QMediaPlayWindowFlags::m_bWindowShowTop || NewMainWindowFlags::m_bFullscreen)
        return;
    QToolTip::showText(cursor, toolTip(), this, QRect(), 40000);
}
