#include "testfiles.h"

#include "support/zrsegmentedbody.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

ZrSegmentedBody::Segment bytes(const QByteArray &data)
{
    return {data, {}, data.size()};
}

// The file at path, open for reading, as a piece of its first length bytes.
ZrSegmentedBody::Segment file(const QString &path, qint64 length)
{
    QSharedPointer<QFile> open(new QFile(path));
    if (!open->open(QIODevice::ReadOnly))
        return {};
    return {{}, open, length};
}

} // namespace

class TestZrSegmentedBody : public QObject
{
    Q_OBJECT
private slots:
    void readsFromAnyPoint_data();
    void readsFromAnyPoint();
    void shrunkFileFails();

private:
    QTemporaryDir m_dir;
};

void TestZrSegmentedBody::readsFromAnyPoint_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("readSize");
    // Pieces: "head:" (5), 70000 bytes of a file, ":" (1), the same file's first 10 bytes, ":tail" (5).
    QTest::newRow("whole, one read") << qint64(0) << qint64(1 << 20);
    QTest::newRow("whole, small reads across every border") << qint64(0) << qint64(7);
    QTest::newRow("from inside the first file") << qint64(4000) << qint64(65536);
    QTest::newRow("from a border") << qint64(70005) << qint64(3);
    QTest::newRow("from inside the last bytes") << qint64(70018) << qint64(100);
    QTest::newRow("at the end") << qint64(70021) << qint64(100);
}

void TestZrSegmentedBody::readsFromAnyPoint()
{
    QFETCH(qint64, start);
    QFETCH(qint64, readSize);
    const QByteArray contents = patternBytes(70000);
    const QString path = m_dir.filePath("piece");
    QVERIFY(writeFile(path, contents));
    const QByteArray whole = "head:" + contents + ":" + contents.left(10) + ":tail";

    ZrSegmentedBody body({bytes("head:"), file(path, contents.size()), bytes(":"), file(path, 10), bytes(":tail")});
    QCOMPARE(body.size(), qint64(whole.size()));
    QVERIFY(body.open(QIODevice::ReadOnly));
    // A first pass moves every position on; the seek must put them all back.
    QCOMPARE(body.readAll(), whole);
    QVERIFY(body.seek(start));
    QByteArray read;
    for (;;) {
        const QByteArray chunk = body.read(readSize);
        if (chunk.isEmpty())
            break;
        read += chunk;
    }
    QCOMPARE(read, whole.mid(int(start)));
    QVERIFY(body.atEnd());
    QVERIFY(!body.seek(whole.size() + 1));
}

void TestZrSegmentedBody::shrunkFileFails()
{
    const QString path = m_dir.filePath("shrinking");
    QVERIFY(writeFile(path, patternBytes(5000)));
    ZrSegmentedBody body({bytes("head:"), file(path, 5000)});
    QVERIFY(QFile::resize(path, 1000));
    QVERIFY(body.open(QIODevice::ReadOnly));
    char buffer[8192];
    QCOMPARE(body.read(buffer, 1005), qint64(1005));
    QCOMPARE(body.read(buffer, sizeof buffer), qint64(-1));
    QVERIFY(body.errorString().contains("ended early"));
}

QTEST_GUILESS_MAIN(TestZrSegmentedBody)
#include "tst_zrsegmentedbody.moc"
