#include "services/qsettingxml.h"

#include "filesizelimit.h"
#include "playitemcompare.h"
#include "services/qianyutil.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QString dataFile(const QString &name)
{
    return QIAnyUtil::getAppDataPath() + "/" + name;
}

QByteArray readRaw(const QString &name)
{
    QFile file(dataFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeRaw(const QString &name, const QByteArray &bytes)
{
    QFile file(dataFile(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// The file parsed; a null document when it is missing or does not parse.
QDomDocument parsed(const QString &name)
{
    QDomDocument doc;
    QFile file(dataFile(name));
    if (!file.open(QIODevice::ReadOnly) || !doc.setContent(&file))
        return QDomDocument();
    return doc;
}

QList<QDomElement> childElements(const QDomElement &parent)
{
    QList<QDomElement> list;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        list.append(e);
    return list;
}

QStringList attributeNames(const QDomElement &element)
{
    QStringList names;
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i)
        names.append(attributes.item(i).nodeName());
    names.sort();
    return names;
}

PlayItemInfo makeItem(const QString &path, unsigned long long seed)
{
    PlayItemInfo item;
    item.path = path;
    item.Play_to_time_ = seed * 1000003ULL;
    item.Duration_ = seed * 7000001ULL + 1;
    item.OnlyAudio_ = seed % 2 == 1;
    item.Size_ = seed * 1234567891ULL;
    item.CREACTTIME_ = 1700000000ULL + seed;
    item.Filename = path.mid(path.lastIndexOf('/') + 1);
    item.File_isDVD = seed % 3 == 0;
    return item;
}

// Owns the records a load hands over.
struct ItemList
{
    QList<PlayItemInfo *> items;
    ~ItemList() { qDeleteAll(items); }
    QStringList paths() const
    {
        QStringList list;
        for (const PlayItemInfo *item : items)
            list.append(item->path);
        return list;
    }
};

QStringList storedPaths(const QString &fileName, const QString &pathAttr)
{
    QStringList list;
    for (const QDomElement &entry : childElements(parsed(fileName).documentElement()))
        list.append(entry.attribute(pathAttr));
    return list;
}

const char *const DefaultFile = "DefaultSetting.xml";
const char *const HistoryFile = "PlayHistoryFile.xml";
const char *const PlayListFile = "PlayListFile.xml";
const char *const ShotsFile = "ScreenShotsSetting.xml";

}

class tst_QSettingXml : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void itemRead_createsMissingItemInFileShape();
    void itemRead_existingItemKeepsItsKeys();
    void itemWrite_changesOnlyExistingItems();
    void itemFile_otherRootNameIsUsed();

    void items_roundTrip_data();
    void items_roundTrip();
    void history_fileShape();
    void history_saveUpdatesInPlace();
    void playList_saveAppendsAndLoadSkipsHeldPaths();
    void items_numbersThatDoNotParse_data();
    void items_numbersThatDoNotParse();
    void items_entriesWithoutPathOrInfo();
    void items_textXmlCannotCarry();
    void items_delete();
    void items_clearAndMissingFile();

    void screenshots_freshStart();
    void screenshots_storedValues();
    void screenshots_setters();
    void screenshots_folderCannotBeMade();

    void damagedFile_keptAsideAndRebuilt_data();
    void damagedFile_keptAsideAndRebuilt();
    void folderInPlaceOfFile_isLeftAlone_data();
    void folderInPlaceOfFile_isLeftAlone();
    void damagedFile_thatCannotBeKept_isNotWritten();
    void pipeInPlaceOfFile_isNotOpened_data();
    void pipeInPlaceOfFile_isNotOpened();
    void textNotUtf8_isReadAsLatin1_data();
    void textNotUtf8_isReadAsLatin1();
    void concurrentWriters_loseNothing_data();
    void concurrentWriters_loseNothing();
    void fullDisk_losesNothing_data();
    void fullDisk_losesNothing();
};

void tst_QSettingXml::init()
{
    QDir(QIAnyUtil::getAppDataPath()).removeRecursively();
    QDir(QIAnyUtil::getDocumentPath()).removeRecursively();
}

void tst_QSettingXml::itemRead_createsMissingItemInFileShape()
{
    QCOMPARE(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"), QString("200"));
    QCOMPARE(QSettingXml::getItemValue("PlayMode_Item", "PlayMode_Item_Value", ""), QString(""));
    QCOMPARE(QSettingXml::getItemValue("OpenFile_Item", "OpenFile_Item_Value", "/m\u00fcsic/a & \"b\""),
             QString("/m\u00fcsic/a & \"b\""));

    const QDomElement root = parsed(DefaultFile).documentElement();
    QCOMPARE(root.tagName(), QString("ROOTITEM"));
    const QList<QDomElement> items = childElements(root);
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0].tagName(), QString("Volume_Item"));
    QCOMPARE(attributeNames(items[0]), QStringList{"Volume_Item_Value"});
    QCOMPARE(items[0].attribute("Volume_Item_Value"), QString("200"));
    QCOMPARE(items[1].tagName(), QString("PlayMode_Item"));
    QVERIFY(items[1].hasAttribute("PlayMode_Item_Value"));
    QCOMPARE(items[2].attribute("OpenFile_Item_Value"), QString("/m\u00fcsic/a & \"b\""));

    // A second read finds the stored value instead of the default.
    QCOMPARE(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "7"), QString("200"));
    QCOMPARE(childElements(parsed(DefaultFile).documentElement()).size(), 3);

    const QByteArray raw = readRaw(DefaultFile);
    QVERIFY(!raw.contains("<?xml"));
    QVERIFY(raw.startsWith("<ROOTITEM>\n    <Volume_Item "));
    QVERIFY(raw.contains("m\xc3\xbcsic"));
    QVERIFY(raw.endsWith("</ROOTITEM>\n"));
}

