// The floating controls over the player window, the window modes and the window's own events.
#include "player/qmediaplaywindow.h"

#include "engine/zrqplayobject.h"
#include "player/playbtnwidget.h"
#include "player/qmessageform.h"
#include "playlist/qhiddendlg.h"
#include "services/qianyutil.h"
#include "settings_dialog/qsettingdlg.h"
#include "shell/qmenumanager.h"
#include "toolkit/qzrmenu.h"
#include "toolkit/skinimage.h"
#include "shell/newmainwindowflags.h"
#include "ui_qmediaplaywindow.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

// True while the timers keep the controls hidden: the pointer rested, left, or the program
// lost the activation. The next movement inside clears it.
bool bbbb = true;

}

QWidget *QMediaPlayWindow::mainWindow() const
{
    return window();
}

// Inside means at least 4 pixels within the main window's edges.
bool QMediaPlayWindow::pointerInside() const
{
    const QWidget *main = mainWindow();
    const QPoint offset = QCursor::pos() - main->mapToGlobal(QPoint(0, 0));
    return offset.x() >= 4 && offset.x() <= main->width() - 4 && offset.y() >= 4 && offset.y() <= main->height() - 4;
}

// The overlay stays away in full screen; the bar does not.
void QMediaPlayWindow::showControls()
{
    if (m_pPlayBtnWidget && m_pPlayBtnWidget->isHidden())
        m_pPlayBtnWidget->show();
    if (!m_bMainFullScreen && m_pHiddenDlg && m_pHiddenDlg->isHidden())
        m_pHiddenDlg->show();
}

void QMediaPlayWindow::hideControls()
{
    if (m_pHiddenDlg && m_pHiddenDlg->isVisible())
        m_pHiddenDlg->hide();
    if (m_pPlayBtnWidget && m_pPlayBtnWidget->isVisible())
        m_pPlayBtnWidget->hide();
}

void QMediaPlayWindow::posTimer()
{
    if (bbbb)
        return;
    setCursor(Qt::ArrowCursor);
    if (!m_bPlayBtnActicate && !m_bHistoryActicate && !m_bHiddenBtnActicate && !m_bMessageActicate) {
        if (m_bRestoreActivate) {
            m_bHistoryActicate = true;
            m_bRestoreActivate = false;
        }
        hideControls();
        bbbb = true;
        if (m_bMainFullScreen)
            setCursor(Qt::BlankCursor);
        return;
    }
    m_lastCursorPos = QCursor::pos();
    if (m_bMenuShown)
        return;
    if (pointerInside() && !m_bWindowShowTop)
        showControls();
    else
        hideControls();
}

void QMediaPlayWindow::hideTimer()
{
    countDownToHide();
    // Nothing up and the pointer still since the last tick: rest until something happens.
    const QPoint cursor = QCursor::pos();
    const bool barUp = m_pPlayBtnWidget && m_pPlayBtnWidget->isVisible();
    const bool overlayUp = m_pHiddenDlg && m_pHiddenDlg->isVisible();
    if (!barUp && !overlayUp && cursor == m_restCursorPos) {
        m_pPosTimer->stop();
        m_pHideTimer->stop();
    }
    m_restCursorPos = cursor;
}

void QMediaPlayWindow::wakeControlTimers()
{
    if (m_pHideTimer->isActive())
        return;
    NewMainWindowFlags::m_bMouseInMainWindow = pointerInside();
    m_pPosTimer->start(100);
    m_pHideTimer->start(200);
}

// Fifteen ticks with the pointer where posTimer last saw it, about three seconds, hide the
// controls; any movement starts the count again.
void QMediaPlayWindow::countDownToHide()
{
    if (!pointerInside()) {
        m_nHideCount = 15;
        bbbb = false;
        NewMainWindowFlags::m_bMouseInMainWindow = false;
        return;
    }
    NewMainWindowFlags::m_bMouseInMainWindow = true;
    if (m_bMenuShown || m_bOverPlayBtn)
        return;
    if (QCursor::pos() != m_lastCursorPos) {
        m_nHideCount = 15;
        bbbb = false;
        return;
    }
    if (m_nHideCount > 0) {
        --m_nHideCount;
        return;
    }
    if (!bbbb) {
        bbbb = true;
        hideControls();
    }
    if (m_bMainFullScreen)
        setCursor(Qt::BlankCursor);
}

void QMediaPlayWindow::updatePlayBtnPos()
{
    if (!m_pPlayBtnWidget && !m_pHiddenDlg && !m_pMessageForm)
        return;
    const int w = width();
    const int h = height();
    const QPoint corner = mapToGlobal(QPoint(0, 0));
    if (m_pPlayBtnWidget)
        m_pPlayBtnWidget->resize(w - 60, 60);
    if (m_pHiddenDlg)
        m_pHiddenDlg->move(corner.x() + w - m_pHiddenDlg->width(), corner.y() + (h - m_pHiddenDlg->height()) / 2);
    if (m_pMessageForm) {
        m_pMessageForm->move(corner.x() + 25, corner.y() + 25);
        m_pMessageForm->resize(w - 25, 50);
    }
    if (m_pPlayBtnWidget)
        m_pPlayBtnWidget->move(corner.x() + 30, corner.y() + h - 12 - m_pPlayBtnWidget->height());
}

void QMediaPlayWindow::ResizeVideoWindow()
{
    ui->m_mediaVideo->resize(size());
    if (m_pPlayObject)
        m_pPlayObject->ResizeVideoWindow(true);
    ui->m_mediaAudio->resize(size());
    ui->m_cover->resize(size());
}

void QMediaPlayWindow::fullScreenPlayer()
{
    emit emitIsFullScreen();
    setAcceptDrops(true);
}

