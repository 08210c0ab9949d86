#include "playlist/qplaylistdlg.h"

#include "engine/playmetatypes.h"
#include "engine/qmediafileloader.h"
#include "engine/zrhelper.h"
#include "player/qloadingdlg.h"
#include "player/qmediaplaywindowflags.h"
#include "playlist/qplaylistbtnwidget.h"
#include "playlist/qplaylistitem.h"
#include "services/qsettingxml.h"
#include "services/zrlogging.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrmenu.h"
#include "toolkit/qzrscrollbar.h"
#include "ui_qplaylistdlg.h"

#include <QActionGroup>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

namespace {

const QColor PanelColor(35, 35, 35);
const QColor RowHoverColor(60, 60, 60);
const int BarHeight = 40;
const int ListDelay = 150;
const int TraversalInterval = 1000;


}

QPlayListDlg::QPlayListDlg(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QPlayListDlg)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_MouseTracking);
    initControls();
    initPlayModeMenu();
    initListMenu();
    setAcceptDrops(true);
    registerPlayMetaTypes();
    connect(this, &QPlayListDlg::emitDragMediaPlayItemInfo, this, &QPlayListDlg::addFileInfoToPlayList);
    connect(this, &QPlayListDlg::emitLoadThreadCoomplete, this, &QPlayListDlg::loadThreadCoomplete);
    connect(this, &QPlayListDlg::emitUpdateLoadDlg, this, &QPlayListDlg::updateLoadDlg);
}

// A load may still run (a quit ends the dialog's loop, not the thread): it is stopped and joined
// before anything it reads goes. A run that never read the stored list reads it now, so saving
// keeps every stored entry.
QPlayListDlg::~QPlayListDlg()
{
    m_bStopAddFile = true;
    JoinThread();
    delete m_pLoadingDlg;
    if (!m_bListLoaded)
        QSettingXml::analysisPlayListInfo(m_pPlayItemInfoList);
    saveListData();
    qDeleteAll(m_listItems);
    m_listItems.clear();
    qDeleteAll(*m_pPlayItemInfoList);
    delete m_pPlayItemInfoList;
    delete m_btnWidget;
    delete m_listTimer;
    delete ui;
}

void QPlayListDlg::initControls()
{
    m_pPlayItemInfoList = new QList<PlayItemInfo *>;

    ui->verticalLayoutWidget->setAttribute(Qt::WA_MouseTracking);
    setLayout(ui->m_verticalLayout);
    ui->m_verticalLayout->setContentsMargins(0, 0, 0, BarHeight);

    QZRScrollBar *scrollBar = new QZRScrollBar(Qt::Vertical, ui->m_scrollArea);
    QInitCtrlStyle::InitQZRScrollBar(scrollBar);
    ui->m_scrollArea->setVerticalScrollBar(scrollBar);
    ui->m_scrollArea->setFrameStyle(0);

    QPalette palette = ui->m_scrollAreaWidget->palette();
    palette.setColor(QPalette::Window, PanelColor);
    ui->m_scrollAreaWidget->setPalette(palette);
    ui->m_scrollAreaWidget->setLayout(ui->m_ConvertLayout);
    ui->m_listLayout->setSpacing(1);
    ui->m_scrollArea->hide();

    m_btnWidget = new QPlayListBtnWidget(this);
    m_btnWidget->resize(width(), BarHeight);
    connect(m_btnWidget, &QPlayListBtnWidget::emitAddFile, this, &QPlayListDlg::addFileTriggered);
    connect(m_btnWidget, &QPlayListBtnWidget::emitDeleteFile, this, &QPlayListDlg::deleteTriggered);
    connect(m_btnWidget, &QPlayListBtnWidget::emitPlay, this, &QPlayListDlg::playTriggered);
    connect(m_btnWidget, &QPlayListBtnWidget::emitPlayModel, this, &QPlayListDlg::onPlayMode);

    m_traversalTimer = new QTimer(this);
    connect(m_traversalTimer, &QTimer::timeout, this, &QPlayListDlg::traversalTimer);
}