void tst_QSettingXml::itemRead_existingItemKeepsItsKeys()
{
    writeRaw(DefaultFile,
             "<ROOTITEM>\n"
             "    <SHORTCUT_SET Pause_shortcut=\"201326592*16777273\"/>\n"
             "    <Deinterlace_Item Deinterlace_Item_Value=\"\"/>\n"
             "    <Volume_Item Volume_Item_Value=\"50\"/>\n"
             "    <Volume_Item Volume_Item_Value=\"60\"/>\n"
             "</ROOTITEM>\n");

    QCOMPARE(QSettingXml::getItemValue("SHORTCUT_SET", "Pause_shortcut", "x"), QString("201326592*16777273"));
    QCOMPARE(QSettingXml::getItemValue("SHORTCUT_SET", "Stop_shortcut", "201326592*83"),
             QString("201326592*83"));
    QCOMPARE(QSettingXml::getItemValue("Deinterlace_Item", "Deinterlace_Item_Value", "1"), QString("1"));
    QCOMPARE(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"), QString("50"));
    QCOMPARE(QSettingXml::getItemValue("volume_item", "Volume_Item_Value", "200"), QString("200"));

    const QList<QDomElement> items = childElements(parsed(DefaultFile).documentElement());
    QCOMPARE(items.size(), 5);
    QCOMPARE(attributeNames(items[0]), QStringList{"Pause_shortcut"});
    QCOMPARE(items[1].attribute("Deinterlace_Item_Value", "absent"), QString(""));
    QCOMPARE(items[3].attribute("Volume_Item_Value"), QString("60"));
    QCOMPARE(items[4].tagName(), QString("volume_item"));
}

void tst_QSettingXml::itemWrite_changesOnlyExistingItems()
{
    // No file: nothing is created.
    QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", "10");
    QVERIFY(!QFile::exists(dataFile(DefaultFile)));

    writeRaw(DefaultFile,
             "<ROOTITEM>\n"
             "    <Volume_Item Volume_Item_Value=\"50\"/>\n"
             "    <Volume_Item Volume_Item_Value=\"60\"/>\n"
             "    <SHORTCUT_SET Pause_shortcut=\"1*2\"/>\n"
             "</ROOTITEM>\n");
    QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", QString::number(123.5));
    QSettingXml::setItemValue("SHORTCUT_SET", "Stop_shortcut", "3*4");
    QSettingXml::setItemValue("OpenDir_Item", "OpenDir_Item_Value", "/tmp");

    const QList<QDomElement> items = childElements(parsed(DefaultFile).documentElement());
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0].attribute("Volume_Item_Value"), QString("123.5"));
    QCOMPARE(items[1].attribute("Volume_Item_Value"), QString("60"));
    QCOMPARE(attributeNames(items[2]), (QStringList{"Pause_shortcut", "Stop_shortcut"}));
    QCOMPARE(items[2].attribute("Stop_shortcut"), QString("3*4"));
    QCOMPARE(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"), QString("123.5"));
    QCOMPARE(QSettingXml::getItemValue("SHORTCUT_SET", "Stop_shortcut", "x"), QString("3*4"));
}

void tst_QSettingXml::itemFile_otherRootNameIsUsed()
{
    writeRaw(DefaultFile, "<OTHER><PlayList_Hide_Item PlayList_Hide_Item_Value=\"N\"/></OTHER>");
    QCOMPARE(QSettingXml::getItemValue("PlayList_Hide_Item", "PlayList_Hide_Item_Value", "Y"), QString("N"));
    QSettingXml::setItemValue("PlayList_Hide_Item", "PlayList_Hide_Item_Value", "Y");
    const QDomElement root = parsed(DefaultFile).documentElement();
    QCOMPARE(root.tagName(), QString("OTHER"));
    QCOMPARE(childElements(root).size(), 1);
    QCOMPARE(root.firstChildElement().attribute("PlayList_Hide_Item_Value"), QString("Y"));
}

void tst_QSettingXml::items_roundTrip_data()
{
    QTest::addColumn<bool>("playList");
    QTest::addColumn<QString>("path");

    const QList<QPair<const char *, QString>> paths = {
        {"plain", "/media/plain.mp4"},
        {"spaces", "/media/with spaces/a b.mkv"},
        {"non-ascii", "/m\u00e9dia/\u00fcber/\u65e5\u672c\u8a9e.avi"},
        {"markup characters", "/media/\"quoted\" & <odd> 'names'.mp3"},
        {"trailing slash", "/media/DVD disc/"},
        {"tab and newline", "/media/tab\tand\nnewline.ts"},
        {"control characters", QString("/media/bell\x07 and escape\x1b.ts")},
        {"outside the BMP", QString("/media/\U0001F3B5 music.mp3")},
    };
    for (bool playList : {false, true}) {
        for (const auto &p : paths) {
            const QByteArray name = QByteArray(playList ? "playlist, " : "history, ") + p.first;
            QTest::newRow(name.constData()) << playList << p.second;
        }
    }
}

