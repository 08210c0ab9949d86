// Every skin image the code names exists in the built resource folder, and every image there decodes.
#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class tst_SkinPaths : public QObject
{
    Q_OBJECT

private slots:
    void scanner_findsMissingImages();
    void everyNamedImageExists();
    void everyImageDecodesAtDoubleDensity();
};

// Image paths written as literals in the sources below a folder.
static QStringList namedImages(const QString &root)
{
    static const QRegularExpression literal(QStringLiteral("\"(/(?:images|image|pic)/[^\"%]+\\.(?:png|jpg|gif|icns|ico))\""));
    QStringList found;
    QDirIterator it(root, {"*.cpp", "*.h", "*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.contains("/tests/") || file.contains("/build"))
            continue;
        QFile source(file);
        if (!source.open(QIODevice::ReadOnly))
            continue;
        auto matches = literal.globalMatch(QString::fromUtf8(source.readAll()));
        while (matches.hasNext())
            found << matches.next().captured(1);
    }
    found.removeDuplicates();
    return found;
}

static QStringList missing(const QStringList &paths, const QString &resources)
{
    QStringList absent;
    for (const QString &path : paths)
        if (!QFile::exists(resources + path))
            absent << path;
    return absent;
}

void tst_SkinPaths::scanner_findsMissingImages()
{
    QTemporaryDir dir;
    QFile source(dir.path() + "/widget.cpp");
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("auto a = path + \"/images/Common/btn_common.png\";\n"
                 "auto b = path + \"/images/Nowhere/none.png\";\n"
                 "auto c = QString(\"/images/icon_%1.png\").arg(1);\n");
    source.close();
    const QStringList paths = namedImages(dir.path());
    QCOMPARE(paths, QStringList({"/images/Common/btn_common.png", "/images/Nowhere/none.png"}));
    QCOMPARE(missing(paths, ZR_ROOT_DIR "/Resources"), QStringList({"/images/Nowhere/none.png"}));
}

void tst_SkinPaths::everyNamedImageExists()
{
    const QStringList paths = namedImages(ZR_SOURCE_DIR);
    QCOMPARE(missing(paths, ZR_ROOT_DIR "/Resources"), QStringList());
}

void tst_SkinPaths::everyImageDecodesAtDoubleDensity()
{
    int count = 0;
    QDirIterator it(ZR_ROOT_DIR "/Resources", {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QImage image(file);
        QVERIFY2(!image.isNull(), qPrintable(file));
        QVERIFY2(image.width() % 2 == 0 && image.height() % 2 == 0, qPrintable(file));
        ++count;
    }
    QVERIFY(count > 0);
}

QTEST_GUILESS_MAIN(tst_SkinPaths)
#include "tst_skinpaths.moc"