// The five mode actions share one exclusive group; the submenu offers four of them.
void QPlayListDlg::initPlayModeMenu()
{
    m_playModeMenu = new QZRMenu(tr("Play Mode "), this);
    QInitCtrlStyle::InitZrMenu(m_playModeMenu);
    m_playModeGroup = new QActionGroup(this);
    m_playModeGroup->setExclusive(true);
    auto makeAction = [this](const QString &text) {
        QAction *action = new QAction(text, this);
        action->setCheckable(true);
        m_playModeGroup->addAction(action);
        return action;
    };
    m_actSinglePlay = makeAction(tr("Single Play"));
    m_actListCycle = makeAction(tr("List Cycle"));
    m_actListPlay = makeAction(tr("List Play"));
    m_actSingleLoop = makeAction(tr("Single Loop"));
    m_actShufflePlay = makeAction(tr("Shuffle Play"));
    m_playModeMenu->addAction(m_actSingleLoop);
    m_playModeMenu->addAction(m_actListPlay);
    m_playModeMenu->addAction(m_actListCycle);
    m_playModeMenu->addAction(m_actShufflePlay);
    connect(m_playModeMenu, &QMenu::triggered, this, &QPlayListDlg::playModeTriggered);
}

void QPlayListDlg::initListMenu()
{
    m_listMenu = new QZRMenu(this);
    QInitCtrlStyle::InitZrMenu(m_listMenu);
    m_actPlay = new QAction(tr("Play"), this);
    m_actPause = new QAction(tr("Pause"), this);
    m_actAddFile = new QAction(tr("Add File"), this);
    m_actAddDir = new QAction(tr("Add Folder"), this);
    m_actAddDirSameFile = new QAction(tr("Add Dir Same File "), this);
    m_actDelete = new QAction(tr("Delete"), this);
    m_actDeleteAll = new QAction(tr("Delete All"), this);
    m_actClearInvalidFile = new QAction(tr("Clear Invalid File "), this);
    m_actSaveTo = new QAction(tr("Save To"), this);
    m_actOpenItemFolder = new QAction(tr("Open Item Folder"), this);
    connect(m_actPlay, &QAction::triggered, this, &QPlayListDlg::playTriggered);
    connect(m_actPause, &QAction::triggered, this, &QPlayListDlg::pauseTriggered);
    connect(m_actAddFile, &QAction::triggered, this, &QPlayListDlg::addFileTriggered);
    connect(m_actAddDir, &QAction::triggered, this, &QPlayListDlg::addDirTriggered);
    connect(m_actAddDirSameFile, &QAction::triggered, this, &QPlayListDlg::addDirSameFileTriggered);
    connect(m_actDelete, &QAction::triggered, this, &QPlayListDlg::deleteTriggered);
    connect(m_actDeleteAll, &QAction::triggered, this, &QPlayListDlg::deleteALLTriggered);
    connect(m_actClearInvalidFile, &QAction::triggered, this, &QPlayListDlg::clearInvalidFileTriggered);
    connect(m_actOpenItemFolder, &QAction::triggered, this, &QPlayListDlg::openFileSiteTriggered);
    connect(m_listMenu, &QMenu::aboutToShow, this, &QPlayListDlg::normalToShow);
    connect(m_listMenu, &QMenu::aboutToHide, this, &QPlayListDlg::normalToHide);
    updateListMenu(false);
}

// "Add Dir Same File " and "Save To" are kept out of the menu.
void QPlayListDlg::updateListMenu(bool pause)
{
    m_listMenu->clear();
    m_listMenu->addAction(pause ? m_actPause : m_actPlay);
    m_listMenu->addSeparator();
    m_listMenu->addAction(m_actAddFile);
    m_listMenu->addAction(m_actAddDir);
    m_listMenu->addSeparator();
    m_listMenu->addAction(m_actDelete);
    m_listMenu->addAction(m_actDeleteAll);
    m_listMenu->addAction(m_actClearInvalidFile);
    m_listMenu->addSeparator();
    m_listMenu->addMenu(m_playModeMenu);
    m_listMenu->addSeparator();
    m_listMenu->addAction(m_actOpenItemFolder);
}

void QPlayListDlg::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    startListTimer();
}

