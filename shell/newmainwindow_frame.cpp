// The main window's frame: title-bar buttons, the Help menu, the playlist panel toggle and the
// window modes.
#include "shell/newmainwindow.h"

#include "engine/qconverteroperate.h"
#include "player/playbtnwidget.h"
#include "player/qmediaplaywindow.h"
#include "player/qmessageform.h"
#include "playlist/qhiddendlg.h"
#include "playlist/qplaylistdlg.h"
#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "services/zrcommoninterface.h"
#include "services/zrlogging.h"
#include "settings_dialog/qsettingdlg.h"
#include "shell/qaboutdlg.h"
#include "shell/qmenumanager.h"
#include "shell/qzrprojectplatform.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbuttonext.h"
#include "toolkit/qzrmenu.h"
#include "ui_newmainwindow.h"

#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QTimer>

namespace {

const int TopBand = 26;
const int PanelWidth = 256;
const int AnimationTime = 150;
const QSize ShownMinimum(756, 300);
const QSize HiddenMinimum(500, 300);

}

void NewMainWindow::initControls()
{
    ui->m_btnMenu->hide();
    const QString images = QIAnyUtil::getResourcePath() + "/images/";
    addCloseBtn(images + "btn_close.png", true);
    addMinBtn(images + "btn_min.png", true);
    addMaxBtn(images + "btn_max.png", true);
    addRestoreBtn(images + "btn_normal.png", false);
    ui->m_btnMenu->setButtonImage(QIAnyUtil::getResourcePath() + "/images/btn_menu.png", true);
    ui->m_btnMenu->setToolTip(tr("Menu"));
    connect(m_btnClose, &QPushButton::clicked, this, &NewMainWindow::OnBtnClose);
    connect(m_btnMin, &QPushButton::clicked, this, &NewMainWindow::OnMin);
    connect(m_btnMax, &QPushButton::clicked, this, &NewMainWindow::OnMax);
    connect(m_btnRestore, &QPushButton::clicked, this, &NewMainWindow::onRestore);
    connect(ui->m_btnMenu, &QPushButton::clicked, this, &NewMainWindow::onMenu);
}

// The menu bar is a widget in the top band, right of the title-bar buttons.
void NewMainWindow::InitMenu()
{
    m_actHome = new QAction(tr("&Home"), this);
    m_actHelp = new QAction(tr("Help"), this);
    m_actAbout = new QAction("About", this);
    m_actPrefer = new QAction("Preferences", this);
    m_actUpdates = new QAction(tr("Check for Updates"), this);

    auto *helpMenu = new QZRMenu(tr("Help"), this);
    QInitCtrlStyle::InitZrMenu(helpMenu);
    m_pHelpMenu = helpMenu;
    m_pHelpMenu->addAction(m_actHelp);
    m_pHelpMenu->addAction(m_actAbout);
    m_pHelpMenu->addAction(m_actHome);
    m_pHelpMenu->addSeparator();
    m_pHelpMenu->addAction(m_actUpdates);
    m_pMenuBar->addMenu(m_pHelpMenu);
    m_pMenuBar->setStyleSheet("QMenuBar { background: transparent; color: white; }"
                              "QMenuBar::item:selected { background: rgb(73, 73, 73); }");
    m_pMenuBar->ensurePolished();
    const int titleWidth = m_pMenuBar->fontMetrics().horizontalAdvance(m_pHelpMenu->title().remove('&'));
    m_pMenuBar->setGeometry(72, 0, titleWidth + 30, TopBand);

    connect(m_pHelpMenu, &QMenu::aboutToShow, this, &NewMainWindow::normalToShow);
    connect(m_pHelpMenu, &QMenu::aboutToHide, this, &NewMainWindow::normalToHide);
    connect(m_actHome, &QAction::triggered, this, &NewMainWindow::ActOnHome);
    connect(m_actHelp, &QAction::triggered, this, &NewMainWindow::ActOnHelp);
    connect(m_actAbout, &QAction::triggered, this, &NewMainWindow::ActOnAbout);
    connect(m_actUpdates, &QAction::triggered, this, &NewMainWindow::ActOnUpdates);
}

void NewMainWindow::ActOnAbout()
{
    QAboutDlg::showAbout(this);
}

void NewMainWindow::ActOnHelp()
{
    QZRProjectPlatform::openWebPage("help");
}

void NewMainWindow::ActOnHome()
{
    QZRProjectPlatform::openWebPage("home");
}

// The preferences have no dialog of their own; the action is in no menu.
void NewMainWindow::ActOnPreferDlg()
{
}

void NewMainWindow::ActOnUpdates()
{
    QZRProjectPlatform::checkForUpdate();
}

void NewMainWindow::setAutoUpdate(bool bUpdate)
{
    QZRProjectPlatform::setAutoCheckUpdate(bUpdate);
}

