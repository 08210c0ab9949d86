#include "requestrecorder.h"
#include "testfiles.h"
#include "testhttpserver.h"

#include "support/zrdatacompressor.h"
#include "support/zrhttprequest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

namespace {

using Header = QPair<QByteArray, QByteArray>;

// Files of this process may not grow past the limit while this lives: writes beyond it fail
// with EFBIG, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_previous.rlim_max};
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_set = false;
};

dev_t deviceOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_dev : 0;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// gzip of that many zero bytes: a few bytes on the wire for a thousand times as many inflated
// (run-length matching only, which makes it quickly).
QByteArray gzipOfZeros(qint64 size)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_RLE);
    const QByteArray zeros(1 << 20, '\0');
    QByteArray output;
    char chunk[1 << 16];
    for (qint64 left = size; left >= 0; left -= zeros.size()) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        stream.avail_in = static_cast<uInt>(qMin<qint64>(left, zeros.size()));
        const int flush = left <= zeros.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(chunk);
            stream.avail_out = sizeof chunk;
            deflate(&stream, flush);
            output.append(chunk, static_cast<int>(sizeof chunk - stream.avail_out));
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH)
            break;
    }
    deflateEnd(&stream);
    return output;
}

TestReply gzipReply(const QByteArray &compressed)
{
    TestReply reply = TestReply::text(compressed);
    reply.headers << Header("Content-Encoding", "gzip");
    return reply;
}

} // namespace

Q_DECLARE_METATYPE(TestReply)

class TestDownload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void crossFileSystemDownload_data();
    void crossFileSystemDownload();
    void interruptedDownloadLeavesNothing_data();
    void interruptedDownloadLeavesNothing();
    void fullDiskKeepsTheDestination_data();
    void fullDiskKeepsTheDestination();
    void fullDiskFailsTheUploadBody_data();
    void fullDiskFailsTheUploadBody();
    void brokenGzipFailsOnEveryRoad_data();
    void brokenGzipFailsOnEveryRoad();
    void gzipBombInMemoryFails_data();
    void gzipBombInMemoryFails();
    void contentLengthBeyond64Bits_data();
    void contentLengthBeyond64Bits();

private:
    QTemporaryDir m_dir;
    QByteArray m_bomb;
};

void TestDownload::initTestCase()
{
    TestHttpServer::isolateFromProxies();
    QVERIFY(m_dir.isValid());
}

void TestDownload::crossFileSystemDownload_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<bool>("waitToInflate");
    QTest::newRow("plain") << false << true;
    QTest::newRow("gzip inflated at the end") << true << true;
    QTest::newRow("gzip inflated on the fly") << true << false;
}

void TestDownload::crossFileSystemDownload()
{
    QFETCH(bool, compressed);
    QFETCH(bool, waitToInflate);
    // The temporary folder on /dev/shm (tmpfs), the destination where the tests keep their files.
    QTemporaryDir temporary("/dev/shm/zrdownload-XXXXXX");
    if (!temporary.isValid() || deviceOf(temporary.path()) == deviceOf(m_dir.path()))
        QSKIP("no second file system to download across");
    const TemporaryFolder folder(temporary.path());

    const QByteArray plain = patternBytes(600000);
    const TestReply reply = compressed ? gzipReply(ZRDataCompressor::compressData(plain)) : TestReply::text(plain);
    TestHttpServer server([reply](const TestRequest &) { return reply; });
    QTemporaryDir destinationFolder(m_dir.filePath("across-XXXXXX"));
    const QString destination = destinationFolder.filePath("file");
    QVERIFY(writeFile(destination, "an older file"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDownloadDestinationPath(destination);
    request->setShouldWaitToInflateCompressedResponses(waitToInflate);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(readFile(destination), plain);
    QCOMPARE(entries(temporary.path()), QStringList());
    QCOMPARE(entries(destinationFolder.path()), QStringList("file"));
}

void TestDownload::interruptedDownloadLeavesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancelled") << "cancel";
    QTest::newRow("timed out") << "time-out";
    QTest::newRow("connection lost") << "lost";
}

void TestDownload::interruptedDownloadLeavesNothing()
{
    QFETCH(QString, how);
    QTemporaryDir temporary(m_dir.filePath("tmp-XXXXXX"));
    const TemporaryFolder folder(temporary.path());
    // Part of a long body, then silence (or the end of the connection).
    TestReply reply = TestReply::text(patternBytes(300000));
    reply.withLength = false;
    reply.headers << Header("Content-Length", "100000000");
    reply.hangAfterBody = how != "lost";
    reply.close = how == "lost";
    TestHttpServer server([reply](const TestRequest &) { return reply; });
    const QString destination = m_dir.filePath("interrupted-" + how);

    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDownloadDestinationPath(destination);
    request->setTimeOutSeconds(how == "time-out" ? 1 : 120);
    request->startAsynchronous();
    if (how == "cancel") {
        QTRY_VERIFY_WITH_TIMEOUT(!entries(temporary.path()).isEmpty(), 60000);
        request->cancel();
    }
    QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), 60000);
    QCOMPARE(request->error().code(), how == "cancel" ? 4 : how == "time-out" ? 2 : 1);
    QCOMPARE(entries(temporary.path()), QStringList());
    QVERIFY(!QFile::exists(destination));
}

