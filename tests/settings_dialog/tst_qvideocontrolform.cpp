// The video page on the real hub and playback object. Picture-effect sends are counted at the codec
// boundary: the call is wrapped at link time, recorded and passed on to the real library.
#include "playbackrig.h"

#include "settings_dialog/qvideocontrolform.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrradiobutton.h"

#include <QtTest>

namespace {
int g_effectSends = 0;
}

extern "C" {
void __real_codecSetContrast(uint64_t, int);
void __wrap_codecSetContrast(uint64_t player, int contrast)
{
    ++g_effectSends;
    __real_codecSetContrast(player, contrast);
}
}

namespace {

struct Row
{
    const char *slider;
    const char *edit;
    int EffectSettings::*field;
};

const Row Rows[] = {
    {"m_sliderBrightness", "m_leBrightnessValue", &EffectSettings::m_brightness},
    {"m_sliderContrast", "m_leConstrastValue", &EffectSettings::m_contrast},
    {"m_sliderSaturation", "m_leSaturationValue", &EffectSettings::m_saturation},
    {"m_sliderHue", "m_leHueValue", &EffectSettings::m_hue},
};

// The mean grey level of a quarter of a picture: 0 top left, 1 top right, 2 bottom left, 3 bottom right.
int quarterGrey(const QImage &picture, int quarter)
{
    if (picture.isNull())
        return -1;
    const int w = picture.width() / 2;
    const int h = picture.height() / 2;
    const QImage part = picture.copy((quarter % 2) * w, (quarter / 2) * h, w, h);
    return qGray(part.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0));
}

}

class tst_QVideoControlForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void sliders_data();
    void sliders();
    void typedValues_data();
    void typedValues();
    void loading_data();
    void loading();
    void radioGroups();
    void turnAndMirror_data();
    void turnAndMirror();
    void quarterTurnShows();

private:
    EffectSettings effects() { return m_rig.read(&QMediaSettingManager::getEffectSettings); }
    template <class T>
    T *control(const char *name)
    {
        return m_page->findChild<T *>(name);
    }

    PlaybackRig m_rig;
    std::unique_ptr<QVideoControlForm> m_page;
};

void tst_QVideoControlForm::initTestCase()
{
    QVERIFY(m_rig.open("clip.mp4"));
}

void tst_QVideoControlForm::init()
{
    m_page = m_rig.page<QVideoControlForm>();
    g_effectSends = 0;
}

void tst_QVideoControlForm::sliders_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("sends");
    // Contrast, saturation and hue send only a change; brightness always.
    const QList<QPair<double, QString>> ratios{{0, "0"}, {0.49, "98"}, {0.495, "100"}, {0.51, "102"}, {1, "200"}};
    const int expected[4][5] = {{-254, -5, 0, 5, 254}, {0, 98, 100, 104, 300}, {0, 98, 100, 102, 200}, {-180, -3, 0, 3, 180}};
    const int neutral[4] = {0, 100, 100, 0};
    for (int row = 0; row < 4; ++row) {
        for (int i = 0; i < ratios.size(); ++i) {
            const int value = expected[row][i];
            QTest::addRow("%s at %g", Rows[row].slider, ratios.at(i).first)
                << row << ratios.at(i).first << ratios.at(i).second << value << (row == 0 || value != neutral[row] ? 1 : 0);
        }
    }
}

void tst_QVideoControlForm::sliders()
{
    QFETCH(int, row);
    QFETCH(double, ratio);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(int, sends);
    emit control<QZRBaseSlider>(Rows[row].slider)->sendProgressValue(ratio);
    QCOMPARE(control<QZRLineEditEx>(Rows[row].edit)->text(), text);
    QCOMPARE(effects().*Rows[row].field, value);
    QCOMPARE(g_effectSends, sends);
}

