#include "testfiles.h"

#include "support/zrdatacompressor.h"
#include "support/zrdatadecompressor.h"
#include "support/zrhttprequest.h"
#include "support/zrinputstream.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Runs a tool with the given standard input; its standard output, or a null array on failure.
QByteArray runTool(const QString &program, const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(30000))
        return QByteArray();
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QByteArray();
    QByteArray output = process.readAllStandardOutput();
    return output.isNull() ? QByteArray("") : output;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// A buffer that notes the length of every read asked of it.
class RecordingBuffer : public QBuffer
{
public:
    QList<qint64> requested;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        requested << maxSize;
        return QBuffer::readData(data, maxSize);
    }
};

} // namespace

class TestZRDataCompressor : public QObject
{
    Q_OBJECT
private slots:
    void compressesDataThatGzipReads();
    void compressesFilesThatGzipReads_data();
    void compressesFilesThatGzipReads();
    void inflatesGzipAndZlibData_data();
    void inflatesGzipAndZlibData();
    void inflatesFilesMadeByGzip();
    void refusesCorruptAndTruncatedInput_data();
    void refusesCorruptAndTruncatedInput();
    void missingSourceLeavesEmptyDestination_data();
    void missingSourceLeavesEmptyDestination();
    void throttledStreamReadsOneByteWithoutAllowance();

private:
    QTemporaryDir m_dir;
};

void TestZRDataCompressor::compressesDataThatGzipReads()
{
    ZrError error;
    const QByteArray compressed = ZRDataCompressor::compressData("abc", &error);
    QVERIFY(error.isNull());
    QVERIFY(compressed.startsWith("\x1f\x8b"));
    QCOMPARE(runTool("gzip", {"-dc"}, compressed), QByteArray("abc"));
    QCOMPARE(ZRDataDecompressor::uncompressData(compressed), QByteArray("abc"));
}

void TestZRDataCompressor::compressesFilesThatGzipReads_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("exactly one chunk") << 262144;
    QTest::newRow("several chunks") << 600000;
}

void TestZRDataCompressor::compressesFilesThatGzipReads()
{
    QFETCH(int, size);
    const QByteArray source = randomBytes(size);
    const QString sourcePath = m_dir.filePath(QString("source-%1").arg(size));
    const QString gzipPath = sourcePath + ".gz";
    QVERIFY(writeFile(sourcePath, source));

    ZrError error;
    QVERIFY(ZRDataCompressor::compressDataFromFile(sourcePath, gzipPath, &error));
    QVERIFY(error.isNull());
    QVERIFY(!runTool("gzip", {"-t", gzipPath}).isNull());
    QCOMPARE(runTool("gzip", {"-dc", gzipPath}), source);

    const QString roundTrip = sourcePath + ".back";
    QVERIFY(ZRDataDecompressor::uncompressDataFromFile(gzipPath, roundTrip, &error));
    QCOMPARE(readFile(roundTrip), source);
}

void TestZRDataCompressor::inflatesGzipAndZlibData_data()
{
    QTest::addColumn<QByteArray>("compressed");
    QTest::addColumn<QByteArray>("plain");

    const QByteArray text = QByteArray("The quick brown fox jumps over the lazy dog. ").repeated(500);
    QTest::newRow("gzip -9") << runTool("gzip", {"-9", "-c"}, text) << text;
    QTest::newRow("zlib wrapped") << qCompress(text).mid(4) << text;
    // Deflated zeros come back far larger than their input: the output buffer fills many times.
    const QByteArray zeros(1024 * 1024, '\0');
    QTest::newRow("1 MiB of zeros") << runTool("gzip", {"-c"}, zeros) << zeros;
}

void TestZRDataCompressor::inflatesGzipAndZlibData()
{
    QFETCH(QByteArray, compressed);
    QFETCH(QByteArray, plain);
    QVERIFY(!compressed.isEmpty());
    ZrError error;
    const QByteArray inflated = ZRDataDecompressor::uncompressData(compressed, &error);
    QVERIFY2(error.isNull(), qPrintable(error.localizedDescription()));
    QCOMPARE(inflated.size(), plain.size());
    QCOMPARE(inflated, plain);
}

void TestZRDataCompressor::inflatesFilesMadeByGzip()
{
    const QByteArray source = randomBytes(300000) + QByteArray(700000, 'z');
    const QString gzipPath = m_dir.filePath("made-by-gzip.gz");
    QVERIFY(writeFile(gzipPath, runTool("gzip", {"-9", "-c"}, source)));
    const QString plainPath = m_dir.filePath("made-by-gzip");
    ZrError error;
    QVERIFY(ZRDataDecompressor::uncompressDataFromFile(gzipPath, plainPath, &error));
    QCOMPARE(readFile(plainPath), source);
}

