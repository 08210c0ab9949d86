// The synchronisation page on the real hub and playback object. Sends of the audio delay and of the
// subtitle style are counted at the codec boundary: the calls are wrapped at link time, recorded and
// passed on to the real library.
#include "playbackrig.h"

#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsynchrionizationform.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrlineeditex.h"

#include <QtTest>

namespace {
int g_audioDelaySends = 0;
int g_styleSends = 0;
}

extern "C" {
void __real_codecSetAudioDelay(uint64_t, int64_t);
void __real_codecBeginSubtitleStyle(uint64_t);
void __wrap_codecSetAudioDelay(uint64_t player, int64_t delay)
{
    ++g_audioDelaySends;
    __real_codecSetAudioDelay(player, delay);
}
void __wrap_codecBeginSubtitleStyle(uint64_t player)
{
    ++g_styleSends;
    __real_codecBeginSubtitleStyle(player);
}
}

class tst_QSynchrionizationForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void sliders_data();
    void sliders();
    void typedValues_data();
    void typedValues();
    void typedAfterClearing_data();
    void typedAfterClearing();
    void commaLocale();
    void menuChangeShows();

private:
    double delay(bool subtitle)
    {
        if (!subtitle)
            return m_rig.hub->getAudioDelay();
        return m_rig.read(&QMediaSettingManager::getSubtitleSettings).m_delay;
    }
    int sends(bool subtitle) const { return subtitle ? g_styleSends : g_audioDelaySends; }
    QZRBaseSlider *slider(bool subtitle)
    {
        return m_page->findChild<QZRBaseSlider *>(subtitle ? "m_sliderSubtitle" : "m_sliderAudio");
    }
    QZRLineEditEx *edit(bool subtitle)
    {
        return m_page->findChild<QZRLineEditEx *>(subtitle ? "m_leSubtitleValue" : "m_leAudioValue");
    }
    // Types over the whole text; nothing typed clears it.
    void type(QZRLineEditEx *edit, const QString &text)
    {
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
    }

    PlaybackRig m_rig;
    std::unique_ptr<QSynchrionizationForm> m_page;
};

void tst_QSynchrionizationForm::initTestCase()
{
    QVERIFY(m_rig.open("subs.mkv"));
}

void tst_QSynchrionizationForm::init()
{
    m_page = m_rig.page<QSynchrionizationForm>();
    g_audioDelaySends = 0;
    g_styleSends = 0;
}

void tst_QSynchrionizationForm::sliders_data()
{
    QTest::addColumn<bool>("subtitle");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("seconds");
    for (bool subtitle : {false, true}) {
        const char *which = subtitle ? "subtitle" : "audio";
        QTest::addRow("%s at the middle", which) << subtitle << 0.5 << "0.00" << 0.0;
        QTest::addRow("%s near the middle", which) << subtitle << 0.495 << "0.00" << 0.0;
        QTest::addRow("%s at the right end", which) << subtitle << 1.0 << "10.00" << 10.0;
        QTest::addRow("%s at the left end", which) << subtitle << 0.0 << "-10.00" << -10.0;
        QTest::addRow("%s at three quarters", which) << subtitle << 0.75 << "5.00" << 5.0;
        QTest::addRow("%s at 0.51", which) << subtitle << 0.51 << "0.20" << 0.2;
    }
}

void tst_QSynchrionizationForm::sliders()
{
    QFETCH(bool, subtitle);
    QFETCH(double, ratio);
    QFETCH(QString, text);
    QFETCH(double, seconds);
    emit slider(subtitle)->sendProgressValue(ratio);
    QCOMPARE(edit(subtitle)->text(), text);
    QVERIFY2(qAbs(delay(subtitle) - seconds) < 1e-9, qPrintable(QString::number(delay(subtitle))));
    QCOMPARE(delay(!subtitle), 0.0);
    // A slider moved to where the delay already stands sends nothing.
    QCOMPARE(sends(subtitle), seconds == 0.0 ? 0 : 1);
    QCOMPARE(sends(!subtitle), 0);
}

