#include "services/zrpropertylist.h"

#include "nestedplist.h"

#include <QProcess>
#include <QtTest>

namespace {

// The innermost string of a list of nested arrays, and how deep it lies; -1 when the shape differs.
int depthOfString(plist_t node)
{
    int depth = 0;
    while (node && plist_get_node_type(node) == PLIST_ARRAY && plist_array_get_size(node) >= 1) {
        node = plist_array_get_item(node, 0);
        ++depth;
    }
    return node && plist_get_node_type(node) == PLIST_STRING ? depth : -1;
}

// A list written by python's plistlib, as a second writer beside ours.
QByteArray pythonPlist(const QString &expression, const QString &format)
{
    QProcess python;
    python.start(QFileInfo::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
                 {"-c", "import plistlib, sys; sys.stdout.buffer.write(plistlib.dumps(" + expression
                            + ", fmt=plistlib." + format + "))"});
    return python.waitForFinished(120000) && python.exitCode() == 0 ? python.readAllStandardOutput() : QByteArray();
}

}

class TestZrPropertyList : public QObject
{
    Q_OBJECT

private slots:
    void nesting_data();
    void nesting();
    void writtenByPython_data();
    void writtenByPython();
    void notAList_data();
    void notAList();
};

void TestZrPropertyList::nesting_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("depth");  // of the string, or -1: refused

    const int most = ZrPropertyList::MaxDepth;
    // XML counts the plist element as a level.
    QTest::newRow("XML, as deep as allowed") << nestedXmlPlist(most - 2) << most - 2;
    QTest::newRow("XML, one level more") << nestedXmlPlist(most - 1) << -1;
    QTest::newRow("XML, 200000 levels") << nestedXmlPlist(200000) << -1;
    QTest::newRow("binary, as deep as allowed") << nestedBinaryPlist(most - 1) << most - 1;
    QTest::newRow("binary, one level more") << nestedBinaryPlist(most) << -1;
    QTest::newRow("binary, 200000 levels") << nestedBinaryPlist(200000) << -1;
    QTest::newRow("binary, a loop") << nestedBinaryPlist(3, 1, true) << -1;
    QTest::newRow("binary, shared a little") << nestedBinaryPlist(4, 2) << 4;
    // 2^40 copies of a 500-byte list.
    QTest::newRow("binary, shared beyond its size") << nestedBinaryPlist(40, 2) << -1;
}

void TestZrPropertyList::nesting()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, depth);

    plist_t root = ZrPropertyList::fromMemory(bytes.constData(), size_t(bytes.size()));
    QCOMPARE(root ? depthOfString(root) : -1, depth);
    if (root)
        plist_free(root);
}

void TestZrPropertyList::writtenByPython_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("XML") << "FMT_XML";
    QTest::newRow("binary") << "FMT_BINARY";
}

// A list of real shape, its leaves shared as writers share them, reads whole.
void TestZrPropertyList::writtenByPython()
{
    QFETCH(QString, format);
    const QByteArray bytes = pythonPlist(
        "{'Categories': ['Video', 'Audio'], 'Video': [{'baseinfo': {'id': str(i), 'ext': 'mp4', 'auto': '1'},"
        " 'videoparams': [{'videobitrate': {'default': '1000', 'low': '500'}}]} for i in range(300)]}",
        format);
    QVERIFY(!bytes.isEmpty());
    plist_t root = ZrPropertyList::fromMemory(bytes.constData(), size_t(bytes.size()));
    QVERIFY(root);
    plist_t video = plist_dict_get_item(root, "Video");
    QVERIFY(video);
    QCOMPARE(plist_array_get_size(video), 300u);
    plist_t last = plist_dict_get_item(plist_array_get_item(video, 299), "baseinfo");
    char *ext = nullptr;
    plist_get_string_val(plist_dict_get_item(last, "ext"), &ext);
    QCOMPARE(QByteArray(ext), QByteArray("mp4"));
    free(ext);
    plist_free(root);
}

void TestZrPropertyList::notAList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray list = nestedBinaryPlist(3);
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("text") << QByteArray("volume=12\n");
    QTest::newRow("XML cut short") << nestedXmlPlist(3).left(40);
    QTest::newRow("binary header alone") << QByteArray("bplist00");
    QTest::newRow("binary cut short") << list.left(list.size() - 1);
    QTest::newRow("binary with a reference past the objects") << QByteArray(list).replace(9, 4, "\x00\x00\x00\x63", 4);
    const int offsetTable = list.size() - 32 - 4 * 4;
    QTest::newRow("binary with an offset past its end") << QByteArray(list).replace(offsetTable, 4, "\x7f\0\0\0", 4);
}

void TestZrPropertyList::notAList()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(ZrPropertyList::fromMemory(bytes.constData(), size_t(bytes.size())), plist_t(nullptr));
}

QTEST_GUILESS_MAIN(TestZrPropertyList)
#include "tst_zrpropertylist.moc"