void TestDownload::fullDiskKeepsTheDestination_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<bool>("waitToInflate");
    QTest::addColumn<int>("code");
    QTest::newRow("plain") << false << true << 8;
    QTest::newRow("gzip inflated at the end") << true << true << 11;
    QTest::newRow("gzip inflated on the fly") << true << false << 8;
}

void TestDownload::fullDiskKeepsTheDestination()
{
    QFETCH(bool, compressed);
    QFETCH(bool, waitToInflate);
    QFETCH(int, code);
    QTemporaryDir temporary(m_dir.filePath("tmp-XXXXXX"));
    const TemporaryFolder folder(temporary.path());
    const QByteArray plain = patternBytes(3000000);
    const TestReply reply = compressed ? gzipReply(ZRDataCompressor::compressData(plain)) : TestReply::text(plain);
    // A compressed body fits; inflated it does not.
    QVERIFY(!compressed || reply.body.size() < 1000000);
    TestHttpServer server([reply](const TestRequest &) { return reply; });
    const QString destination = m_dir.filePath("kept");
    const QByteArray good = "a good file that must survive a full disk";
    QVERIFY(writeFile(destination, good));

    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDownloadDestinationPath(destination);
    request->setShouldWaitToInflateCompressedResponses(waitToInflate);
    {
        const FileSizeLimit limit(1000000);
        QVERIFY(limit.isSet());
        request->startSynchronous();
    }
    QCOMPARE(request->error().code(), code);
    QVERIFY2(!request->error().underlyingError().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(readFile(destination), good);
    QCOMPARE(entries(temporary.path()), QStringList());
}

void TestDownload::fullDiskFailsTheUploadBody_data()
{
    // Data small enough to wait in the file's buffer fails only when it is written out; a file's
    // contents are copied by the kernel, past the limit in the middle of the copy or at its start.
    // The request's own temporary body is written only when its path is asked for: sent without
    // that, it never meets the full disk.
    QTest::addColumn<int>("dataSize");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<QString>("road");
    const QList<QPair<int, int>> sizes{{10000, 0}, {100, 100000}, {4096, 100000}};
    const QStringList names{"data", "file", "file after a full buffer"};
    for (int i = 0; i < sizes.size(); ++i) {
        for (const QString &road : QStringList{"sent from its pieces", "body file asked for", "caller's body file"})
            QTest::newRow(qPrintable(names.at(i) + ", " + road)) << sizes.at(i).first << sizes.at(i).second << road;
    }
}

void TestDownload::fullDiskFailsTheUploadBody()
{
    QFETCH(int, dataSize);
    QFETCH(int, fileSize);
    QFETCH(QString, road);
    QTemporaryDir temporary(m_dir.filePath("tmp-XXXXXX"));
    const TemporaryFolder folder(temporary.path());
    const QString source = m_dir.filePath("upload-source");
    QVERIFY(writeFile(source, patternBytes(fileSize)));
    TestHttpServer server([](const TestRequest &request) { return TestReply::text(QByteArray::number(request.body.size())); });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/upload"));
    request->setShouldStreamPostDataFromDisk(true);
    if (road == "caller's body file")
        request->setPostBodyFilePath(temporary.filePath("body"));
    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.isSet());
        request->appendPostData(patternBytes(dataSize));
        if (fileSize > 0)
            request->appendPostDataFromFile(source);
        if (road == "body file asked for")
            QVERIFY(!request->postBodyFilePath().isEmpty());
        request->startSynchronous();
    }
    if (road == "sent from its pieces") {
        QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
        QCOMPARE(request->responseString(), QString::number(dataSize + fileSize));
        return;
    }
    QCOMPARE(request->error().code(), 8);
    QVERIFY(server.requests().isEmpty());
}

