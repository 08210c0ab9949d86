// The audio page on the real hub and playback object. Equaliser sends are counted at the codec
// boundary: the call is wrapped at link time, recorded and passed on to the real library.
#include "playbackrig.h"

#include "services/qianyutil.h"
#include "settings_dialog/qaudiocontrolform.h"
#include "settings_dialog/qsettingdlg.h"
#include "toolkit/qhorizontallistfrom.h"
#include "toolkit/qhorizontallistitem.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"

#include <QLabel>
#include <QtTest>

namespace {
int g_equaliserSends = 0;
}

extern "C" {
void __real_codecSetEqualizer(uint64_t, const double *, const double *, int);
void __wrap_codecSetEqualizer(uint64_t player, const double *frequencies, const double *gains, int count)
{
    ++g_equaliserSends;
    __real_codecSetEqualizer(player, frequencies, gains, count);
}
}

namespace {

const char *const Bands[] = {"60", "170", "310", "600", "1K", "3K", "6K", "12K", "14K", "16K"};
const QVector<double> Frequencies{60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};

struct Preset
{
    const char *name;
    const char *icon;
    QVector<double> gains;
};

const QList<Preset> &presets()
{
    static const QList<Preset> table{
        {"Normal", "Normal.png", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"Full Bass", "FullBass.png", {6, 6, 6, 3, 3, 0, -3, -6, -6, -6}},
        {"Full Treble", "FullTreBle.png", {6, 6, 6, -2, 1.5, 6, 8, 8, 8, 8}},
        {"Large Hall", "LargeHall.png", {6, 6, 3, 3, 0, -3, -3, -3, 0, 0}},
        {"Pop", "Pop.png", {-1.5, 1, 2, 2, 1, -1.5, -2, -2, -2, -2}},
        {"Rock", "Rock.png", {4, 2, -4, -5, -2, 2, 5, 6, 6, 6}},
        {"Classical", "Classical.png", {0, 0, 0, 0, 0, 0, -4, -4, -4, -6}},
        {"Party", "Party.png", {10, 4, 0, 0, 0, 0, 0, 0, 4, 4}},
        {"Dance", "Dance.png", {6, 3, 1, 0, 0, -3, -4, -4, 0, 0}},
        {"Ska", "Ska.png", {-1, -3, -2, 0, 2, 3, 4, 5, 6, 6}},
    };
    return table;
}

QVector<double> gainsOf(const EqualizeSettings &eq)
{
    return eq.m_count > 0 ? QVector<double>(eq.m_gains, eq.m_gains + eq.m_count) : QVector<double>();
}

QVector<double> frequenciesOf(const EqualizeSettings &eq)
{
    return eq.m_count > 0 ? QVector<double>(eq.m_frequencies, eq.m_frequencies + eq.m_count) : QVector<double>();
}

QStringList flatTexts()
{
    QStringList texts;
    for (int i = 0; i < 10; ++i)
        texts << "0.0";
    return texts;
}

QString named(const char *format, const char *band)
{
    return QString::asprintf(format, band);
}

}

class tst_QAudioControlForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void sliderRule_data();
    void sliderRule();
    void presetList();
    void choosingAPreset();
    void resetHighlightsNormal();
    void fewerBands_data();
    void fewerBands();
    void theSoundChanges();

private:
    EqualizeSettings equaliser() { return m_rig.read(&QMediaSettingManager::getEQSettings); }
    QStringList valueTexts()
    {
        QStringList texts;
        for (const char *band : Bands)
            texts << m_page->findChild<QLabel *>(named("m_lbl%sValue", band))->text();
        return texts;
    }
    QList<double> sliderValues()
    {
        QList<double> positions;
        for (const char *band : Bands)
            positions << m_page->findChild<QZRBaseSlider *>(named("m_slider%s", band))->value();
        return positions;
    }
    QHorizontalListFrom *list() { return m_page->findChild<QHorizontalListFrom *>(); }

    PlaybackRig m_rig;
    std::unique_ptr<QAudioControlForm> m_page;
};

// A 1 kHz tone, paused until the test that listens to it; one player holds the sound device.
void tst_QAudioControlForm::initTestCase()
{
    QVERIFY(m_rig.open("tone1k.mp3"));
}

void tst_QAudioControlForm::init()
{
    MediaSettting record;
    const QVector<double> flat(10, 0.0);
    record.m_equalize.setBands(Frequencies.constData(), flat.constData(), 10);
    m_page = m_rig.page<QAudioControlForm>(record);
    m_page->resize(840, 168);
    g_equaliserSends = 0;
}

