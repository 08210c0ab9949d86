// The dialogs and popups as a person sees them: in a real X server at double density, with the
// program's own look installed as its entry installs it. No text of a label, button, radio button or
// tag is wider than the space it is drawn in, and every text stands out from what is drawn behind it
// as the rest of the skin does (4.5:1, WCAG AA), measured on the grabbed picture. The pictures of the
// windows the settings gallery does not take go to <build>/screenshots, and also into the folder named
// by ZR_SCREENSHOT_DIR when set.
#include "settings_dialog/playbackrig.h"

#include "engine/playmetatypes.h"
#include "engine/qmediainfos.h"
#include "player/qcapturesettingdlg.h"
#include "player/qloadingdlg.h"
#include "player/qmessageform.h"
#include "player/qmessageopacityform.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitlesettingdlg.h"
#include "shell/mediainfodlg.h"
#include "shell/newmainwindow.h"
#include "shell/qaboutdlg.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrlineedit.h"
#include "toolkit/qzrmenu.h"
#include "toolkit/qzrmessagebox.h"
#include "toolkit/qzrradiobutton.h"
#include "toolkit/zrapplicationlook.h"
#include "screenshot.h"
#include "textcontrast.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QLabel>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

// Text on a framed skin keeps this far from the control's edges.
const int FrameInset = 2;
// How long a window may take to come up on a loaded machine.
const int Patience = 120000;

bool isRichText(const QLabel *label)
{
    return label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
}

// One text a window draws: where it is drawn, how wide it needs to be and how wide its space is.
struct DrawnText
{
    QString what;
    QRect area;
    int needed = 0;
    int room = 0;
    bool inactive = false;
};

QString describe(const QWidget *widget, const QString &text)
{
    return QString("%1 \"%2\"").arg(widget->objectName().isEmpty() ? widget->metaObject()->className()
                                                                     : widget->objectName(),
                                     text);
}

// The text's space inside a control's own rectangle, narrowed by the inset where a framed skin is drawn.
QRect roomIn(const QWidget *widget, const QRect &textRect, int inset)
{
    return textRect.intersected(widget->rect().adjusted(inset, 0, -inset, 0));
}

// The part of the control that the widgets holding it leave in sight, in the control's coordinates.
QRect inSight(const QWidget *widget, const QWidget *window)
{
    QRect sight = widget->rect();
    for (const QWidget *holder = widget; holder != window; holder = holder->parentWidget())
        sight = sight.intersected(QRect(widget->mapFrom(holder->parentWidget(), QPoint()), holder->parentWidget()->size()));
    return sight;
}

// A row of a list that the list has scrolled partly or wholly out of sight.
bool scrolledAway(const QWidget *widget)
{
    for (const QWidget *holder = widget->parentWidget(); holder; holder = holder->parentWidget()) {
        if (auto *area = qobject_cast<const QAbstractScrollArea *>(holder))
            return !QRect(widget->mapFrom(area->viewport(), QPoint()), area->viewport()->size()).contains(widget->rect());
    }
    return false;
}

int widest(const QFontMetrics &metrics, const QString &text)
{
    int width = 0;
    for (const QString &line : text.split('\n'))
        width = qMax(width, metrics.horizontalAdvance(line));
    return width;
}

