// The subtitle style dialog on the real hub and playback object, with the real colour and font
// dialogs, as it shows in the picture; and the settings dialog's part in it. Style sends are counted
// at the codec boundary: the call is wrapped at link time, recorded and passed on to the real library.
#include "modaldriver.h"
#include "playbackrig.h"

#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitleform.h"
#include "settings_dialog/qsubtitlesettingdlg.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrbuttonextend.h"
#include "toolkit/qzrdoublespinbox.h"
#include "toolkit/qzrlineeditex.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QTemporaryDir>
#include <QtTest>

namespace {
int g_styleSends = 0;
}

extern "C" {
void __real_codecBeginSubtitleStyle(uint64_t);
void __wrap_codecBeginSubtitleStyle(uint64_t player)
{
    ++g_styleSends;
    __real_codecBeginSubtitleStyle(player);
}
}

namespace {

const unsigned int White = 0xFFFFFFFF;
const unsigned int Red = 0xFFFF0000;

// The colour of a colour button's patch.
QColor patch(QZRButtonExtend *button)
{
    const QImage image = button->grab().toImage();
    return image.pixelColor(QPoint(12, 10) * image.devicePixelRatio());
}

}

class tst_QSubtitleSettingDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadingSendsNothing_data();
    void loadingSendsNothing();
    void colourInThePicture();
    void colourDialogClosedWithoutAChoice();
    void resetKeepsSizeAndLines();
    void fontDialog_data();
    void fontDialog();
    void spinBoxes();
    void keys();
    void pagesFollowKeepAndRevert();
    void stayOnTop();