// Every field survives, with the item among others in a file that is reopened for each call.
void tst_QSettingXml::items_roundTrip()
{
    QFETCH(bool, playList);
    QFETCH(QString, path);

    PlayItemInfo first = makeItem("/first.mp4", 2);
    PlayItemInfo item = makeItem(path, 3);
    item.Filename = path;
    PlayItemInfo last = makeItem("/last.mp4", 5);
    last.Play_to_time_ = 9223372036854775807ULL;
    (playList ? QSettingXml::savePlayListInfoList : QSettingXml::saveHistoryInfoList)({&first, &item, &last});

    ItemList loaded;
    (playList ? QSettingXml::analysisPlayListInfo : QSettingXml::analysisHistoryInfo)(&loaded.items);
    QCOMPARE(loaded.items.size(), 3);
    comparePlayItems(*loaded.items[0], first);
    comparePlayItems(*loaded.items[1], item);
    comparePlayItems(*loaded.items[2], last);

    const QString name = playList ? PlayListFile : HistoryFile;
    const QDomElement entry = childElements(parsed(name).documentElement()).value(1);
    QCOMPARE(entry.tagName(), QString("Path_item"));
    QCOMPARE(attributeNames(entry), QStringList{playList ? "PlayList_path_" : "History_path_"});
    QCOMPARE(childElements(entry).size(), 1);
    const QDomElement info = entry.firstChildElement();
    QCOMPARE(info.tagName(), QString(playList ? "PLAYLIST_INFO_" : "HISTORY_INFO_"));
    QCOMPARE(attributeNames(info), (QStringList{"CREACTTIME_", "Duration_", "File_isDVD", "Filename",
                                               "OnlyAudio_", "Play_to_time_", "Size_"}));
    QCOMPARE(info.attribute("OnlyAudio_"), QString("1"));
    QCOMPARE(info.attribute("File_isDVD"), QString("1"));
    QCOMPARE(info.attribute("Size_"), QString::number(item.Size_));
}

void tst_QSettingXml::history_fileShape()
{
    PlayItemInfo item = makeItem("/a b/c.mp4", 1);
    QSettingXml::saveHistoryInfo(&item);

    const QByteArray raw = readRaw(HistoryFile);
    QVERIFY(!raw.contains("<?xml"));
    const QList<QByteArray> lines = raw.trimmed().split('\n');
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[0] == "<ROOTITEM>");
    QVERIFY(lines[1].startsWith("    <Path_item History_path_=\"/a b/c.mp4\">"));
    QVERIFY(lines[2].startsWith("        <HISTORY_INFO_ "));
    QVERIFY(lines[2].endsWith("/>"));
    QVERIFY(lines[3] == "    </Path_item>");
    QVERIFY(lines[4] == "</ROOTITEM>");

    // The last entry deleted: the root stays, in empty-element form.
    QSettingXml::deleteHistoryInfo("/a b/c.mp4");
    QCOMPARE(readRaw(HistoryFile).trimmed(), QByteArray("<ROOTITEM/>"));
}

void tst_QSettingXml::history_saveUpdatesInPlace()
{
    PlayItemInfo a = makeItem("/a.mp4", 1);
    PlayItemInfo b = makeItem("/b.mp4", 2);
    QSettingXml::saveHistoryInfoList({&a, &b});

    PlayItemInfo newerA = makeItem("/a.mp4", 4);
    PlayItemInfo c = makeItem("/c.mp4", 6);
    QSettingXml::saveHistoryInfoList({&c, &newerA, &c});
    QSettingXml::saveHistoryInfoList({});

    QCOMPARE(storedPaths(HistoryFile, "History_path_"), (QStringList{"/a.mp4", "/b.mp4", "/c.mp4"}));
    ItemList loaded;
    QSettingXml::analysisHistoryInfo(&loaded.items);
    QCOMPARE(loaded.items.size(), 3);
    comparePlayItems(*loaded.items[0], newerA);
    comparePlayItems(*loaded.items[1], b);
    comparePlayItems(*loaded.items[2], c);

    // Loading into a list that already holds a path adds it again: the history keeps no set.
    ItemList held;
    held.items.append(new PlayItemInfo(b));
    QSettingXml::analysisHistoryInfo(&held.items);
    QCOMPARE(held.paths(), (QStringList{"/b.mp4", "/a.mp4", "/b.mp4", "/c.mp4"}));
}

void tst_QSettingXml::playList_saveAppendsAndLoadSkipsHeldPaths()
{
    PlayItemInfo a = makeItem("/a.mp4", 1);
    PlayItemInfo b = makeItem("/b.mp4", 2);
    QSettingXml::savePlayListInfoList({&a, &b});
    PlayItemInfo newerA = makeItem("/a.mp4", 4);
    QSettingXml::savePlayListInfoList({&newerA, &b});
    QCOMPARE(storedPaths(PlayListFile, "PlayList_path_"),
             (QStringList{"/a.mp4", "/b.mp4", "/a.mp4", "/b.mp4"}));

    // The first entry of a path wins.
    ItemList loaded;
    QSettingXml::analysisPlayListInfo(&loaded.items);
    QCOMPARE(loaded.paths(), (QStringList{"/a.mp4", "/b.mp4"}));
    comparePlayItems(*loaded.items[0], a);

    ItemList held;
    held.items.append(new PlayItemInfo(b));
    QSettingXml::analysisPlayListInfo(&held.items);
    QCOMPARE(held.paths(), (QStringList{"/b.mp4", "/a.mp4"}));

    // The single-item save looks its path up and updates in place.
    QSettingXml::savePlayListInfo(&newerA);
    PlayItemInfo c = makeItem("/c.mp4", 3);
    QSettingXml::savePlayListInfo(&c);
    ItemList again;
    QSettingXml::analysisPlayListInfo(&again.items);
    QCOMPARE(again.paths(), (QStringList{"/a.mp4", "/b.mp4", "/c.mp4"}));
    comparePlayItems(*again.items[0], newerA);
}

void tst_QSettingXml::items_numbersThatDoNotParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<unsigned long long>("number");
    QTest::addColumn<bool>("flag");

    QTest::newRow("decimal") << "42" << 42ULL << true;
    QTest::newRow("zero") << "0" << 0ULL << false;
    QTest::newRow("empty") << "" << 0ULL << false;
    QTest::newRow("words") << "twelve" << 0ULL << false;
    QTest::newRow("fraction") << "1.5" << 0ULL << false;
    QTest::newRow("largest") << "9223372036854775807" << 9223372036854775807ULL << true;
    QTest::newRow("two to the 63") << "9223372036854775808" << 0ULL << false;
    QTest::newRow("negative") << "-5" << 0ULL << true;
}

