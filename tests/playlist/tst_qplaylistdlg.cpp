// The playlist panel on its real files: adding, the four ways of removing, the deferred restore,
// saving at the end, handing over real media, the play modes with the next and previous item,
// and the two roads of choosing a mode.
#include "player/qmediaplaywindowflags.h"
#include "playlist/qplaylistbtnwidget.h"
#include "playlist/qplaylistdlg.h"
#include "playlist/qplaylistitem.h"
#include "playlistlog.h"
#include "services/qsettingxml.h"
#include "shell/newmainwindowflags.h"
#include "storedlist.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrmenu.h"

#include <QActionGroup>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// A loaded machine may take minutes for what usually takes a moment.
const int Long = 180000;
const char *const ListFile = "PlayListFile.xml";
const unsigned long long Second = 1000000;
const QStringList NoFile = {"(no file)"};

enum Road { AddAndExit, RowButton, BarDelete, DeleteAll, ClearInvalid, NeverShown };

QStringList storedList()
{
    return storedPaths(ListFile, "PlayList_path_");
}

QStringList listed(const QPlayListDlg &panel)
{
    QStringList paths;
    for (const PlayItemInfo *item : *panel.getPlayItemInfoList())
        paths << item->path;
    return paths;
}

QPlayListItem *row(const QPlayListDlg &panel, const QString &path)
{
    for (QPlayListItem *item : panel.findChildren<QPlayListItem *>())
        if (item->getPlayItemInfo()->path == path)
            return item;
    return nullptr;
}

QZRBaseButton *barButton(const QPlayListDlg &panel, const char *name)
{
    return panel.findChild<QPlayListBtnWidget *>()->findChild<QZRBaseButton *>(name);
}

QZRMenu *playModeMenu(const QPlayListDlg &panel)
{
    for (QZRMenu *menu : panel.findChildren<QZRMenu *>())
        if (menu->title() == "Play Mode ")
            return menu;
    return nullptr;
}

QAction *modeAction(const QPlayListDlg &panel, const QString &text)
{
    for (QAction *action : panel.findChild<QActionGroup *>()->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

QString checkedMode(const QPlayListDlg &panel)
{
    QAction *checked = panel.findChild<QActionGroup *>()->checkedAction();
    return checked ? checked->text() : QString();
}

QString storedMode()
{
    return QSettingXml::getItemValue("PlayMode_Item", "PlayMode_Item_Value", "(none)");
}

}

class tst_QPlayListDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void persistence_data();
    void persistence();
    void restoreWaitsForTheFirstShow();
    void handOver_data();
    void handOver();
    void damagedListFile();
    void selectedPlayItemMarksOneRow();
    void nextAndPrevious_data();
    void nextAndPrevious();
    void shuffleNeverDrawsTheCurrentRow();
    void setPlayModelFromTheHost_data();
    void setPlayModelFromTheHost();
    void modeRoads_data();
    void modeRoads();

private:
    // Names of files in the test folder, or of media fixtures; markers such as "(no file)" stay.
    QString path(const QString &name) const;
    QStringList paths(const QStringList &names) const;
    void store(const QStringList &names);
    void add(QPlayListDlg &panel, const QString &name, unsigned long long duration = 0);
    // Shows the panel and waits for the stored list to be in.
    void showRestored(QPlayListDlg &panel, int count);
    QString selectedRowName(const QPlayListDlg &panel) const;

    QTemporaryDir m_dir;
};

