#include "converter_profiles/profilefiles.h"

#include "converter_profiles/qvideosettingxml.h"
#include "services/qianyutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime Aged(QDate(2001, 2, 3), QTime(4, 5, 6));

QStringList storedPaths(const QDomElement &root)
{
    QStringList paths;
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling())
        paths << node.toElement().attribute("Converted_path_");
    return paths;
}

convertedInfo fullRecord(const QString &path)
{
    convertedInfo info;
    info.imgPath = "/img/a.png";
    info.convertedPath = path;
    info.preferencePath = "/pref";
    info.resolution = "1920x1080";
    info.time = "00:01:02";
    info.size = "12 MB";
    info.createTime = "2024-05-06";
    info.extend = "mp4";
    info.title = "Title";
    info.artist = "Artist";
    info.album = "Album";
    info.genre = "Genre";
    info.reservedText = "never stored";
    info.season = "S1";
    info.year = "1999";
    info.videoFile = true;
    info.newFile = true;
    return info;
}

QStringList fieldsOf(const convertedInfo *info)
{
    if (!info)
        return {"null"};
    return {info->imgPath, info->convertedPath, info->preferencePath, info->resolution, info->time,
            info->size, info->createTime, info->extend, info->title, info->artist,
            info->album, info->genre, info->reservedText, info->season, info->year,
            info->videoFile ? "Y" : "N", info->newFile ? "Y" : "N"};
}

}

class tst_QVideoSettingXmlHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void missingFile_onlyWritersCreateIt();
    void normalisation_data();
    void normalisation();
    void convertedPath_dropsVanishedFiles();
    void deleteConvertedPath_eachPathOnce();
    void saveConvertedInfo_oneChildForeignKept();
    void savedRecord_readsBackEveryField();
    void newFile_trueInOneListing();
    void flags_onlyCapitalY_data();
    void flags_onlyCapitalY();
    void changeConvertedInfo_pathAndValue();

    void digests_inSavingOrder();
    void digests_lastChildWithoutDigest();
    void languages_data();
    void languages();

private:
    QString historyPath() const { return m_appData + "/History.xml"; }

    QString m_appData;
    QTemporaryDir m_files;
};

void tst_QVideoSettingXmlHistory::initTestCase()
{
    m_appData = QIAnyUtil::getAppDataPath();
    QVERIFY(m_files.isValid());
}

void tst_QVideoSettingXmlHistory::init()
{
    QDir(m_appData).removeRecursively();
    QVERIFY(QDir().mkpath(m_appData));
}

void tst_QVideoSettingXmlHistory::missingFile_onlyWritersCreateIt()
{
    QCOMPARE(QVideoSettingXml::GetConvertedPath(), QStringList());
    QCOMPARE(QVideoSettingXml::GetConvertedInfo("/a"), nullptr);
    QCOMPARE(QVideoSettingXml::getPreferencePath("/a"), QString());
    QVideoSettingXml::removeConvertedInfo("/a");
    QVideoSettingXml::changeConvertedInfoPath("/a", "/b");
    QVideoSettingXml::DeleteConvertedPath({"/a"});
    QList<convertedInfo *> list;
    QVideoSettingXml::analysisConvertedInfo(&list);
    QVERIFY(list.isEmpty());
    QVERIFY(!QFileInfo::exists(historyPath()));

    // A value change for a path without entry still writes, and so creates the file.
    QVideoSettingXml::changeConvertedInfoValue("/a", "Title_", "t");
    QCOMPARE(storedPaths(xmlOf(historyPath()).documentElement()), QStringList());
    QVERIFY(QFile::remove(historyPath()));

    QVideoSettingXml::SetConvertedPath("/a");
    QVideoSettingXml::SetConvertedPath("/a");
    const QDomDocument rootDoc = xmlOf(historyPath());
    const QDomElement root = rootDoc.documentElement();
    QCOMPARE(root.tagName(), QString("ROOTITEM"));
    QCOMPARE(root.firstChildElement().tagName(), QString("Path_item"));
    QCOMPARE(storedPaths(root), QStringList({"/a"}));
}