void NewMainWindow::ActShowLog()
{
    ZrCommonInterface::showFileInFolder(QConverterOperate::getLogFilePath().toUtf8().toStdString());
}

void NewMainWindow::OnMin()
{
    m_pHiddenDlg->hide();
    m_pMessageForm->hide();
    m_pPlayBtnWidget->hide();
    showMinimized();
}

void NewMainWindow::OnMax()
{
    OnBtnMax();
    updateMaxButtons();
}

void NewMainWindow::onRestore()
{
    OnBtnMax();
    updateMaxButtons();
}

void NewMainWindow::resizeShow()
{
    updateMaxButtons();
}

void NewMainWindow::updateMaxButtons()
{
    m_btnMax->setHidden(isMaxSize());
    m_btnRestore->setVisible(isMaxSize());
}

// The button and its popup are never built.
void NewMainWindow::onMenu()
{
}

void NewMainWindow::normalToShow()
{
    QMediaPlayWindow::m_bWindowShowTop = true;
}

void NewMainWindow::normalToHide()
{
    QMediaPlayWindow::m_bWindowShowTop = false;
}

void NewMainWindow::setScreenSize(QSize size)
{
    resize(size.width() + (m_bPlayListHidden ? 8 : 268), size.height() + 30);
}

void NewMainWindow::playerToChangeTitle(QString filename)
{
    setDlgTitle(filename.isEmpty() ? QString("%1").arg("ZRPlayer") : QString("%1 - %2").arg("ZRPlayer", filename));
    update();
}

QPropertyAnimation *NewMainWindow::animate(QWidget *widget, const QRect &from, const QRect &to)
{
    auto *animation = new QPropertyAnimation(widget, "geometry", this);
    animation->setDuration(AnimationTime);
    animation->setStartValue(from);
    animation->setEndValue(to);
    m_animations.append(animation);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

// A toggle stops the previous pair first, so its end cannot hide a panel shown since. The stored
// state decides, not the panel's visibility: a panel sliding out, or one left beyond the right edge
// by full screen, is still visible.
void NewMainWindow::isHiddenPlayList()
{
    for (const QPointer<QPropertyAnimation> &animation : qAsConst(m_animations))
        if (animation)
            animation->stop();
    m_animations.clear();

    m_bPlayListHidden = QSettingXml::getItemValue("PlayList_Hide_Item", "PlayList_Hide_Item_Value", "N") == "Y";
    const int w = width();
    const int h = height();
    if (m_bPlayListHidden) {
        m_bPlayListHidden = false;
        QSettingXml::setItemValue("PlayList_Hide_Item", "PlayList_Hide_Item_Value", "N");
        if (w > ShownMinimum.width()) {
            setMinimumSize(ShownMinimum);
            animate(m_pMediaPlayWindow, m_pMediaPlayWindow->geometry(), QRect(4, TopBand, w - 268, h - 30));
            m_pPlayListDlg->setVisible(true);
            animate(m_pPlayListDlg, QRect(w - 4, TopBand, PanelWidth, h - 30),
                    QRect(w - 260, TopBand, PanelWidth, h - 30));
        } else {
            resize(w + PanelWidth, h);
            setMinimumSize(ShownMinimum);
            m_pPlayListDlg->setVisible(true);
            resetControlLocation();
        }
    } else {
        m_bPlayListHidden = true;
        QSettingXml::setItemValue("PlayList_Hide_Item", "PlayList_Hide_Item_Value", "Y");
        setMinimumSize(HiddenMinimum);
        animate(m_pMediaPlayWindow, m_pMediaPlayWindow->geometry(), QRect(4, TopBand, w - 8, h - 30));
        QPropertyAnimation *slide = animate(m_pPlayListDlg, m_pPlayListDlg->geometry(),
                                            QRect(w - 4, TopBand, PanelWidth, h - 30));
        connect(slide, &QPropertyAnimation::finished, m_pPlayListDlg, &QWidget::hide);
    }
    m_pMediaPlayWindow->ResizeVideoWindow();
    m_pMediaPlayWindow->updatePlayBtnPos();
    m_pMediaPlayWindow->setHiddenPlayListBtnState(m_bPlayListHidden);
}

void NewMainWindow::fullScreenWindow()
{
    if (isFullScreen()) {
        m_pPlayListDlg->show();
        m_pHiddenDlg->show();
        m_bFullscreen = false;
        showNormal();
        resetControlLocation();
        m_pPlayBtnWidget->setFullScreen(false);
        emit emitMainWinwowFullScreen(false);
    } else {
        m_pPlayListDlg->hide();
        m_pHiddenDlg->hide();
        showFullScreen();
        resetControlLocation();
        m_bFullscreen = true;
        m_pPlayBtnWidget->setFullScreen(true);
        emit emitMainWinwowFullScreen(true);
    }
}

void NewMainWindow::windowAlwaysFront()
{
    m_bAlwaysFront = !m_bAlwaysFront;
    const Qt::WindowFlags frame = Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    const Qt::WindowFlags dialog = Qt::Dialog | Qt::FramelessWindowHint;
    setWindowFlags(m_bAlwaysFront ? frame | Qt::WindowStaysOnTopHint : frame);
    show();
    if (m_bFullscreen) {
        m_pPlayBtnWidget->setWindowFlags(dialog | Qt::WindowStaysOnTopHint);
    } else {
        m_pPlayBtnWidget->setWindowFlags(dialog);
        m_pHiddenDlg->setWindowFlags(dialog);
    }
    if (m_pSettingDlg) {
        m_pSettingDlg->setWindowFlags(m_bAlwaysFront ? dialog | Qt::WindowStaysOnTopHint : dialog);
        m_pSettingDlg->setFontSettingDlgTOTop(m_bAlwaysFront);
    }
    m_pMenuManager->setAlwaysFront(m_bAlwaysFront);
}

// A hidden panel lies beyond the right edge, so showing it can slide it in.
void NewMainWindow::resetControlLocation()
{
    setTitleRect(QRect());
    if (!m_pMediaPlayWindow || !m_pPlayListDlg)
        return;
    const int w = width();
    const int h = height();
    if (isFullScreen()) {
        m_pMediaPlayWindow->setGeometry(0, 0, w, h);
        m_pPlayListDlg->hide();
        return;
    }
    m_pPlayListDlg->setGeometry(m_pMediaPlayWindow->width() + 8, TopBand, PanelWidth, h - 30);
    m_pMediaPlayWindow->setGeometry(4, TopBand, m_bPlayListHidden ? w - 8 : w - 268, h - 30);
}

void NewMainWindow::resizeEvent(QResizeEvent *event)
{
    QZRMainWindowEx::resizeEvent(event);
    ui->m_btnMenu->move(m_btnMin->x() - ui->m_btnMenu->width(), 0);
    resetControlLocation();
}

void NewMainWindow::showEvent(QShowEvent *event)
{
    QZRMainWindowEx::showEvent(event);
    resetControlLocation();
    if (!m_startPaths.isEmpty()) {
        const QStringList paths = m_startPaths;
        m_startPaths.clear();
        QMetaObject::invokeMethod(this, [this, paths] { dropOnPlayer(paths); }, Qt::QueuedConnection);
    }
}

void NewMainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    resetControlLocation();
    if (m_pMediaPlayWindow)
        m_pMediaPlayWindow->updatePlayBtnPos();
}

