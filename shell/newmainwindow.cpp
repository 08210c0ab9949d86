#include "shell/newmainwindow.h"

#include "codec/rqcodec.h"
#include "engine/qconverteroperate.h"
#include "engine/qmediainfos.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrqplayobject.h"
#include "player/playbtnwidget.h"
#include "player/qmediaplaywindow.h"
#include "player/qmessageform.h"
#include "playlist/qhiddendlg.h"
#include "playlist/qplayhistorymanager.h"
#include "playlist/qplaylistdlg.h"
#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "services/zrcommoninterface.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitlesettingdlg.h"
#include "shell/qmenumanager.h"
#include "shell/qshortcutmanager.h"
#include "toolkit/qzrmessagebox.h"
#include "ui_newmainwindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

// A stored number, 0 when the text is none.
int storedInt(const QString &item, const QString &key, const QString &defaultValue)
{
    return QSettingXml::getItemValue(item, key, defaultValue).toInt();
}

}

NewMainWindow::NewMainWindow(QWidget *parent) : QZRMainWindowEx(parent), ui(new Ui_NewMainWindow)
{
    ui->setupUi(this);

    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setMouseTracking(true);
    ui->centralWidget->setMouseTracking(true);
    setTransDlg(false);
    setBackgroundImage(QIAnyUtil::getResourcePath() + "/images/background.png", true);
    setAttribute(Qt::WA_TranslucentBackground, false);

    setDlgTitle("ZRPlayer");
    setWindowTitle("ZRPlayer");
    setTitleRect(QRect());
    setAlignment(Qt::AlignCenter);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 255, 255));
    setPalette(palette);
    setMoveTopHeight(30);
    QFont font = this->font();
    font.setFamily("Tahoma");
    font.setPixelSize(15);
    setFont(font);

    initData();
    initControls();
    InitMenu();
    initDlg();
    InitLogInfo();
    initUpdateState();
    InitAppInfo();
    setGlobalFunction();

    installEventFilter(this);
    const rectSize corner{50, 50};
    setGridViewInfo(corner, corner, corner, corner);
    resize(1085, 644);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    move((available.width() - width()) / 2, (available.height() - height()) / 2);

    ZrCommonInterface::neverSleepComputerMac();
}

// The floating windows and the playback object go before the player window that uses them;
// the playlist panel saves the whole list as it goes. A quit without a close leaves the settings
// dialogs to delete here.
NewMainWindow::~NewMainWindow()
{
    delete m_pSubtitleSettingDlg;
    delete m_pSettingDlg;
    auto drop = [](auto *&member) {
        delete member;
        member = nullptr;
    };
    drop(m_pMessageForm);
    drop(m_pHiddenDlg);
    drop(m_pPlayBtnWidget);
    drop(m_pPlayObject);
    drop(m_pMediaPlayWindow);
    drop(m_pPlayListDlg);
    drop(m_pSettingManager);
    drop(m_pMediaInfos);
    drop(m_pHistoryManager);
    ZrCommonInterface::sleepComputerMac();
    delete ui;
}