void tst_QVideoSettingXmlHistory::normalisation_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("given");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<bool>("matches");

    // Each operation answers whether it found the entry, from what it did to the file.
    const auto count = [this] { return QString::number(storedPaths(xmlOf(historyPath()).documentElement()).size()); };
    struct Row
    {
        const char *name;
        std::function<QString(const QString &)> operation;
        QString whenFound;
        bool normalises;
    };
    const Row rows[] = {
        {"SetConvertedPath", [count](const QString &path) { QVideoSettingXml::SetConvertedPath(path); return count(); },
         "1", false},
        {"SaveConvertedInfo",
         [count](const QString &path) {
             convertedInfo info;
             info.convertedPath = path;
             QVideoSettingXml::SaveConvertedInfo(&info);
             return count();
         },
         "1", false},
        {"DeleteConvertedPath",
         [count](const QString &path) { QVideoSettingXml::DeleteConvertedPath({path}); return count(); }, "0", false},
        {"changeConvertedInfoValue",
         [this](const QString &path) {
             QVideoSettingXml::changeConvertedInfoValue(path, "Title_", "changed");
             return xmlOf(historyPath()).documentElement().firstChildElement().firstChildElement().attribute("Title_");
         },
         "changed", false},
        {"GetConvertedInfo",
         [](const QString &path) {
             const convertedInfo *info = QVideoSettingXml::GetConvertedInfo(path);
             return info ? info->convertedPath + " " + info->title : QString("null");
         },
         "C:/video/a.mp4 t", true},
        {"getPreferencePath", [](const QString &path) { return QVideoSettingXml::getPreferencePath(path); }, "/pref",
         true},
        {"removeConvertedInfo",
         [count](const QString &path) { QVideoSettingXml::removeConvertedInfo(path); return count(); }, "0", true},
        {"changeConvertedInfoPath",
         [this](const QString &path) {
             QVideoSettingXml::changeConvertedInfoPath(path, "D:\\new.mp4");
             return storedPaths(xmlOf(historyPath()).documentElement()).join('|');
         },
         "D:\\new.mp4", true},
    };
    const QString backslashes = "C:\\video\\a.mp4";
    const QString slashes = "C:/video/a.mp4";
    for (const Row &row : rows) {
        const std::function<QString(const QString &)> operation = row.operation;
        const QString whenFound = row.whenFound;
        QTest::addRow("%s, stored with \\", row.name)
            << backslashes << slashes << Operation([operation, slashes, whenFound] {
                   return operation(slashes) == whenFound ? "found" : "missed";
               }) << row.normalises;
        QTest::addRow("%s, stored with /", row.name)
            << slashes << backslashes << Operation([operation, backslashes, whenFound] {
                   return operation(backslashes) == whenFound ? "found" : "missed";
               }) << row.normalises;
        QTest::addRow("%s, same text", row.name)
            << backslashes << backslashes << Operation([operation, backslashes, whenFound] {
                   return operation(backslashes) == whenFound ? "found" : "missed";
               }) << true;
    }
}

void tst_QVideoSettingXmlHistory::normalisation()
{
    QFETCH(QString, stored);
    QFETCH(Operation, operation);
    QFETCH(bool, matches);

    QDomDocument doc;
    QDomElement root = doc.createElement("ROOTITEM");
    doc.appendChild(root);
    QDomElement entry = doc.createElement("Path_item");
    entry.setAttribute("Converted_path_", stored);
    root.appendChild(entry);
    QDomElement info = doc.createElement("CONVERTED_INFO_");
    info.setAttribute("Title_", "t");
    info.setAttribute("preferencePath_", "/pref");
    entry.appendChild(info);
    QVERIFY(writeAged(historyPath(), doc.toByteArray()));

    QCOMPARE(operation(), QString(matches ? "found" : "missed"));
}

void tst_QVideoSettingXmlHistory::convertedPath_dropsVanishedFiles()
{
    QStringList files;
    for (const char *name : {"one.mp4", "two.mp4", "three.mp4"}) {
        files << m_files.filePath(name);
        QVERIFY(writeAged(files.last(), "video"));
        QVideoSettingXml::SetConvertedPath(files.last());
    }
    QCOMPARE(QVideoSettingXml::GetConvertedPath(), files);

    QVERIFY(QFile::remove(files.at(1)));
    QVERIFY(ageFile(historyPath()));
    QCOMPARE(QVideoSettingXml::GetConvertedPath(), QStringList({files.at(0), files.at(2)}));
    QCOMPARE(storedPaths(xmlOf(historyPath()).documentElement()), QStringList({files.at(0), files.at(2)}));
    QVERIFY(fileState(historyPath()).modified > Aged);

    // Nothing gone: no rewrite.
    QVERIFY(ageFile(historyPath()));
    const FileState before = fileState(historyPath());
    QCOMPARE(QVideoSettingXml::GetConvertedPath(), QStringList({files.at(0), files.at(2)}));
    QCOMPARE(fileState(historyPath()).modified, before.modified);
    QCOMPARE(fileState(historyPath()).bytes, before.bytes);

    // An entry without a path and a comment count as gone too.
    QVERIFY(writeAged(historyPath(), QString("<ROOTITEM><Path_item/><!-- note --><Path_item Converted_path_=\"%1\"/>"
                                             "</ROOTITEM>").arg(files.at(0)).toUtf8()));
    QCOMPARE(QVideoSettingXml::GetConvertedPath(), QStringList({files.at(0)}));
    QCOMPARE(xmlOf(historyPath()).documentElement().childNodes().size(), 1);
}

