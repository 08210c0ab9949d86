// The playlist's bottom bar: the mode button's cycle and look, the layout and the hidden buttons.
#include "playlist/qplaylistbtnwidget.h"
#include "toolkit/qzrbasebutton.h"

#include <QtTest>

namespace {

QZRBaseButton *button(QPlayListBtnWidget &bar, const char *name)
{
    return bar.findChild<QZRBaseButton *>(name);
}

}

class tst_QPlayListBtnWidget : public QObject
{
    Q_OBJECT

private slots:
    void setPlayModelShowsTheMode_data();
    void setPlayModelShowsTheMode();
    void clickCyclesTheModes();
    void buttonsAndLayout();
};

void tst_QPlayListBtnWidget::setPlayModelShowsTheMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<int>("next");
    QTest::newRow("0 Single Play") << 0 << "List Play" << 2;
    QTest::newRow("1 List Cycle") << 1 << "List Cycle" << 4;
    QTest::newRow("2 List Play") << 2 << "List Play" << 3;
    QTest::newRow("3 Single Loop") << 3 << "Single Loop" << 1;
    QTest::newRow("4 Shuffle Play") << 4 << "Shuffle Play" << 2;
    QTest::newRow("unknown") << 9 << "List Play" << 2;
}

// The program sets a mode without a word; a click moves on from it and says so once.
void tst_QPlayListBtnWidget::setPlayModelShowsTheMode()
{
    QFETCH(int, mode);
    QFETCH(QString, toolTip);
    QFETCH(int, next);
    QPlayListBtnWidget bar;
    QSignalSpy modes(&bar, &QPlayListBtnWidget::emitPlayModel);
    QZRBaseButton *modeButton = button(bar, "m_btnPlayMode");
    const QImage before = modeButton->grab().toImage();
    bar.setPlayModel(PlayModel(mode));
    QCOMPARE(modeButton->toolTip(), toolTip);
    QCOMPARE(modes.count(), 0);
    if (toolTip != "List Play")
        QVERIFY(modeButton->grab().toImage() != before);

    QTest::mouseClick(modeButton, Qt::LeftButton);
    QCOMPARE(modes.count(), 1);
    QCOMPARE(modes.at(0).at(0).value<PlayModel>(), PlayModel(next));
}

void tst_QPlayListBtnWidget::clickCyclesTheModes()
{
    QPlayListBtnWidget bar;
    QZRBaseButton *modeButton = button(bar, "m_btnPlayMode");
    QCOMPARE(modeButton->toolTip(), QString("List Play"));
    bar.setPlayModel(PlayModel_ListPlay);
    QSignalSpy modes(&bar, &QPlayListBtnWidget::emitPlayModel);
    QStringList tips;
    QList<int> emitted;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(modeButton, Qt::LeftButton);
        tips << modeButton->toolTip();
        emitted << int(modes.last().at(0).value<PlayModel>());
    }
    QCOMPARE(emitted, QList<int>({3, 1, 4, 2}));
    QCOMPARE(tips, QStringList({"Single Loop", "List Cycle", "Shuffle Play", "List Play"}));
}

void tst_QPlayListBtnWidget::buttonsAndLayout()
{
    QWidget host;
    QPlayListBtnWidget *bar = new QPlayListBtnWidget(&host);
    bar->resize(300, 40);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    QZRBaseButton *play = button(*bar, "m_btnPlay");
    QZRBaseButton *pause = button(*bar, "m_btnPause");
    QZRBaseButton *add = button(*bar, "m_btnAddFile");
    QZRBaseButton *remove = button(*bar, "m_btnDelete");
    QZRBaseButton *mode = button(*bar, "m_btnPlayMode");
    QVERIFY(!play->isVisible());
    QVERIFY(!pause->isVisible());
    QCOMPARE(add->toolTip(), QString("Add File(s)"));
    QCOMPARE(remove->toolTip(), QString("Delete file(s)"));

    // Skinned: each button takes the size of one frame of its image.
    QCOMPARE(mode->size(), QSize(24, 24));
    QCOMPARE(mode->geometry().topLeft(), QPoint(10, 8));
    QCOMPARE(remove->geometry().right(), 300 - 10 - 1);
    QCOMPARE(add->geometry().right(), remove->x() - 10 - 1);
    QCOMPARE(add->y() + add->height() / 2, 20);
    const QImage picture = bar->grab().toImage();
    QCOMPARE(picture.pixelColor(QPoint(150, 20) * picture.devicePixelRatio()), QColor(56, 56, 56));

    QSignalSpy added(bar, &QPlayListBtnWidget::emitAddFile);
    QSignalSpy deleted(bar, &QPlayListBtnWidget::emitDeleteFile);
    QSignalSpy played(bar, &QPlayListBtnWidget::emitPlay);
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(added.count(), 1);
    QCOMPARE(deleted.count(), 1);

    bar->setPlayState(false);
    QVERIFY(play->isVisible());
    QVERIFY(!pause->isVisible());
    QTest::mouseClick(play, Qt::LeftButton);
    QCOMPARE(played.count(), 1);
    bar->setPlayState(true);
    QVERIFY(!play->isVisible());
    QVERIFY(pause->isVisible());

    bar->resize(400, 40);
    QCOMPARE(remove->geometry().right(), 400 - 10 - 1);
}

QTEST_MAIN(tst_QPlayListBtnWidget)
#include "tst_qplaylistbtnwidget.moc"