void tst_QPlayListDlg::initTestCase()
{
    for (const char *name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4"}) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

void tst_QPlayListDlg::init()
{
    for (const QString &name : {QString(ListFile), QString(ListFile) + ".bad", QString("DefaultSetting.xml")})
        QFile::remove(appDataFile(name));
    NewMainWindowFlags::m_bMouseInMainWindow = true;
    NewMainWindowFlags::m_bFullscreen = false;
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
    QCursor::setPos(5, 5);
}

QString tst_QPlayListDlg::path(const QString &name) const
{
    if (name.startsWith('('))
        return name;
    if (name == "clip.mp4" || name == "notvideo.mp4")
        return QString(ZR_FIXTURES_DIR "/") + name;
    return m_dir.filePath(name);
}

QStringList tst_QPlayListDlg::paths(const QStringList &names) const
{
    QStringList result;
    for (const QString &name : names)
        result << path(name);
    return result;
}

void tst_QPlayListDlg::store(const QStringList &names)
{
    QList<PlayItemInfo> items;
    for (const QString &name : names)
        items << makeItem(path(name), Second);
    QList<PlayItemInfo *> pointers;
    for (PlayItemInfo &item : items)
        pointers << &item;
    QSettingXml::savePlayListInfoList(pointers);
}

void tst_QPlayListDlg::add(QPlayListDlg &panel, const QString &name, unsigned long long duration)
{
    panel.addFileInfoToPlayList(makeItem(path(name), duration));
}

void tst_QPlayListDlg::showRestored(QPlayListDlg &panel, int count)
{
    panel.setGeometry(100, 100, 321, 625);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel, Long));
    QTRY_COMPARE_WITH_TIMEOUT(panel.getPlayItemInfoList()->size(), count, Long);
}

QString tst_QPlayListDlg::selectedRowName(const QPlayListDlg &panel) const
{
    QStringList names;
    for (QPlayListItem *item : panel.findChildren<QPlayListItem *>())
        if (item->getMouseState() == QBaseItem::Selected)
            names << item->getFileName();
    return names.join(",");
}

void tst_QPlayListDlg::persistence_data()
{
    QTest::addColumn<int>("road");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("storedAtOnce");
    QTest::addColumn<QStringList>("storedAtExit");
    QTest::addColumn<bool>("currentNotice");

    QTest::newRow("adds in order, a repeat in place, written at exit")
        << int(AddAndExit) << QStringList() << "" << NoFile << QStringList({"a.mp4", "b.mp4", "c.mp4"}) << false;
    QTest::newRow("row delete button") << int(RowButton) << QStringList({"a.mp4", "b.mp4", "c.mp4"}) << "b.mp4"
                                       << QStringList({"a.mp4", "c.mp4"}) << QStringList({"a.mp4", "c.mp4"})
                                       << true;
    QTest::newRow("Delete on the pressed row") << int(BarDelete) << QStringList({"a.mp4", "b.mp4", "c.mp4"})
                                               << "b.mp4" << QStringList({"a.mp4", "c.mp4"})
                                               << QStringList({"a.mp4", "c.mp4"}) << true;
    QTest::newRow("Delete of the last row, empty at exit")
        << int(BarDelete) << QStringList({"a.mp4"}) << "a.mp4" << QStringList() << NoFile << true;
    QTest::newRow("Delete All") << int(DeleteAll) << QStringList({"a.mp4", "b.mp4", "c.mp4"}) << "b.mp4"
                                << NoFile << NoFile << true;
    QTest::newRow("Clear Invalid File") << int(ClearInvalid) << QStringList({"a.mp4", "gone.mp4", "c.mp4"})
                                        << "gone.mp4" << QStringList({"a.mp4", "c.mp4"})
                                        << QStringList({"a.mp4", "c.mp4"}) << false;
    QTest::newRow("never shown: stored list kept, host's item added")
        << int(NeverShown) << QStringList({"a.mp4", "b.mp4"}) << "" << QStringList({"a.mp4", "b.mp4"})
        << QStringList({"d.mp4", "a.mp4", "b.mp4"}) << false;
}

