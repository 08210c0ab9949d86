// The settings dialog's pages in a real X server at double density, for the documentation: the
// pictures go to <build>/screenshots, and also into the folder named by ZR_SCREENSHOT_DIR when set.
#include "engine/qmediasettingmanager.h"
#include "settings_dialog/qsettingdlg.h"
#include "settings_dialog/qvideoedittag.h"
#include "toolkit/qhorizontallistfrom.h"
#include "toolkit/qhorizontallistitem.h"
#include "toolkit/qzrbasebutton.h"

#include <QDir>
#include <QPainter>
#include <QtTest>

class tst_SettingsGallery : public QObject
{
    Q_OBJECT

private slots:
    void pages();
};

void tst_SettingsGallery::pages()
{
    // A hub holding a few changes, as after some use.
    QMediaSettingManager hub;
    MediaSettting record;
    record.m_effect.m_brightness = 40;
    record.m_effect.m_contrast = 140;
    record.m_ratio = RatioType_16_9;
    record.m_audioDelay = 1.5;
    record.m_subtitle.m_delay = -0.5;
    hub.setMediaSettting(record);

    QSettingDlg dialog;
    dialog.setSettingManager(&hub);
    dialog.move(40, 40);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QHorizontalListFrom *effects = dialog.findChild<QHorizontalListFrom *>();
    QTest::mouseClick(effects->items().at(1), Qt::LeftButton);
    QList<QZRBaseButton *> tags = dialog.findChild<QVideoEditTag *>()->findChildren<QZRBaseButton *>();
    QCOMPARE(tags.size(), 4);

    const QString build = QDir(QCoreApplication::applicationDirPath()).filePath("../screenshots");
    QVERIFY(QDir().mkpath(build));
    const QString extra = qEnvironmentVariable("ZR_SCREENSHOT_DIR");
    const QList<QPair<int, QString>> shots{{0, "settings_video.png"}, {1, "settings_audio.png"}, {3, "settings_sync.png"}};
    QList<QImage> pictures;
    for (const auto &shot : shots) {
        dialog.setSelectedTag(shot.first);
        const QPixmap grabbed = dialog.grab();
        const qreal ratio = grabbed.devicePixelRatio();
        QImage picture(QSize(dialog.width() + 40, dialog.height() + 40) * ratio, QImage::Format_ARGB32);
        picture.setDevicePixelRatio(ratio);
        picture.fill(QColor(30, 30, 30));
        {
            QPainter p(&picture);
            p.drawPixmap(20, 20, grabbed);
        }
        // The chosen tag is underlined in the tag colour; the page below it lies on the dialog's grey.
        const QImage image = grabbed.toImage();
        const QRect tag = tags.at(shot.first)->geometry().translated(tags.at(shot.first)->parentWidget()->pos());
        QCOMPARE(image.pixelColor(QPoint(tag.center().x(), tag.top() + 21) * ratio), QColor(214, 42, 100));
        QCOMPARE(image.pixelColor(QPoint(12, 150) * ratio), QColor(56, 56, 56));
        pictures << image;
        QVERIFY(picture.save(build + "/" + shot.second));
        if (!extra.isEmpty())
            QVERIFY(picture.save(extra + "/" + shot.second));
    }
    QVERIFY(pictures.at(0) != pictures.at(1) && pictures.at(1) != pictures.at(2));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    tst_SettingsGallery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsgallery.moc"
