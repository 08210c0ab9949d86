// Skin images: read at double density, missing or broken files give a null image, and the shared
// form reads each file once for the whole program.
#include "toolkit/skinimage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_SkinImage : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void sharedIsReadOnce();
};

namespace {

QImage filled(QColor colour)
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

}

void tst_SkinImage::load_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("valid");
    QTest::newRow("picture") << QByteArray("png") << true;
    QTest::newRow("not a picture") << QByteArray("text, not an image") << false;
    QTest::newRow("missing") << QByteArray() << false;
}

void tst_SkinImage::load()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);
    QTemporaryDir dir;
    const QString path = dir.filePath("skin.png");
    if (content == "png") {
        QVERIFY(filled(Qt::red).save(path));
    } else if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    for (const QImage &image : {loadSkinImage(path), sharedSkinImage(path)}) {
        QCOMPARE(!image.isNull(), valid);
        if (valid) {
            QCOMPARE(image.devicePixelRatio(), 2.0);
            QCOMPARE(image.size(), QSize(40, 20));
            QCOMPARE(image.pixelColor(5, 5), QColor(Qt::red));
        }
    }
    std::unique_ptr<QImage> owned(newSkinImage(path));
    QCOMPARE(owned != nullptr, valid);
}

// A file changed or made after the first request does not change what the program draws: the
// shared image is not read again.
void tst_SkinImage::sharedIsReadOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.png");
    QVERIFY(filled(Qt::green).save(path));
    QCOMPARE(sharedSkinImage(path).pixelColor(1, 1), QColor(Qt::green));
    QVERIFY(filled(Qt::blue).save(path));
    QCOMPARE(loadSkinImage(path).pixelColor(1, 1), QColor(Qt::blue));
    QCOMPARE(sharedSkinImage(path).pixelColor(1, 1), QColor(Qt::green));

    const QString later = dir.filePath("later.png");
    QVERIFY(sharedSkinImage(later).isNull());
    QVERIFY(filled(Qt::blue).save(later));
    QVERIFY(sharedSkinImage(later).isNull());
}

QTEST_MAIN(tst_SkinImage)
#include "tst_skinimage.moc"