// Every visible text of the window's labels, buttons, radio buttons, tags and edits, in window
// coordinates; a text elided on purpose counts as clipped.
QList<DrawnText> drawnTexts(QWidget *window)
{
    QList<DrawnText> texts;
    const auto add = [&](QWidget *widget, const QString &text, QRect room, int needed) {
        room = room.intersected(inSight(widget, window));
        const QPoint origin = widget->mapTo(window, QPoint());
        DrawnText drawn{describe(widget, text), room.translated(origin), needed, room.width(), !widget->isEnabled()};
        if (text.endsWith(QChar(0x2026)))
            drawn.room = -1;
        texts << drawn;
    };
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        // Controls of other windows (popups, child dialogs) and controls placed wholly outside this one
        // are not seen with it.
        if (widget->window() != window || !widget->isVisibleTo(window) || inSight(widget, window).isEmpty()
            || scrolledAway(widget))
            continue;
        const QFontMetrics metrics(widget->font());
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            if (label->text().isEmpty())
                continue;
            const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                              -label->margin());
            int needed = widest(metrics, label->text());
            if (isRichText(label)) {
                QTextDocument document;
                document.setDefaultFont(label->font());
                document.setDocumentMargin(0);
                document.setHtml(label->text());
                needed = int(std::ceil(document.idealWidth()));
            } else if (label->wordWrap()) {
                needed = metrics.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, label->text()).width();
            }
            add(label, label->text(), room, needed);
        } else if (auto *radio = qobject_cast<QZRRadioButton *>(widget)) {
            if (radio->text().isEmpty())
                continue;
            const QRect textRect = radio->isButtonMode() ? static_cast<QZRBaseButtonDraw *>(radio)->textRect()
                                                         : static_cast<QZRBaseBoxDraw *>(radio)->textRect();
            add(radio, radio->text(), roomIn(radio, textRect, FrameInset), metrics.horizontalAdvance(radio->text()));
        } else if (auto *button = qobject_cast<QZRBaseButton *>(widget)) {
            if (button->text().isEmpty())
                continue;
            add(button, button->text(), roomIn(button, button->textRect(), FrameInset),
                metrics.horizontalAdvance(button->text()));
        } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
            if (check->text().isEmpty())
                continue;
            QStyleOptionButton option;
            option.initFrom(check);
            option.text = check->text();
            const QRect room = check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
            add(check, check->text(), room, metrics.horizontalAdvance(check->text()));
        } else if (auto *edit = qobject_cast<QZRLineEdit *>(widget)) {
            // An edit scrolls a text longer than itself: only what it shows counts.
            if (edit->text().isEmpty())
                continue;
            const QRect room = edit->contentsRect().marginsRemoved(edit->textMargins());
            add(edit, edit->text(), room, qMin(room.width(), metrics.horizontalAdvance(edit->text())));
        }
    }
    return texts;
}

}

class tst_DialogLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void textsFitAndStandOut_data();
    void textsFitAndStandOut();

private:
    // Shows the window of the row and returns it, with the texts it draws beside the controls' own.
    QWidget *show(const QString &window, QList<DrawnText> &extra);

    PlaybackRig m_rig;
    QMediaInfos m_prober;
    std::unique_ptr<QSettingDlg> m_settings;
    std::unique_ptr<QSubtitleSettingDlg> m_style;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<NewMainWindow> m_main;
};

void tst_DialogLook::initTestCase()
{
    registerPlayMetaTypes();
    // A medium with subtitles open, and a hub holding a few changes, as after some use.
    QVERIFY(m_rig.open("subs.mkv"));
    m_prober.setMediaInfo(QString(ZR_FIXTURES_DIR "/subs.mkv"));
    MediaSettting record;
    record.m_ratio = RatioType_16_9;
    m_prober.getSubltListOrAudioList(record.m_subltItemList, record.m_audioTrackList, record.m_subtitleValue);
    record.m_subtitleValue.m_subtitleIndex = 1;
    m_rig.hub->setMediaSettting(record);

    m_settings.reset(new QSettingDlg);
    m_style.reset(new QSubtitleSettingDlg(m_settings.get()));
    m_style->setSettingManager(m_rig.hub.get());
    m_settings->setSettingManager(m_rig.hub.get());
    m_settings->setSubtitleSettingDlg(m_style.get());
}

void tst_DialogLook::cleanupTestCase()
{
    m_main.reset();
    m_window.reset();
    m_style.reset();
    m_settings.reset();
}

