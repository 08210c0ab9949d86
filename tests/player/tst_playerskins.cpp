// The player skins the generator draws have the shapes the player's controls and windows need.
#include <QImage>
#include <QtTest>

class tst_PlayerSkins : public QObject
{
    Q_OBJECT

private slots:
    void shapes_data();
    void shapes();
};

void tst_PlayerSkins::shapes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shape");
    // For nine grids the corner size, for bars the height of the control that shows them.
    QTest::addColumn<int>("limit");

    const char *const buttons[] = {"btn_play", "btn_Pause", "btn_stop", "btn_back", "btn_fast", "btn_previous",
                                   "btn_next", "btn_snapshoot", "btn_snapshot_menu", "btn_volume_on",
                                   "btn_volume_off", "btn_Full_Screen", "btn_back_Screen", "btn_setting",
                                   "btn_track", "btn_size_scale", "btn_size_wh", "btn_openFIle"};
    for (const char *name : buttons)
        QTest::newRow(name) << QString("/images/PlayerImage/%1.png").arg(name) << "frames" << 0;
    QTest::newRow("dialog button") << "/images/btn_common.png" << "frames" << 0;
    QTest::newRow("progress thumb") << "/images/PlayerImage/slider_play_image.png" << "square frames" << 0;
    // Bars as thick as the controls that show them, at most. The toolkit grows a control to its
    // track's pixel height: the sliders keep their heights, while the loading dialog's 4-pixel bar
    // becomes 8 high with the 4-pixel track in its middle ("bar, grown").
    QTest::newRow("progress track") << "/images/PlayerImage/slider_play_bottom.png" << "bar" << 14;
    QTest::newRow("progress fill") << "/images/PlayerImage/slider_play_top.png" << "bar" << 14;
    QTest::newRow("volume track") << "/images/PlayerImage/volume_bottom.png" << "bar" << 10;
    QTest::newRow("volume fill") << "/images/PlayerImage/volume_top.png" << "bar" << 10;
    QTest::newRow("loading track") << "/images/common/slider_bottom.png" << "bar, grown" << 4;
    QTest::newRow("loading fill") << "/images/common/slider_top.png" << "bar, grown" << 4;
    QTest::newRow("bar background") << "/images/PlayerImage/btn_background.png" << "nine grid" << 20;
    QTest::newRow("dialog background") << "/images/bg_1.png" << "nine grid" << 56;
    QTest::newRow("idle picture") << "/images/playIcon.png" << "picture" << 0;
    QTest::newRow("audio picture") << "/images/PlayerImage/bg_audio.png" << "picture" << 0;
}

void tst_PlayerSkins::shapes()
{
    QFETCH(QString, path);
    QFETCH(QString, shape);
    QFETCH(int, limit);

    const QImage image(ZR_ROOT_DIR "/Resources" + path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.width() % 2, 0);
    QCOMPARE(image.height() % 2, 0);
    const int w = image.width() / 2, h = image.height() / 2;
    if (shape.endsWith("frames")) {
        QCOMPARE(image.width() % 8, 0);
        if (shape == "square frames")
            QCOMPARE(w / 4, h);
        // Normal, hover and pressed look different.
        const int frame = image.width() / 4;
        QVERIFY(image.copy(0, 0, frame, image.height()) != image.copy(frame, 0, frame, image.height()));
        QVERIFY(image.copy(frame, 0, frame, image.height()) != image.copy(2 * frame, 0, frame, image.height()));
    } else if (shape.startsWith("bar")) {
        // Caps as long as the bar is thick, and a middle between them.
        QVERIFY(w > 2 * h);
        QVERIFY(h <= limit);
        QCOMPARE(image.height() > limit, shape.endsWith("grown"));
    } else if (shape == "nine grid") {
        // Room for four corners and a middle to stretch.
        QVERIFY(w > 2 * limit && h > 2 * limit);
    } else {
        QVERIFY(w >= 50 && h >= 50);
    }
}

QTEST_MAIN(tst_PlayerSkins)
#include "tst_playerskins.moc"