void tst_QSynchrionizationForm::typedValues_data()
{
    QTest::addColumn<bool>("subtitle");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("position");
    for (bool subtitle : {false, true}) {
        const char *which = subtitle ? "subtitle" : "audio";
        QTest::addRow("%s above the range", which) << subtitle << "15" << "10.00" << 10.0 << 20.0;
        QTest::addRow("%s below the range", which) << subtitle << "-12" << "-10.00" << -10.0 << 0.0;
        QTest::addRow("%s whole seconds", which) << subtitle << "3" << "3" << 3.0 << 13.0;
        QTest::addRow("%s a fraction", which) << subtitle << "2.5" << "2.5" << 2.5 << 12.5;
        QTest::addRow("%s a negative fraction", which) << subtitle << "-0.75" << "-0.75" << -0.75 << 9.25;
        QTest::addRow("%s cleared", which) << subtitle << "" << "0" << 0.0 << 10.0;
        // A sign or a point alone is no number yet: the delay stays as it was.
        QTest::addRow("%s a sign alone", which) << subtitle << "-" << "-" << 1.0 << 11.0;
        QTest::addRow("%s a point alone", which) << subtitle << "." << "." << 1.0 << 11.0;
    }
}

void tst_QSynchrionizationForm::typedValues()
{
    QFETCH(bool, subtitle);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, seconds);
    QFETCH(double, position);
    // One second set by the slider, so that clearing the edit is a change.
    slider(subtitle)->setValue(11.0);
    emit slider(subtitle)->sendProgressValue(0.55);
    QCOMPARE(delay(subtitle), 1.0);
    type(edit(subtitle), typed);
    QCOMPARE(edit(subtitle)->text(), shown);
    QCOMPARE(delay(subtitle), seconds);
    QCOMPARE(slider(subtitle)->value(), position);
    QCOMPARE(delay(!subtitle), 0.0);
    QCOMPARE(sends(!subtitle), 0);
}

void tst_QSynchrionizationForm::typedAfterClearing_data()
{
    QTest::addColumn<bool>("subtitle");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("seconds");
    for (bool subtitle : {false, true}) {
        const char *which = subtitle ? "subtitle" : "audio";
        QTest::addRow("%s negative", which) << subtitle << "-5" << -5.0;
        QTest::addRow("%s a fraction", which) << subtitle << ".5" << 0.5;
        QTest::addRow("%s whole seconds", which) << subtitle << "7" << 7.0;
    }
}

// A cleared edit shows "0"; what is typed next, key by key, takes its place.
void tst_QSynchrionizationForm::typedAfterClearing()
{
    QFETCH(bool, subtitle);
    QFETCH(QString, typed);
    QFETCH(double, seconds);
    type(edit(subtitle), "3");
    type(edit(subtitle), "");
    QCOMPARE(edit(subtitle)->text(), QString("0"));
    QCOMPARE(delay(subtitle), 0.0);
    QTest::keyClicks(edit(subtitle), typed);
    QCOMPARE(edit(subtitle)->text(), typed);
    QCOMPARE(delay(subtitle), seconds);
    QCOMPARE(slider(subtitle)->value(), seconds + 10);
}

void tst_QSynchrionizationForm::commaLocale()
{
    // A locale writing decimals with a comma changes nothing: the point is the separator.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QSynchrionizationForm page;
    page.setSettingManager(m_rig.hub.get());
    QZRLineEditEx *audio = page.findChild<QZRLineEditEx *>("m_leAudioValue");
    type(audio, "2,");
    QCOMPARE(audio->text(), QString("2"));
    QCOMPARE(m_rig.hub->getAudioDelay(), 2.0);
    // Nor is it taken as a group separator when it comes by other ways than the keyboard.
    emit audio->textEdited("1,5");
    QCOMPARE(m_rig.hub->getAudioDelay(), 2.0);
    type(audio, "2.5");
    QCOMPARE(m_rig.hub->getAudioDelay(), 2.5);
    QLocale::setDefault(QLocale::c());
}

void tst_QSynchrionizationForm::menuChangeShows()
{
    QSettingDlg dialog;
    dialog.setSettingManager(m_rig.hub.get());
    // The menus step the delays in both records; the dialog is told to show them.
    SubtitleSettings style;
    style.m_delay = 0.5;
    m_rig.hub->setSubtitleSettingsAll(style);
    m_rig.hub->setAudioDelayAll(-1.25);
    dialog.updateSync();
    QCOMPARE(dialog.findChild<QZRLineEditEx *>("m_leSubtitleValue")->text(), QString("0.50"));
    QCOMPARE(dialog.findChild<QZRBaseSlider *>("m_sliderSubtitle")->value(), 10.5);
    QCOMPARE(dialog.findChild<QZRLineEditEx *>("m_leAudioValue")->text(), QString("-1.25"));
    QCOMPARE(dialog.findChild<QZRBaseSlider *>("m_sliderAudio")->value(), 8.75);
}

QTEST_MAIN(tst_QSynchrionizationForm)
#include "tst_qsynchrionizationform.moc"