void tst_QSettingXml::items_numbersThatDoNotParse()
{
    QFETCH(QString, text);
    QFETCH(unsigned long long, number);
    QFETCH(bool, flag);

    for (const char *name : {HistoryFile, PlayListFile}) {
        const bool history = name == HistoryFile;
        QDomDocument doc;
        QDomElement root = doc.createElement("ROOTITEM");
        doc.appendChild(root);
        QDomElement entry = doc.createElement("Path_item");
        entry.setAttribute(history ? "History_path_" : "PlayList_path_", "/x.mp4");
        root.appendChild(entry);
        QDomElement info = doc.createElement("INFO");
        for (const char *attr : {"Duration_", "Play_to_time_", "Size_", "CREACTTIME_", "OnlyAudio_", "File_isDVD"})
            info.setAttribute(attr, text);
        entry.appendChild(info);
        writeRaw(name, doc.toByteArray());

        ItemList loaded;
        (history ? QSettingXml::analysisHistoryInfo : QSettingXml::analysisPlayListInfo)(&loaded.items);
        QCOMPARE(loaded.items.size(), 1);
        const PlayItemInfo *item = loaded.items[0];
        QCOMPARE(item->Duration_, number);
        QCOMPARE(item->Play_to_time_, number);
        QCOMPARE(item->Size_, number);
        QCOMPARE(item->CREACTTIME_, number);
        QCOMPARE(item->OnlyAudio_, flag);
        QCOMPARE(item->File_isDVD, flag);
    }
}

void tst_QSettingXml::items_entriesWithoutPathOrInfo()
{
    writeRaw(HistoryFile,
             "<ROOTITEM>\n"
             "    <!-- a remark -->\n"
             "    <Other/>\n"
             "    <Path_item History_path_=\"/only/path.mp4\"/>\n"
             "    <Path_item><HISTORY_INFO_ Duration_=\"9\" Filename=\"f\"/></Path_item>\n"
             "</ROOTITEM>\n");
    ItemList loaded;
    QSettingXml::analysisHistoryInfo(&loaded.items);
    QCOMPARE(loaded.paths(), (QStringList{"", "/only/path.mp4", ""}));
    PlayItemInfo bare;
    bare.path = "/only/path.mp4";
    comparePlayItems(*loaded.items[1], bare);
    QCOMPARE(loaded.items[2]->Duration_, 9ULL);
    QCOMPARE(loaded.items[2]->Filename, QString("f"));

    // Saving that path gives the bare entry its info element.
    PlayItemInfo item = makeItem("/only/path.mp4", 7);
    QSettingXml::saveHistoryInfo(&item);
    ItemList again;
    QSettingXml::analysisHistoryInfo(&again.items);
    QCOMPARE(again.items.size(), 3);
    comparePlayItems(*again.items[1], item);
}

// U+FFFE and U+FFFF are legal in Linux file names but cannot be written in XML.
void tst_QSettingXml::items_textXmlCannotCarry()
{
    PlayItemInfo a = makeItem("/a.mp4", 1);
    PlayItemInfo control = makeItem(QString("/media/bad") + QChar(0xFFFF) + ".mp4", 2);
    PlayItemInfo nonCharacter = makeItem("/media/ok.mp4", 3);
    nonCharacter.Filename = QString("ok") + QChar(0xFFFE);
    PlayItemInfo b = makeItem("/b.mp4", 4);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("XML cannot carry"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("XML cannot carry"));
    QSettingXml::savePlayListInfoList({&a, &control, &nonCharacter, &b});
    ItemList loaded;
    QSettingXml::analysisPlayListInfo(&loaded.items);
    QCOMPARE(loaded.paths(), (QStringList{"/a.mp4", "/b.mp4"}));

    // A setting with such a value is not written: the file keeps its old, readable content.
    QCOMPARE(QSettingXml::getItemValue("OpenDir_Item", "OpenDir_Item_Value", "."), QString("."));
    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("JPG"));
    const QByteArray settings = readRaw(DefaultFile);
    const QByteArray shots = readRaw(ShotsFile);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("XML cannot carry"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("XML cannot carry"));
    QSettingXml::setItemValue("OpenDir_Item", "OpenDir_Item_Value", QString("/in") + QChar(0xFFFE));
    QSettingXml::setCaptureImgSuffix(QString("P") + QChar(0xFFFF));
    QCOMPARE(readRaw(DefaultFile), settings);
    QCOMPARE(readRaw(ShotsFile), shots);
    QCOMPARE(QSettingXml::getItemValue("OpenDir_Item", "OpenDir_Item_Value", "x"), QString("."));
}

void tst_QSettingXml::items_delete()
{
    const QByteArray stored =
        "<ROOTITEM>\n"
        "    <Path_item PATH=\"C:\\media\\a b.mp4\"><INFO/></Path_item>\n"
        "    <Path_item PATH=\"/dup.mp4\"><INFO Size_=\"1\"/></Path_item>\n"
        "    <Path_item PATH=\"/dup.mp4\"><INFO Size_=\"2\"/></Path_item>\n"
        "</ROOTITEM>\n";
    writeRaw(HistoryFile, QByteArray(stored).replace("PATH", "History_path_"));
    writeRaw(PlayListFile, QByteArray(stored).replace("PATH", "PlayList_path_"));

    QSettingXml::deletePlayListInfo("C:/media/a b.mp4");
    QSettingXml::deleteHistoryInfo("C:/media/a b.mp4");
    QCOMPARE(storedPaths(PlayListFile, "PlayList_path_"), (QStringList{"/dup.mp4", "/dup.mp4"}));
    QCOMPARE(storedPaths(HistoryFile, "History_path_"),
             (QStringList{"C:\\media\\a b.mp4", "/dup.mp4", "/dup.mp4"}));

    QSettingXml::deleteHistoryInfo("C:\\media\\a b.mp4");
    QSettingXml::deleteHistoryInfo("/dup.mp4");
    QSettingXml::deleteHistoryInfo("/not/there.mp4");
    const QList<QDomElement> left = childElements(parsed(HistoryFile).documentElement());
    QCOMPARE(left.size(), 1);
    QCOMPARE(left[0].firstChildElement().attribute("Size_"), QString("2"));

    // Without a file a deletion creates none.
    QSettingXml::clearHistoryInfo();
    QSettingXml::deleteHistoryInfo("/dup.mp4");
    QVERIFY(!QFile::exists(dataFile(HistoryFile)));
}

