// The loading threads' walk and probe: which files a set of paths yields, the progress reports,
// the playable items, and the stop flag, on real folders, links, a FIFO and media fixtures.
#include "engine/qmediafileloader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);

QString fixture(const QString &name)
{
    return kFixtures + QLatin1Char('/') + name;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

}

class tst_QMediaFileLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void collectFiles_data();
    void collectFiles();
    void walkKeepsPathOrder();
    void stopBeforeWalk();
    void probeReports_data();
    void probeReports();
    void probeFindsPlayableFilesOnly();
    void stopDuringProbe();

private:
    QString path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

    QTemporaryDir m_dir;
};

// tree/a.txt, tree/sub/b.txt, tree/sub/deeper/c.txt, tree/sub/up -> tree (a link loop),
// tree/fifo; lone.txt; clips/clip.mp4 with audio.mp3 and notvideo.mp4.
void tst_QMediaFileLoader::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir().mkpath(path("tree/sub/deeper")));
    QVERIFY(QDir().mkpath(path("clips")));
    for (const char *file : {"tree/a.txt", "tree/sub/b.txt", "tree/sub/deeper/c.txt", "lone.txt"}) {
        QFile out(path(file));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("x");
    }
    QVERIFY(QFile::link(path("tree"), path("tree/sub/up")));
    QCOMPARE(::mkfifo(QFile::encodeName(path("tree/fifo")).constData(), 0600), 0);
    for (const char *name : {"clip.mp4", "audio.mp3", "notvideo.mp4"})
        QVERIFY(QFile::copy(fixture(name), path(QStringLiteral("clips/") + name)));
}

void tst_QMediaFileLoader::collectFiles_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("a file as it is") << QStringList{path("lone.txt")} << QStringList{path("lone.txt")};
    QTest::newRow("a missing path is kept for the probe to refuse")
        << QStringList{path("missing.mp4")} << QStringList{path("missing.mp4")};
    QTest::newRow("a folder with every file below it, no link, no FIFO")
        << QStringList{path("tree")}
        << QStringList{path("tree/a.txt"), path("tree/sub/b.txt"), path("tree/sub/deeper/c.txt")};
    QTest::newRow("a disc folder as one entry") << QStringList{fixture("dvd")} << QStringList{fixture("dvd")};
    QTest::newRow("a folder that ends in a slash")
        << QStringList{path("tree/sub/")}
        << QStringList{path("tree/sub/b.txt"), path("tree/sub/deeper/c.txt")};
}

void tst_QMediaFileLoader::collectFiles()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, files);
    const std::atomic<bool> stop{false};
    const QStringList collected = QMediaFileLoader(stop).collectFiles(paths);
    QCOMPARE(sorted(collected).replaceInStrings("//", "/"), sorted(files));
}

void tst_QMediaFileLoader::walkKeepsPathOrder()
{
    const std::atomic<bool> stop{false};
    const QStringList collected =
        QMediaFileLoader(stop).collectFiles({path("lone.txt"), path("tree/sub/deeper"), fixture("dvd")});
    QCOMPARE(collected, (QStringList{path("lone.txt"), path("tree/sub/deeper/c.txt"), fixture("dvd")}));
}

void tst_QMediaFileLoader::stopBeforeWalk()
{
    const std::atomic<bool> stop{true};
    QVERIFY(QMediaFileLoader(stop).collectFiles({path("lone.txt"), path("tree")}).isEmpty());
}

void tst_QMediaFileLoader::probeReports_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("percents");
    QTest::newRow("four files") << 4 << QStringList{"40", "60", "80", "100"};
    QTest::newRow("three files") << 3 << QStringList{"46.6667", "73.3333", "100"};
    QTest::newRow("one file") << 1 << QStringList{"100"};
}

void tst_QMediaFileLoader::probeReports()
{
    QFETCH(int, count);
    QFETCH(QStringList, percents);
    const std::atomic<bool> stop{false};
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << path(QString("none%1.mp4").arg(i));
    QList<QList<QString>> reports;
    int found = 0;
    QMediaFileLoader(stop).probeFiles(
        files, [&](const QList<QString> &report) { reports << report; }, [&](const PlayItemInfo &) { ++found; });
    QCOMPARE(found, 0);
    QCOMPARE(reports.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(reports.at(i), (QList<QString>{files.at(i), QString("%1/%2").arg(i + 1).arg(count), percents.at(i)}));
}

// A FIFO given by itself is reported but never opened (opening it would wait for a writer);
// a path with backslashes is reported and probed with slashes.
void tst_QMediaFileLoader::probeFindsPlayableFilesOnly()
{
    const std::atomic<bool> stop{false};
    const QStringList files{path("clips/notvideo.mp4"), path("tree/fifo"), path("clips\\clip.mp4"),
                            path("clips/audio.mp3")};
    QStringList reported;
    QList<PlayItemInfo> items;
    QMediaFileLoader(stop).probeFiles(
        files, [&](const QList<QString> &report) { reported << report.at(0); },
        [&](const PlayItemInfo &item) { items << item; });
    QCOMPARE(reported, (QStringList{path("clips/notvideo.mp4"), path("tree/fifo"), path("clips/clip.mp4"),
                                    path("clips/audio.mp3")}));
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0).path, path("clips/clip.mp4"));
    QVERIFY(!items.at(0).OnlyAudio_);
    QVERIFY(items.at(0).Duration_ > 0);
    QCOMPARE(items.at(1).path, path("clips/audio.mp3"));
    QVERIFY(items.at(1).OnlyAudio_);
}

// The flag is read after each pause: set while a file is taken, no further file is reported.
void tst_QMediaFileLoader::stopDuringProbe()
{
    std::atomic<bool> stop{false};
    const QStringList files{path("clips/clip.mp4"), path("clips/audio.mp3"), path("clips/clip.mp4")};
    int reports = 0;
    int found = 0;
    QMediaFileLoader(stop).probeFiles(
        files, [&](const QList<QString> &) { ++reports; },
        [&](const PlayItemInfo &) {
            ++found;
            stop = true;
        });
    QCOMPARE(reports, 1);
    QCOMPARE(found, 1);
}

QTEST_GUILESS_MAIN(tst_QMediaFileLoader)
#include "tst_qmediafileloader.moc"