void tst_QVideoSettingXmlHistory::deleteConvertedPath_eachPathOnce()
{
    QVERIFY(writeAged(historyPath(), "<ROOTITEM><Path_item Converted_path_=\"/a\"/><Path_item Converted_path_=\"/b\"/>"
                                     "<Path_item Converted_path_=\"/a\"/><Path_item Converted_path_=\"/c\"/>"
                                     "<Path_item Converted_path_=\"/a\"/></ROOTITEM>"));
    const FileState before = fileState(historyPath());
    QVideoSettingXml::DeleteConvertedPath({});
    QVideoSettingXml::DeleteConvertedPath({"/x", "\\a"});
    QCOMPARE(fileState(historyPath()).modified, before.modified);
    QCOMPARE(fileState(historyPath()).bytes, before.bytes);

    QVideoSettingXml::DeleteConvertedPath({"/a", "/c", "/a"});
    QCOMPARE(storedPaths(xmlOf(historyPath()).documentElement()), QStringList({"/b", "/a"}));
}

void tst_QVideoSettingXmlHistory::saveConvertedInfo_oneChildForeignKept()
{
    QVideoSettingXml::SaveConvertedInfo(nullptr);
    QVERIFY(!QFileInfo::exists(historyPath()));

    convertedInfo first = fullRecord("/out/a.mp4");
    QVideoSettingXml::SaveConvertedInfo(&first);
    QVideoSettingXml::changeConvertedInfoValue("/out/a.mp4", "Rating", "5");
    convertedInfo second = fullRecord("/out/a.mp4");
    second.title = "Second";
    second.videoFile = false;
    QVideoSettingXml::SaveConvertedInfo(&second);

    const QDomDocument rootDoc = xmlOf(historyPath());
    const QDomElement root = rootDoc.documentElement();
    QCOMPARE(root.childNodes().size(), 1);
    const QDomElement entry = root.firstChildElement();
    QCOMPARE(entry.childNodes().size(), 1);
    const QDomElement info = entry.firstChildElement();
    QCOMPARE(info.tagName(), QString("CONVERTED_INFO_"));
    QCOMPARE(info.attribute("Rating"), QString("5"));
    QCOMPARE(info.attribute("Title_"), QString("Second"));
    QCOMPARE(info.attribute("Video_file"), QString("N"));
    QCOMPARE(info.attributes().size(), 16);
}

void tst_QVideoSettingXmlHistory::savedRecord_readsBackEveryField()
{
    convertedInfo saved = fullRecord("C:\\out\\a.mp4");
    QVideoSettingXml::SaveConvertedInfo(&saved);
    const QDomDocument infoDoc = xmlOf(historyPath());
    const QDomElement info = infoDoc.documentElement().firstChildElement().firstChildElement();
    QCOMPARE(info.attribute("Resolutin_"), QString("1920x1080"));
    QCOMPARE(info.attribute("Genre_"), QString("Genre"));
    QCOMPARE(info.attribute("Year"), QString("1999"));

    convertedInfo expected = saved;
    expected.convertedPath = "C:/out/a.mp4";
    expected.reservedText.clear();
    QCOMPARE(fieldsOf(QVideoSettingXml::GetConvertedInfo("C:/out/a.mp4")), fieldsOf(&expected));
    QCOMPARE(fieldsOf(QVideoSettingXml::GetConvertedInfo("C:/out/b.mp4")), QStringList({"null"}));
    QCOMPARE(fieldsOf(QVideoSettingXml::GetConvertedInfo("C:\\out\\a.mp4")), fieldsOf(&expected));
}