void tst_QPlayListDlg::persistence()
{
    QFETCH(int, road);
    QFETCH(QStringList, stored);
    QFETCH(QString, current);
    QFETCH(QStringList, storedAtOnce);
    QFETCH(QStringList, storedAtExit);
    QFETCH(bool, currentNotice);
    if (!stored.isEmpty())
        store(stored);

    auto panel = std::make_unique<QPlayListDlg>();
    PlayListLog log(panel.get());
    if (road == AddAndExit) {
        add(*panel, "a.mp4", Second);
        add(*panel, "b.mp4", 2 * Second);
        add(*panel, "c.mp4", 3 * Second);
        PlayItemInfo *b = panel->getPlayItemInfoFromList(path("b.mp4"));
        PlayItemInfo again = makeItem(path("b.mp4"), 9 * Second);
        again.Size_ = 4242;
        panel->addFileInfoToPlayList(again);
        QCOMPARE(listed(*panel), paths({"a.mp4", "b.mp4", "c.mp4"}));
        QCOMPARE(panel->getPlayItemInfoFromList(path("b.mp4")), b);
        QCOMPARE(b->Size_, 4242ull);
        QCOMPARE(row(*panel, b->path)->findChild<QLabel *>("m_lblTime")->text(), QString("00:00:09"));
        QCOMPARE(panel->findChildren<QPlayListItem *>().size(), 3);
    } else if (road == NeverShown) {
        add(*panel, "d.mp4");
        QCOMPARE(listed(*panel), paths({"d.mp4"}));
    } else {
        showRestored(*panel, stored.size());
        QCOMPARE(listed(*panel), paths(stored));
        panel->setSelectedPlayItem(panel->getPlayItemInfoFromList(path(current)), PlayListItemState_Playing);
        QPlayListItem *item = row(*panel, path(current));
        if (road == RowButton) {
            QCursor::setPos(item->mapToGlobal(QPoint(item->width() - 15, 15)));
            QZRBaseButton *remove = item->findChild<QZRBaseButton *>("m_btnDelete");
            QTRY_VERIFY_WITH_TIMEOUT(remove->isVisible(), Long);
            QTest::mouseClick(remove, Qt::LeftButton);
        } else if (road == BarDelete) {
            QTest::mouseClick(item, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
            QTest::mouseClick(barButton(*panel, "m_btnDelete"), Qt::LeftButton);
        } else if (road == DeleteAll) {
            QVERIFY(QMetaObject::invokeMethod(panel.get(), "deleteALLTriggered"));
        } else {
            QVERIFY(QMetaObject::invokeMethod(panel.get(), "clearInvalidFileTriggered"));
        }
    }

    // Removals are in the file at once; additions wait for the end.
    QCOMPARE(storedList(), paths(storedAtOnce));
    QCOMPARE(log.entries, currentNotice ? QStringList({"deleteCurrent:" + current}) : QStringList());
    QCOMPARE(panel->findChildren<QPlayListItem *>().size(), panel->getPlayItemInfoList()->size());
    QCOMPARE(panel->findChild<QScrollArea *>()->isVisible(),
             panel->isVisible() && !panel->getPlayItemInfoList()->isEmpty());
    if (!current.isEmpty()) {
        // The playing row is gone: nothing is current any more.
        log.entries.clear();
        panel->setPlayModel(PlayModel_ListCycle);
        panel->playNextMedia();
        panel->playPreviousMedia();
        QCOMPARE(log.entries, QStringList());
    }

    panel.reset();
    QCOMPARE(storedList(), paths(storedAtExit));
}

void tst_QPlayListDlg::restoreWaitsForTheFirstShow()
{
    store({"a.mp4", "b.mp4", "c.mp4"});
    QPlayListDlg panel;
    QCoreApplication::processEvents();
    QVERIFY(panel.getPlayItemInfoList()->isEmpty());

    QElapsedTimer clock;
    clock.start();
    panel.show();
    QVERIFY(panel.getPlayItemInfoList()->isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(listed(panel), paths({"a.mp4", "b.mp4", "c.mp4"}), Long);
    QVERIFY(clock.elapsed() >= 150);
    QVERIFY(panel.findChild<QScrollArea *>()->isVisible());
    QCOMPARE(row(panel, path("b.mp4"))->getFileName(), QString("b.mp4"));

    // A second show reads nothing again.
    panel.hide();
    panel.show();
    add(panel, "d.mp4");
    QTRY_COMPARE_WITH_TIMEOUT(listed(panel), paths({"a.mp4", "b.mp4", "c.mp4", "d.mp4"}), Long);
}

void tst_QPlayListDlg::handOver_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<QStringList>("told");

    const QStringList ab = {"a.mp4", "b.mp4"};
    const QStringList played = {"play:clip.mp4"};
    QTest::newRow("before the first show") << "before show" << ab << "clip.mp4"
                                           << QStringList({"a.mp4", "b.mp4", "clip.mp4"}) << played;
    QTest::newRow("before the first show, already stored")
        << "before show" << QStringList({"clip.mp4", "a.mp4"}) << "clip.mp4"
        << QStringList({"clip.mp4", "a.mp4"}) << played;
    QTest::newRow("text named .mp4 before the first show")
        << "before show" << ab << "notvideo.mp4" << ab << QStringList({"failure"});
    QTest::newRow("after the first show") << "after show" << ab << "clip.mp4"
                                          << QStringList({"a.mp4", "b.mp4", "clip.mp4"}) << played;
    QTest::newRow("after the first show, backslashes") << "after show, backslashes" << ab << "clip.mp4"
                                                       << QStringList({"a.mp4", "b.mp4", "clip.mp4"}) << played;
    QTest::newRow("text named .mp4 after the first show")
        << "after show" << ab << "notvideo.mp4" << ab << QStringList({"failure"});
    QTest::newRow("missing file after the first show")
        << "after show" << ab << "gone.mp4" << ab << QStringList({"failure"});
    QTest::newRow("panel never shown") << "never shown" << ab << "clip.mp4"
                                       << QStringList({"a.mp4", "b.mp4", "clip.mp4"}) << played;
}

void tst_QPlayListDlg::handOver()
{
    QFETCH(QString, when);
    QFETCH(QStringList, stored);
    QFETCH(QString, file);
    QFETCH(QStringList, listedAfter);
    QFETCH(QStringList, told);
    store(stored);
    auto panel = std::make_unique<QPlayListDlg>();
    PlayListLog log(panel.get());
    QString handed = path(file);

    if (when.startsWith("after show")) {
        showRestored(*panel, stored.size());
        if (when.endsWith("backslashes"))
            handed.replace('/', '\\');
        panel->setFileOpen(handed);
        // Played before the call returns.
        QCOMPARE(log.entries, told);
        QCOMPARE(listed(*panel), paths(listedAfter));
    } else {
        panel->setFileOpen(handed);
        QCOMPARE(log.entries, QStringList());
        QVERIFY(panel->getPlayItemInfoList()->isEmpty());
        if (when == "before show")
            panel->show();
        QTRY_COMPARE_WITH_TIMEOUT(listed(*panel), paths(listedAfter), Long);
        QCOMPARE(log.entries, told);
        QCOMPARE(panel->isVisible(), when == "before show");
    }
    if (told == QStringList({"play:clip.mp4"})) {
        const PlayItemInfo *clip = panel->getPlayItemInfoFromList(path("clip.mp4"));
        QVERIFY(clip->Duration_ >= Second);
        QVERIFY(clip->Size_ > 0);
        QVERIFY(!clip->File_isDVD);
    }

    panel.reset();
    QCOMPARE(storedList(), paths(listedAfter));
}

// A file that does not parse is kept aside, the list starts empty and the end writes a good file.
void tst_QPlayListDlg::damagedListFile()
{
    QVERIFY(damage(ListFile));
    {
        QPlayListDlg panel;
        panel.show();
        QTRY_VERIFY(QFile::exists(appDataFile(QString(ListFile) + ".bad")));
        QVERIFY(panel.getPlayItemInfoList()->isEmpty());
        add(panel, "a.mp4");
    }
    QCOMPARE(storedList(), paths({"a.mp4"}));
    QFile bad(appDataFile(QString(ListFile) + ".bad"));
    QVERIFY(bad.open(QIODevice::ReadOnly));
    QCOMPARE(bad.readAll(), QByteArray("<ROOTITEM><Path_item"));
}

void tst_QPlayListDlg::selectedPlayItemMarksOneRow()
{
    QPlayListDlg panel;
    for (const char *name : {"a.mp4", "b.mp4", "c.mp4"})
        add(panel, name, Second);
    QVERIFY(!panel.getPlayItemInfoFromList(""));
    QVERIFY(!panel.getPlayItemInfoFromList(path("d.mp4")));
    PlayItemInfo *b = panel.getPlayItemInfoFromList(path("b.mp4"));
    QVERIFY(b);

    panel.seletedAllItem();
    QCOMPARE(selectedRowName(panel), QString("a.mp4,b.mp4,c.mp4"));

    PlayItemInfo playing = makeItem(path("b.mp4"), 5 * Second);
    panel.setSelectedPlayItem(&playing, PlayListItemState_Paused);
    QCOMPARE(selectedRowName(panel), QString("b.mp4"));
    QCOMPARE(b->Duration_, 5 * Second);
    QCOMPARE(row(panel, b->path)->findChild<QLabel *>("m_lblTime")->text(), QString("00:00:05"));
    QList<int> states;
    for (const char *name : {"a.mp4", "b.mp4", "c.mp4"})
        states << int(row(panel, path(name))->getItemState());
    QCOMPARE(states, QList<int>({0, 2, 0}));

    panel.setSelectedPlayItem(nullptr, PlayListItemState_Playing);
    QCOMPARE(selectedRowName(panel), QString("b.mp4"));
    QCOMPARE(int(row(panel, b->path)->getItemState()), 2);
}

void tst_QPlayListDlg::nextAndPrevious_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("next");
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<int>("currentAfter");

    // One line per case: modes, rows, current row (-1: none), direction ("next", "previous" or
    // "both"), what the host is told ("shuffle": one other row, drawn), the current row after.
    struct Case
    {
        QList<int> modes;
        int rows;
        int current;
        QString direction;
        QStringList told;
        int after;
    };
    const QStringList none;
    const QStringList repeat = {"stop", "resume"};
    const QStringList last = {"stop", "message:Last File"};
    const QStringList first = {"stop", "message:First File"};
    const QList<Case> cases = {
        {{0, 1, 2, 3, 4, 5}, 0, -1, "both", none, -1},
        {{0, 1, 2, 3, 4, 5}, 1, -1, "both", none, -1},
        {{0, 1, 2, 3, 4, 5}, 3, -1, "both", none, -1},
        {{5}, 3, 1, "both", none, 1},
        // List Play, and Single Play that steps like it: stops at both ends.
        {{0, 2}, 1, 0, "next", last, 0},
        {{0, 2}, 1, 0, "previous", first, 0},
        {{0, 2}, 3, 0, "next", {"play:r1"}, 1},
        {{0, 2}, 3, 0, "previous", first, 0},
        {{0, 2}, 3, 1, "next", {"play:r2"}, 2},
        {{0, 2}, 3, 1, "previous", {"play:r0"}, 0},
        {{0, 2}, 3, 2, "next", last, 2},
        {{0, 2}, 3, 2, "previous", {"play:r1"}, 1},
        // List Cycle wraps; one row is played again.
        {{1}, 1, 0, "both", repeat, 0},
        {{1}, 3, 0, "next", {"play:r1"}, 1},
        {{1}, 3, 0, "previous", {"play:r2"}, 2},
        {{1}, 3, 1, "next", {"play:r2"}, 2},
        {{1}, 3, 1, "previous", {"play:r0"}, 0},
        {{1}, 3, 2, "next", {"play:r0"}, 0},
        {{1}, 3, 2, "previous", {"play:r1"}, 1},
        // Single Loop repeats wherever it is.
        {{3}, 1, 0, "both", repeat, 0},
        {{3}, 3, 0, "both", repeat, 0},
        {{3}, 3, 1, "both", repeat, 1},
        {{3}, 3, 2, "both", repeat, 2},
        // Shuffle Play: one row is repeated, otherwise another row is drawn.
        {{4}, 1, 0, "both", repeat, 0},
        {{4}, 3, 0, "both", {"shuffle"}, -2},
        {{4}, 3, 1, "both", {"shuffle"}, -2},
        {{4}, 3, 2, "both", {"shuffle"}, -2},
    };
    const char *const where[] = {"first", "middle", "last"};
    for (const Case &c : cases) {
        for (int mode : c.modes) {
            for (bool next : {true, false}) {
                if ((c.direction == "next" && !next) || (c.direction == "previous" && next))
                    continue;
                const QString position = c.current < 0 ? "none"
                    : c.rows == 1                        ? "only"
                                                         : where[c.current];
                QTest::addRow("mode %d, %d rows, current %s, %s", mode, c.rows, qPrintable(position),
                              next ? "next" : "previous")
                    << mode << c.rows << c.current << next << c.told << c.after;
            }
        }
    }
}