void TestZRDataCompressor::refusesCorruptAndTruncatedInput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message");

    const QByteArray good = runTool("gzip", {"-c"}, QByteArray("some text worth compressing ").repeated(100));
    QByteArray corrupt = good;
    for (int i = 10; i < 30; ++i)
        corrupt[i] = static_cast<char>(0xff);
    QTest::newRow("corrupt") << corrupt << QString();
    QTest::newRow("truncated") << good.left(good.size() / 2) << QString("Decompression of data failed with code -5");
    QTest::newRow("trailer missing") << good.left(good.size() - 4)
                                     << QString("Decompression of data failed with code -5");
}

void TestZRDataCompressor::refusesCorruptAndTruncatedInput()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, message);

    ZrError error;
    QVERIFY(ZRDataDecompressor::uncompressData(input, &error).isEmpty());
    QCOMPARE(error.domain(), QString("ZRHTTPRequestErrorDomain"));
    QCOMPARE(error.code(), 11);
    const QRegularExpression pattern("^Decompression of data failed with code (-\\d+)$");
    QVERIFY2(pattern.match(error.localizedDescription()).hasMatch(), qPrintable(error.localizedDescription()));
    if (!message.isEmpty())
        QCOMPARE(error.localizedDescription(), message);

    const QString sourcePath = m_dir.filePath(QString("bad-%1.gz").arg(QTest::currentDataTag()));
    QVERIFY(writeFile(sourcePath, input));
    ZrError fileError;
    QVERIFY(!ZRDataDecompressor::uncompressDataFromFile(sourcePath, sourcePath + ".out", &fileError));
    QCOMPARE(fileError.code(), 11);
    QVERIFY(pattern.match(fileError.localizedDescription()).hasMatch());
}

void TestZRDataCompressor::missingSourceLeavesEmptyDestination_data()
{
    QTest::addColumn<bool>("compressing");
    QTest::newRow("compress") << true;
    QTest::newRow("decompress") << false;
}

void TestZRDataCompressor::missingSourceLeavesEmptyDestination()
{
    QFETCH(bool, compressing);
    const QString missing = m_dir.filePath("no-such-file");
    const QString destination = m_dir.filePath(QString("destination-%1").arg(compressing));
    ZrError error;
    const bool done = compressing ? ZRDataCompressor::compressDataFromFile(missing, destination, &error)
                                  : ZRDataDecompressor::uncompressDataFromFile(missing, destination, &error);
    QVERIFY(!done);
    QCOMPARE(error.code(), 11);
    QCOMPARE(error.localizedDescription(), QString("%1 of %2 failed the file does not exist")
                                               .arg(compressing ? "Compression" : "Decompression", missing));
    QVERIFY(QFile::exists(destination));
    QCOMPARE(QFileInfo(destination).size(), 0);

    // Without an error argument the failure is still a plain false.
    QVERIFY(!ZRDataCompressor::compressDataFromFile(missing, destination));
}

void TestZRDataCompressor::throttledStreamReadsOneByteWithoutAllowance()
{
    RecordingBuffer *buffer = new RecordingBuffer;
    buffer->setData("abcdef");
    ZRInputStream stream(buffer, nullptr);
    QVERIFY(stream.open(QIODevice::ReadOnly));

    ZRHTTPRequest::setMaxBandwidthPerSecond(40);
    ZRHTTPRequest::recordBandwidthUsage();
    ZRHTTPRequest::incrementBandwidthUsedInLastSecond(40);
    QCOMPARE(ZRHTTPRequest::maxUploadReadLength(), 0ul);
    char bytes[16];
    QCOMPARE(stream.read(bytes, sizeof bytes), 1);
    QCOMPARE(stream.read(bytes, sizeof bytes), 1);
    QCOMPARE(buffer->requested, (QList<qint64>{1, 1}));

    // Unthrottled, the whole request goes to the wrapped device.
    ZRHTTPRequest::setMaxBandwidthPerSecond(0);
    QCOMPARE(stream.read(bytes, sizeof bytes), 4);
    QCOMPARE(buffer->requested.at(2), qint64(sizeof bytes));
}

QTEST_GUILESS_MAIN(TestZRDataCompressor)
#include "tst_zrdatacompressor.moc"