void QPlayListDlg::startListTimer()
{
    if (m_listTimer)
        return;
    m_listTimer = new QTimer;
    m_listTimer->setSingleShot(true);
    connect(m_listTimer, &QTimer::timeout, this, &QPlayListDlg::listTimer);
    m_listTimer->start(ListDelay);
}

void QPlayListDlg::listTimer()
{
    loadingData();
    if (!m_openFilePath.isEmpty())
        playOpenedFile(m_openFilePath);
}

void QPlayListDlg::loadingData()
{
    m_bListLoaded = true;
    QSettingXml::analysisPlayListInfo(m_pPlayItemInfoList);
    for (PlayItemInfo *playItemInfo : qAsConst(*m_pPlayItemInfoList)) {
        bool hasRow = false;
        for (QPlayListItem *item : qAsConst(m_listItems))
            hasRow = hasRow || item->getPlayItemInfo()->path == playItemInfo->path;
        if (!hasRow)
            addItemRow(playItemInfo);
    }
    if (!m_listItems.isEmpty())
        ui->m_scrollArea->show();
}

void QPlayListDlg::setFileOpen(QString filePath)
{
    m_openFilePath = filePath.replace('\\', '/');
    if (m_openFilePath.isEmpty())
        return;
    if (m_bListLoaded)
        playOpenedFile(m_openFilePath);
    else
        startListTimer();
}

// A path that does not probe is not listed; the user hears of it as of a file dropped.
void QPlayListDlg::playOpenedFile(const QString &path)
{
    PlayItemInfo playItemInfo;
    if (!ZRHelper::getMediaInfo(path, &playItemInfo)) {
        emit emitPlayFileFailure();
        return;
    }
    emit emitDragMediaPlayItemInfo(playItemInfo);
    emit emitItemPlay(&playItemInfo);
}

void QPlayListDlg::saveListData()
{
    QSettingXml::clearPlayListInfo();
    if (!m_pPlayItemInfoList->isEmpty())
        QSettingXml::savePlayListInfoList(*m_pPlayItemInfoList);
}

PlayModel QPlayListDlg::getPlayMode() const
{
    return m_playModel;
}

QList<PlayItemInfo *> *QPlayListDlg::getPlayItemInfoList() const
{
    return m_pPlayItemInfoList;
}

PlayItemInfo *QPlayListDlg::getPlayItemInfoFromList(QString path) const
{
    if (path.isEmpty())
        return nullptr;
    for (PlayItemInfo *playItemInfo : qAsConst(*m_pPlayItemInfoList))
        if (playItemInfo->path == path)
            return playItemInfo;
    return nullptr;
}

void QPlayListDlg::loadingFile(QStringList pathList)
{
    for (const QString &path : pathList) {
        PlayItemInfo playItemInfo;
        ZRHelper::getMediaInfo(QString(path).replace('\\', '/'), &playItemInfo);
    }
}

void QPlayListDlg::seletedAllItem()
{
    for (QPlayListItem *item : qAsConst(m_listItems))
        item->setMouseState(QPlayListItem::Selected);
}

void QPlayListDlg::addFileInfoToPlayList(PlayItemInfo playItemInfo)
{
    for (int i = 0; i < m_pPlayItemInfoList->size(); ++i) {
        if (m_pPlayItemInfoList->at(i)->path == playItemInfo.path) {
            *m_pPlayItemInfoList->at(i) = playItemInfo;
            m_listItems.at(i)->setItemInfo(m_pPlayItemInfoList->at(i));
            return;
        }
    }
    PlayItemInfo *copy = new PlayItemInfo(playItemInfo);
    m_pPlayItemInfoList->append(copy);
    addItemRow(copy);
    ui->m_scrollArea->show();
}