void tst_QVideoControlForm::typedValues_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("slider");
    QTest::addColumn<int>("value");
    QTest::newRow("brightness above the range") << 0 << "250" << "250" << 200 << 254;
    QTest::newRow("contrast above the range") << 1 << "250" << "250" << 200 << 300;
    QTest::newRow("saturation with a leading zero") << 2 << "07" << "7" << 7 << 7;
    QTest::newRow("hue with a leading zero") << 3 << "07" << "7" << 7 << -167;
    QTest::newRow("contrast in the upper half") << 1 << "150" << "150" << 150 << 200;
    QTest::newRow("brightness cleared") << 0 << "" << "0" << 0 << -254;
    QTest::newRow("contrast cleared") << 1 << "" << "0" << 0 << 0;
    QTest::newRow("saturation cleared") << 2 << "" << "0" << 0 << 0;
    QTest::newRow("hue cleared") << 3 << "" << "0" << 0 << -180;
}

void tst_QVideoControlForm::typedValues()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, slider);
    QFETCH(int, value);
    QZRLineEditEx *edit = control<QZRLineEditEx>(Rows[row].edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(control<QZRBaseSlider>(Rows[row].slider)->value(), double(slider));
    QCOMPARE(effects().*Rows[row].field, value);
    // Every keystroke sends, changed or not.
    QCOMPARE(g_effectSends, 1 + typed.size());
}

void tst_QVideoControlForm::loading_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("brightness 2") << 0 << 2 << 100;
    QTest::newRow("brightness 254") << 0 << 254 << 199;
    QTest::newRow("brightness -255") << 0 << -255 << 0;
    QTest::newRow("contrast 300") << 1 << 300 << 200;
    QTest::newRow("contrast 101") << 1 << 101 << 100;
    QTest::newRow("contrast 60") << 1 << 60 << 60;
    QTest::newRow("saturation 150") << 2 << 150 << 150;
    QTest::newRow("hue -90") << 3 << -90 << 50;
}

void tst_QVideoControlForm::loading()
{
    QFETCH(int, row);
    QFETCH(int, stored);
    QFETCH(int, shown);
    EffectSettings record;
    record.*Rows[row].field = stored;
    m_rig.hub->setEffectSettings(record);
    g_effectSends = 0;
    m_page->loadingSetting();
    QCOMPARE(control<QZRBaseSlider>(Rows[row].slider)->value(), double(shown));
    QCOMPARE(control<QZRLineEditEx>(Rows[row].edit)->text(), QString::number(shown));
    // Loading sends no picture effect back.
    QCOMPARE(g_effectSends, 0);
    QCOMPARE(effects().*Rows[row].field, stored);
}

void tst_QVideoControlForm::radioGroups()
{
    QVector<int> aspects;
    QVector<int> fills;
    QVector<int> deinterlaces;
    connect(m_page.get(), &QVideoControlForm::emitAspectRatio, [&](RatioType r) { aspects << int(r); });
    connect(m_page.get(), &QVideoControlForm::emitFillMode, [&](int m) { fills << m; });
    connect(m_page.get(), &QVideoControlForm::emitDeinterlace, [&](int m) { deinterlaces << m; });

    control<QZRRadioButton>("m_rbtnRatio_4_3")->click();
    QCOMPARE(m_rig.hub->getAspectRatio(), RatioType_4_3);
    control<QZRRadioButton>("m_btnRatio_16_9")->click();
    QCOMPARE(m_rig.hub->getAspectRatio(), RatioType_16_9);
    QCOMPARE(aspects, QVector<int>({3, 2}));
    QVERIFY(!control<QZRRadioButton>("m_rbtnRatio_4_3")->isChecked());
    // The picture takes the aspect: 16:9 on the 4:3 pane.
    QCOMPARE(m_rig.pane->getVideoElementRect(), QRect(0, 60, 640, 360));

    const QList<QPair<const char *, int>> fillButtons{{"m_btnPanScan", 1}, {"m_btnFullScreen", 2}, {"m_btnLetterBox", 0}};
    for (const auto &button : fillButtons) {
        control<QZRRadioButton>(button.first)->click();
        QCOMPARE(m_rig.hub->getFillMode(), button.second);
    }
    QCOMPARE(fills, QVector<int>({1, 2, 0}));
    const QList<QPair<const char *, unsigned>> deinterlaceButtons{{"m_btnAuto", 1}, {"m_btnDisable", 0}, {"m_btnInternet", 2}};
    for (const auto &button : deinterlaceButtons) {
        control<QZRRadioButton>(button.first)->click();
        QCOMPARE(m_rig.hub->getDeinterlace(), button.second);
    }
    QCOMPARE(deinterlaces, QVector<int>({1, 0, 2}));

    // The menus change the hub; the page follows, and a value out of range leaves the choice.
    m_rig.hub->setAspectRatioAll(RatioType_3_4);
    m_rig.hub->setFillModeAll(1);
    m_rig.hub->setDeinterlaceAll(0);
    m_page->updateAspectRatio();
    m_page->updateFillMode();
    m_page->updateDeinterlace();
    QVERIFY(control<QZRRadioButton>("m_rbtnRatio_3_4")->isChecked());
    QVERIFY(control<QZRRadioButton>("m_btnPanScan")->isChecked());
    QVERIFY(control<QZRRadioButton>("m_btnDisable")->isChecked());
    m_rig.hub->setAspectRatio(RatioType(9));
    m_page->updateAspectRatio();
    QVERIFY(control<QZRRadioButton>("m_rbtnRatio_3_4")->isChecked());
    QCOMPARE(m_rig.hub->getAspectRatio(), RatioType(9));
}