void tst_QAudioControlForm::sliderRule_data()
{
    QTest::addColumn<QString>("slider");
    QTest::addColumn<int>("band");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("gain");
    const QList<QPair<const char *, int>> sliders{{"Preamp", -1}, {"60", 0}, {"1K", 4}, {"16K", 9}};
    for (const auto &slider : sliders) {
        const char *name = slider.first;
        const int band = slider.second;
        QTest::addRow("%s just inside the middle band", name) << name << band << 0.4901 << "0.0" << 0.0;
        QTest::addRow("%s just below the top of the middle band", name) << name << band << 0.5099 << "0.0" << 0.0;
        QTest::addRow("%s at 0.49", name) << name << band << 0.49 << "-0.2" << -0.24;
        QTest::addRow("%s at 0.51", name) << name << band << 0.51 << "0.2" << 0.24;
        QTest::addRow("%s at the bottom", name) << name << band << 0.0 << "-12.0" << -12.0;
        QTest::addRow("%s at the top", name) << name << band << 1.0 << "12.0" << 12.0;
        QTest::addRow("%s at 0.7", name) << name << band << 0.7 << "4.8" << 4.8;
    }
}

void tst_QAudioControlForm::sliderRule()
{
    QFETCH(QString, slider);
    QFETCH(int, band);
    QFETCH(double, ratio);
    QFETCH(QString, text);
    QFETCH(double, gain);
    emit m_page->findChild<QZRBaseSlider *>("m_slider" + slider)->sendProgressValue(ratio);
    QCOMPARE(m_page->findChild<QLabel *>("m_lbl" + slider + "Value")->text(), text);
    const EqualizeSettings eq = equaliser();
    QCOMPARE(eq.m_count, 10);
    const double stored = band < 0 ? eq.m_preamp : eq.m_gains[band];
    QVERIFY2(qAbs(stored - gain) < 1e-9, qPrintable(QString::number(stored)));
    // The other bands stay flat; the hub heard one move.
    QCOMPARE(gainsOf(eq).count(0.0), band < 0 || gain == 0.0 ? 10 : 9);
    QCOMPARE(g_equaliserSends, 1);
    // The list keeps its highlight.
    QCOMPARE(list()->getCurrentIndex(), 0);
}

void tst_QAudioControlForm::presetList()
{
    const QList<QHorizontalListItem *> items = list()->items();
    QCOMPARE(items.size(), presets().size());
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(items.at(i)->title(), QString(presets().at(i).name));
        // Joined at run time, so the scan of image literals cannot see these paths.
        const QString image = QIAnyUtil::getResourcePath() + "/images/AudioEffects/" + presets().at(i).icon;
        QVERIFY2(!QImage(image).isNull(), qPrintable(image));
    }
}

void tst_QAudioControlForm::choosingAPreset()
{
    const QList<QHorizontalListItem *> items = list()->items();
    for (int i : {7, 9, 2}) {
        QTest::mouseClick(items.at(i), Qt::LeftButton);
        const EqualizeSettings eq = equaliser();
        QCOMPARE(gainsOf(eq), presets().at(i).gains);
        QCOMPARE(frequenciesOf(eq), Frequencies);
        QCOMPARE(eq.m_preamp, 0.0);
        QStringList expected;
        for (double gain : presets().at(i).gains)
            expected << QString::number(gain, 'f', 1);
        QCOMPARE(valueTexts(), expected);
        QCOMPARE(m_page->findChild<QLabel *>("m_lblPreampValue")->text(), QString("0.0"));
        QCOMPARE(list()->getCurrentIndex(), i);
    }
    QCOMPARE(valueTexts().first(), QString("6.0"));
    QCOMPARE(sliderValues().at(3), 10.0);
    QCOMPARE(g_equaliserSends, 3);

    // A slider moved by hand keeps the highlight; the highlighted item pressed again sends nothing.
    emit m_page->findChild<QZRBaseSlider *>("m_slider60")->sendProgressValue(0.0);
    QCOMPARE(list()->getCurrentIndex(), 2);
    QTest::mouseClick(items.at(2), Qt::LeftButton);
    QCOMPARE(g_equaliserSends, 4);
    QCOMPARE(gainsOf(equaliser()).first(), -12.0);

    // Loading shows the hub's equaliser and sends nothing back.
    m_rig.hub->setSaveMediaSettting(false);
    g_equaliserSends = 0;
    m_page->loadingSetting();
    QCOMPARE(valueTexts(), flatTexts());
    QCOMPARE(sliderValues(), QList<double>({12, 12, 12, 12, 12, 12, 12, 12, 12, 12}));
    QCOMPARE(g_equaliserSends, 0);
    QCOMPARE(list()->getCurrentIndex(), 2);
}