void QPlayListDlg::addItemRow(PlayItemInfo *playItemInfo)
{
    QPlayListItem *item = new QPlayListItem(ui->m_scrollAreaWidget);
    item->setBackgroundColor(PanelColor, RowHoverColor, RowHoverColor, PanelColor);
    item->setItemInfo(playItemInfo);
    connect(item, &QPlayListItem::emitMousePress, this, &QPlayListDlg::itemMousePress);
    connect(item, &QPlayListItem::emitMouseRelease, this, &QPlayListDlg::itemMouseRelease);
    connect(item, &QPlayListItem::emitMouseCtrlPress, this, &QPlayListDlg::itemMouseCtrlPress);
    connect(item, &QPlayListItem::emitMouseShiftPress, this, &QPlayListDlg::itemMouseShiftPress);
    connect(item, &QPlayListItem::emitShowTreeMenu, this, &QPlayListDlg::itemShowTreeMenu);
    connect(item, &QPlayListItem::emitMouseDoubleClick, this, &QPlayListDlg::itemMouseDoubleClick);
    connect(item, &QPlayListItem::emitPlay, this, &QPlayListDlg::itemOnPlay);
    connect(item, &QPlayListItem::emitPause, this, &QPlayListDlg::itemOnPause);
    connect(item, &QPlayListItem::emitDelete, this, &QPlayListDlg::itemOnDelete);
    m_listItems.append(item);
    ui->m_listLayout->addWidget(item);
}

void QPlayListDlg::setSelectedPlayItem(PlayItemInfo *playItemInfo, PlayListItemState state)
{
    if (!playItemInfo)
        return;
    for (QPlayListItem *item : qAsConst(m_listItems)) {
        if (item->getPlayItemInfo()->path == playItemInfo->path) {
            m_currentItem = item;
            item->getPlayItemInfo()->Duration_ = playItemInfo->Duration_;
            item->updateItemInfo();
            item->setItemState(state);
            item->setMouseState(QPlayListItem::Selected);
        } else {
            item->setItemState(PlayListItemState_Normal);
            item->setMouseState(QPlayListItem::Normal);
        }
    }
}

void QPlayListDlg::forgetRow(QPlayListItem *item)
{
    if (m_currentItem == item)
        m_currentItem = nullptr;
    if (m_pressItem == item)
        m_pressItem = nullptr;
    if (m_shiftItem == item)
        m_shiftItem = nullptr;
}

void QPlayListDlg::deleteFileInfoFromPlayList(QPlayListItem *item)
{
    const int index = m_pPlayItemInfoList->indexOf(item->getPlayItemInfo());
    if (index >= 0) {
        ui->m_listLayout->removeWidget(item);
        m_listItems.removeOne(item);
        forgetRow(item);
        QSettingXml::deletePlayListInfo(item->getPlayItemInfo()->path);
        delete item;
        delete m_pPlayItemInfoList->takeAt(index);
    }
    if (m_listItems.isEmpty())
        ui->m_scrollArea->hide();
}

void QPlayListDlg::removeRow(QPlayListItem *item)
{
    if (item == m_currentItem)
        emit emitIsDeleteCurrentPlayItem(item->getPlayItemInfo());
    deleteFileInfoFromPlayList(item);
}

void QPlayListDlg::itemOnDelete()
{
    if (QPlayListItem *item = senderItem())
        removeRow(item);
}

// Only the last-pressed row goes, however many rows show selected.
void QPlayListDlg::deleteTriggered()
{
    if (m_pressItem)
        removeRow(m_pressItem);
}

void QPlayListDlg::deleteALLTriggered()
{
    if (m_currentItem)
        emit emitIsDeleteCurrentPlayItem(m_currentItem->getPlayItemInfo());
    clearPlayListInfo();
}

void QPlayListDlg::clearPlayListInfo()
{
    for (QPlayListItem *item : qAsConst(m_listItems))
        ui->m_listLayout->removeWidget(item);
    qDeleteAll(m_listItems);
    m_listItems.clear();
    qDeleteAll(*m_pPlayItemInfoList);
    delete m_pPlayItemInfoList;
    m_pPlayItemInfoList = new QList<PlayItemInfo *>;
    ui->m_scrollArea->hide();
    m_currentItem = nullptr;
    m_pressItem = nullptr;
    m_shiftItem = nullptr;
    QSettingXml::clearPlayListInfo();
}

// Rows of missing files go without telling the host, the playing one included.
void QPlayListDlg::clearInvalidFileTriggered()
{
    for (int i = m_listItems.size() - 1; i >= 0; --i) {
        QPlayListItem *item = m_listItems.at(i);
        if (!QFile::exists(item->getPlayItemInfo()->path))
            deleteFileInfoFromPlayList(item);
    }
}