void QMediaPlayWindow::OnBtnFullScreen()
{
    fullScreenPlayer();
}

void QMediaPlayWindow::OnBtnExitFullScreen()
{
    fullScreenPlayer();
}

void QMediaPlayWindow::mediaMouseDoubleClickEvent(QMouseEvent *)
{
    fullScreenPlayer();
}

void QMediaPlayWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget::mouseDoubleClickEvent(event);
    fullScreenPlayer();
}

// Esc and the window sizes of the menus leave full screen; the main window's toggle does it.
void QMediaPlayWindow::fullScreenToNormal()
{
    if (m_bMainFullScreen)
        emit emitIsFullScreen();
    setAcceptDrops(true);
}

void QMediaPlayWindow::mainIsFullScreen(bool mainfullScreen)
{
    m_bMainFullScreen = mainfullScreen;
}

void QMediaPlayWindow::windowAlwaysFront()
{
    m_bAlwaysFront = !m_bAlwaysFront;
    Qt::WindowFlags mainFlags = Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    if (m_bAlwaysFront)
        mainFlags |= Qt::WindowStaysOnTopHint;
    QWidget *main = mainWindow();
    main->setWindowFlags(mainFlags);
    main->show();
    const Qt::WindowFlags dialogFlags = Qt::Dialog | Qt::FramelessWindowHint;
    if (m_bMainFullScreen) {
        if (m_pPlayBtnWidget)
            m_pPlayBtnWidget->setWindowFlags(dialogFlags | Qt::WindowStaysOnTopHint);
    } else {
        if (m_pPlayBtnWidget)
            m_pPlayBtnWidget->setWindowFlags(dialogFlags);
        if (m_pHiddenDlg)
            m_pHiddenDlg->setWindowFlags(dialogFlags);
    }
    if (m_pSettingDlg) {
        m_pSettingDlg->setWindowFlags(m_bAlwaysFront ? dialogFlags | Qt::WindowStaysOnTopHint : dialogFlags);
        m_pSettingDlg->setFontSettingDlgTOTop(m_bAlwaysFront);
    }
    if (m_pMenuManager)
        m_pMenuManager->setAlwaysFront(m_bAlwaysFront);
}

void QMediaPlayWindow::normalToShow()
{
    if (m_pShowTimer->isActive())
        NewMainWindowFlags::m_bMouseEnter = true;
    m_bWindowShowTop = true;
    m_bRestoreActivate = true;
    m_bMenuShown = true;
}

void QMediaPlayWindow::normalToHide()
{
    NewMainWindowFlags::m_bMouseEnter = false;
    m_bWindowShowTop = false;
    m_bMenuShown = false;
}

void QMediaPlayWindow::widgetEnterEvent(QEvent *)
{
    setCursor(Qt::ArrowCursor);
    m_bOverPlayBtn = true;
}

void QMediaPlayWindow::widgetLeaveEvent(QEvent *)
{
    m_bOverPlayBtn = false;
}

void QMediaPlayWindow::widgetMouseMoveEvent(QMouseEvent *)
{
}

void QMediaPlayWindow::mediaVideoMouseMoveEvent(QMouseEvent *)
{
    setCursor(Qt::ArrowCursor);
}

void QMediaPlayWindow::mediaVideoMousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setCursor(Qt::ArrowCursor);
    else if (m_pMenuManager)
        m_pMenuManager->getNormalMenu()->popup(event->globalPos());
}

void QMediaPlayWindow::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    mediaVideoMousePressEvent(event);
}

void QMediaPlayWindow::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    setCursor(Qt::ArrowCursor);
}

void QMediaPlayWindow::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
    setCursor(Qt::ArrowCursor);
}

void QMediaPlayWindow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
}

// The menu manager's filter, installed after this one, carries out the keys.
void QMediaPlayWindow::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
}

bool QMediaPlayWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        wakeControlTimers();
        break;
    case QEvent::Show:
        if (watched == m_pPlayBtnWidget || watched == m_pHiddenDlg)
            wakeControlTimers();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void QMediaPlayWindow::posTimerWin()
{
    m_bCursorInMain = mainWindow()->frameGeometry().contains(QCursor::pos());
}

// Six ticks with the pointer in the main window, or one outside it, hide the controls; a pointer
// that entered the main window, or rests on the controls, starts the count again.
void QMediaPlayWindow::showTimer()
{
    if (m_bOverPlayBtn)
        return;
    if (NewMainWindowFlags::m_bMouseEnter) {
        NewMainWindowFlags::m_bMouseEnter = false;
        m_nShowCount = 0;
        return;
    }
    if (m_bCursorInMain && ++m_nShowCount < 6)
        return;
    m_pShowTimer->stop();
    hideControls();
    if (m_bMainFullScreen)
        setCursor(Qt::BlankCursor);
    m_nShowCount = 0;
}

void QMediaPlayWindow::setChildWindowTop(bool top)
{
    if (top)
        showControls();
    else
        hideControls();
}

void QMediaPlayWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!ui->m_mediaAudio->isHidden() || !ui->m_mediaVideo->isHidden())
        return;
    painter.fillRect(rect(), QColor(1, 1, 1));
    const QImage picture = sharedSkinImage(QIAnyUtil::getResourcePath() + "/images/playIcon.png");
    if (picture.isNull())
        return;
    painter.drawImage(QPoint((width() - picture.width() / 2) / 2, (height() - picture.height() / 2) / 2), picture);
}

void QMediaPlayWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ResizeVideoWindow();
    updatePlayBtnPos();
}

void QMediaPlayWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    ResizeVideoWindow();
    updatePlayBtnPos();
}

void QMediaPlayWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_bDataLoaded)
        return;
    loadData();
    ResizeVideoWindow();
    updatePlayBtnPos();
}
