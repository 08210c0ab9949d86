// The control skins the generator draws have the shapes the controls' arithmetic needs.
#include <QImage>
#include <QtTest>

class tst_ControlSkins : public QObject
{
    Q_OBJECT

private slots:
    void shapes_data();
    void shapes();
};

void tst_ControlSkins::shapes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shape");

    QTest::newRow("track") << "/images/Common/slider_bottom.png" << "horizontal bar";
    QTest::newRow("fill") << "/images/Common/slider_top.png" << "horizontal bar";
    QTest::newRow("vertical track") << "/images/Common/slider_v_bottom.png" << "vertical bar";
    QTest::newRow("vertical fill") << "/images/Common/slider_v_top.png" << "vertical bar";
    QTest::newRow("thumb") << "/images/Common/slider_image.png" << "square frames";
    QTest::newRow("vertical thumb") << "/images/Common/slider_v_image.png" << "square frames";
    QTest::newRow("edit") << "/images/Common/edit_background.png" << "nine grid";
    QTest::newRow("spin up") << "/images/Settings/spinBox_up.png" << "frames";
    QTest::newRow("spin down") << "/images/Settings/spinBox_down.png" << "frames";
    QTest::newRow("combo") << "/images/common/cmb_common.png" << "frames";
    QTest::newRow("combo arrow") << "/images/common/btn_arrow.png" << "frames";
    QTest::newRow("radio on") << "/images/common/Edit_selections_yes.png" << "check";
    QTest::newRow("radio off") << "/images/common/Edit_selections_no.png" << "check";
    QTest::newRow("menu check on") << "/images/Common/btn_check_on.png" << "check";
    QTest::newRow("menu check off") << "/images/Common/btn_check_off.png" << "check";
    QTest::newRow("cover frame") << "/images/Settings/normal.png" << "cover frames";
}

void tst_ControlSkins::shapes()
{
    QFETCH(QString, path);
    QFETCH(QString, shape);

    const QImage image(ZR_ROOT_DIR "/Resources" + path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.width() % 2, 0);
    QCOMPARE(image.height() % 2, 0);
    const int w = image.width() / 2, h = image.height() / 2;
    if (shape == "horizontal bar") {
        // Caps as long as the bar is thick, and a middle between them.
        QVERIFY(w > 2 * h);
    } else if (shape == "vertical bar") {
        QVERIFY(h > 2 * w);
    } else if (shape.endsWith("frames")) {
        QCOMPARE(image.width() % 8, 0);
        const int frame = w / 4;
        if (shape == "square frames")
            QCOMPARE(frame, h);
        if (shape == "cover frames")
            QVERIFY(frame > 10 && h > 10);
        // The frames differ: each state has its own look.
        QVERIFY(image.copy(0, 0, image.width() / 4, image.height()) != image.copy(image.width() / 4, 0, image.width() / 4, image.height()));
    } else if (shape == "check") {
        QVERIFY(w <= 14 && h <= 14);
    } else {
        QVERIFY(w >= 6 && h >= 6);
    }
}

QTEST_MAIN(tst_ControlSkins)
#include "tst_controlskins.moc"