private:
    SubtitleSettings style() { return m_rig.read(&QMediaSettingManager::getSubtitleSettings); }
    SubtitleSettings savedStyle() { return m_rig.read(&QMediaSettingManager::getSubtitleSettingsTemp); }
    template <class T>
    T *control(const char *name)
    {
        return m_style->findChild<T *>(name);
    }
    // Brings the style dialog up as the user does: the subtitle page's font button.
    void openStyle()
    {
        m_dialog->setSelectedTag(2);
        m_dialog->show();
        m_dialog->findChild<QSubtitleForm *>()->findChild<QZRBaseButton *>("m_btnSetSubtitleFont")->click();
    }
    void chooseColour(const char *button, QColor colour)
    {
        ModalDriver<QColorDialog> driver([&](QColorDialog *dialog) {
            if (colour.isValid()) {
                dialog->setCurrentColor(colour);
                static_cast<QDialog *>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
        control<QZRButtonExtend>(button)->click();
        QVERIFY(driver.answered());
    }
    int redText() { return PlaybackRig::textPixels(m_rig.picture(), -1, true); }
    int lightText() { return PlaybackRig::textPixels(m_rig.picture(), -1); }

    PlaybackRig m_rig;
    QTemporaryDir m_folder;
    std::unique_ptr<QSettingDlg> m_dialog;
    QSubtitleSettingDlg *m_style = nullptr;
};

void tst_QSubtitleSettingDlg::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QFile file(m_folder.filePath("styled.srt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:00,000 --> 00:00:04,000\nStyled line\n");
    file.close();
    QVERIFY(m_rig.open("subs.mkv"));
}

// The settings dialog with its style dialog, as the main window makes them, over a line of text
// from a subtitle file shown in the paused picture.
void tst_QSubtitleSettingDlg::init()
{
    m_rig.hub->setMediaSettting(MediaSettting());
    QList<SubltItemInfo> entries{{"Disable", ""}, {"(styled)[SRT]", m_folder.filePath("styled.srt").toStdString()}};
    m_rig.hub->setSubltItemInfoListAll(entries);
    SubtitleValue_Info selection;
    selection.m_embeddedCount = 5;
    selection.m_subtitleIndex = 7;
    selection.m_itemData = entries.last().m_itemData;
    m_rig.hub->setSubtitleAll(selection);

    m_dialog.reset(new QSettingDlg);
    m_style = new QSubtitleSettingDlg(m_dialog.get());
    m_style->setSettingManager(m_rig.hub.get());
    m_dialog->setSettingManager(m_rig.hub.get());
    m_dialog->setSubtitleSettingDlg(m_style);
    QTRY_VERIFY_WITH_TIMEOUT(lightText() > 100, 10000);
    g_styleSends = 0;
}

void tst_QSubtitleSettingDlg::cleanup()
{
    m_dialog.reset();
    m_style = nullptr;
}

void tst_QSubtitleSettingDlg::loadingSendsNothing_data()
{
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("outline");
    QTest::addColumn<double>("spacing");
    QTest::newRow("defaults") << 0.5 << 1.0 << 0.0;
    QTest::newRow("rounded by a little") << 0.505 << 1.004 << -2.996;
    QTest::newRow("rounded by a hundredth") << 0.495 << 2.005 << 3.005;
}

void tst_QSubtitleSettingDlg::loadingSendsNothing()
{
    QFETCH(double, offset);
    QFETCH(double, outline);
    QFETCH(double, spacing);
    SubtitleSettings record;
    record.m_shadowOffset = offset;
    record.m_outlineSize = outline;
    record.m_spacingH = spacing;
    record.m_spacingV = spacing;
    record.m_fontColour = 0xFF102030;
    m_rig.hub->setSubtitleSettingsAll(record);
    g_styleSends = 0;
    // The first showing loads, and so does the settings dialog's reload.
    openStyle();
    QVERIFY(m_style->isVisible());
    m_dialog->updateFrom();
    QCOMPARE(g_styleSends, 0);
    QCOMPARE(style().m_shadowOffset, offset);
    QCOMPARE(style().m_spacingV, spacing);
    QVERIFY(qAbs(control<QZRDoubleSpinBox>("m_dspOutlineSize")->value() - outline) <= 0.01);
    QCOMPARE(patch(control<QZRButtonExtend>("m_btnTextColor")).rgb(), QColor(0x10, 0x20, 0x30).rgb());
}

void tst_QSubtitleSettingDlg::colourInThePicture()
{
    openStyle();
    QVERIFY(m_style->isVisible());
    // Centred over the settings dialog.
    QTRY_COMPARE_WITH_TIMEOUT(m_style->geometry().center(), m_dialog->geometry().center(), 5000);

    chooseColour("m_btnTextColor", Qt::red);
    QCOMPARE(style().m_fontColour, Red);
    QCOMPARE(savedStyle().m_fontColour, White);
    QCOMPARE(patch(control<QZRButtonExtend>("m_btnTextColor")), QColor(Qt::red));
    QTRY_VERIFY_WITH_TIMEOUT(redText() > 100, 10000);

    // Cancel: white again in the hub, on the button and in the picture.
    control<QZRBaseButton>("m_btnCancel")->click();
    QVERIFY(!m_style->isVisible());
    QCOMPARE(style().m_fontColour, White);
    QCOMPARE(patch(control<QZRButtonExtend>("m_btnTextColor")), QColor(Qt::white));
    QTRY_VERIFY_WITH_TIMEOUT(redText() == 0 && lightText() > 100, 10000);

    // OK keeps red, also through the settings dialog's close button.
    openStyle();
    chooseColour("m_btnTextColor", Qt::red);
    control<QZRBaseButton>("m_btnOK")->click();
    QVERIFY(!m_style->isVisible());
    QCOMPARE(savedStyle().m_fontColour, Red);
    for (QZRBaseButton *button : m_dialog->findChildren<QZRBaseButton *>()) {
        if (button->toolTip() == "Close" && button->parentWidget() == m_dialog.get())
            button->click();
    }
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(style().m_fontColour, Red);
    QTRY_VERIFY_WITH_TIMEOUT(redText() > 100, 10000);

    // The close button of the style dialog reverts like Cancel.
    openStyle();
    chooseColour("m_btnOutlineColor", Qt::blue);
    QCOMPARE(style().m_outlineColour, 0xFF0000FFu);
    control<QZRBaseButton>("m_btnClose")->click();
    QVERIFY(!m_style->isVisible());
    QCOMPARE(style().m_outlineColour, 0xFF000000u);
    QCOMPARE(style().m_fontColour, Red);
}

void tst_QSubtitleSettingDlg::colourDialogClosedWithoutAChoice()
{
    openStyle();
    chooseColour("m_btnShadowColor", QColor());
    QCOMPARE(style().m_shadowColour, 0x80000000u);
    QCOMPARE(g_styleSends, 0);
}

void tst_QSubtitleSettingDlg::resetKeepsSizeAndLines()
{
    SubtitleSettings record;
    record.m_pointSize = 30;
    record.m_bold = 1;
    record.m_italic = 1;
    record.m_underline = 1;
    record.m_strikeOut = 1;
    record.m_fontName = "DejaVu Serif";
    record.m_fontColour = Red;
    record.m_shadowColour = 0xFF00FF00;
    record.m_outlineColour = 0xFF0000FF;
    record.m_shadowOffset = 3;
    record.m_outlineSize = 4;
    record.m_spacingH = 2;
    record.m_spacingV = -2;
    record.m_alpha = 200;
    record.m_position = 16;
    record.m_delay = -0.25;
    m_rig.hub->setSubtitleSettingsAll(record);
    openStyle();
    QCOMPARE(control<QZRBaseButton>("m_btnFont")->text(), QString("DejaVu Serif"));
    QTRY_VERIFY_WITH_TIMEOUT(redText() > 100, 10000);

    control<QZRBaseButton>("m_btnReset")->click();
    const SubtitleSettings after = style();
    const SubtitleSettings defaults;
    QCOMPARE(after.m_fontColour, defaults.m_fontColour);
    QCOMPARE(after.m_shadowColour, defaults.m_shadowColour);
    QCOMPARE(after.m_outlineColour, defaults.m_outlineColour);
    QCOMPARE(after.m_shadowOffset, defaults.m_shadowOffset);
    QCOMPARE(after.m_outlineSize, defaults.m_outlineSize);
    QCOMPARE(after.m_spacingH, 0.0);
    QCOMPARE(after.m_spacingV, 0.0);
    QCOMPARE(after.m_fontName, std::string());
    for (int kept : {after.m_pointSize - 30, after.m_bold - 1, after.m_italic - 1, after.m_underline - 1,
                     after.m_strikeOut - 1, after.m_alpha - 200, after.m_position - 16})
        QCOMPARE(kept, 0);
    QCOMPARE(after.m_delay, -0.25);
    QCOMPARE(control<QZRBaseButton>("m_btnFont")->text(), QString("Default"));
    QCOMPARE(control<QZRDoubleSpinBox>("m_dspShadowOff")->value(), 0.5);
    QCOMPARE(patch(control<QZRButtonExtend>("m_btnTextColor")), QColor(Qt::white));
    QTRY_VERIFY_WITH_TIMEOUT(redText() == 0 && lightText() > 100, 10000);
}

void tst_QSubtitleSettingDlg::fontDialog_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<int>("bold");
    QTest::newRow("bold") << "DejaVu Serif" << int(QFont::Bold) << false << 1;
    QTest::newRow("book, slanted") << "DejaVu Sans" << int(QFont::Normal) << true << 0;
}

void tst_QSubtitleSettingDlg::fontDialog()
{
    QFETCH(QString, family);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    QFETCH(int, bold);
    openStyle();
    QFont chosen(family, 24, weight, italic);
    chosen.setUnderline(true);
    {
        ModalDriver<QFontDialog> driver([&](QFontDialog *dialog) {
            dialog->setCurrentFont(chosen);
            static_cast<QDialog *>(dialog)->accept();
        });
        control<QZRBaseButton>("m_btnFont")->click();
        QVERIFY(driver.answered());
    }
    const SubtitleSettings after = style();
    QCOMPARE(QString::fromStdString(after.m_fontName), family);
    QCOMPARE(after.m_pointSize, 24);
    QCOMPARE(after.m_bold, bold);
    QCOMPARE(after.m_italic, int(italic));
    QCOMPARE(after.m_underline, 1);
    QCOMPARE(after.m_strikeOut, 0);
    QCOMPARE(control<QZRBaseButton>("m_btnFont")->text(), family);
    QCOMPARE(control<QZRBaseButton>("m_btnFont")->font().family(), family);

    // A font dialog closed without confirming changes nothing.
    g_styleSends = 0;
    {
        ModalDriver<QFontDialog> driver([](QFontDialog *dialog) {
            dialog->setCurrentFont(QFont("DejaVu Sans Mono", 9));
            dialog->reject();
        });
        control<QZRBaseButton>("m_btnFont")->click();
        QVERIFY(driver.answered());
    }
    QCOMPARE(QString::fromStdString(style().m_fontName), family);
    QCOMPARE(g_styleSends, 0);
}

void tst_QSubtitleSettingDlg::spinBoxes()
{
    openStyle();
    const QList<QPair<const char *, double SubtitleSettings::*>> boxes{
        {"m_dspShadowOff", &SubtitleSettings::m_shadowOffset},
        {"m_dspOutlineSize", &SubtitleSettings::m_outlineSize},
        {"m_dspSpacingH", &SubtitleSettings::m_spacingH},
        {"m_dspSpacingV", &SubtitleSettings::m_spacingV},
    };
    for (const auto &box : boxes) {
        QZRDoubleSpinBox *spinBox = control<QZRDoubleSpinBox>(box.first);
        const double before = style().*box.second;
        spinBox->stepUp();
        QCOMPARE(style().*box.second, before + 0.1);
    }
    QCOMPARE(g_styleSends, 4);
}

void tst_QSubtitleSettingDlg::keys()
{
    openStyle();
    QTest::keyClick(m_style, Qt::Key_Escape);
    QVERIFY(m_style->isVisible());
    chooseColour("m_btnTextColor", Qt::red);
    QTest::keyClick(m_style, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!m_style->isVisible());
    QCOMPARE(style().m_fontColour, Red);
    QCOMPARE(savedStyle().m_fontColour, White);
}

void tst_QSubtitleSettingDlg::pagesFollowKeepAndRevert()
{
    // Values of the style record on the subtitle and synchronisation pages, changed live.
    m_dialog->show();
    emit m_dialog->findChild<QZRBaseSlider *>("m_sliderAlpha")->sendProgressValue(0.5);
    emit m_dialog->findChild<QZRBaseSlider *>("m_sliderSubtitle")->sendProgressValue(0.75);
    QCOMPARE(style().m_alpha, 127);
    QCOMPARE(style().m_delay, 5.0);

    // The style dialog's Cancel reverts the whole style: the pages show it.
    openStyle();
    control<QZRBaseButton>("m_btnCancel")->click();
    QCOMPARE(style().m_alpha, 255);
    QCOMPARE(style().m_delay, 0.0);
    QCOMPARE(m_dialog->findChild<QZRLineEditEx *>("m_leAlphaValue")->text(), QString("100"));
    QCOMPARE(m_dialog->findChild<QZRBaseSlider *>("m_sliderAlpha")->value(), 200.0);
    QCOMPARE(m_dialog->findChild<QZRLineEditEx *>("m_leSubtitleValue")->text(), QString("0.00"));
    QCOMPARE(m_dialog->findChild<QZRBaseSlider *>("m_sliderSubtitle")->value(), 10.0);

    // Its OK keeps them, and the pages still show them.
    emit m_dialog->findChild<QZRBaseSlider *>("m_sliderAlpha")->sendProgressValue(0.5);
    openStyle();
    control<QZRBaseButton>("m_btnOK")->click();
    QCOMPARE(savedStyle().m_alpha, 127);
    // Loaded, 127 reads as 49 %.
    QCOMPARE(m_dialog->findChild<QZRLineEditEx *>("m_leAlphaValue")->text(), QString("49"));
}

void tst_QSubtitleSettingDlg::stayOnTop()
{
    // Without a style dialog nothing happens.
    QSettingDlg alone;
    alone.setFontSettingDlgTOTop(true);

    m_dialog->setFontSettingDlgTOTop(true);
    QVERIFY(m_style->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!m_style->isVisible());
    openStyle();
    QVERIFY(m_style->isVisible());
    // A shown dialog stays shown when its flags change.
    m_dialog->setFontSettingDlgTOTop(false);
    QVERIFY(!(m_style->windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(m_style->windowFlags() & (Qt::Dialog | Qt::FramelessWindowHint), Qt::Dialog | Qt::FramelessWindowHint);
    QVERIFY(m_style->isVisible());
    m_dialog->setFontSettingDlgTOTop(true);
    QVERIFY(m_style->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(m_style));
}

QTEST_MAIN(tst_QSubtitleSettingDlg)
#include "tst_qsubtitlesettingdlg.moc"