void NewMainWindow::initData()
{
    m_pPlayObject = new ZRQPlayObject(this);
    m_pSettingManager = new QMediaSettingManager(this);
    m_pSettingManager->setMediaPlayer(m_pPlayObject);

    MediaSettting setting;
    setting.reset();
    setting.m_equalize.setFlatTenBands();
    setting.m_deinterlace = unsigned(qMax(0, storedInt("Deinterlace_Item", "Deinterlace_Item_Value", "1")));
    m_pSettingManager->setMediaSettting(setting);

    m_bPlayListHidden = QSettingXml::getItemValue("PlayList_Hide_Item", "PlayList_Hide_Item_Value", "Y") == "Y";
    setMinimumSize(m_bPlayListHidden ? QSize(500, 300) : QSize(756, 300));

    m_pHistoryManager = new QPlayHistoryManager(this);
    m_pHistoryManager->initPlayHistoryList();
    m_pMediaInfos = new QMediaInfos(this);
    m_pMessageForm = new QMessageForm(this);
    m_pHiddenDlg = new QHiddenDlg(this);
    m_pPlayBtnWidget = new PlayBtnWidget(this);
    m_pPlayBtnWidget->setProcessEnabledChange(false);

    m_pSettingDlg = new QSettingDlg;
    m_pSubtitleSettingDlg = new QSubtitleSettingDlg(m_pSettingDlg);
    m_pSettingDlg->setSettingManager(m_pSettingManager);
    m_pSettingDlg->setSubtitleSettingDlg(m_pSubtitleSettingDlg);
    m_pSubtitleSettingDlg->setSettingManager(m_pSettingManager);

    m_pMenuBar = new QMenuBar(this);
    m_pMenuBar->setNativeMenuBar(false);
    m_pMenuManager = new QMenuManager(this);
    m_pMenuManager->setPlayObject(m_pPlayObject);
    m_pMenuManager->setSettingManager(m_pSettingManager);
    m_pMenuManager->setMenuBar(m_pMenuBar);
    m_pMenuManager->setMediaInfos(m_pMediaInfos);
    m_pMenuManager->setMessageForm(m_pMessageForm);
    m_pMenuManager->setPlayHistoryManager(m_pHistoryManager);
    m_pMenuManager->setSettingDlg(m_pSettingDlg);
    m_pMenuManager->initMenu();
    m_pMenuManager->updateMenu();
    m_pPlayBtnWidget->installEventFilter(m_pMenuManager);
    m_pHiddenDlg->installEventFilter(m_pMenuManager);
    m_pMessageForm->installEventFilter(m_pMenuManager);
    installEventFilter(m_pMenuManager);
}

void NewMainWindow::initDlg()
{
    m_pMediaPlayWindow = new QMediaPlayWindow(this);
    m_pMediaPlayWindow->setFocusPolicy(Qt::StrongFocus);
    QMediaPlayWindow *player = m_pMediaPlayWindow;
    connect(player, &QMediaPlayWindow::emitIsHiddenPlayList, this, &NewMainWindow::isHiddenPlayList);
    connect(player, &QMediaPlayWindow::emitScreenSize, this, &NewMainWindow::setScreenSize);
    connect(player, &QMediaPlayWindow::emitIsFullScreen, this, &NewMainWindow::fullScreenWindow);
    connect(player, &QMediaPlayWindow::emitPlayerToChangeTitle, this, &NewMainWindow::playerToChangeTitle);
    connect(this, &NewMainWindow::emitMouseMoveEvent, player, &QMediaPlayWindow::mediaVideoMouseMoveEvent);
    connect(this, &NewMainWindow::emitMainWinwowFullScreen, player, &QMediaPlayWindow::mainIsFullScreen);

    player->setSettingManager(m_pSettingManager);
    player->setPlayBtnWidget(m_pPlayBtnWidget);
    player->setPlayObject(m_pPlayObject);
    player->setSubtitleSettingDlg(m_pSubtitleSettingDlg);
    player->setMediaInfos(m_pMediaInfos);
    player->setMessageForm(m_pMessageForm);
    player->setPlayHistoryManager(m_pHistoryManager);
    player->setHiddenDlg(m_pHiddenDlg);
    player->setSettingDlg(m_pSettingDlg);
    player->setMenuManager(m_pMenuManager);
    player->show();

    m_pPlayListDlg = new QPlayListDlg(this);
    QPlayListDlg *list = m_pPlayListDlg;
    connect(player, &QMediaPlayWindow::emitDragMediaPlayItemInfo, list, &QPlayListDlg::addFileInfoToPlayList);
    connect(player, &QMediaPlayWindow::emitSetCurrentPlayingPlayItemInfo, list, &QPlayListDlg::setSelectedPlayItem);
    connect(list, &QPlayListDlg::emitItemPause, player, &QMediaPlayWindow::onPausePlay);
    connect(list, &QPlayListDlg::emitMessageContent, player, &QMediaPlayWindow::showToolTip);
    connect(list, &QPlayListDlg::emitPlayModel, player, &QMediaPlayWindow::setPlayModel);
    setFocusProxy(list);
    connect(list, &QPlayListDlg::emitItemPlay, player, &QMediaPlayWindow::PlayVideoFile);
    connect(player, &QMediaPlayWindow::emitPlayNextMedia, list, &QPlayListDlg::playNextMedia);
    connect(player, &QMediaPlayWindow::emitPlayFileFailure, this, &NewMainWindow::onPlayFileFailure);
    connect(player, &QMediaPlayWindow::emitPlayPreviousMedia, list, &QPlayListDlg::playPreviousMedia);
    connect(list, &QPlayListDlg::emitIsDeleteCurrentPlayItem, player, &QMediaPlayWindow::deleteCurrentPlayItem);
    connect(list, &QPlayListDlg::emitPlay, player, &QMediaPlayWindow::onPlay);
    connect(list, &QPlayListDlg::emitStopPlay, player, &QMediaPlayWindow::onStopPlay);
    connect(list, &QPlayListDlg::emitPlayFileFailure, this, &NewMainWindow::onPlayFileFailure);

    list->setHidden(m_bPlayListHidden);

    m_pShowTimer = new QTimer(this);
    connect(m_pShowTimer, &QTimer::timeout, this, &NewMainWindow::showTimer);
}