void tst_QSettingXml::items_clearAndMissingFile()
{
    // Loading without a file, or without a list, creates nothing.
    ItemList loaded;
    QSettingXml::analysisHistoryInfo(&loaded.items);
    QSettingXml::analysisPlayListInfo(&loaded.items);
    QVERIFY(loaded.items.isEmpty());
    QVERIFY(!QFile::exists(dataFile(HistoryFile)));
    QVERIFY(!QFile::exists(dataFile(PlayListFile)));

    PlayItemInfo a = makeItem("/a.mp4", 1);
    QSettingXml::saveHistoryInfoList({&a});
    QSettingXml::savePlayListInfoList({&a});
    const QByteArray before = readRaw(PlayListFile);
    QSettingXml::analysisHistoryInfo(nullptr);
    QSettingXml::analysisPlayListInfo(&loaded.items);
    QCOMPARE(readRaw(PlayListFile), before);

    QSettingXml::clearHistoryInfo();
    QSettingXml::clearPlayListInfo();
    QVERIFY(!QFile::exists(dataFile(HistoryFile)));
    QVERIFY(!QFile::exists(dataFile(PlayListFile)));
    QSettingXml::clearPlayListInfo();

    ItemList afterClear;
    QSettingXml::analysisPlayListInfo(&afterClear.items);
    QVERIFY(afterClear.items.isEmpty());
    PlayItemInfo b = makeItem("/b.mp4", 2);
    QSettingXml::savePlayListInfoList({&b});
    QCOMPARE(storedPaths(PlayListFile, "PlayList_path_"), QStringList{"/b.mp4"});
}

void tst_QSettingXml::screenshots_freshStart()
{
    const QString folder = QIAnyUtil::getDocumentPath() + "/Screenshots/";
    QVERIFY(!QDir(folder).exists());

    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("JPG"));
    QCOMPARE(QSettingXml::getCaptrueImaSavePath(), folder);
    QVERIFY(QDir(folder).exists());

    const QDomElement root = parsed(ShotsFile).documentElement();
    QCOMPARE(root.tagName(), QString("ROOTITEM"));
    const QList<QDomElement> elements = childElements(root);
    QCOMPARE(elements.size(), 1);
    QCOMPARE(elements[0].tagName(), QString("Screenshots"));
    QCOMPARE(elements[0].attribute("IMG_SUFFIX"), QString("JPG"));
    QCOMPARE(elements[0].attribute("IMG_Folder"), folder);
    QVERIFY(!readRaw(ShotsFile).contains("<?xml"));
}

void tst_QSettingXml::screenshots_storedValues()
{
    writeRaw(ShotsFile,
             "<ROOTITEM>\n"
             "    <screenshots IMG_SUFFIX=\"PNG\" IMG_Folder=\"/elsewhere\"/>\n"
             "    <Screenshots IMG_SUFFIX=\"\" IMG_Folder=\"/no/such/folder\"/>\n"
             "</ROOTITEM>\n");
    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("JPG"));
    QCOMPARE(QSettingXml::getCaptrueImaSavePath(), QString("/no/such/folder"));
    QVERIFY(!QDir("/no/such/folder").exists());
    QVERIFY(QDir(QIAnyUtil::getDocumentPath() + "/Screenshots/").exists());

    QList<QDomElement> elements = childElements(parsed(ShotsFile).documentElement());
    QCOMPARE(elements.size(), 2);
    QCOMPARE(elements[0].attribute("IMG_SUFFIX"), QString("PNG"));
    QCOMPARE(elements[1].attribute("IMG_SUFFIX"), QString("JPG"));

    QSettingXml::setCaptureImgSuffix("png");
    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("png"));

    // A tag that differs in case is not the element: the getters add one.
    writeRaw(ShotsFile, "<ROOTITEM><SCREENSHOTS IMG_SUFFIX=\"PNG\"/></ROOTITEM>");
    QCOMPARE(QSettingXml::getCaptrueImaSavePath(), QIAnyUtil::getDocumentPath() + "/Screenshots/");
    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("JPG"));
    elements = childElements(parsed(ShotsFile).documentElement());
    QCOMPARE(elements.size(), 2);
    QCOMPARE(attributeNames(elements[1]), (QStringList{"IMG_Folder", "IMG_SUFFIX"}));
}

void tst_QSettingXml::screenshots_setters()
{
    QSettingXml::setCaptureImgSuffix("PNG");
    QSettingXml::setCaptrueImaPath("/pictures");
    QVERIFY(!QFile::exists(dataFile(ShotsFile)));

    writeRaw(ShotsFile, "<ROOTITEM/>");
    QSettingXml::setCaptureImgSuffix("PNG");
    QCOMPARE(childElements(parsed(ShotsFile).documentElement()).size(), 0);

    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("JPG"));
    QSettingXml::setCaptureImgSuffix("PNG");
    QSettingXml::setCaptrueImaPath("/my pictures/sn\u00e4p & \"shots\"");
    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("PNG"));
    QCOMPARE(QSettingXml::getCaptrueImaSavePath(), QString("/my pictures/sn\u00e4p & \"shots\""));
}