void tst_QVideoSettingXmlHistory::newFile_trueInOneListing()
{
    convertedInfo fresh = fullRecord("C:\\out\\new.mp4");
    convertedInfo old = fullRecord("/out/old.mp4");
    old.newFile = false;
    QVideoSettingXml::SaveConvertedInfo(&fresh);
    QVideoSettingXml::SaveConvertedInfo(&old);
    QVERIFY(ageFile(historyPath()));

    QList<convertedInfo *> first;
    first << nullptr;
    QVideoSettingXml::analysisConvertedInfo(&first);
    QCOMPARE(first.size(), 3);
    QCOMPARE(first.at(1)->convertedPath, QString("C:/out/new.mp4"));
    QVERIFY(first.at(1)->newFile);
    QVERIFY(!first.at(2)->newFile);
    QCOMPARE(first.at(1)->reservedText, QString());
    QCOMPARE(xmlOf(historyPath()).documentElement().firstChildElement().firstChildElement().attribute("New_file"),
             QString("N"));
    QVERIFY(fileState(historyPath()).modified > Aged);
    qDeleteAll(first);

    QVERIFY(ageFile(historyPath()));
    QList<convertedInfo *> second;
    QVideoSettingXml::analysisConvertedInfo(&second);
    QCOMPARE(second.size(), 2);
    QVERIFY(!second.at(0)->newFile);
    QCOMPARE(fileState(historyPath()).modified, Aged);
    qDeleteAll(second);

    // Without a list the marks are cleared all the same.
    QVideoSettingXml::SaveConvertedInfo(&fresh);
    QVideoSettingXml::analysisConvertedInfo(nullptr);
    QVERIFY(!QVideoSettingXml::GetConvertedInfo("C:/out/new.mp4")->newFile);
}

void tst_QVideoSettingXmlHistory::flags_onlyCapitalY_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<bool>("flag");
    QTest::newRow("Y") << "Video_file=\"Y\" New_file=\"Y\"" << true;
    QTest::newRow("y") << "Video_file=\"y\" New_file=\"y\"" << false;
    QTest::newRow("N") << "Video_file=\"N\" New_file=\"N\"" << false;
    QTest::newRow("Yes") << "Video_file=\"Yes\" New_file=\"Yes\"" << false;
    QTest::newRow("Y with space") << "Video_file=\"Y \" New_file=\" Y\"" << false;
    QTest::newRow("missing") << "" << false;
}

void tst_QVideoSettingXmlHistory::flags_onlyCapitalY()
{
    QFETCH(QString, attributes);
    QFETCH(bool, flag);
    QVERIFY(writeAged(historyPath(), QString("<ROOTITEM><Path_item Converted_path_=\"/a\"><Other %1/></Path_item>"
                                             "</ROOTITEM>").arg(attributes).toUtf8()));
    const convertedInfo *info = QVideoSettingXml::GetConvertedInfo("/a");
    QVERIFY(info);
    QCOMPARE(info->videoFile, flag);
    QCOMPARE(info->newFile, flag);
}

void tst_QVideoSettingXmlHistory::changeConvertedInfo_pathAndValue()
{
    // An entry without a child takes no value, and gets no child.
    QVideoSettingXml::SetConvertedPath("/a");
    QVideoSettingXml::changeConvertedInfoValue("/a", "Title_", "t");
    QCOMPARE(xmlOf(historyPath()).documentElement().firstChildElement().childNodes().size(), 0);
    QCOMPARE(QVideoSettingXml::GetConvertedInfo("/a")->title, QString());

    convertedInfo info = fullRecord("/a");
    QVideoSettingXml::SaveConvertedInfo(&info);
    QVideoSettingXml::changeConvertedInfoValue("/a", "Title_", "New title");
    QCOMPARE(QVideoSettingXml::GetConvertedInfo("/a")->title, QString("New title"));

    QVideoSettingXml::changeConvertedInfoPath("/a", "C:\\b.mp4");
    QCOMPARE(storedPaths(xmlOf(historyPath()).documentElement()), QStringList({"C:\\b.mp4"}));
    QCOMPARE(QVideoSettingXml::getPreferencePath("C:/b.mp4"), QString("/pref"));
    QCOMPARE(QVideoSettingXml::GetConvertedInfo("/a"), nullptr);

    // No match: no write.
    QVERIFY(ageFile(historyPath()));
    QVideoSettingXml::changeConvertedInfoPath("/a", "/c");
    QVideoSettingXml::removeConvertedInfo("/a");
    QCOMPARE(fileState(historyPath()).modified, Aged);

    QVideoSettingXml::removeConvertedInfo("C:/b.mp4");
    QCOMPARE(storedPaths(xmlOf(historyPath()).documentElement()), QStringList());
}

