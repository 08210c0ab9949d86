#include "settings_dialog/qsettingdlg.h"

#include "engine/mediasettting.h"
#include "engine/qmediasettingmanager.h"
#include "services/qianyutil.h"
#include "settings_dialog/dialogkeys.h"
#include "settings_dialog/equalizerpreset.h"
#include "settings_dialog/qaudiocontrolform.h"
#include "settings_dialog/qsubtitleform.h"
#include "settings_dialog/qsubtitlesettingdlg.h"
#include "settings_dialog/qsynchrionizationform.h"
#include "settings_dialog/qvideocontrolform.h"
#include "settings_dialog/qvideoedittag.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbasebutton.h"
#include "ui_qsettingdlg.h"


QSettingDlg::QSettingDlg(QWidget *parent)
    : QZRDialogEx(parent)
    , ui(new Ui_QSettingDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    setBackgroundImage(QIAnyUtil::getResourcePath() + "/images/tab_background.png", true);
    setWindowTitle(tr("Settings"));
    setStretchPolicy(StretchNone);
    setMoveTopHeight(68);
    setTitleRect(QRect());
    QBaseDrawWidget::setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QInitCtrlStyle::InitPalette(this, QPalette::WindowText, QColor(255, 255, 255));
    setFocusPolicy(Qt::NoFocus);
    QInitCtrlStyle::InitFont(this, 12);
    setFixedSize(856, 281);
    const rectSize corner{100, 100};
    setGridViewInfo(corner, corner, corner, corner);

    initDlg();

    selectedTag(0);
    installEventFilter(this);
}

QSettingDlg::~QSettingDlg()
{
    delete m_pTag;
    delete m_pVideoForm;
    delete m_pAudioForm;
    delete m_pSubtitleForm;
    delete m_pSyncForm;
    delete ui;
}

QZRBaseButton *QSettingDlg::initTagButton(QString text, QString icon)
{
    QZRBaseButton *button = new QZRBaseButton;
    button->setText(text);
    button->setBtnIcon(icon);
    QVideoEditTag::initTagLook(button);
    button->setFixedWidth(120);
    button->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    button->setIconBtnMode(true);
    return button;
}