QPlayListItem *QPlayListDlg::senderItem() const
{
    return qobject_cast<QPlayListItem *>(sender());
}

// The row has already selected itself.
void QPlayListDlg::itemMousePress()
{
    QPlayListItem *pressed = senderItem();
    for (QPlayListItem *item : qAsConst(m_listItems))
        if (item != pressed)
            item->setMouseState(QPlayListItem::Normal);
    m_pressItem = pressed;
    m_shiftItem = pressed;
}

void QPlayListDlg::itemMouseRelease()
{
}

// The row has already toggled its selection; the others keep theirs.
void QPlayListDlg::itemMouseCtrlPress()
{
    m_pressItem = senderItem();
    m_shiftItem = m_pressItem;
}

// Selects the rows from the anchor (the first row when there is none) to the pressed one.
void QPlayListDlg::itemMouseShiftPress()
{
    m_pressItem = senderItem();
    const int anchor = m_shiftItem ? m_listItems.indexOf(m_shiftItem) : 0;
    const int pressed = m_listItems.indexOf(m_pressItem);
    const int first = qMin(anchor, pressed);
    const int last = qMax(anchor, pressed);
    for (int i = 0; i < m_listItems.size(); ++i)
        m_listItems.at(i)->setMouseState(i >= first && i <= last ? QPlayListItem::Selected : QPlayListItem::Normal);
}

void QPlayListDlg::itemMouseDoubleClick()
{
    m_currentItem = senderItem();
    emit emitItemPlay(m_currentItem->getPlayItemInfo());
}

// The playing row offers "Pause"; the actions work on the last-pressed row.
void QPlayListDlg::itemShowTreeMenu()
{
    m_actPlay->setEnabled(true);
    updateListMenu(senderItem()->getItemState() == PlayListItemState_Playing);
    for (QAction *action : {m_actAddFile, m_actAddDir, m_actAddDirSameFile, m_actDelete, m_actDeleteAll,
                            m_actClearInvalidFile, m_actSaveTo, m_actOpenItemFolder})
        action->setEnabled(true);
    m_listMenu->popup(QCursor::pos());
}

void QPlayListDlg::itemOnPlay()
{
    QPlayListItem *item = senderItem();
    if (item == m_currentItem)
        emit emitPlay();
    else
        emit emitItemPlay(item->getPlayItemInfo());
}

void QPlayListDlg::itemOnPause()
{
    emit emitItemPause();
}

void QPlayListDlg::playTriggered()
{
    if (!m_pressItem) {
        emit emitItemPlay(nullptr);
    } else if (m_pressItem == m_currentItem) {
        emit emitPlay();
    } else {
        m_currentItem = m_pressItem;
        emit emitItemPlay(m_currentItem->getPlayItemInfo());
    }
}

void QPlayListDlg::pauseTriggered()
{
    if (m_pressItem)
        emit emitItemPause();
    else
        emit emitItemPlay(nullptr);
}

void QPlayListDlg::openFileSiteTriggered()
{
    if (m_pressItem)
        m_pressItem->onFile();
}

void QPlayListDlg::saveToTriggered()
{
    if (!m_pressItem)
        return;
    const QString source = m_pressItem->getPlayItemInfo()->path;
    const QString target = QFileDialog::getSaveFileName(this, tr("Save As"), m_pressItem->getFileName(), QString());
    if (!target.isEmpty() && QFile::exists(source))
        QFile::copy(source, target);
}

void QPlayListDlg::normalToShow()
{
    QMediaPlayWindowFlags::m_bWindowShowTop = true;
}

void QPlayListDlg::normalToHide()
{
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
}

