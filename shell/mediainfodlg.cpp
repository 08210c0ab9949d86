#include "shell/mediainfodlg.h"

#include "engine/qmediainfos.h"
#include "engine/zrhelper.h"
#include "player/qdialogkeys.h"
#include "player/qmediaplaywindowflags.h"
#include "services/qianyutil.h"
#include "services/zrlogging.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrscrollbar.h"
#include "ui_mediainfodlg.h"

#include <QPainter>
#include <QPointer>
#include <cmath>
#include <limits>

namespace {

const QColor ContentColor(44, 44, 44);

const char *const TreeStyle =
    "QTreeWidget{ outline: 0px; background-color:rgb(44,44,44);font-size:13px;color:rgb(255,255,255); "
    "border: 0px solid rgb(0,0,0,0);} QTreeWidget::item{margin:1px; background:rgb(44,44,44); "
    "background-clip: margin;border: 0px solid rgb(0,0,0,0);} QTreeWidget::item:selected {border: 0px solid "
    "rgb(0,0,0,0);}QTreeView::branch:has-children:!has-siblings:closed, "
    "QTreeView::branch:closed:has-children:has-siblings { border-image: none; image: url(%1); }"
    "QTreeView::item:hover, QTreeView::branch:hover { background-color: rgb(44,44,44);}"
    "QTreeView::item:selected, QTreeView::branch:selected {background-color: rgb(44,44,44);}"
    "QTreeView::item { color: rgb(255,255,255); border: none; background-color: rgb(44,44,44); }"
    "QTreeView::branch:open:has-children:!has-siblings, QTreeView::branch:open:has-children:has-siblings  {  "
    "border-image: none; image: url(%2); }";

// The tag rows of the General group, in the order they are shown.
const struct
{
    const char *label;
    std::string MediaTagInfo::*value;
} TagRows[] = {
    {"Movie name : %1", &MediaTagInfo::title},     {"Artist : %1", &MediaTagInfo::artist},
    {"Album artist : %1", &MediaTagInfo::album_artist}, {"Composer : %1", &MediaTagInfo::composer},
    {"Album : %1", &MediaTagInfo::album},          {"Genre : %1", &MediaTagInfo::genre},
    {"Track : %1", &MediaTagInfo::track},          {"Year : %1", &MediaTagInfo::year},
    {"Date : %1", &MediaTagInfo::date},            {"Grouping : %1", &MediaTagInfo::grouping},
    {"Comment : %1", &MediaTagInfo::comment},      {"Disc : %1", &MediaTagInfo::disc},
    {"Dvd_size : %1", &MediaTagInfo::dvd_size},    {"Dvd_clip : %1", &MediaTagInfo::dvd_clip},
    {"Lyrics : %1", &MediaTagInfo::lyrics},        {"Copyright : %1", &MediaTagInfo::copyright},
};

// Speaker names by bit of a channel layout mask; bits without a name add nothing.
const char *const SpeakerNames[31] = {
    "L ",   "R ",   "C ",   "Lfe ", "Lb ",  "Rb ",  "Cfl ", "Cfr ", "Cb ",    "Ls ",    "Rs ",
    "Ct ",  "Ltf ", "Ctf ", "Rtf ", "Ltb ", "Ctb ", "Rtb ", nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "L ",     "R ",
};

QTreeWidgetItem *addItem(QTreeWidgetItem *parent, const QString &text, bool withToolTip = false)
{
    auto *item = new QTreeWidgetItem(parent, QStringList(text));
    if (withToolTip)
        item->setData(0, Qt::ToolTipRole, text);
    return item;
}

QString clockText(unsigned long long time)
{
    return ZRHelper::getCountStringTime(time, 0);
}

// Rows of values the prober may not know: an empty text or a time of 0 gives no row.
void addTextRow(QTreeWidgetItem *group, const char *label, const QString &value)
{
    if (!value.isEmpty())
        addItem(group, QString::fromLatin1(label).arg(value));
}

void addTimeRow(QTreeWidgetItem *group, const char *label, unsigned long long time)
{
    if (time != 0)
        addItem(group, QString::fromLatin1(label).arg(clockText(time)));
}

QString speakerText(int mask)
{
    QString text;
    for (int bit = 0; bit < 31; ++bit) {
        if (((mask >> bit) & 1) && SpeakerNames[bit])
            text += QLatin1String(SpeakerNames[bit]);
    }
    return text;
}

// A size term that fits no int (a zero or huge aspect term) is refused.
bool toSizeTerm(double value, int &term)
{
    const double whole = std::trunc(value);
    if (!std::isfinite(whole) || whole > std::numeric_limits<int>::max() || whole < std::numeric_limits<int>::min())
        return false;
    term = int(whole);
    return true;
}

void addGeneralRows(QTreeWidgetItem *general, const QMediaInfos &infos)
{
    addItem(general, QStringLiteral("CompleteName : %1").arg(infos.m_mediaPath), true);
    addItem(general, QStringLiteral("Format : %1").arg(infos.m_formatName));
    addItem(general, QStringLiteral("FileSize : %1").arg(ZRHelper::getFileSizeToString(infos.m_fileSize)));
    // A disc lasts as long as its titles together, whatever the probe reports for the whole.
    const unsigned long long duration = infos.m_isDisc ? infos.m_programsDuration : infos.m_mediaDuration;
    addItem(general, QStringLiteral("Duration : %1").arg(clockText(duration)));
    for (const auto &row : TagRows) {
        const QString value = QString::fromStdString(infos.m_tagInfo.*row.value);
        if (!value.isEmpty())
            addItem(general, QString::fromLatin1(row.label).arg(value), row.value == &MediaTagInfo::copyright);
    }
}

void addVideoGroup(QTreeWidgetItem *program, const StreamInfo &video)
{
    QTreeWidgetItem *group = addItem(program, QStringLiteral("Video #%1").arg(video.m_label));
    addTimeRow(group, "Duration : %1", video.m_duration);
    addTextRow(group, "Title : %1", video.m_title);
    const bool hasAspect = video.m_aspectNum > 0 && video.m_aspectDen > 0;
    if (hasAspect)
        addItem(group, QStringLiteral("AspectRatio : %1 : %2").arg(video.m_aspectNum).arg(video.m_aspectDen));
    if (video.m_videoHeight > 0 && video.m_videoWidth > 0)
        addItem(group, QStringLiteral("Resolution : %1 * %2 pixel").arg(video.m_videoWidth).arg(video.m_videoHeight));

    QSize display(video.m_videoWidth, video.m_videoHeight);
    if (hasAspect)
        display = getScreenSize(display, QSize(video.m_aspectNum, video.m_aspectDen));
    const QString displayText = QStringLiteral("%1 * %2 pixel").arg(display.width()).arg(display.height());
    qCDebug(lcZRPlayer) << ".......displayStr......" << displayText;
    addItem(group, QStringLiteral("Display : %1").arg(displayText));

    addTextRow(group, "Langauge : %1", video.m_language);
    if (video.m_videoBitRate > 0) {
        qCDebug(lcZRPlayer) << ".......videoInfo.m_videoBitRate..........." << video.m_videoBitRate;
        addItem(group, QStringLiteral("BitRate : %1").arg(ZRHelper::getBitRate(video.m_videoBitRate)));
    }
    // Without a denominator there is no rate to tell.
    if (video.m_frameRateNum > 0 && video.m_frameRateDen > 0) {
        const double rate = double(video.m_frameRateNum) / double(video.m_frameRateDen);
        addItem(group, QStringLiteral("FrameRate : %1 fps").arg(QString::number(rate, 'f', 2)));
    }
}

void addAudioGroup(QTreeWidgetItem *program, const AudioStreamInfo &audio)
{
    QTreeWidgetItem *group = addItem(program, QStringLiteral("Audio #%1").arg(audio.m_label));
    addTimeRow(group, "Duration : %1", audio.m_duration);
    addTextRow(group, "Title : %1", audio.m_title);
    addTextRow(group, "Format : %1", audio.m_codecName);
    addTextRow(group, "Language : %1", audio.m_language);
    if (audio.m_bitDepth > 0)
        addItem(group, QStringLiteral("BitDepth : %1 bits").arg(audio.m_bitDepth));
    if (audio.m_audioBitRate > 0)
        addItem(group, QStringLiteral("BitRate : %1").arg(ZRHelper::getBitRate(audio.m_audioBitRate)));
    if (audio.m_sampleRate > 0)
        addItem(group, QStringLiteral("SampleRate : %1 HZ").arg(audio.m_sampleRate));
    if (audio.m_channels > 0)
        addItem(group, QStringLiteral("Channels : %1").arg(audio.m_channels));
    if (audio.m_channelLayout > 0)
        addItem(group, QStringLiteral("ChannelLayout : %1").arg(speakerText(audio.m_channelLayout)));
}

void addSubtitleGroups(QTreeWidgetItem *program, const QList<SubtitleStreamInfo> &subtitles)
{
    for (int l = 0; l < subtitles.size(); ++l) {
        qCDebug(lcZRPlayer) << "..........l......." << l;
        const SubtitleStreamInfo &subtitle = subtitles.at(l);
        // Only streams inside the medium; files beside it and the fixed choices are no streams of it.
        if (subtitle.m_kind != QStringLiteral("内嵌"))
            continue;
        QTreeWidgetItem *group = addItem(program, QStringLiteral("Subtitle #%1").arg(subtitle.m_language));
        addTextRow(group, "Title : %1", subtitle.m_title);
        addTimeRow(group, "Duration : %1", subtitle.m_duration);
        addTextRow(group, "Format : %1", subtitle.m_codecName);
        addTextRow(group, "Language : %1", subtitle.m_language);
    }
}

void addChapterGroup(QTreeWidgetItem *program, const ChapterInfo &chapter)
{
    QTreeWidgetItem *group = addItem(program, QStringLiteral("Chapter #%1").arg(chapter.m_title));
    addTextRow(group, "Title : %1", chapter.m_title);
    addTimeRow(group, "Duration : %1", chapter.m_duration);
    addTimeRow(group, "StartTime : %1", chapter.m_start);
    addTimeRow(group, "EndTime : %1", chapter.m_end);
}

}