void tst_QSettingXml::screenshots_folderCannotBeMade()
{
    // A file where the folder should be: snapshots go to the documents folder itself.
    const QString documents = QIAnyUtil::getDocumentPath();
    QFile blocker(documents + "/Screenshots");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(QSettingXml::getCaptrueImaSavePath(), documents);
    QCOMPARE(parsed(ShotsFile).documentElement().firstChildElement("Screenshots").attribute("IMG_Folder"),
             documents);
}

namespace {

// One call of the store on one file, and what it answers on a file it cannot use.
struct StoreCall
{
    const char *name;
    const char *file;
    std::function<QString()> call;
    QString fallback;
    bool rebuilds;
};

QList<StoreCall> storeCalls()
{
    static PlayItemInfo item = makeItem("/saved.mp4", 1);
    const auto loadCount = [](void (*load)(QList<PlayItemInfo *> *)) {
        ItemList loaded;
        load(&loaded.items);
        return QString::number(loaded.items.size());
    };
    return {
        {"getItemValue", DefaultFile, [] { return QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"); },
         "200", true},
        {"setItemValue", DefaultFile, [] { QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", "5"); return QString(); },
         QString(), true},
        {"getCaptureImgSuffix", ShotsFile, [] { return QSettingXml::getCaptureImgSuffix(); }, "JPG", true},
        {"setCaptrueImaPath", ShotsFile, [] { QSettingXml::setCaptrueImaPath("/p"); return QString(); }, QString(), true},
        {"analysisHistoryInfo", HistoryFile, [=] { return loadCount(QSettingXml::analysisHistoryInfo); }, "0", false},
        {"saveHistoryInfoList", HistoryFile, [] { QSettingXml::saveHistoryInfoList({&item}); return QString(); }, QString(), true},
        {"deleteHistoryInfo", HistoryFile, [] { QSettingXml::deleteHistoryInfo("/x"); return QString(); }, QString(), true},
        {"analysisPlayListInfo", PlayListFile, [=] { return loadCount(QSettingXml::analysisPlayListInfo); }, "0", false},
        {"savePlayListInfoList", PlayListFile, [] { QSettingXml::savePlayListInfoList({&item}); return QString(); }, QString(), true},
        {"deletePlayListInfo", PlayListFile, [] { QSettingXml::deletePlayListInfo("/x"); return QString(); }, QString(), true},
    };
}

}

void tst_QSettingXml::damagedFile_keptAsideAndRebuilt_data()
{
    QTest::addColumn<int>("call");
    QTest::addColumn<QByteArray>("content");

    const QList<QPair<const char *, QByteArray>> damage = {
        {"empty", QByteArray()},
        {"truncated", "<ROOTITEM>\n    <Volume_Item Volume_Item_Value=\"12\"/>\n    <Path_it"},
        {"nul bytes", QByteArray(64, '\0')},
        {"not xml", "volume=12\n"},
        {"one level deeper than the store", "<ROOTITEM><Path_item><HISTORY_INFO_><x/></HISTORY_INFO_></Path_item></ROOTITEM>"},
        {"30000 levels deep", QByteArray("<a>").repeated(30000) + QByteArray("</a>").repeated(30000)},
    };
    const QList<StoreCall> calls = storeCalls();
    for (int i = 0; i < calls.size(); ++i) {
        for (const auto &d : damage) {
            const QByteArray name = QByteArray(calls[i].name) + " " + d.first;
            QTest::newRow(name.constData()) << i << d.second;
        }
    }
}

void tst_QSettingXml::damagedFile_keptAsideAndRebuilt()
{
    QFETCH(int, call);
    QFETCH(QByteArray, content);
    const StoreCall store = storeCalls().at(call);
    const QString name = store.file;

    // An older copy is replaced by the newer damage.
    writeRaw(name + ".bad", "older damage");
    writeRaw(name, content);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("does not parse, kept as .*\\.bad\"$"));
    QCOMPARE(store.call(), store.fallback);

    QCOMPARE(readRaw(name + ".bad"), content);
    if (store.rebuilds) {
        const QDomDocument doc = parsed(name);
        QVERIFY(!doc.isNull());
        QCOMPARE(doc.documentElement().tagName(), QString("ROOTITEM"));
    } else {
        QVERIFY(!QFile::exists(dataFile(name)));
    }
}

void tst_QSettingXml::folderInPlaceOfFile_isLeftAlone_data()
{
    QTest::addColumn<int>("call");
    const QList<StoreCall> calls = storeCalls();
    for (int i = 0; i < calls.size(); ++i) {
        QTest::newRow(calls[i].name) << i;
    }
}

void tst_QSettingXml::folderInPlaceOfFile_isLeftAlone()
{
    QFETCH(int, call);
    const StoreCall store = storeCalls().at(call);
    const QString path = dataFile(store.file);
    QVERIFY(QDir().mkpath(path));
    writeRaw(QString(store.file) + "/inside", "kept");

    QCOMPARE(store.call(), store.fallback);

    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(readRaw(QString(store.file) + "/inside"), QByteArray("kept"));
    QVERIFY(!QFile::exists(path + ".bad"));
}

void tst_QSettingXml::damagedFile_thatCannotBeKept_isNotWritten()
{
    const QByteArray damaged = "<ROOTITEM><Volume_Item Volume_Item_Value=\"12\"";
    writeRaw(DefaultFile, damaged);
    QVERIFY(QDir().mkpath(dataFile(DefaultFile) + ".bad/occupied"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be moved aside"));
    QCOMPARE(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"), QString("200"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be moved aside"));
    QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", "5");
    QCOMPARE(readRaw(DefaultFile), damaged);
}

void tst_QSettingXml::pipeInPlaceOfFile_isNotOpened_data()
{
    folderInPlaceOfFile_isLeftAlone_data();
}

void tst_QSettingXml::pipeInPlaceOfFile_isNotOpened()
{
    QFETCH(int, call);
    const StoreCall store = storeCalls().at(call);
    const QByteArray path = QFile::encodeName(dataFile(store.file));
    QVERIFY(mkfifo(path.constData(), 0600) == 0);

    // Nobody writes the pipe: a store that opened it would wait for ever.
    std::atomic<bool> done{false};
    QString answer;
    std::thread caller([&] {
        answer = store.call();
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done.load(); }, 20000)) {
        const int writer = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    caller.join();
    QVERIFY2(done, "the call opened the pipe");
    QCOMPARE(answer, store.fallback);
    struct stat info;
    QVERIFY(stat(path.constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    QVERIFY(!QFile::exists(dataFile(store.file) + ".bad"));
}

void tst_QSettingXml::textNotUtf8_isReadAsLatin1_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("damaged");

    QTest::newRow("history") << HistoryFile
                             << QByteArray("<ROOTITEM>\n    <Path_item History_path_=\"/m\xe9" "dia/caf\xe9" ".mp4\">\n"
                                           "        <HISTORY_INFO_ Filename=\"caf\xe9" ".mp4\" Duration_=\"5\"/>\n"
                                           "    </Path_item>\n</ROOTITEM>\n")
                             << true;
    QTest::newRow("playlist") << PlayListFile
                              << QByteArray("<ROOTITEM><Path_item PlayList_path_=\"/m\xe9" "dia/caf\xe9" ".mp4\">"
                                            "<PLAYLIST_INFO_ Filename=\"caf\xe9" ".mp4\" Duration_=\"5\"/>"
                                            "</Path_item></ROOTITEM>")
                              << true;
    QTest::newRow("declared Latin-1") << HistoryFile
                                      << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                                                    "<ROOTITEM><Path_item History_path_=\"/m\xe9" "dia/caf\xe9" ".mp4\">"
                                                    "<HISTORY_INFO_ Filename=\"caf\xe9" ".mp4\" Duration_=\"5\"/>"
                                                    "</Path_item></ROOTITEM>")
                                      << false;
}

// Names written in Latin-1 by some other program survive a load and the save after it.
void tst_QSettingXml::textNotUtf8_isReadAsLatin1()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(bool, damaged);
    const bool history = file == HistoryFile;
    const QString name = QString::fromUtf8("/m\u00e9dia/caf\u00e9.mp4");

    writeRaw(file, content);
    if (damaged)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not UTF-8, read as Latin-1, kept as .*\\.bad\"$"));
    ItemList loaded;
    (history ? QSettingXml::analysisHistoryInfo : QSettingXml::analysisPlayListInfo)(&loaded.items);
    QCOMPARE(loaded.paths(), QStringList{name});
    QCOMPARE(loaded.items[0]->Filename, QString::fromUtf8("caf\u00e9.mp4"));
    QCOMPARE(loaded.items[0]->Duration_, 5ULL);
    // Loading writes nothing; a damaged file is kept as it came, beside it.
    QCOMPARE(readRaw(file), content);
    QCOMPARE(readRaw(file + ".bad"), damaged ? content : QByteArray());

    if (damaged)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not UTF-8, read as Latin-1"));
    PlayItemInfo other = makeItem("/other.mp4", 2);
    (history ? QSettingXml::saveHistoryInfoList : QSettingXml::savePlayListInfoList)({&other});
    // Written anew in UTF-8, unless the file names its own encoding.
    QCOMPARE(readRaw(file).contains(name.toUtf8()), damaged);
    ItemList again;
    (history ? QSettingXml::analysisHistoryInfo : QSettingXml::analysisPlayListInfo)(&again.items);
    QCOMPARE(again.paths(), (QStringList{name, "/other.mp4"}));
}