void QSettingDlg::initDlg()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + "/images/btn_close.png", true);
    addMaxBtn(resources + "/images/btn_close.png", true);
    addMinBtn(resources + "/images/btn_close.png", true);
    m_btnClose->setFocusPolicy(Qt::NoFocus);
    connect(m_btnClose, &QZRBaseButton::clicked, this, &QSettingDlg::OnClose);

    m_pTag = new QVideoEditTag(this);
    m_pTag->resize(width() - 16, 30);
    struct Tag
    {
        const char *text;
        const char *icon;
        QRect iconRect;
        QRect textRect;
    };
    const Tag tags[] = {
        {QT_TR_NOOP("Video Control"), "/images/Settings/video_icon.png", QRect(12, 2, 0, 0), QRect(36, 0, 0, 16)},
        {QT_TR_NOOP("Audio Control"), "/images/Settings/audio_icon.png", QRect(12, 2, 0, 0), QRect(36, 0, 0, 16)},
        {QT_TR_NOOP("Subtitle"), "/images/Settings/subtitle_icon.png", QRect(26, 2, 0, 0), QRect(50, 0, 0, 16)},
        {QT_TR_NOOP("Synchronization"), "/images/Settings/syon_icon.png", QRect(10, 2, 0, 0), QRect(34, 0, 0, 16)},
    };
    for (const Tag &tag : tags) {
        QZRBaseButton *button = initTagButton(tr(tag.text), resources + tag.icon);
        button->setIconRect(tag.iconRect);
        button->setTextRect(tag.textRect);
        // A text longer than the tag's 120 pixels allow widens the tag; the row keeps its tags centred.
        const int textEnd = tag.textRect.left() + button->fontMetrics().horizontalAdvance(button->text()) + 8;
        button->setFixedWidth(qMax(button->width(), textEnd));
        button->setFocusPolicy(Qt::NoFocus);
        m_pTag->addTag(button);
    }
    m_pTag->show();
    m_pTag->setSelectedTag(0);
    connect(m_pTag, &QVideoEditTag::emitSelectedTag, this, &QSettingDlg::selectedTag);

    m_pVideoForm = new QVideoControlForm(this);
    connect(m_pVideoForm, &QVideoControlForm::emitFillMode, this, &QSettingDlg::emitFillMode);
    connect(m_pVideoForm, &QVideoControlForm::emitAspectRatio, this, &QSettingDlg::emitAspectRatio);
    connect(m_pVideoForm, &QVideoControlForm::emitDeinterlace, this, &QSettingDlg::emitDeinterlace);

    m_pAudioForm = new QAudioControlForm(this);
    m_pAudioForm->setFocus();

    m_pSubtitleForm = new QSubtitleForm(this);
    connect(m_pSubtitleForm, &QSubtitleForm::emitSubtitleSetting, this, &QSettingDlg::onSubtitleSetting);
    connect(m_pSubtitleForm, &QSubtitleForm::emitSubtitleChange, this, &QSettingDlg::emitSubtitleChange);

    m_pSyncForm = new QSynchrionizationForm(this);

    ui->m_btnReset->setText(tr("Reset"));
    ui->m_btnOk->setText(tr("OK"));
    for (QZRBaseButton *button : {ui->m_btnReset, ui->m_btnOk}) {
        button->setFocusPolicy(Qt::NoFocus);
        QInitCtrlStyle::InitZRButton(button, 80, 24);
    }
    connect(ui->m_btnReset, &QZRBaseButton::clicked, this, &QSettingDlg::onReset);
    connect(ui->m_btnOk, &QZRBaseButton::clicked, this, &QSettingDlg::onOk);
}

// By page index: video, audio, subtitle, synchronisation.
QList<QWidget *> QSettingDlg::pages() const
{
    return {m_pVideoForm, m_pAudioForm, m_pSubtitleForm, m_pSyncForm};
}

void QSettingDlg::setSettingManager(QMediaSettingManager *manager)
{
    m_pSettingManager = manager;
    m_pVideoForm->setSettingManager(manager);
    m_pAudioForm->setSettingManager(manager);
    m_pSubtitleForm->setSettingManager(manager);
    m_pSyncForm->setSettingManager(manager);
}

void QSettingDlg::setSubtitleSettingDlg(QSubtitleSettingDlg *dialog)
{
    if (m_pSubtitleSettingDlg)
        disconnect(m_pSubtitleSettingDlg, nullptr, this, nullptr);
    m_pSubtitleSettingDlg = dialog;
    if (dialog)
        connect(dialog, &QSubtitleSettingDlg::emitFontSettingChange, this, &QSettingDlg::onFontSettingChange);
}

// New window flags hide a shown window, so a shown style dialog is shown again.
void QSettingDlg::setFontSettingDlgTOTop(bool top)
{
    if (!m_pSubtitleSettingDlg)
        return;
    const bool shown = m_pSubtitleSettingDlg->isVisible();
    Qt::WindowFlags flags = Qt::Dialog | Qt::FramelessWindowHint;
    if (top)
        flags |= Qt::WindowStaysOnTopHint;
    m_pSubtitleSettingDlg->setWindowFlags(flags);
    if (shown)
        m_pSubtitleSettingDlg->show();
}

void QSettingDlg::setSelectedTag(int index)
{
    m_pTag->setSelectedTag(index);
}

void QSettingDlg::selectedTag(int index)
{
    m_nSelectedIndex = index;
    const QList<QWidget *> all = pages();
    if (index < 0 || index >= all.size())
        return;
    for (int i = 0; i < all.size(); ++i)
        all.at(i)->setVisible(i == index);
}

void QSettingDlg::updateFrom()
{
    reloadAll();
}

