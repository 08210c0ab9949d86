// The playlist panel in a real X server at double density: a playing row, a selected row and the
// bottom bar. The picture goes to <build>/screenshots/playlist_panel.png, and also into the folder
// named by ZR_SCREENSHOT_DIR when that is set.
#include "playlist/qplaylistdlg.h"
#include "playlist/qplaylistitem.h"
#include "storedlist.h"

#include <QDir>
#include <QtTest>

class tst_PlayListPicture : public QObject
{
    Q_OBJECT

private slots:
    void panelPicture();
};

void tst_PlayListPicture::panelPicture()
{
    QPlayListDlg panel;
    panel.setWindowFlags(Qt::FramelessWindowHint);
    panel.setGeometry(100, 100, 321, 330);
    const QList<QPair<QString, unsigned long long>> clips = {
        {"/home/user/Videos/Holiday at the lake.mp4", 754},
        {"/home/user/Videos/Birthday party, the whole afternoon with everyone.mkv", 5423},
        {"/home/user/Music/Morning tone.mp3", 185},
        {"/home/user/Videos/Garden timelapse.mov", 61},
        {"/home/user/Videos/Concert.ts", 7261},
    };
    for (const auto &clip : clips)
        panel.addFileInfoToPlayList(makeItem(clip.first, clip.second * 1000000ull));
    panel.setPlayModel(PlayModel_ListCycle);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

    QList<QPlayListItem *> rows = panel.findChildren<QPlayListItem *>();
    std::sort(rows.begin(), rows.end(), [](QPlayListItem *a, QPlayListItem *b) { return a->y() < b->y(); });
    QCOMPARE(rows.size(), 5);
    panel.setSelectedPlayItem(rows.at(1)->getPlayItemInfo(), PlayListItemState_Playing);
    QTest::mouseClick(rows.at(3), Qt::LeftButton, Qt::NoModifier, QPoint(60, 15));
    QCOMPARE(rows.at(3)->getMouseState(), int(QBaseItem::Selected));
    QCOMPARE(rows.at(1)->getMouseState(), int(QBaseItem::Normal));

    const QPixmap shot = panel.grab();
    const QImage image = shot.toImage();
    const qreal ratio = shot.devicePixelRatio();
    QCOMPARE(ratio, 2.0);
    auto pixel = [&](QPoint at) { return image.pixelColor(at * ratio); };
    // The selected row is filled, the playing row's text is marked, the bar keeps its own colour.
    QCOMPARE(pixel(rows.at(3)->geometry().topLeft() + panel.findChild<QWidget *>("m_scrollAreaWidget")
                       ->mapTo(&panel, QPoint(4, 4))),
             QColor(60, 60, 60));
    QCOMPARE(pixel(QPoint(160, 330 - 20)), QColor(56, 56, 56));
    const QRect playing(rows.at(1)->mapTo(&panel, QPoint(0, 0)) * ratio, rows.at(1)->size() * ratio);
    bool marked = false;
    for (int y = playing.top(); y <= playing.bottom() && !marked; ++y)
        for (int x = playing.left(); x <= playing.right() && !marked; ++x)
            marked = image.pixelColor(x, y) == QColor(255, 31, 125);
    QVERIFY(marked);

    const QString build = QDir(QCoreApplication::applicationDirPath()).filePath("../screenshots");
    QVERIFY(QDir().mkpath(build));
    QVERIFY(shot.save(build + "/playlist_panel.png"));
    const QString extra = qEnvironmentVariable("ZR_SCREENSHOT_DIR");
    if (!extra.isEmpty())
        QVERIFY(shot.save(extra + "/playlist_panel.png"));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    tst_PlayListPicture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playlistpicture.moc"