void NewMainWindow::changeEvent(QEvent *)
{
    if (m_pMediaPlayWindow)
        m_pMediaPlayWindow->updatePlayBtnPos();
}

void NewMainWindow::setFrameGeomtry(QMouseEvent *event)
{
    resetControlLocation();
    QZRMainWindowEx::setFrameGeomtry(event);
}

void NewMainWindow::mouseMoveEvent(QMouseEvent *event)
{
    QZRMainWindowEx::mouseMoveEvent(event);
    emit emitMouseMoveEvent(event);
}

void NewMainWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    QZRMainWindowEx::mouseDoubleClickEvent(event);
    updateMaxButtons();
}

void NewMainWindow::enterEvent(QEvent *event)
{
    QZRMainWindowEx::enterEvent(event);
    m_bMouseEnter = true;
}

void NewMainWindow::leaveEvent(QEvent *event)
{
    QZRMainWindowEx::leaveEvent(event);
}

void NewMainWindow::keyReleaseEvent(QKeyEvent *event)
{
    QZRMainWindowEx::keyReleaseEvent(event);
}

// A forced relayout: one pixel larger and back.
void NewMainWindow::showTimer()
{
    m_pShowTimer->stop();
    const QSize current = size();
    resize(current + QSize(1, 1));
    resize(current);
}

// The program's icon in the desktop's tray; a desktop without a tray is told of and the program
// goes on without it.
void NewMainWindow::InitSystemTray()
{
    if (m_pSystemTray)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qWarning("System tray: this desktop has none, the program goes on without its icon there");
        return;
    }
    m_pSystemTray = new QSystemTrayIcon(QIcon(QIAnyUtil::getResourcePath() + "/images/icon600x600.png"), this);
    m_pSystemTray->setToolTip("ZRPlayer");
    connect(m_pSystemTray, &QSystemTrayIcon::activated, this, &NewMainWindow::iconActivated);
    m_pSystemTray->show();
}

void NewMainWindow::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        showNormal();
}

void NewMainWindow::recordPlayAndPauseST()
{
    qCDebug(lcZRPlayer) << "............recordPlayAndPauseST..........";
}