QSize getScreenSize(QSize picture, QSize aspect)
{
    const int w = picture.width();
    const int h = picture.height();
    const int n = aspect.width();
    const int d = aspect.height();
    // Compared in single precision, so 1920 x 1080 at 16 : 9 counts as equal and keeps its size.
    const float rb = float(double(n) / double(d));
    const float ra = float(double(w) / double(h));
    // Products in 64 bits: a display aspect of large terms would overflow an int.
    int term = 0;
    if (rb > ra)
        return toSizeTerm(double(qint64(h) * n) / double(d), term) ? QSize(term, h) : picture;
    if (ra >= rb)
        return toSizeTerm(double(qint64(d) * w) / double(n), term) ? QSize(w, term) : picture;
    return QSize(n, d);
}

MediaInfoDlg::MediaInfoDlg(QWidget *parent) : QZRDialogEx(parent), ui(new Ui::MediaInfoDlg)
{
    ui->setupUi(this);
    initSkin(tr("Media Infomation"), QSize(600, 500));
    initControls();
    ui->m_treeWidget->hide();
    installEventFilter(this);
}

MediaInfoDlg::~MediaInfoDlg()
{
    if (m_scrollBar) {
        delete m_scrollBar;
        m_scrollBar = nullptr;
    }
    delete ui;
}