// The current row afterwards is read back through "List Cycle", which plays the row after it.
void tst_QPlayListDlg::nextAndPrevious()
{
    QFETCH(int, mode);
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(bool, next);
    QFETCH(QStringList, told);
    QFETCH(int, currentAfter);
    QPlayListDlg panel;
    for (int i = 0; i < rows; ++i)
        add(panel, QString("r%1").arg(i));
    if (current >= 0)
        panel.setSelectedPlayItem(panel.getPlayItemInfoList()->at(current), PlayListItemState_Playing);
    panel.setPlayModel(PlayModel(mode));
    PlayListLog log(&panel);

    if (next)
        panel.playNextMedia();
    else
        panel.playPreviousMedia();
    if (told == QStringList({"shuffle"})) {
        QCOMPARE(log.entries.size(), 1);
        QVERIFY(log.entries.at(0).startsWith("play:r"));
        currentAfter = log.entries.at(0).mid(6).toInt();
        QVERIFY(currentAfter != current);
    } else {
        QCOMPARE(log.entries, told);
    }

    log.entries.clear();
    panel.setPlayModel(PlayModel_ListCycle);
    panel.playNextMedia();
    if (currentAfter < 0)
        QCOMPARE(log.entries, QStringList());
    else if (rows == 1)
        QCOMPARE(log.entries, QStringList({"stop", "resume"}));
    else
        QCOMPARE(log.entries, QStringList({QString("play:r%1").arg((currentAfter + 1) % rows)}));
}