void tst_QVideoSettingXmlHistory::digests_inSavingOrder()
{
    const QString path = m_appData + "/ConvertedMd5.xml";
    QVideoSettingXml::SaveConvertedPathMd5("");
    QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString());
    QVERIFY(!QFileInfo::exists(path));

    for (const char *digest : {"0cc175b9", "92eb5ffe", "4a8a08f0"})
        QVideoSettingXml::SaveConvertedPathMd5(digest);
    QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString("0cc175b9_92eb5ffe_4a8a08f0_"));
    const QDomDocument rootDoc = xmlOf(path);
    const QDomElement root = rootDoc.documentElement();
    QCOMPARE(root.childNodes().size(), 1);
    QCOMPARE(root.firstChildElement().tagName(), QString("Path_item"));

    // Already there, also as part of longer text or across two digests: no write.
    QVERIFY(ageFile(path));
    for (const char *digest : {"92eb5ffe", "5ffe_4a8a", "0cc1", "_"})
        QVideoSettingXml::SaveConvertedPathMd5(digest);
    QVideoSettingXml::SaveConvertedPathMd5("");
    QCOMPARE(fileState(path).modified, Aged);
    QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString("0cc175b9_92eb5ffe_4a8a08f0_"));

    QVideoSettingXml::SaveConvertedPathMd5("0CC175B9");
    QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString("0cc175b9_92eb5ffe_4a8a08f0_0CC175B9_"));
}

void tst_QVideoSettingXmlHistory::digests_lastChildWithoutDigest()
{
    const QString path = m_appData + "/ConvertedMd5.xml";
    QVERIFY(writeAged(path, "<ROOTITEM><Path_item Converted_path_md5=\"aa_\"/><Path_item/></ROOTITEM>"));
    QVideoSettingXml::SaveConvertedPathMd5("bb");
    const QDomDocument rootDoc = xmlOf(path);
    const QDomElement root = rootDoc.documentElement();
    QCOMPARE(root.childNodes().size(), 3);
    QCOMPARE(root.lastChildElement().attribute("Converted_path_md5"), QString("bb_"));
    QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString("aa_"));

    // The last child is the one extended.
    QVideoSettingXml::SaveConvertedPathMd5("cc");
    QCOMPARE(xmlOf(path).documentElement().lastChildElement().attribute("Converted_path_md5"), QString("bb_cc_"));
    QVideoSettingXml::SaveConvertedPathMd5("aa");
    QCOMPARE(xmlOf(path).documentElement().lastChildElement().attribute("Converted_path_md5"), QString("bb_cc_aa_"));
}

void tst_QVideoSettingXmlHistory::languages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("type");

    QTest::newRow("listed once") << "English" << "en.qm" << "";
    QTest::newRow("last entry wins") << "Deutsch" << "de-2.qm" << "new";
    QTest::newRow("empty name: last without one") << "" << "" << "comment";
    QTest::newRow("case differs") << "english" << "" << "";
    QTest::newRow("not listed") << "Suomi" << "" << "";
}

void tst_QVideoSettingXmlHistory::languages()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QString, type);

    const QString path = m_files.filePath("languages.xml");
    QVERIFY(writeAged(path, "<Languages>"
                            "<Language Language_Name=\"English\" Language_File=\"en.qm\"/>"
                            "<Language Language_File=\"none.qm\" Language_Type=\"x\"/>"
                            "<Language Language_Name=\"Deutsch\" Language_File=\"de.qm\" Language_Type=\"old\"/>"
                            "<Other Language_Name=\"Deutsch\" Language_File=\"de-2.qm\" Language_Type=\"new\"/>"
                            "<Language Language_Type=\"comment\"/>"
                            "</Languages>"));
    QCOMPARE(QVideoSettingXml::GetLanguage(path), QStringList({"English", "", "Deutsch", "Deutsch", ""}));
    QCOMPARE(QVideoSettingXml::GetLanguageFile(path, name), qMakePair(file, type));
    QCOMPARE(fileState(path).modified, Aged);

    QCOMPARE(QVideoSettingXml::GetLanguage(m_files.filePath("missing.xml")), QStringList());
    QCOMPARE(QVideoSettingXml::GetLanguageFile(m_files.filePath("missing.xml"), name), qMakePair(QString(), QString()));
    QVERIFY(!QFileInfo::exists(m_files.filePath("missing.xml")));
}

QTEST_GUILESS_MAIN(tst_QVideoSettingXmlHistory)

#include "tst_qvideosettingxml_history.moc"
