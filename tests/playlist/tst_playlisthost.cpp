// A minimal host plays a list through a real playback object in a real window: the panel chooses
// the next item at each end of a clip by the play mode, and the history keeps what was played.
#include "engine/playmetatypes.h"
#include "engine/qmediaelementwindow.h"
#include "engine/zrhelper.h"
#include "engine/zrqplayobject.h"
#include "playlist/qplayhistorymanager.h"
#include "playlist/qplaylistdlg.h"
#include "playlistlog.h"
#include "storedlist.h"

#include <QtTest>

namespace {

const int PlayTimeout = 30000;

QString fixture(const char *name)
{
    return QString(ZR_FIXTURES_DIR "/") + name;
}

}

class tst_PlayListHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listPlaysThrough();
};

void tst_PlayListHost::initTestCase()
{
    registerPlayMetaTypes();
}

void tst_PlayListHost::listPlaysThrough()
{
    QMediaElementWindow pane;
    pane.setWindowFlags(Qt::FramelessWindowHint);
    pane.resize(320, 240);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    ZRQPlayObject player;
    player.setPlayWindows(&pane);
    QPlayHistoryManager history;
    history.initPlayHistoryList();
    QPlayListDlg panel;
    PlayListLog log(&panel);

    // The host's side of the wiring.
    connect(&panel, &QPlayListDlg::emitItemPlay, &player, [&](PlayItemInfo *item) {
        if (!item)
            return;
        QVERIFY(player.SetPlayFile(item, 0, 0));
        player.StartPlay();
        panel.setSelectedPlayItem(item, PlayListItemState_Playing);
        history.addFileInfoToPlayHistory(item);
    });
    connect(&panel, &QPlayListDlg::emitStopPlay, &player, &ZRQPlayObject::OnBtnStop);
    connect(&panel, &QPlayListDlg::emitPlay, &player, &ZRQPlayObject::StartPlay);
    connect(&player, &ZRQPlayObject::emitPlayCompleted, &panel, [&](PlayState state) {
        if (state == PlayState_Completed)
            panel.playNextMedia();
    }, Qt::QueuedConnection);

    for (const char *name : {"list1.mp4", "list2.mp4"}) {
        PlayItemInfo item;
        QVERIFY(ZRHelper::getMediaInfo(fixture(name), &item));
        panel.addFileInfoToPlayList(item);
    }
    panel.setPlayModel(PlayModel_ListPlay);
    panel.setFileOpen(fixture("list1.mp4"));
    const QStringList listPlay = {"play:list1.mp4", "play:list2.mp4", "stop", "message:Last File"};
    QTRY_COMPARE_WITH_TIMEOUT(log.entries, listPlay, PlayTimeout);
    QCOMPARE(player.getPlayerState(), PlayState_Stopped);

    // From the last clip, "List Cycle" goes on with the first.
    log.entries.clear();
    panel.setPlayModel(PlayModel_ListCycle);
    panel.setFileOpen(fixture("list2.mp4"));
    QTRY_COMPARE_WITH_TIMEOUT(log.entries, QStringList({"play:list2.mp4", "play:list1.mp4"}), PlayTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.getPlayerState(), PlayState_Playing, PlayTimeout);
    player.closePlay();

    QStringList played;
    for (const PlayItemInfo *item : *history.m_pPlayHistoryList)
        played << item->path;
    QCOMPARE(played, QStringList({fixture("list1.mp4"), fixture("list2.mp4")}));
    QCOMPARE(storedPaths("PlayHistoryFile.xml", "History_path_"), played);
}

QTEST_MAIN(tst_PlayListHost)
#include "tst_playlisthost.moc"