void tst_QPlayListDlg::shuffleNeverDrawsTheCurrentRow()
{
    QPlayListDlg panel;
    for (int i = 0; i < 4; ++i)
        add(panel, QString("r%1").arg(i));
    panel.setSelectedPlayItem(panel.getPlayItemInfoList()->at(0), PlayListItemState_Playing);
    panel.setPlayModel(PlayModel_ShufflePlay);
    PlayListLog log(&panel);
    int current = 0;
    QVector<int> drawn(4, 0);
    for (int i = 0; i < 200; ++i) {
        log.entries.clear();
        i % 2 ? panel.playNextMedia() : panel.playPreviousMedia();
        QCOMPARE(log.entries.size(), 1);
        const int row = log.entries.at(0).mid(6).toInt();
        QVERIFY2(row != current, qPrintable(QString("draw %1 repeated row %2").arg(i).arg(row)));
        ++drawn[row];
        current = row;
    }
    QVERIFY2(!drawn.contains(0), qPrintable(QString("rows drawn: %1 %2 %3 %4")
                                                 .arg(drawn[0]).arg(drawn[1]).arg(drawn[2]).arg(drawn[3])));
}

void tst_QPlayListDlg::setPlayModelFromTheHost_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("barTip");
    QTest::newRow("0, the fresh-install value") << 0 << "List Play" << "List Play";
    QTest::newRow("1") << 1 << "List Cycle" << "List Cycle";
    QTest::newRow("2") << 2 << "List Play" << "List Play";
    QTest::newRow("3") << 3 << "Single Loop" << "Single Loop";
    QTest::newRow("4") << 4 << "Shuffle Play" << "Shuffle Play";
    QTest::newRow("unknown") << 9 << "Single Loop" << "List Play";
}