// A row is taken when its top or bottom edge lies strictly inside the band, or when it holds
// the start point.
void QPlayListDlg::selectPtChange(QPoint startPt, QPoint endPt)
{
    const int y1 = qMin(startPt.y(), endPt.y());
    const int y2 = qMax(startPt.y(), endPt.y());
    for (QPlayListItem *item : qAsConst(m_listItems)) {
        const int top = item->y();
        const int bottom = top + item->height();
        const bool taken = (y1 < top && top < y2) || (y1 < bottom && bottom < y2)
            || (top <= startPt.y() && startPt.y() <= bottom);
        item->setMouseState(taken ? QPlayListItem::Selected : QPlayListItem::Normal);
    }
}

void QPlayListDlg::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        seletedAllItem();
        event->accept();
    }
}

// A right press on the panel outside the rows: the menu with nothing to act on.
void QPlayListDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton)
        return;
    updateListMenu(false);
    for (QAction *action : {m_actPlay, m_actAddDirSameFile, m_actDelete, m_actSaveTo, m_actOpenItemFolder})
        action->setEnabled(false);
    for (QAction *action : {m_actAddFile, m_actAddDir, m_actDeleteAll, m_actClearInvalidFile})
        action->setEnabled(true);
    m_listMenu->popup(QCursor::pos());
}

void QPlayListDlg::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat("text/uri-list"))
        event->acceptProposedAction();
}

// The drag source waits for the answer to the drop, so the run and its modal dialog start only
// after this returns. A URL that is no local file gives no path.
void QPlayListDlg::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    QStringList paths;
    for (const QUrl &url : urls) {
        const QString path = url.toLocalFile();
        qCDebug(lcZRPlayer) << path;
        if (!path.isEmpty())
            paths << path;
    }
    event->acceptProposedAction();
    QMetaObject::invokeMethod(this, [this, paths] { loadPaths(paths); }, Qt::QueuedConnection);
}

void QPlayListDlg::addFileTriggered()
{
    const QString video = "*.m4v *.avi *.mts *.ts *.m2ts *.m2t *.tp *.trp *.mp4 *.mpg *.mpeg *.3gp *.3g2 *.wmv "
                          "*.asf *.rm *.rmvb *.dat *.mov *.flv *.f4v *.mkv *.dv *.dvr-ms *.h.264 *.nsv *.vob "
                          "*.webm *.ogv ";
    const QString audio = "*.mp3 *.m4a *.aac *.ac3 *.ogg *.aiff *.ape *.flac *.wav *.wma *.m4b *.m4p *.m4r *.mka *.au";
    const QString filter = tr("All Supported Formats(%1%2);;Apple Video files(*.m4v);;AVI Video files(*.avi);;"
                              "High-definition files(*.mts *.ts *.m2ts *.m2t *.tp *.trp);; MPEG4 files(*.mp4 *.m4v);;"
                              "MPEG files(*.mpg *.mpeg);;3GP files(*.3gp *.3g2);;Windows Media Video(*.wmv *.asf);; "
                              "Real Media files(*.rm *.rmvb);;Audio files(*.mp3 *.m4a *.aac *.ac3 *.ogg *.aiff *.ape "
                              "*.flac *.wav *.wma *.m4b *m4p *.m4r *.mka *.au);;Video CD files(*.dat);; Quick Time "
                              "files(*.mov);; Flash Video files(*.flv *.f4v);;MKV files(*.mkv);; Digital Video "
                              "files(*.dv);;Microsoft Digital Video Recorder(*.dvr-ms);; Raw h.264 Video "
                              "files(*.h.264);; Nullsoft Stream Video(*.nsv);;Unprotected VOB Files(*.vob);;WEBM "
                              "Files(*.webm);;OGV Files(*.ogv);;All files(*.*)")
                               .arg(video, audio);
    QMediaPlayWindowFlags::m_bWindowShowTop = true;
    const QString start = QSettingXml::getItemValue("OpenFile_Item", "OpenFile_Item_Value", ".");
    const QStringList files = QFileDialog::getOpenFileNames(this, QString(), start, QMediaFileLoader::withUpperCasePatterns(filter));
    if (!files.isEmpty())
        QSettingXml::setItemValue("OpenFile_Item", "OpenFile_Item_Value", QFileInfo(files.first()).path());
    loadPaths(files);
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
}