void tst_QVideoControlForm::turnAndMirror_data()
{
    QTest::addColumn<int>("degree");
    QTest::addColumn<int>("mirror");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("turned");
    QTest::addColumn<int>("mirrored");
    QTest::newRow("anticlockwise") << 0 << 0 << "m_btnRotate_L_90" << 90 << 0;
    QTest::newRow("anticlockwise past a full turn") << 270 << 0 << "m_btnRotate_L_90" << 0 << 0;
    QTest::newRow("anticlockwise mirrored") << 0 << 1 << "m_btnRotate_L_90" << 270 << 1;
    QTest::newRow("clockwise") << 0 << 0 << "m_btnRotate_R_90" << 270 << 0;
    QTest::newRow("clockwise mirrored") << 0 << 1 << "m_btnRotate_R_90" << 90 << 1;
    QTest::newRow("flip horizontal") << 90 << 0 << "m_btnFlipH" << 90 << 1;
    QTest::newRow("flip horizontal back") << 90 << 1 << "m_btnFlipH" << 90 << 0;
    QTest::newRow("flip vertical") << 0 << 0 << "m_btnFlipV" << 180 << 1;
    QTest::newRow("flip vertical back") << 180 << 1 << "m_btnFlipV" << 0 << 0;
}

void tst_QVideoControlForm::turnAndMirror()
{
    QFETCH(int, degree);
    QFETCH(int, mirror);
    QFETCH(QString, button);
    QFETCH(int, turned);
    QFETCH(int, mirrored);
    m_rig.hub->setRotate(degree, mirror);
    control<QZRBaseButton>(button.toLatin1().constData())->click();
    QCOMPARE(m_rig.hub->getDegree(), turned);
    QCOMPARE(m_rig.hub->getMirror(), mirrored);
}

void tst_QVideoControlForm::quarterTurnShows()
{
    // White in the top left quarter only.
    PlaybackRig rig;
    QVERIFY(rig.open("pattern.mp4"));
    QVideoControlForm page;
    page.setSettingManager(rig.hub.get());
    QTRY_VERIFY_WITH_TIMEOUT(quarterGrey(drawnPicture(rig.view()), 0) > 150, 10000);
    QVERIFY(quarterGrey(drawnPicture(rig.view()), 2) < 60);

    // A quarter turn anticlockwise takes the top left to the bottom left.
    QZRBaseButton *anticlockwise = page.findChild<QZRBaseButton *>("m_btnRotate_L_90");
    anticlockwise->click();
    QTRY_VERIFY_WITH_TIMEOUT(quarterGrey(drawnPicture(rig.view()), 2) > 150
                                 && quarterGrey(drawnPicture(rig.view()), 0) < 60,
                             10000);
    // Four turns make a whole one.
    for (int i = 0; i < 3; ++i)
        anticlockwise->click();
    QCOMPARE(rig.hub->getDegree(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(quarterGrey(drawnPicture(rig.view()), 0) > 150
                                 && quarterGrey(drawnPicture(rig.view()), 2) < 60,
                             10000);
}

QTEST_MAIN(tst_QVideoControlForm)
#include "tst_qvideocontrolform.moc"