// The host's start-up call shows the mode; nothing is saved or emitted.
void tst_QPlayListDlg::setPlayModelFromTheHost()
{
    QFETCH(int, mode);
    QFETCH(QString, checked);
    QFETCH(QString, barTip);
    QSettingXml::getItemValue("PlayMode_Item", "PlayMode_Item_Value", "");
    QPlayListDlg panel;
    QCOMPARE(int(panel.getPlayMode()), 1);
    PlayListLog log(&panel);
    panel.setPlayModel(PlayModel(mode));
    QCOMPARE(int(panel.getPlayMode()), mode);
    QCOMPARE(checkedMode(panel), checked);
    QCOMPARE(barButton(panel, "m_btnPlayMode")->toolTip(), barTip);
    QCOMPARE(log.entries, QStringList());
    QCOMPARE(storedMode(), QString("(none)"));

    QZRMenu *menu = playModeMenu(panel);
    QVERIFY(menu);
    QStringList offered;
    for (QAction *action : menu->actions()) {
        offered << action->text();
        QVERIFY(action->isCheckable());
    }
    QCOMPARE(offered, QStringList({"Single Loop", "List Play", "List Cycle", "Shuffle Play"}));
    QActionGroup *group = panel.findChild<QActionGroup *>();
    QVERIFY(group->isExclusive());
    QCOMPARE(group->actions().size(), 5);
    QVERIFY(modeAction(panel, "Single Play"));
}