void QPlayListDlg::addDirTriggered()
{
    QMediaPlayWindowFlags::m_bWindowShowTop = true;
    const QString start = QSettingXml::getItemValue("OpenDir_Item", "OpenDir_Item_Value", ".");
    const QString dir = QFileDialog::getExistingDirectory(this, QString(), start, QFileDialog::ShowDirsOnly);
    if (!dir.isEmpty())
        loadDir(dir);
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
}

void QPlayListDlg::addDirSameFileTriggered()
{
    if (m_pressItem && !m_pressItem->getFileDir().isEmpty())
        loadDir(m_pressItem->getFileDir());
}

void QPlayListDlg::loadDir(const QString &dir)
{
    qCDebug(lcZRPlayer) << "........fileName......" << dir;
    QSettingXml::setItemValue("OpenDir_Item", "OpenDir_Item_Value", dir);
    loadPaths({dir});
}

// A stopped run may still be finishing its last file and reading the pending paths: it ends
// before they change.
void QPlayListDlg::loadPaths(const QStringList &paths)
{
    if (m_pLoadingDlg && m_pLoadingDlg->isVisible())
        return;
    JoinThread();
    m_pendingPaths = paths;
    threadLoadingFile();
}

void QPlayListDlg::threadLoadingFile()
{
    if (m_pendingPaths.isEmpty())
        return;
    m_nProgressValue = 0;
    m_bStopAddFile = false;
    m_traversalTimer->start(TraversalInterval);
    if (!m_pLoadingDlg) {
        m_pLoadingDlg = new QLoadingDlg(this);
        const QWidget *host = window();
        const QPoint corner = host->mapToGlobal(QPoint(0, 0));
        m_pLoadingDlg->move(corner.x() + (host->width() - m_pLoadingDlg->width()) / 2,
                            corner.y() + (host->height() - m_pLoadingDlg->height()) / 2);
        connect(m_pLoadingDlg, &QLoadingDlg::seedStopAddFile, this, &QPlayListDlg::StopAddFileThree);
    }
    if (StartThread())
        m_pLoadingDlg->exec();
    else
        m_traversalTimer->stop();
}

void QPlayListDlg::OnExecute()
{
    emit emitUpdateLoadDlg({tr("Searching...")});
    const QMediaFileLoader loader(m_bStopAddFile);
    const QStringList files = loader.collectFiles(m_pendingPaths);
    QMetaObject::invokeMethod(this, [this] { stopTraversal(); }, Qt::QueuedConnection);
    loader.probeFiles(
        files, [this](const QList<QString> &list) { emit emitUpdateLoadDlg(list); },
        [this](const PlayItemInfo &item) { emit emitDragMediaPlayItemInfo(item); });
    emit emitLoadThreadCoomplete();
}

void QPlayListDlg::stopTraversal()
{
    m_traversalTimer->stop();
    m_nProgressValue = QMediaFileLoader::TraversalStep;
}

// While folders are searched the bar creeps up by one a second, to 21 at most.
void QPlayListDlg::traversalTimer()
{
    if (m_nProgressValue < QMediaFileLoader::TraversalStep + 1) {
        ++m_nProgressValue;
        if (m_pLoadingDlg)
            m_pLoadingDlg->setProgressVale(m_nProgressValue);
    } else {
        stopTraversal();
    }
}

void QPlayListDlg::StopAddFileThree()
{
    m_bStopAddFile = true;
}

void QPlayListDlg::loadThreadCoomplete()
{
    if (m_pLoadingDlg)
        m_pLoadingDlg->close();
}

void QPlayListDlg::updateLoadDlg(QList<QString> list)
{
    if (!m_pLoadingDlg)
        return;
    m_pLoadingDlg->setAddFilePath(list.value(0));
    if (list.size() < 3)
        return;
    m_pLoadingDlg->setAddCount(list.at(1));
    m_pLoadingDlg->setProgressVale(list.at(2).toFloat());
}

void QPlayListDlg::setPlayModel(PlayModel playMode)
{
    m_playModel = playMode;
    checkPlayModeAction(playMode);
    m_btnWidget->setPlayModel(playMode);
}