QWidget *tst_DialogLook::show(const QString &window, QList<DrawnText> &extra)
{
    m_window.reset();
    const QStringList pages{"settings_video", "settings_audio", "settings_subtitle", "settings_sync"};
    QWidget *shown = nullptr;
    if (pages.contains(window)) {
        m_settings->setSelectedTag(pages.indexOf(window));
        shown = m_settings.get();
    } else if (window == "subtitle_style") {
        m_style->loadingSetting();
        shown = m_style.get();
    } else if (window == "media_information") {
        auto *dialog = new MediaInfoDlg;
        dialog->setMediaInfos(&m_prober);
        m_window.reset(dialog);
    } else if (window == "about") {
        m_window.reset(new QAboutDlg);
    } else if (window.startsWith("messagebox")) {
        auto *box = new QZRMessageBox;
        box->setTitle(QStringLiteral("ZRPlayer"));
        box->setButtonStyle(window == "messagebox_question" ? QZRMessageBox::YesNo : QZRMessageBox::Ok);
        box->setMessageIcon(window == "messagebox_question" ? QZRMessageBox::Help : QZRMessageBox::Warning);
        box->setMessage(window == "messagebox_question" ? QStringLiteral("Do you want to clear the play history?")
                                                        : QStringLiteral("File playback failed!"));
        m_window.reset(box);
    } else if (window == "message_popup") {
        auto *popup = new QMessageForm;
        popup->setMeassge(QStringLiteral("Aspect Ratio: 16:9"));
        m_window.reset(popup);
    } else if (window == "fading_message") {
        // As the player window shows a snapshot notice.
        auto *message = new QMessageOpacityForm;
        message->setMessageText(QStringLiteral("Snapshot successfully!"));
        message->setShowlink(0, 0, false);
        message->setCheckShow(false);
        m_window.reset(message);
    } else if (window == "loading") {
        auto *loading = new QLoadingDlg;
        loading->setAddFilePath(QStringLiteral("/home/user/Videos/holiday.mp4"));
        loading->setAddCount(QStringLiteral("3/12"));
        m_window.reset(loading);
    } else if (window == "snapshot_settings") {
        m_window.reset(new QCaptureSettingDlg);
    }
    if (m_window)
        shown = m_window.get();
    if (window == "help_menu") {
        m_main.reset(new NewMainWindow);
        m_main->show();
        // The Help menu is one of the toolkit's menus.
        for (QZRMenu *menu : m_main->findChildren<QZRMenu *>())
            if (menu->title() == "Help")
                shown = menu;
        if (!shown)
            return nullptr;
        auto *menu = static_cast<QMenu *>(shown);
        menu->popup(QPoint(40, 40));
        if (!QTest::qWaitForWindowExposed(menu, Patience))
            return nullptr;
        // Menu entries are drawn by the menu itself, each in its own row.
        for (QAction *action : menu->actions())
            if (!action->isSeparator())
                extra << DrawnText{"entry " + action->text(), menu->actionGeometry(action).adjusted(0, 1, 0, -1), 0,
                                   menu->actionGeometry(action).width(), false};
        return shown;
    }
    if (!shown)
        return nullptr;
    shown->move(40, 40);
    shown->show();
    shown->raise();
    if (!QTest::qWaitForWindowExposed(shown, Patience))
        return nullptr;
    // The first paint settles the text rectangles that are filled in at paint time.
    shown->grab();

    if (auto *box = qobject_cast<QZRMessageBox *>(shown)) {
        const QRect area = box->getTextRect();
        extra << DrawnText{"message " + box->getMessage(), area, widest(QFontMetrics(box->messageFont()), box->getMessage()),
                           area.width(), false};
    }
    if (auto *frame = dynamic_cast<QBaseDrawWidget *>(shown); frame && !frame->getDlgTitle().isEmpty()) {
        const int width = QFontMetrics(shown->font()).horizontalAdvance(frame->getDlgTitle());
        extra << DrawnText{"title " + frame->getDlgTitle(), QRect((shown->width() - width) / 2, 0, width, 36), width,
                           shown->width(), false};
    }
    return shown;
}

void tst_DialogLook::textsFitAndStandOut_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("pictured");
    // The settings gallery takes the pictures of the settings dialog and the subtitle style dialog, the
    // toolkit's picture tool those of the message box, the snapshot tests that of their dialog.
    for (const char *window : {"settings_video", "settings_audio", "settings_subtitle", "settings_sync",
                               "subtitle_style", "messagebox_warning", "messagebox_question", "snapshot_settings"})
        QTest::newRow(window) << QString(window) << false;
    for (const char *window : {"media_information", "about", "message_popup", "fading_message", "loading",
                               "help_menu"})
        QTest::newRow(window) << QString(window) << true;
}

void tst_DialogLook::textsFitAndStandOut()
{
    QFETCH(QString, window);
    QFETCH(bool, pictured);
    QList<DrawnText> texts;
    QWidget *shown = show(window, texts);
    QVERIFY(shown);
    texts << drawnTexts(shown);
    QVERIFY(!texts.isEmpty());
    const QImage shot = windowPicture(*shown, 0);
    QVERIFY(!pictured || keepScreenshot(windowPicture(*shown, 20), window + ".png"));

    QStringList clipped, faint;
    for (const DrawnText &text : texts) {
        if (text.needed > text.room)
            clipped << QString("%1 needs %2 of %3").arg(text.what).arg(text.needed).arg(text.room);
        // Inactive controls are outside the contrast rule, as WCAG has it.
        if (text.inactive)
            continue;
        const auto colours = backgroundAndInk(shot, text.area);
        const double ratio = contrastRatio(colours.first, colours.second);
        if (ratio < 4.5)
            faint << QString("%1 %2 on %3: %4:1")
                         .arg(text.what, QColor(colours.second).name(), QColor(colours.first).name())
                         .arg(ratio, 0, 'f', 2);
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("\n")));
    QVERIFY2(faint.isEmpty(), qPrintable(faint.join("\n")));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ZrApplicationLook::install();
    tst_DialogLook test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialoglook.moc"