void TestDownload::brokenGzipFailsOnEveryRoad_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("damage");
    const QStringList roads{"memory, inflated when asked", "memory, inflated on the fly", "file, inflated at the end",
                            "file, inflated on the fly", "data delegate, inflated on the fly"};
    for (const QString &road : roads) {
        for (const QString &damage : QStringList{"corrupt", "truncated"})
            QTest::newRow(qPrintable(road + ", " + damage)) << road << damage;
    }
}

void TestDownload::brokenGzipFailsOnEveryRoad()
{
    QFETCH(QString, road);
    QFETCH(QString, damage);
    QTemporaryDir temporary(m_dir.filePath("tmp-XXXXXX"));
    const TemporaryFolder folder(temporary.path());
    QByteArray compressed = ZRDataCompressor::compressData(patternBytes(200000));
    if (damage == "corrupt")
        compressed.replace(compressed.size() / 2, 64, QByteArray(64, '\xff'));
    else
        compressed.truncate(compressed.size() / 2);
    const TestReply reply = gzipReply(compressed);
    TestHttpServer server([reply](const TestRequest &) { return reply; });
    const QString destination = m_dir.filePath("broken");
    QFile::remove(destination);

    RequestRecorder delegate("delegate");
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setShouldWaitToInflateCompressedResponses(road.endsWith("when asked") || road.endsWith("at the end"));
    if (road.startsWith("file"))
        request->setDownloadDestinationPath(destination);
    if (road.startsWith("data delegate"))
        request->setDelegate(&delegate);
    request->startSynchronous();
    QCOMPARE(request->error().code(), 11);
    QVERIFY2(request->error().localizedDescription().startsWith("Decompression of "),
             qPrintable(request->error().localizedDescription()));
    QVERIFY(!QFile::exists(destination));
    QCOMPARE(entries(temporary.path()), QStringList());
    QCOMPARE(delegate.count("finished"), 0);
}

void TestDownload::gzipBombInMemoryFails_data()
{
    QTest::addColumn<bool>("waitToInflate");
    QTest::addColumn<double>("timeOutSeconds");
    QTest::addColumn<int>("code");
    QTest::newRow("inflated when asked") << true << 60.0 << 11;
    QTest::newRow("inflated on the fly") << false << 60.0 << 11;
    // Inflating two gigabytes takes longer than this on any machine.
    QTest::newRow("inflating past the time-out") << true << 0.05 << 2;
}

void TestDownload::gzipBombInMemoryFails()
{
    QFETCH(bool, waitToInflate);
    QFETCH(double, timeOutSeconds);
    QFETCH(int, code);
    // Three megabytes on the wire, more than a QByteArray holds inflated.
    if (m_bomb.isEmpty())
        m_bomb = gzipOfZeros(Q_INT64_C(2200) << 20);
    QVERIFY(m_bomb.size() < 3000000);
    const TestReply reply = gzipReply(m_bomb);
    TestHttpServer server([reply](const TestRequest &) { return reply; });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setShouldWaitToInflateCompressedResponses(waitToInflate);
    request->setTimeOutSeconds(timeOutSeconds);
    request->startSynchronous();
    QCOMPARE(request->error().code(), code);
    if (code == 11)
        QVERIFY2(request->error().localizedDescription().contains("the most that can be kept in memory"),
                 qPrintable(request->error().localizedDescription()));
    QVERIFY(request->responseData().isEmpty());
    if (code == 11)
        QVERIFY(request->rawResponseData().isEmpty());
}

void TestDownload::contentLengthBeyond64Bits_data()
{
    QTest::addColumn<QByteArray>("length");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("2^64") << QByteArray("18446744073709551616") << false;
    QTest::newRow("far beyond") << QByteArray("99999999999999999999999999") << false;
    QTest::newRow("two different values") << QByteArray("100, 200") << false;
    QTest::newRow("the same value twice") << QByteArray("100, 100") << true;
}

void TestDownload::contentLengthBeyond64Bits()
{
    QFETCH(QByteArray, length);
    QFETCH(bool, accepted);
    TestReply reply = TestReply::text(QByteArray(100, 'x'));
    reply.withLength = false;
    reply.close = true;
    reply.headers << Header("Content-Length", length);
    TestHttpServer server([reply](const TestRequest &) { return reply; });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->startSynchronous();
    if (accepted) {
        QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
        QCOMPARE(request->responseData(), QByteArray(100, 'x'));
        return;
    }
    QCOMPARE(request->error().code(), 1);
    QVERIFY(request->responseData().isEmpty());
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_zrhttprequest_download.moc"