namespace {

// What one writer does: count entries of its own, in the history or as items of the default settings.
void writeEntries(const QString &kind, const QString &writer, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString name = QString("%1_%2").arg(writer).arg(i);
        if (kind == "history") {
            PlayItemInfo item = makeItem("/" + name + ".mp4", i);
            QSettingXml::saveHistoryInfo(&item);
        } else {
            QSettingXml::getItemValue("Item_" + name, "Value", name);
        }
    }
}

QStringList writtenEntries(const QString &kind)
{
    QStringList names;
    if (kind == "history") {
        ItemList loaded;
        QSettingXml::analysisHistoryInfo(&loaded.items);
        for (const QString &path : loaded.paths())
            names << path.mid(1, path.size() - 5);
    } else {
        for (const QDomElement &item : childElements(parsed(DefaultFile).documentElement()))
            names << item.attribute("Value");
    }
    names.sort();
    return names;
}

const char *const WriterVariable = "ZR_SETTINGS_WRITER";

}

void tst_QSettingXml::concurrentWriters_loseNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("processes");
    QTest::addColumn<int>("writers");
    QTest::addColumn<int>("count");

    QTest::newRow("history, threads") << "history" << false << 4 << 60;
    QTest::newRow("history, processes") << "history" << true << 3 << 60;
    QTest::newRow("default settings, threads") << "items" << false << 4 << 40;
    QTest::newRow("default settings, processes") << "items" << true << 3 << 40;
}

