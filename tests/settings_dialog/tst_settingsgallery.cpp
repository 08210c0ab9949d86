// The settings dialog's pages and the subtitle style dialog in a real X server at double density, in
// the program's look, for the documentation: the pictures go to <build>/screenshots, and also into the folder named by
// ZR_SCREENSHOT_DIR when set.
#include "playbackrig.h"
#include "screenshot.h"

#include "engine/qmediainfos.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qsubtitleform.h"
#include "settings_dialog/qsubtitlesettingdlg.h"
#include "settings_dialog/qvideoedittag.h"
#include "toolkit/qhorizontallistfrom.h"
#include "toolkit/qhorizontallistitem.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/zrapplicationlook.h"

#include <QtTest>

class tst_SettingsGallery : public QObject
{
    Q_OBJECT

private slots:
    void pages();
};

void tst_SettingsGallery::pages()
{
    // A medium with subtitles open, and a hub holding a few changes, as after some use.
    PlaybackRig rig;
    QVERIFY(rig.open("subs.mkv"));
    QMediaSettingManager &hub = *rig.hub;
    MediaSettting record;
    record.m_effect.m_brightness = 40;
    record.m_effect.m_contrast = 140;
    record.m_ratio = RatioType_16_9;
    record.m_audioDelay = 1.5;
    record.m_subtitle.m_delay = -0.5;
    record.m_subtitle.m_scaleX = record.m_subtitle.m_scaleY = 120;
    record.m_subtitle.m_position = 16;
    record.m_subtitle.m_fontColour = 0xFFFFE080;
    QMediaInfos prober;
    prober.setMediaInfo(QString(ZR_FIXTURES_DIR "/subs.mkv"));
    prober.getSubltListOrAudioList(record.m_subltItemList, record.m_audioTrackList, record.m_subtitleValue);
    record.m_subtitleValue.m_subtitleIndex = 1;
    hub.setMediaSettting(record);

    QSettingDlg dialog;
    QSubtitleSettingDlg style(&dialog);
    style.setSettingManager(&hub);
    dialog.setSettingManager(&hub);
    dialog.setSubtitleSettingDlg(&style);
    dialog.move(40, 40);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QHorizontalListFrom *effects = dialog.findChild<QHorizontalListFrom *>();
    QTest::mouseClick(effects->items().at(1), Qt::LeftButton);
    QList<QZRBaseButton *> tags = dialog.findChild<QVideoEditTag *>()->findChildren<QZRBaseButton *>();
    QCOMPARE(tags.size(), 4);

    const QList<QPair<int, QString>> shots{{0, "settings_video.png"}, {1, "settings_audio.png"},
                                           {2, "settings_subtitle.png"}, {3, "settings_sync.png"}};
    QList<QImage> pictures;
    for (const auto &shot : shots) {
        dialog.setSelectedTag(shot.first);
        QVERIFY(keepScreenshot(windowPicture(dialog, 20), shot.second));
        const QImage image = windowPicture(dialog, 0);
        // The chosen tag is underlined in the tag colour; the page below it lies on the dialog's grey.
        const qreal ratio = image.devicePixelRatio();
        const QRect tag = tags.at(shot.first)->geometry().translated(tags.at(shot.first)->parentWidget()->pos());
        QCOMPARE(image.pixelColor(QPoint(tag.center().x(), tag.top() + 21) * ratio), QColor(214, 42, 100));
        QCOMPARE(image.pixelColor(QPoint(12, 150) * ratio), QColor(56, 56, 56));
        pictures << image;
    }
    for (int i = 1; i < pictures.size(); ++i)
        QVERIFY(pictures.at(i) != pictures.at(i - 1));

    // The style dialog, brought up by the subtitle page's font button.
    dialog.setSelectedTag(2);
    dialog.findChild<QSubtitleForm *>()->findChild<QZRBaseButton *>("m_btnSetSubtitleFont")->click();
    QVERIFY(QTest::qWaitForWindowExposed(&style));
    QVERIFY(keepScreenshot(windowPicture(style, 20), "subtitle_style.png"));
    const QImage image = windowPicture(style, 0);
    QCOMPARE(image.pixelColor(QPoint(20, 100) * image.devicePixelRatio()), QColor(56, 56, 56));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ZrApplicationLook::install();
    tst_SettingsGallery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsgallery.moc"
