#include "playlist/qplaylistitem.h"

#include "engine/zrhelper.h"
#include "player/qmediaplaywindowflags.h"
#include "services/qianyutil.h"
#include "shell/newmainwindowflags.h"
#include "toolkit/qinitctrlstyle.h"
#include "ui_qplaylistitem.h"

#include <QCursor>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

namespace {

const QColor StateColor(255, 31, 125);
const QColor White(255, 255, 255);

}

QPlayListItem::QPlayListItem(QWidget *parent)
    : QBaseItem(parent)
    , ui(new Ui_QPlayListItem)
    , m_hoverTimer(new QTimer(this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_MouseTracking);
    setFixedHeight(30);
    initControls();
    m_hoverTimer->setInterval(100);
    connect(m_hoverTimer, &QTimer::timeout, this, &QPlayListItem::mouseEnterTimer);
}

QPlayListItem::~QPlayListItem()
{
    delete m_hoverTimer;
    delete ui;
}

void QPlayListItem::initControls()
{
    ui->m_btnDelete->hide();
    ui->m_btnFile->hide();
    ui->m_btnDelete->setButtonImage(QIAnyUtil::getResourcePath() + "/images/PlayListDlg/btn_delete.png", true);
    ui->m_btnFile->setButtonImage(QIAnyUtil::getResourcePath() + "/images/PlayListDlg/btn_search.png", true);
    connect(ui->m_btnDelete, &QZRBaseButton::clicked, this, &QPlayListItem::emitDelete);
    connect(ui->m_btnFile, &QZRBaseButton::clicked, this, &QPlayListItem::onFile);
    ui->m_btnDelete->setToolTip(tr("Delete file(s)"));
    ui->m_btnFile->setToolTip(tr("Open"));
}

void QPlayListItem::setItemInfo(PlayItemInfo *playItemInfo)
{
    m_playItemInfo = playItemInfo;
    if (!playItemInfo)
        return;
    m_filePath = playItemInfo->path;
    m_fileDir = m_filePath.left(m_filePath.lastIndexOf('/'));
    m_fileName = playItemInfo->Filename;
    fillLabels();
}

void QPlayListItem::updateItemInfo()
{
    if (m_playItemInfo)
        fillLabels();
}

void QPlayListItem::fillLabels()
{
    QInitCtrlStyle::InitFont(ui->m_lblFileName, 12);
    const QFontMetrics metrics(ui->m_lblFileName->font());
    ui->m_lblFileName->setText(metrics.elidedText(m_fileName, Qt::ElideRight, ui->m_lblFileName->width()));
    ui->m_lblFileName->setToolTip(m_filePath);
    QInitCtrlStyle::InitPalette(ui->m_lblFileName, QPalette::WindowText, White);

    QInitCtrlStyle::InitFont(ui->m_lblTime, 12);
    ui->m_lblTime->setText(countStringTime(m_playItemInfo->Duration_));
    QInitCtrlStyle::InitPalette(ui->m_lblTime, QPalette::WindowText, White);
}

PlayItemInfo *QPlayListItem::getPlayItemInfo() const
{
    return m_playItemInfo;
}

QString QPlayListItem::getFileDir() const
{
    return m_fileDir;
}

QString QPlayListItem::getFileName() const
{
    return m_fileName;
}

void QPlayListItem::setItemState(PlayListItemState state)
{
    m_itemState = state;
    const bool marked = state == PlayListItemState_Playing || state == PlayListItemState_Paused
        || state == PlayListItemState_Finished;
    QInitCtrlStyle::InitPalette(ui->m_lblFileName, QPalette::WindowText, marked ? StateColor : White);
    QInitCtrlStyle::InitPalette(ui->m_lblTime, QPalette::WindowText, marked ? StateColor : White);
}

PlayListItemState QPlayListItem::getItemState() const
{
    return m_itemState;
}

QString QPlayListItem::countStringTime(unsigned long long time)
{
    return ZRHelper::getTime(time);
}

void QPlayListItem::onFile()
{
    ZRHelper::showFileInFolder(m_filePath.toUtf8().toStdString());
}

bool QPlayListItem::hoverAllowed()
{
    return NewMainWindowFlags::m_bMouseInMainWindow && !NewMainWindowFlags::m_bFullscreen
        && !QMediaPlayWindowFlags::m_bWindowShowTop;
}

void QPlayListItem::showButtons(bool show)
{
    ui->m_btnDelete->setVisible(show);
    ui->m_btnFile->setVisible(show);
    ui->m_lblTime->setVisible(!show);
}

void QPlayListItem::mouseEnterTimer()
{
    const QPoint pos = mapFromGlobal(QCursor::pos());
    const bool inside = pos.x() >= 0 && pos.x() <= width() && pos.y() >= 0 && pos.y() <= height();
    if (inside && hoverAllowed()) {
        showButtons(true);
        if (getMouseState() == Normal)
            setMouseState(Hover);
        if (ui->m_lblFileName->geometry().contains(pos) && !m_bShowToolTip) {
            m_bShowToolTip = true;
            QToolTip::showText(QCursor::pos(), ui->m_lblFileName->toolTip(), ui->m_lblFileName);
        }
        return;
    }
    showButtons(false);
    if (getMouseState() == Hover)
        setMouseState(Normal);
    // Only the tip this row showed: hiding any tip would take the hovered row's away at once.
    if (m_bShowToolTip) {
        m_bShowToolTip = false;
        if (QToolTip::isVisible() && QToolTip::text() == ui->m_lblFileName->toolTip())
            QToolTip::hideText();
    }
}

// Entering shows the buttons also while hovering does not count (the next tick takes them away
// again); a selected row keeps its selection.
void QPlayListItem::enterEvent(QEvent *event)
{
    if (getMouseState() != Selected)
        QBaseItem::enterEvent(event);
    showButtons(true);
    if (m_itemState == PlayListItemState_Normal || m_itemState == PlayListItemState_Playing
        || m_itemState == PlayListItemState_Paused)
        setItemState(m_itemState);
}

// The hover tick runs while the row is on screen: a hidden row has nothing to follow, and a
// long list in a hidden panel would otherwise wake the program ten times a second a row.
void QPlayListItem::showEvent(QShowEvent *event)
{
    QBaseItem::showEvent(event);
    m_hoverTimer->start();
}

void QPlayListItem::hideEvent(QHideEvent *event)
{
    QBaseItem::hideEvent(event);
    m_hoverTimer->stop();
}

void QPlayListItem::leaveEvent(QEvent *event)
{
    QBaseItem::leaveEvent(event);
    showButtons(false);
}

void QPlayListItem::resizeEvent(QResizeEvent *event)
{
    QBaseItem::resizeEvent(event);
    const int h = height();
    QWidget *name = ui->m_lblFileName;
    QWidget *time = ui->m_lblTime;
    QWidget *remove = ui->m_btnDelete;
    QWidget *file = ui->m_btnFile;
    name->move(10, (h - name->height()) / 2);
    time->move(width() - 10 - time->width(), (h - time->height()) / 2);
    remove->move(width() - 10 - remove->width(), (h - remove->height()) / 2);
    file->move(remove->x() - 10 - file->width(), (h - file->height()) / 2);
}

// A selected row is filled with the selection colour, so the selection shows on the list.
void QPlayListItem::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    look().paint(painter, rect(), true);
}