void tst_QPlayListDlg::modeRoads_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("bar from List Play") << "bar" << 2 << "" << 3 << QStringList({"mode:3", "message:Single Loop"});
    QTest::newRow("bar from Single Play") << "bar" << 0 << "" << 2 << QStringList({"mode:2", "message:List Play"});
    QTest::newRow("bar from Shuffle Play") << "bar" << 4 << "" << 2 << QStringList({"mode:2", "message:List Play"});
    QTest::newRow("submenu Shuffle Play") << "submenu" << 2 << "Shuffle Play" << 4 << QStringList({"mode:4"});
    QTest::newRow("submenu List Cycle") << "submenu" << 4 << "List Cycle" << 1 << QStringList({"mode:1"});
    QTest::newRow("submenu Single Loop") << "submenu" << 0 << "Single Loop" << 3 << QStringList({"mode:3"});
}

// Both roads save the mode, show it on the bar and in the menu, and tell the host; only the bar
// adds a message.
void tst_QPlayListDlg::modeRoads()
{
    QFETCH(QString, road);
    QFETCH(int, start);
    QFETCH(QString, choice);
    QFETCH(int, chosen);
    QFETCH(QStringList, told);
    QSettingXml::getItemValue("PlayMode_Item", "PlayMode_Item_Value", "");
    QPlayListDlg panel;
    panel.setGeometry(100, 100, 321, 625);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel, Long));
    panel.setPlayModel(PlayModel(start));
    PlayListLog log(&panel);

    if (road == "bar") {
        QTest::mouseClick(barButton(panel, "m_btnPlayMode"), Qt::LeftButton);
    } else {
        QZRMenu *menu = playModeMenu(panel);
        menu->popup(panel.mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(menu, Long));
        QAction *action = modeAction(panel, choice);
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
        QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), Long);
    }

    const QString text = modeAction(panel, choice.isEmpty() ? told.last().mid(8) : choice)->text();
    QCOMPARE(log.entries, told);
    QCOMPARE(int(panel.getPlayMode()), chosen);
    QCOMPARE(storedMode(), QString::number(chosen));
    QCOMPARE(checkedMode(panel), text);
    QCOMPARE(barButton(panel, "m_btnPlayMode")->toolTip(), text);
}

QTEST_MAIN(tst_QPlayListDlg)
#include "tst_qplaylistdlg.moc"