void tst_QAudioControlForm::resetHighlightsNormal()
{
    QTest::mouseClick(list()->items().at(7), Qt::LeftButton);
    emit m_page->findChild<QZRBaseSlider *>("m_sliderPreamp")->sendProgressValue(1.0);
    m_page->updateSetting();
    QCOMPARE(list()->getCurrentIndex(), 0);
    QCOMPARE(list()->items().at(0)->getMouseState(), int(QHorizontalBaseItem::Selected));
    QCOMPARE(list()->items().at(7)->getMouseState(), int(QHorizontalBaseItem::Normal));
    QCOMPARE(gainsOf(equaliser()), QVector<double>(10, 0.0));
    QCOMPARE(equaliser().m_preamp, 0.0);
    QCOMPARE(valueTexts(), flatTexts());
    QCOMPARE(m_page->findChild<QLabel *>("m_lblPreampValue")->text(), QString("0.0"));
    QCOMPARE(m_page->findChild<QZRBaseSlider *>("m_sliderPreamp")->value(), 12.0);
}

void tst_QAudioControlForm::fewerBands_data()
{
    QTest::addColumn<QVector<double>>("gains");
    QTest::newRow("no bands") << QVector<double>();
    QTest::newRow("three bands") << QVector<double>({3, -2, 1});
}

void tst_QAudioControlForm::fewerBands()
{
    QFETCH(QVector<double>, gains);
    EqualizeSettings eq;
    const QVector<double> frequencies{100, 1000, 10000};
    eq.setBands(frequencies.constData(), gains.constData(), gains.size());
    m_rig.hub->setEQSettingsAll(eq);

    // Missing bands read as flat.
    m_page->loadingSetting();
    QStringList shown;
    for (int i = 0; i < 10; ++i)
        shown << QString::number(i < gains.size() ? gains.at(i) : 0.0, 'f', 1);
    QCOMPARE(valueTexts(), shown);

    // A move hands the hub ten bands: the ones it had, then the page's own frequencies.
    emit m_page->findChild<QZRBaseSlider *>("m_slider16K")->sendProgressValue(1.0);
    const EqualizeSettings moved = equaliser();
    QCOMPARE(moved.m_count, 10);
    QVector<double> expected(10, 0.0);
    std::copy(gains.begin(), gains.end(), expected.begin());
    expected[9] = 12;
    QCOMPARE(gainsOf(moved), expected);
    QVector<double> expectedFrequencies = Frequencies;
    std::copy(frequencies.begin(), frequencies.begin() + gains.size(), expectedFrequencies.begin());
    QCOMPARE(frequenciesOf(moved), expectedFrequencies);
    emit m_page->findChild<QZRBaseSlider *>("m_sliderPreamp")->sendProgressValue(0.25);
    QCOMPARE(equaliser().m_preamp, -6.0);
    QCOMPARE(gainsOf(equaliser()), expected);
}

void tst_QAudioControlForm::theSoundChanges()
{
    // The tone playing, listened to at its bin of the spectrum.
    PlaybackRig &rig = m_rig;
    rig.hub->setMediaSettting(MediaSettting());
    QSettingDlg dialog;
    dialog.setSettingManager(rig.hub.get());
    dialog.setSelectedTag(1);
    rig.player->StartPlay();
    const int tenDecibels = 8192;
    QTRY_VERIFY_WITH_TIMEOUT(rig.levelAt(1000) > 4 * tenDecibels, 10000);
    const int flat = rig.levelAt(1000);

    // -12 dB at the 1K band: more than 6 dB less of the tone.
    emit dialog.findChild<QZRBaseSlider *>("m_slider1K")->sendProgressValue(0.0);
    QTRY_VERIFY_WITH_TIMEOUT(rig.levelAt(1000) < flat - 6 * tenDecibels / 10, 10000);

    // The close button brings the flat equaliser back, and the tone with it.
    dialog.show();
    for (QZRBaseButton *button : dialog.findChildren<QZRBaseButton *>()) {
        if (button->toolTip() == "Close")
            button->click();
    }
    QCOMPARE(equaliser().m_count, 0);
    QTRY_VERIFY_WITH_TIMEOUT(rig.levelAt(1000) > flat - 2 * tenDecibels / 10, 10000);
}

QTEST_MAIN(tst_QAudioControlForm)
#include "tst_qaudiocontrolform.moc"