void NewMainWindow::InitLogInfo()
{
    QConverterOperate::setLogFilePath(QIAnyUtil::getLogFilePath("Quorvane", "ZRPlayer") + "/" + "log.txt");
}

// A stored play mode outside the five modes counts as "Single Play".
void NewMainWindow::initUpdateState()
{
    m_pMediaPlayWindow->setHiddenPlayListBtnState(m_bPlayListHidden);
    auto playMode = [] {
        const int mode = storedInt("PlayMode_Item", "PlayMode_Item_Value", QString());
        return PlayModel(mode >= PlayModel_SinglePlay && mode <= PlayModel_ShufflePlay ? mode : 0);
    };
    m_pPlayListDlg->setPlayModel(playMode());
    m_pMediaPlayWindow->setPlayModel(playMode());
}

void NewMainWindow::InitAppInfo()
{
    ZrCommonInterface::InitInfoToFile((QIAnyUtil::getApplicationDirPath() + "Info.plist").toUtf8().toStdString());
}

void NewMainWindow::setGlobalFunction()
{
    static const int intList[2] = {0, 30};
    codecSetGlobalOption(1, 1);
    codecGlobalInit(1);
    codecSetWorkDirectory(QIAnyUtil::getAppDataPath().toUtf8().constData());
    codecSetGlobalIntList(intList, 2);
}

void NewMainWindow::InitShortcut()
{
    QShortCutManager::initShortcuts(m_pAcceptDialog);
}

void NewMainWindow::fileOpen(QString filepath)
{
    if (isMinimized()) {
        hide();
        showNormal();
        show();
    }
    if (m_pPlayListDlg)
        m_pPlayListDlg->setFileOpen(filepath);
}

void NewMainWindow::openPaths(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    if (!m_pMediaPlayWindow->isVisible()) {
        m_startPaths += paths;
        return;
    }
    dropOnPlayer(paths);
}

void NewMainWindow::dropOnPlayer(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    QMimeData data;
    data.setUrls(urls);
    // A drop reaches a widget only after a drag entered it.
    const QPoint centre = m_pMediaPlayWindow->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_pMediaPlayWindow, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_pMediaPlayWindow, &drop);
}

// One box at a time: files handed over in a row that all fail are told of once.
void NewMainWindow::onPlayFileFailure()
{
    if (m_bFailureShown)
        return;
    m_bFailureShown = true;
    QZRMessageBox::ShowMessage(this, QString(), tr("File playback failed!"), QZRMessageBox::Warning, QZRMessageBox::Ok);
    m_bFailureShown = false;
}

void NewMainWindow::OnBtnClose()
{
    close();
}

// The dialogs go first; the player window holds guarded pointers to them.
void NewMainWindow::closeEvent(QCloseEvent *event)
{
    delete m_pSubtitleSettingDlg;
    m_pSubtitleSettingDlg = nullptr;
    delete m_pSettingDlg;
    m_pSettingDlg = nullptr;
    QWidget::closeEvent(event);
}

bool NewMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this) {
        switch (event->type()) {
        case QEvent::FocusIn:
            QMediaPlayWindow::setHistoryDlgActivate(true);
            break;
        case QEvent::WindowActivate:
            QMediaPlayWindow::setHistoryDlgActivate(true);
            return true;
        case QEvent::WindowDeactivate:
            QMediaPlayWindow::setHistoryDlgActivate(false);
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