void QSettingDlg::updateSubtitleForm()
{
    m_pSubtitleForm->updateSubtitleSelect();
}

void QSettingDlg::updateFillMode()
{
    m_pVideoForm->updateFillMode();
}

void QSettingDlg::updateAspectRatio()
{
    m_pVideoForm->updateAspectRatio();
}

void QSettingDlg::updateDeinterlace()
{
    m_pVideoForm->updateDeinterlace();
}

void QSettingDlg::updateSync()
{
    m_pSyncForm->loadingSetting();
}

void QSettingDlg::reloadAll()
{
    m_pVideoForm->loadingSetting();
    m_pAudioForm->loadingSetting();
    m_pVideoForm->aspectRatioChange();
    m_pVideoForm->panScanChange();
    m_pVideoForm->deintChange();
    m_pSubtitleForm->loadingSetting();
    m_pSubtitleForm->changeUpdate();
    m_pSyncForm->loadingSetting();
    if (m_pSubtitleSettingDlg)
        m_pSubtitleSettingDlg->loadingSetting();
}

void QSettingDlg::OnClose()
{
    hide();
    if (m_pSettingManager)
        m_pSettingManager->setSaveMediaSettting(false);
    reloadAll();
}

void QSettingDlg::onOk()
{
    hide();
    if (m_pSettingManager)
        m_pSettingManager->setSaveMediaSettting(true);
    reloadAll();
    emit emitSettingChange();
}

// Defaults into both records, the playback speed among them; the track lists and the embedded
// subtitle count belong to the medium, so they stay.
void QSettingDlg::onReset()
{
    if (!m_pSettingManager)
        return;
    MediaSettting working;
    m_pSettingManager->getMediaSettting(working);
    MediaSettting record;
    record.m_subltItemList = working.m_subltItemList;
    record.m_audioTrackList = working.m_audioTrackList;
    record.m_subtitleValue.m_embeddedCount = working.m_subtitleValue.m_embeddedCount;
    record.m_deinterlace = 1;
    const double flat[EqualizerPreset::BandCount] = {};
    record.m_equalize.setBands(EqualizerPreset::BandFrequencies, flat, EqualizerPreset::BandCount);
    record.m_equalize.m_preamp = 0;
    m_pSettingManager->setMediaSettting(record);

    m_pVideoForm->loadingSetting();
    m_pAudioForm->updateSetting();
    m_pSubtitleForm->loadingSetting();
    m_pSyncForm->loadingSetting();
    if (m_pSubtitleSettingDlg)
        m_pSubtitleSettingDlg->loadingSetting();
    m_pVideoForm->aspectRatioChange();
    m_pVideoForm->panScanChange();
    m_pVideoForm->deintChange();
}

// Brings the style dialog to the front, centred over this one.
void QSettingDlg::onSubtitleSetting()
{
    if (!m_pSubtitleSettingDlg)
        return;
    CenterDlg(*m_pSubtitleSettingDlg);
    m_pSubtitleSettingDlg->hide();
    m_pSubtitleSettingDlg->show();
}

// The style dialog kept or reverted the whole style, of which these pages show parts.
void QSettingDlg::onFontSettingChange()
{
    m_pSubtitleForm->loadingSetting();
    m_pSyncForm->loadingSetting();
}

bool QSettingDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && filterDialogKeys(this, event))
        return true;
    return QZRDialogEx::eventFilter(watched, event);
}

void QSettingDlg::resetControlLocation()
{
    if (!m_pTag)
        return;
    m_pTag->move(8, 30);
    const QRect tag = m_pTag->geometry();
    for (QWidget *page : pages()) {
        page->resize(width() - 16, height() - 83 - tag.height());
        page->move(8, tag.bottom());
    }
    QZRBaseButton *reset = ui->m_btnReset;
    reset->move(width() - 33 - reset->width(), height() - 18 - reset->height());
    ui->m_btnOk->move(reset->x() - 10 - ui->m_btnOk->width(), reset->y());
}
