// The play history on its real file: newest first, ten stored, one entry a path, clearing,
// removing, missing files and a damaged file.
#include "playlist/qplayhistorymanager.h"
#include "services/qsettingxml.h"
#include "storedlist.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const char *const HistoryFile = "PlayHistoryFile.xml";

QStringList storedHistory()
{
    return storedPaths(HistoryFile, "History_path_");
}

QStringList listed(const QPlayHistoryManager &manager)
{
    QStringList paths;
    for (const PlayItemInfo *item : *manager.m_pPlayHistoryList)
        paths << item->path;
    return paths;
}

}

class tst_QPlayHistoryManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void newestTenAreStored();
    void samePathTwiceIsOneEntry();
    void addingOneOfItsOwnRecords();
    void clearRemovesTheFile();
    void deleteRemovesFromListAndFile_data();
    void deleteRemovesFromListAndFile();
    void clearInvalidFileKeepsExistingOnes();
    void damagedFileGivesAnEmptyHistory();
    void destructionWritesNothing();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void add(QPlayHistoryManager &manager, const QString &name, unsigned long long duration = 0)
    {
        PlayItemInfo item = makeItem(path(name), duration);
        manager.addFileInfoToPlayHistory(&item);
    }

    QTemporaryDir m_dir;
};

void tst_QPlayHistoryManager::init()
{
    QFile::remove(appDataFile(HistoryFile));
    QFile::remove(appDataFile(QString(HistoryFile) + ".bad"));
}

void tst_QPlayHistoryManager::newestTenAreStored()
{
    QStringList newestFirst;
    {
        QPlayHistoryManager manager;
        manager.initPlayHistoryList();
        for (int i = 0; i < 12; ++i) {
            add(manager, QString("clip%1.mp4").arg(i), 1000000ull * (i + 1));
            newestFirst.prepend(path(QString("clip%1.mp4").arg(i)));
        }
        QCOMPARE(listed(manager), newestFirst);
        QCOMPARE(storedHistory(), newestFirst.mid(0, 10));
    }

    QPlayHistoryManager restarted;
    restarted.initPlayHistoryList();
    QCOMPARE(listed(restarted), newestFirst.mid(0, 10));
    const PlayItemInfo *newest = restarted.m_pPlayHistoryList->first();
    QCOMPARE(newest->Duration_, 12000000ull);
    QCOMPARE(newest->Filename, QString("clip11.mp4"));
}

void tst_QPlayHistoryManager::samePathTwiceIsOneEntry()
{
    QPlayHistoryManager manager;
    manager.initPlayHistoryList();
    add(manager, "a.mp4", 1);
    add(manager, "b.mp4");
    add(manager, "a.mp4", 2);
    QCOMPARE(listed(manager), QStringList({path("a.mp4"), path("b.mp4")}));
    QCOMPARE(manager.m_pPlayHistoryList->first()->Duration_, 2ull);
    QCOMPARE(storedHistory(), QStringList({path("a.mp4"), path("b.mp4")}));
}

// The recent-files menu may hand back a record of the list itself.
void tst_QPlayHistoryManager::addingOneOfItsOwnRecords()
{
    QPlayHistoryManager manager;
    manager.initPlayHistoryList();
    add(manager, "a.mp4", 7);
    add(manager, "b.mp4");
    manager.addFileInfoToPlayHistory(manager.m_pPlayHistoryList->at(1));
    QCOMPARE(listed(manager), QStringList({path("a.mp4"), path("b.mp4")}));
    QCOMPARE(manager.m_pPlayHistoryList->first()->Duration_, 7ull);
}

void tst_QPlayHistoryManager::clearRemovesTheFile()
{
    QPlayHistoryManager manager;
    manager.initPlayHistoryList();
    add(manager, "a.mp4");
    add(manager, "b.mp4");
    manager.clearPlayHistoryInfo();
    QVERIFY(manager.m_pPlayHistoryList->isEmpty());
    QCOMPARE(storedHistory(), QStringList({"(no file)"}));
    add(manager, "c.mp4");
    QCOMPARE(storedHistory(), QStringList({path("c.mp4")}));
}

void tst_QPlayHistoryManager::deleteRemovesFromListAndFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<QStringList>("storedAfter");
    QTest::newRow("listed and stored") << "a.mp4" << QStringList({"b.mp4"}) << QStringList({"b.mp4", "x.mp4"});
    QTest::newRow("only stored") << "x.mp4" << QStringList({"b.mp4", "a.mp4"}) << QStringList({"b.mp4", "a.mp4"});
    QTest::newRow("nowhere") << "z.mp4" << QStringList({"b.mp4", "a.mp4"})
                             << QStringList({"b.mp4", "a.mp4", "x.mp4"});
}

// "x.mp4" is in the file but, written behind the manager's back, not in its list.
void tst_QPlayHistoryManager::deleteRemovesFromListAndFile()
{
    QFETCH(QString, name);
    QFETCH(QStringList, listedAfter);
    QFETCH(QStringList, storedAfter);
    QPlayHistoryManager manager;
    manager.initPlayHistoryList();
    add(manager, "a.mp4");
    add(manager, "b.mp4");
    PlayItemInfo outside = makeItem(path("x.mp4"));
    QSettingXml::saveHistoryInfoList({&outside});
    QCOMPARE(storedHistory(), QStringList({path("b.mp4"), path("a.mp4"), path("x.mp4")}));

    manager.deleteFileInfoFromPlayHistory(path(name));
    QStringList listedPaths, storedPathsAfter;
    for (const QString &n : listedAfter)
        listedPaths << path(n);
    for (const QString &n : storedAfter)
        storedPathsAfter << path(n);
    QCOMPARE(listed(manager), listedPaths);
    QCOMPARE(storedHistory(), storedPathsAfter);
}

void tst_QPlayHistoryManager::clearInvalidFileKeepsExistingOnes()
{
    QFile kept(path("kept.mp4"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();
    QPlayHistoryManager manager;
    manager.initPlayHistoryList();
    add(manager, "gone1.mp4");
    add(manager, "kept.mp4");
    add(manager, "gone2.mp4");
    manager.clearInvalidFile();
    QCOMPARE(listed(manager), QStringList({path("kept.mp4")}));
    QCOMPARE(storedHistory(), QStringList({path("kept.mp4")}));
}

void tst_QPlayHistoryManager::damagedFileGivesAnEmptyHistory()
{
    QVERIFY(damage(HistoryFile));
    QPlayHistoryManager manager;
    manager.initPlayHistoryList();
    QVERIFY(manager.m_pPlayHistoryList->isEmpty());
    QFile bad(appDataFile(QString(HistoryFile) + ".bad"));
    QVERIFY(bad.open(QIODevice::ReadOnly));
    QCOMPARE(bad.readAll(), QByteArray("<ROOTITEM><Path_item"));

    add(manager, "a.mp4");
    QCOMPARE(storedHistory(), QStringList({path("a.mp4")}));
    QVERIFY(bad.exists());
}

void tst_QPlayHistoryManager::destructionWritesNothing()
{
    {
        QPlayHistoryManager manager;
        manager.initPlayHistoryList();
        add(manager, "a.mp4");
        QVERIFY(QFile::remove(appDataFile(HistoryFile)));
    }
    QCOMPARE(storedHistory(), QStringList({"(no file)"}));
}

QTEST_GUILESS_MAIN(tst_QPlayHistoryManager)
#include "tst_qplayhistorymanager.moc"
