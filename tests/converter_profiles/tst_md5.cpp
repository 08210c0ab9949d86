#include "converter_profiles/md5.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

namespace {

QString hex(const MD5 &md5)
{
    return QString::fromStdString(md5.hexdigest());
}

QString reference(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

// Feeds bytes in pieces of random sizes, empty pieces included.
MD5 inPieces(const QByteArray &bytes, QRandomGenerator &random)
{
    MD5 md5;
    int offset = 0;
    while (offset < bytes.size()) {
        const int piece = qMin(bytes.size() - offset, int(random.bounded(0, 130)));
        md5.update(bytes.constData() + offset, unsigned(piece));
        offset += piece;
    }
    md5.finalize();
    return md5;
}

}

class tst_MD5 : public QObject
{
    Q_OBJECT

private slots:
    void rfcSuite_data();
    void rfcSuite();
    void paddingBoundaries_data();
    void paddingBoundaries();
    void finalize_onceOnly();
    void copies_areIndependent();
    void file_equalsMd5sum();
};

void tst_MD5::rfcSuite_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("digest");
    QTest::newRow("empty") << QByteArray("") << "d41d8cd98f00b204e9800998ecf8427e";
    QTest::newRow("a") << QByteArray("a") << "0cc175b9c0f1b6a831c399e269772661";
    QTest::newRow("abc") << QByteArray("abc") << "900150983cd24fb0d6963f7d28e17f72";
    QTest::newRow("message digest") << QByteArray("message digest") << "f96b697d7cb7938d525a2f31aaf161d0";
    QTest::newRow("a-z") << QByteArray("abcdefghijklmnopqrstuvwxyz") << "c3fcd3d76192e4007dfb496cca67e13b";
    QTest::newRow("A-Za-z0-9") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
                               << "d174ab98d277d9f5a5611c2c9f419d9f";
    QTest::newRow("8 x 1234567890")
        << QByteArray("12345678901234567890123456789012345678901234567890123456789012345678901234567890")
        << "57edf4a22be3c955ac49da2e2107b67a";
}

void tst_MD5::rfcSuite()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, digest);

    const MD5 whole(text.toStdString());
    QCOMPARE(hex(whole), digest);
    QCOMPARE(QString::fromStdString(whole.md5()), digest);

    std::ostringstream out;
    out << whole << "|";
    QCOMPARE(QString::fromStdString(out.str()), digest + "|");

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    for (int round = 0; round < 20; ++round)
        QVERIFY2(hex(inPieces(text, random)) == digest, qPrintable(QString("seed %1").arg(seed)));
}

void tst_MD5::paddingBoundaries_data()
{
    QTest::addColumn<int>("length");
    for (int length : {55, 56, 57, 63, 64, 65, 119, 120, 128})
        QTest::addRow("%d bytes", length) << length;
}

void tst_MD5::paddingBoundaries()
{
    QFETCH(int, length);
    QByteArray bytes(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        bytes[i] = char(i * 7 + 3);
    QCOMPARE(hex(MD5(bytes.toStdString())), reference(bytes));

    MD5 bytewise;
    for (char byte : bytes)
        bytewise.update(reinterpret_cast<const unsigned char *>(&byte), 1);
    QCOMPARE(hex(bytewise.finalize()), reference(bytes));
}

void tst_MD5::finalize_onceOnly()
{
    MD5 md5;
    QCOMPARE(md5.hexdigest(), std::string());
    md5.update("abc", 3);
    QCOMPARE(md5.hexdigest(), std::string());
    std::ostringstream unfinished;
    unfinished << md5;
    QCOMPARE(unfinished.str(), std::string());

    MD5 &same = md5.finalize();
    QCOMPARE(&same, &md5);
    QCOMPARE(hex(md5), QString("900150983cd24fb0d6963f7d28e17f72"));
    md5.finalize();
    QCOMPARE(hex(md5), QString("900150983cd24fb0d6963f7d28e17f72"));
}

void tst_MD5::copies_areIndependent()
{
    MD5 first;
    first.update("message ", 8);
    MD5 second = first;
    first.update("digest", 6);
    second.update("in a bottle", 11);
    QCOMPARE(hex(first.finalize()), QString("f96b697d7cb7938d525a2f31aaf161d0"));
    QCOMPARE(hex(second.finalize()), reference("message in a bottle"));
}

void tst_MD5::file_equalsMd5sum()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("random.bin");
    QByteArray bytes(1 << 20, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    file.close();

    QProcess md5sum;
    md5sum.start("md5sum", {path});
    QVERIFY(md5sum.waitForFinished(60000));
    const QString expected = QString::fromLatin1(md5sum.readAllStandardOutput()).section(' ', 0, 0);
    QCOMPARE(expected.size(), 32);

    QVERIFY(file.open(QIODevice::ReadOnly));
    MD5 md5;
    while (!file.atEnd()) {
        const QByteArray block = file.read(4093);
        md5.update(reinterpret_cast<const unsigned char *>(block.constData()), unsigned(block.size()));
    }
    QCOMPARE(hex(md5.finalize()), expected);
}

QTEST_GUILESS_MAIN(tst_MD5)

#include "tst_md5.moc"