// Mode 0 steps like "List Play" and is shown as it; unknown values check "Single Loop".
void QPlayListDlg::checkPlayModeAction(PlayModel playMode)
{
    switch (playMode) {
    case PlayModel_ListCycle:
        m_actListCycle->setChecked(true);
        break;
    case PlayModel_SinglePlay:
    case PlayModel_ListPlay:
        m_actListPlay->setChecked(true);
        break;
    case PlayModel_ShufflePlay:
        m_actShufflePlay->setChecked(true);
        break;
    default:
        m_actSingleLoop->setChecked(true);
        break;
    }
}

void QPlayListDlg::savePlayMode(PlayModel playMode)
{
    m_playModel = playMode;
    QSettingXml::setItemValue("PlayMode_Item", "PlayMode_Item_Value", QString::number(playMode));
}

QString QPlayListDlg::playModeText(PlayModel playMode) const
{
    switch (playMode) {
    case PlayModel_SinglePlay:
        return tr("Single Play");
    case PlayModel_ListCycle:
        return tr("List Cycle");
    case PlayModel_ListPlay:
        return tr("List Play");
    case PlayModel_SingleLoop:
        return tr("Single Loop");
    case PlayModel_ShufflePlay:
        return tr("Shuffle Play");
    }
    return QString();
}

// The host keeps a copy of the mode, so this road tells it too; only the bar shows a message.
void QPlayListDlg::playModeTriggered(QAction *action)
{
    PlayModel playMode;
    if (action == m_actSingleLoop)
        playMode = PlayModel_SingleLoop;
    else if (action == m_actListPlay)
        playMode = PlayModel_ListPlay;
    else if (action == m_actListCycle)
        playMode = PlayModel_ListCycle;
    else if (action == m_actShufflePlay)
        playMode = PlayModel_ShufflePlay;
    else
        return;
    savePlayMode(playMode);
    m_btnWidget->setPlayModel(playMode);
    emit emitPlayModel(playMode);
}

void QPlayListDlg::onPlayMode(PlayModel playMode)
{
    savePlayMode(playMode);
    checkPlayModeAction(playMode);
    emit emitPlayModel(playMode);
    emit emitMessageContent(playModeText(playMode));
}

void QPlayListDlg::playRow(int index)
{
    m_currentItem = m_listItems.at(index);
    emit emitItemPlay(m_currentItem->getPlayItemInfo());
}

void QPlayListDlg::repeatCurrent()
{
    emit emitStopPlay();
    emit emitPlay();
}

void QPlayListDlg::playNextMedia()
{
    stepMedia(1);
}

void QPlayListDlg::playPreviousMedia()
{
    stepMedia(-1);
}

// One row on (1) or back (-1): "List Play" stops at the ends, "List Cycle" wraps, "Single Loop"
// repeats and "Shuffle Play" draws another row. Nothing plays without a current row.
void QPlayListDlg::stepMedia(int step)
{
    if (!m_currentItem || m_playModel > PlayModel_ShufflePlay || m_listItems.isEmpty())
        return;
    const int count = m_listItems.size();
    const int current = m_listItems.indexOf(m_currentItem);
    const int target = current + step;
    switch (m_playModel) {
    case PlayModel_SinglePlay:
    case PlayModel_ListPlay:
        if (target >= 0 && target < count) {
            playRow(target);
        } else {
            emit emitStopPlay();
            emit emitMessageContent(step > 0 ? "Last File" : "First File");
        }
        break;
    case PlayModel_ListCycle:
        if (count == 1)
            repeatCurrent();
        else
            playRow(target >= count ? 0 : target < 0 ? count - 1 : target);
        break;
    case PlayModel_SingleLoop:
        repeatCurrent();
        break;
    case PlayModel_ShufflePlay:
        if (count == 1) {
            repeatCurrent();
        } else {
            int drawn;
            do {
                drawn = int(QRandomGenerator::global()->bounded(quint32(count)));
            } while (drawn == current);
            playRow(drawn);
        }
        break;
    }
}

void QPlayListDlg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), PanelColor);
}

void QPlayListDlg::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
    setCursor(Qt::ArrowCursor);
}

void QPlayListDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_btnWidget->resize(width(), BarHeight);
    m_btnWidget->move(0, height() - m_btnWidget->height());
}