void tst_QSettingXml::concurrentWriters_loseNothing()
{
    QFETCH(QString, kind);
    QFETCH(bool, processes);
    QFETCH(int, writers);
    QFETCH(int, count);

    if (processes) {
        std::vector<std::unique_ptr<QProcess>> children;
        for (int w = 0; w < writers; ++w) {
            children.emplace_back(new QProcess);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(WriterVariable, QString("%1 w%2 %3").arg(kind).arg(w).arg(count));
            children.back()->setProcessEnvironment(environment);
            children.back()->setProcessChannelMode(QProcess::ForwardedChannels);
            children.back()->start(QCoreApplication::applicationFilePath(), QStringList());
        }
        for (const auto &child : children) {
            QVERIFY(child->waitForFinished(240000));
            QCOMPARE(child->exitCode(), 0);
        }
    } else {
        std::vector<std::thread> threads;
        for (int w = 0; w < writers; ++w)
            threads.emplace_back(writeEntries, kind, QString("w%1").arg(w), count);
        for (std::thread &thread : threads)
            thread.join();
    }

    QStringList expected;
    for (int w = 0; w < writers; ++w)
        for (int i = 0; i < count; ++i)
            expected << QString("w%1_%2").arg(w).arg(i);
    expected.sort();
    const QStringList written = writtenEntries(kind);
    QCOMPARE(written.size(), expected.size());
    QCOMPARE(written, expected);
    QVERIFY(QDir(QIAnyUtil::getAppDataPath()).entryList({"*.lock"}, QDir::Files | QDir::Hidden).isEmpty());
}

namespace {

const char *const WriteWarning = "error::ParserXML->writeOperateXml->file.write\n";
const int HistoryCount = 20;
const int PlayListCount = 5;

// Numbered items under a folder, their fields made from the number.
QList<PlayItemInfo> numberedItems(const QString &folder, int count)
{
    QList<PlayItemInfo> items;
    for (int i = 0; i < count; ++i)
        items << makeItem(QString("/%1/%2.mp4").arg(folder).arg(i), unsigned(i + 1));
    return items;
}

void saveAll(void (*save)(QList<PlayItemInfo *>), QList<PlayItemInfo> items)
{
    QList<PlayItemInfo *> pointers;
    for (PlayItemInfo &item : items)
        pointers << &item;
    save(pointers);
}

void compareLoaded(void (*load)(QList<PlayItemInfo *> *), const QList<PlayItemInfo> &expected)
{
    ItemList loaded;
    load(&loaded.items);
    QCOMPARE(loaded.items.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        comparePlayItems(*loaded.items[i], expected[i]);
}

// A value in every file: the volume, the play mode, twenty history entries, a playlist, a
// snapshot format.
void fillStore()
{
    QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200");
    QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", "37");
    QSettingXml::getItemValue("PlayMode_Item", "PlayMode_Item_Value", "");
    QSettingXml::setItemValue("PlayMode_Item", "PlayMode_Item_Value", "3");
    saveAll(QSettingXml::saveHistoryInfoList, numberedItems("history", HistoryCount));
    saveAll(QSettingXml::savePlayListInfoList, numberedItems("list", PlayListCount));
    QSettingXml::getCaptureImgSuffix();
    QSettingXml::setCaptureImgSuffix("PNG");
}

// Everything fillStore stored reads back; the readers that save expect to be told it failed.
void checkStore(bool diskFull)
{
    const auto read = [diskFull](const QString &item, const QString &key) {
        if (diskFull)
            QTest::ignoreMessage(QtWarningMsg, WriteWarning);
        return QSettingXml::getItemValue(item, key, "default");
    };
    QCOMPARE(read("Volume_Item", "Volume_Item_Value"), QString("37"));
    QCOMPARE(read("PlayMode_Item", "PlayMode_Item_Value"), QString("3"));
    if (diskFull)
        QTest::ignoreMessage(QtWarningMsg, WriteWarning);
    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("PNG"));
    compareLoaded(QSettingXml::analysisHistoryInfo, numberedItems("history", HistoryCount));
    compareLoaded(QSettingXml::analysisPlayListInfo, numberedItems("list", PlayListCount));
}

QMap<QString, QByteArray> storeFiles()
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(QIAnyUtil::getAppDataPath()).entryList(QDir::Files | QDir::Hidden))
        files.insert(name, readRaw(name));
    return files;
}

}

void tst_QSettingXml::fullDisk_losesNothing_data()
{
    QTest::addColumn<int>("call");
    const QList<StoreCall> calls = storeCalls();
    for (int i = 0; i < calls.size(); ++i) {
        if (calls[i].rebuilds)
            QTest::newRow(calls[i].name) << i;
    }
}

// A write that cannot reach the disk whole leaves the file as it was and says so.
void tst_QSettingXml::fullDisk_losesNothing()
{
    QFETCH(int, call);
    const StoreCall store = storeCalls().at(call);
    fillStore();
    const QMap<QString, QByteArray> before = storeFiles();
    QCOMPARE(before.keys(), QStringList({DefaultFile, HistoryFile, PlayListFile, ShotsFile}));
    {
        const FileSizeLimit full(0);
        QVERIFY(full.isActive());
        QTest::ignoreMessage(QtWarningMsg, WriteWarning);
        store.call();
        QCOMPARE(storeFiles(), before);
        checkStore(true);
        QCOMPARE(storeFiles(), before);
    }
    // Space is back: everything is there, and the next write goes through.
    checkStore(false);
    QSettingXml::setItemValue("Volume_Item", "Volume_Item_Value", "41");
    QCOMPARE(QSettingXml::getItemValue("Volume_Item", "Volume_Item_Value", "200"), QString("41"));
}

// Started with ZR_SETTINGS_WRITER="<kind> <writer> <count>", the test program is one of the writers above.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList writer = qEnvironmentVariable(WriterVariable).split(' ', Qt::SkipEmptyParts);
    if (writer.size() == 3) {
        writeEntries(writer[0], writer[1], writer[2].toInt());
        return 0;
    }
    tst_QSettingXml test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_qsettingxml.moc"