void MediaInfoDlg::showMediaInfo(QWidget *parent, QMediaInfos *infos)
{
    QMediaPlayWindowFlags::m_bWindowShowTop = true;
    // On the heap and guarded: a parent that dies during exec() takes the dialog with it.
    QPointer<MediaInfoDlg> dialog = new MediaInfoDlg(parent);
    dialog->setMediaInfos(infos);
    if (parent) {
        const QPoint origin = parent->mapToGlobal(QPoint(0, 0));
        int x = origin.x() + (parent->width() - dialog->width()) / 2;
        int y = origin.y() + (parent->height() - dialog->height()) / 2;
        dialog->move(x < 1 ? 50 : x, y < 1 ? 50 : y);
    }
    dialog->exec();
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
    delete dialog;
}

void MediaInfoDlg::setMediaInfos(QMediaInfos *infos)
{
    m_mediaInfos = infos;
    ui->m_treeWidget->show();
    loadData();
}

void MediaInfoDlg::loadData()
{
    if (!m_mediaInfos || m_mediaInfos->m_mediaPath.isEmpty()) {
        ui->m_treeWidget->hide();
        return;
    }
    QTreeWidget *tree = ui->m_treeWidget;
    tree->setHeaderHidden(true);

    const QString &path = m_mediaInfos->m_mediaPath;
    auto *media = new QTreeWidgetItem(QStringList(path));
    media->setData(0, Qt::ToolTipRole, path);
    tree->addTopLevelItem(media);

    addGeneralRows(addItem(media, QStringLiteral("General")), *m_mediaInfos);
    for (const ProgramInfo *program : qAsConst(m_mediaInfos->m_programList)) {
        QTreeWidgetItem *programItem = addItem(media, program->m_name);
        for (const StreamInfo &video : program->m_videoList)
            addVideoGroup(programItem, video);
        for (const AudioStreamInfo &audio : program->m_audioList)
            addAudioGroup(programItem, audio);
        addSubtitleGroups(programItem, program->m_subtitleList);
        for (const ChapterInfo &chapter : program->m_chapterList)
            addChapterGroup(programItem, chapter);
    }
    tree->expandAll();
}

void MediaInfoDlg::initControls()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + "/images/btn_close.png", true);
    connect(m_btnClose, &QPushButton::clicked, this, &QWidget::close);
    addMinBtn(resources + "/images/btn_min.png", true);
    addMaxBtn(resources + "/images/btn_max.png", true);

    ui->m_treeWidget->setStyleSheet(QString::fromLatin1(TreeStyle).arg(resources + "/images/Common/mark_open.png",
                                                                     resources + "/images/Common/mark_close.png"));
    ui->m_treeWidget->setAttribute(Qt::WA_MacShowFocusRect, false);

    m_scrollBar = new QZRScrollBar(Qt::Vertical, nullptr);
    QInitCtrlStyle::InitQZRScrollBar(m_scrollBar);
    ui->m_treeWidget->setVerticalScrollBar(m_scrollBar);
}

void MediaInfoDlg::resetControlLocation()
{
    ui->m_treeWidget->setGeometry(8, 38, width() - 16, height() - 46);
}

bool MediaInfoDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (QDialogKeys::handle(event, [this] { close(); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

void MediaInfoDlg::paintEvent(QPaintEvent *event)
{
    QZRDialogEx::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(QRect(8, 30, width() - 16, height() - 38), ContentColor);
}
