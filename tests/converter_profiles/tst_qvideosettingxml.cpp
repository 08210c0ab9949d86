#include "converter_profiles/profilefiles.h"
#include "filesizelimit.h"

#include "converter_profiles/qvideosettingxml.h"
#include "services/qianyutil.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A catalogue of our own: neither the root's name nor a comment after the formats matters.
const char *const Catalogue = R"(<FORMATS>
    <FORMAT DevFormat="Movie" OnlyAudio="N">
        <ATTRIBUTE_VALUE V_Encoder="libx264, libx265" V_Resolution="0, 1920x1080 ,,1280x720" V_FrameRate="0,25, 29.97" V_BitRate="0,1000" A_Encoder="aac" A_Channel="0,2" A_SampleRate="44100,48000" A_BitRate="128"/>
        <VIDIO_FOMAT_INFO V_Format="mp4" V_Extend=" mp4 "/>
        <High V_Encoder=" libx264 " V_Resolution="1920x1080" V_FrameRate="0" V_BitRate="5000" A_Encoder="aac" A_Channel="2" A_SampleRate="48000" A_BitRate="192"/>
        <Odd V_Encoder="0" V_Resolution="Original" V_BitRate="Auto" A_Encoder="aac" A_Channel=" 2" A_SampleRate=" &#9;0 " A_BitRate="Original"/>
    </FORMAT>
    <FORMAT DevFormat="Song" OnlyAudio="Y">
        <ATTRIBUTE_VALUE V_Encoder="libx264" V_Resolution="1280x720" A_Encoder="libmp3lame" A_Channel="1,2" A_SampleRate="44100" A_BitRate="0,128,320"/>
        <High V_Encoder="libx264" V_FrameRate="25" A_Encoder="libmp3lame" A_Channel="2" A_SampleRate="44100" A_BitRate="320"/>
    </FORMAT>
    <FORMAT DevFormat="Clip" OnlyAudio="y">
        <ATTRIBUTE_VALUE V_Encoder="mpeg4" A_Encoder="aac"/>
    </FORMAT>
    <FORMAT DevFormat="Bare">
        <VIDIO_FOMAT_INFO V_Format="matroska" V_Extend="mkv"/>
    </FORMAT>
    <FORMAT DevFormat="Movie">
        <ATTRIBUTE_VALUE V_Encoder="never read"/>
        <Low V_Encoder="never read"/>
    </FORMAT>
    <FORMAT>
        <High V_Encoder="nameless" A_Encoder="pcm_s16le"/>
    </FORMAT>
    <!-- more to come -->
</FORMATS>
)";

const char *const FileOpenWarning = "error::ParserXML->writeOperateXml->file.open\n";
const char *const RefusedWarning = "error::ParserXML->writeOperateXml->text XML cannot carry\n";

QStringList texts(const std::vector<std::string> &list)
{
    QStringList result;
    for (const std::string &text : list)
        result << QString::fromStdString(text);
    return result;
}

QStringList fields(const QualitySet *set)
{
    if (!set)
        return {"null"};
    return {set->bOnlyAudio ? "audio only" : "video", set->videoEncoder, set->videoResolution, set->videoFrameRate,
            set->videoBitRate, set->audioEncoder, set->audioChannel, set->audioSampleRate, set->audioBitRate};
}

QualitySet qualitySet(bool onlyAudio, const QStringList &values)
{
    QualitySet set;
    set.bOnlyAudio = onlyAudio;
    set.videoEncoder = values.value(0);
    set.videoResolution = values.value(1);
    set.videoFrameRate = values.value(2);
    set.videoBitRate = values.value(3);
    set.audioEncoder = values.value(4);
    set.audioChannel = values.value(5);
    set.audioSampleRate = values.value(6);
    set.audioBitRate = values.value(7);
    return set;
}

QStringList ffmpegNames(const QString &listing)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-hide_banner", listing});
    if (!ffmpeg.waitForFinished(60000))
        return {};
    QStringList names;
    static const QRegularExpression line("^\\s*[A-Z.]+\\s+(\\S+)\\s");
    for (const QString &text : QString::fromUtf8(ffmpeg.readAllStandardOutput()).split('\n')) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch())
            names << match.captured(1);
    }
    return names;
}

}

class tst_QVideoSettingXml : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void brokenFiles_neverRepaired_data();
    void brokenFiles_neverRepaired();
    void foreignRoot_readLikeRootItem_data();
    void foreignRoot_readLikeRootItem();
    void failedSave_keepsTheFileAndAnswers_data();
    void failedSave_keepsTheFileAndAnswers();
    void fullDisk_keepsTheFile_data();
    void fullDisk_keepsTheFile();
    void unloadableSave_refused_data();
    void unloadableSave_refused();
    void savedFile_shape();
    void holders_freshPerCallAndIndependent();

    void analysisTextInfo_splits_data();
    void analysisTextInfo_splits();
    void formatAllInfo_lists();
    void formatAllInfo_failures_data();
    void formatAllInfo_failures();
    void formatInfo_containerTexts();
    void quality_presets_data();
    void quality_presets();
    void addUnit_data();
    void addUnit();
    void shippedCatalogue_formatsFFmpegWrites();

    void defaultFormat_roundTrip();
    void defaultFormat_namedValues();
    void defaultFormat_firstChildRules();

    void screenshot_freshAccount();
    void screenshot_settersNeedAGetterFirst();
    void screenshot_defaultFolderAlwaysMade();
    void items_getSetGet();

private:
    QString m_appData;
    QString m_resources;
    QString m_documents;
    QByteArray m_dataHome;
};

void tst_QVideoSettingXml::initTestCase()
{
    m_resources = QIAnyUtil::getResourcePath();
    QVERIFY2(m_resources.startsWith(QDir::tempPath()), qPrintable(m_resources));
    m_appData = QIAnyUtil::getAppDataPath();
    m_documents = QIAnyUtil::getDocumentPath();
    m_dataHome = qgetenv("XDG_DATA_HOME");
}

void tst_QVideoSettingXml::init()
{
    qputenv("XDG_DATA_HOME", m_dataHome);
    QDir(m_appData).removeRecursively();
    QVERIFY(QDir().mkpath(m_appData));
    QDir(m_documents).removeRecursively();
    QVERIFY(writeAged(m_resources + "/VideoSetting.xml", Catalogue));
}

void tst_QVideoSettingXml::brokenFiles_neverRepaired_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("answer");

    const QString catalogue = m_resources + "/VideoSetting.xml";
    const QString settings = m_appData + "/VideoDefaultSetting.xml";
    const QString formats = m_appData + "/VideoDefaultFormatSetting.xml";
    const QString history = m_appData + "/History.xml";
    const QString digests = m_appData + "/ConvertedMd5.xml";
    const QString languages = m_appData + "/Languages.xml";
    static QualitySet set = qualitySet(false, {"libx264"});
    static convertedInfo info;
    info.convertedPath = "/out/a.mp4";

    struct Row
    {
        const char *name;
        QString path;
        Operation operation;
        QString answer;
    };
    const Row rows[] = {
        {"GetFormatAllInfo", catalogue, [] { return found(QVideoSettingXml::GetFormatAllInfo("Movie")); }, "null"},
        {"GetFormatInfo", catalogue, [] { return found(QVideoSettingXml::GetFormatInfo("Movie")); }, "null"},
        {"GetQuality", catalogue, [] { return found(QVideoSettingXml::GetQuality("High", "Movie")); }, "null"},
        {"getCaptureImgSuffix", settings, [] { return QVideoSettingXml::getCaptureImgSuffix(); }, "JPEG"},
        {"getCaptrueImaSavePath", settings, [] { return QVideoSettingXml::getCaptrueImaSavePath(); },
         m_documents + "/Screenshots/"},
        {"setCaptureImgSuffix", settings, [] { QVideoSettingXml::setCaptureImgSuffix("PNG"); return QString(); }, ""},
        {"setCaptrueImaPath", settings, [] { QVideoSettingXml::setCaptrueImaPath("/x"); return QString(); }, ""},
        {"GetItemValue", settings, [] { return QVideoSettingXml::GetItemValue("Item", "Key", "fallback"); },
         "fallback"},
        {"SetItemValue", settings, [] { QVideoSettingXml::SetItemValue("Item", "Key", "v"); return QString(); }, ""},
        {"GetDefaultFormat", formats, [] { return found(QVideoSettingXml::GetDefaultFormat("mp4", nullptr)); }, "null"},
        {"SetDefaultFormat", formats, [] { QVideoSettingXml::SetDefaultFormat("mp4", &set); return QString(); }, ""},
        {"SetDefaultFormatValue", formats,
         [] { QVideoSettingXml::SetDefaultFormatValue("mp4", "Name", "v"); return QString(); }, ""},
        {"GetDefaultFormatValue", formats, [] { return QVideoSettingXml::GetDefaultFormatValue("mp4", "Name"); }, ""},
        {"SetConvertedPath", history, [] { QVideoSettingXml::SetConvertedPath("/out/a.mp4"); return QString(); }, ""},
        {"GetConvertedPath", history, [] { return QVideoSettingXml::GetConvertedPath().join('|'); }, ""},
        {"DeleteConvertedPath", history,
         [] { QVideoSettingXml::DeleteConvertedPath({"/out/a.mp4"}); return QString(); }, ""},
        {"SaveConvertedInfo", history, [] { QVideoSettingXml::SaveConvertedInfo(&info); return QString(); }, ""},
        {"GetConvertedInfo", history, [] { return found(QVideoSettingXml::GetConvertedInfo("/out/a.mp4")); }, "null"},
        {"removeConvertedInfo", history,
         [] { QVideoSettingXml::removeConvertedInfo("/out/a.mp4"); return QString(); }, ""},
        {"changeConvertedInfoPath", history,
         [] { QVideoSettingXml::changeConvertedInfoPath("/out/a.mp4", "/b"); return QString(); }, ""},
        {"changeConvertedInfoValue", history,
         [] { QVideoSettingXml::changeConvertedInfoValue("/out/a.mp4", "Title_", "t"); return QString(); }, ""},
        {"getPreferencePath", history, [] { return QVideoSettingXml::getPreferencePath("/out/a.mp4"); }, ""},
        {"analysisConvertedInfo", history,
         [] {
             QList<convertedInfo *> list;
             QVideoSettingXml::analysisConvertedInfo(&list);
             return QString::number(list.size());
         },
         "0"},
        {"SaveConvertedPathMd5", digests, [] { QVideoSettingXml::SaveConvertedPathMd5("abc"); return QString(); }, ""},
        {"getConvertedPathMd5", digests, [] { return QVideoSettingXml::getConvertedPathMd5(); }, ""},
        {"GetLanguage", languages, [languages] { return QVideoSettingXml::GetLanguage(languages).join('|'); }, ""},
        {"GetLanguageFile", languages,
         [languages] {
             const QPair<QString, QString> file = QVideoSettingXml::GetLanguageFile(languages, "");
             return file.first + "|" + file.second;
         },
         "|"},
    };
    for (const Row &row : rows) {
        QTest::addRow("empty %s", row.name) << row.path << row.operation << row.answer;
        QTest::addRow("garbage %s", row.name) << row.path << row.operation << row.answer;
        QTest::addRow("deep %s", row.name) << row.path << row.operation << row.answer;
    }
}

// Every operation, twice over, on an empty file, on one that is not XML and on one nested deep
// enough to overflow the stack of a recursive parser.
void tst_QVideoSettingXml::brokenFiles_neverRepaired()
{
    QFETCH(QString, path);
    QFETCH(Operation, operation);
    QFETCH(QString, answer);

    const QByteArray tag = QTest::currentDataTag();
    const QByteArray content = tag.startsWith("empty")  ? QByteArray()
                               : tag.startsWith("deep") ? "<ROOTITEM>" + QByteArray("<a>").repeated(50000)
                                                              + QByteArray("</a>").repeated(50000) + "</ROOTITEM>"
                                                        : QByteArray("<ROOTITEM><a></b>");
    QVERIFY(writeAged(path, content));
    const FileState before = fileState(path);
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(operation(), answer);
        const FileState after = fileState(path);
        QCOMPARE(after.bytes, before.bytes);
        QCOMPARE(after.modified, before.modified);
    }
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files).filter(".bad"), QStringList());
}

void tst_QVideoSettingXml::foreignRoot_readLikeRootItem_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("answer");

    QTest::newRow("screenshot suffix") << "VideoDefaultSetting.xml"
                                       << QByteArray("<Settings><Screenshots IMG_SUFFIX=\"PNG\"/></Settings>")
                                       << Operation([] { return QVideoSettingXml::getCaptureImgSuffix(); }) << "PNG";
    QTest::newRow("default format value")
        << "VideoDefaultFormatSetting.xml" << QByteArray("<Formats><FORMAT_ Format_ID=\"mp4\" Name=\"n\"/></Formats>")
        << Operation([] { return QVideoSettingXml::GetDefaultFormatValue("mp4", "Name"); }) << "n";
    QTest::newRow("preference path")
        << "History.xml"
        << QByteArray("<History><Path_item Converted_path_=\"/a\"><X preferencePath_=\"/p\"/></Path_item></History>")
        << Operation([] { return QVideoSettingXml::getPreferencePath("/a"); }) << "/p";
    QTest::newRow("digests") << "ConvertedMd5.xml"
                             << QByteArray("<Digests><Path_item Converted_path_md5=\"abc_\"/></Digests>")
                             << Operation([] { return QVideoSettingXml::getConvertedPathMd5(); }) << "abc_";
}

void tst_QVideoSettingXml::foreignRoot_readLikeRootItem()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(Operation, operation);
    QFETCH(QString, answer);

    QVERIFY(writeAged(m_appData + "/" + fileName, content));
    QCOMPARE(operation(), answer);
}

void tst_QVideoSettingXml::failedSave_keepsTheFileAndAnswers_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("answer");

    QTest::newRow("getCaptureImgSuffix") << "VideoDefaultSetting.xml"
                                         << Operation([] { return QVideoSettingXml::getCaptureImgSuffix(); }) << "JPEG";
    QTest::newRow("GetItemValue") << "VideoDefaultSetting.xml"
                                  << Operation([] { return QVideoSettingXml::GetItemValue("Item", "Key", "d"); })
                                  << "d";
    QTest::newRow("SetDefaultFormat") << "VideoDefaultFormatSetting.xml" << Operation([] {
        QualitySet set = qualitySet(true, {});
        QVideoSettingXml::SetDefaultFormat("mp3", &set);
        return QString();
    }) << "";
    QTest::newRow("SetConvertedPath") << "History.xml" << Operation([] {
        QVideoSettingXml::SetConvertedPath("/a");
        return QString();
    }) << "";
    QTest::newRow("SaveConvertedInfo") << "History.xml" << Operation([] {
        convertedInfo info;
        info.convertedPath = "/a";
        QVideoSettingXml::SaveConvertedInfo(&info);
        return QString();
    }) << "";
    QTest::newRow("changeConvertedInfoValue") << "History.xml" << Operation([] {
        QVideoSettingXml::changeConvertedInfoValue("/a", "Title_", "t");
        return QString();
    }) << "";
    QTest::newRow("SaveConvertedPathMd5") << "ConvertedMd5.xml" << Operation([] {
        QVideoSettingXml::SaveConvertedPathMd5("abc");
        return QString();
    }) << "";
}

// Root is not stopped by file modes, so the application-data folder goes where nobody can write.
void tst_QVideoSettingXml::failedSave_keepsTheFileAndAnswers()
{
    QFETCH(QString, fileName);
    QFETCH(Operation, operation);
    QFETCH(QString, answer);

    qputenv("XDG_DATA_HOME", "/proc/zr-nowhere");
    const QString path = QIAnyUtil::getAppDataPath() + "/" + fileName;
    QVERIFY2(path.startsWith("/proc/"), qPrintable(path));

    WarningLog log;
    QCOMPARE(operation(), answer);
    QCOMPARE(log.count(FileOpenWarning), 1);
    QVERIFY(!QFileInfo::exists(path));
}

void tst_QVideoSettingXml::fullDisk_keepsTheFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<Operation>("store");
    QTest::addColumn<Operation>("change");
    QTest::addColumn<Operation>("read");
    QTest::addColumn<QString>("stored");

    QTest::newRow("settings") << "VideoDefaultSetting.xml" << Operation([] {
        QVideoSettingXml::getCaptureImgSuffix();
        QVideoSettingXml::setCaptureImgSuffix("PNG");
        return QString();
    }) << Operation([] {
        QVideoSettingXml::setCaptureImgSuffix("BMP");
        return QString();
    }) << Operation([] { return QVideoSettingXml::getCaptureImgSuffix(); }) << "PNG";
    static QualitySet mp4 = qualitySet(false, {"libx264", "1280x720"});
    QTest::newRow("default formats") << "VideoDefaultFormatSetting.xml" << Operation([] {
        QVideoSettingXml::SetDefaultFormat("mp4", &mp4);
        return QString();
    }) << Operation([] {
        QualitySet set = qualitySet(true, {});
        QVideoSettingXml::SetDefaultFormat("mp3", &set);
        return QString();
    }) << Operation([] { return fields(QVideoSettingXml::GetDefaultFormat("mp4", nullptr)).join('|'); })
                                     << fields(&mp4).join('|');
    QTest::newRow("converted files") << "History.xml" << Operation([] {
        convertedInfo info;
        info.convertedPath = "/out/a.mp4";
        QVideoSettingXml::SaveConvertedInfo(&info);
        return QString();
    }) << Operation([] {
        QVideoSettingXml::removeConvertedInfo("/out/a.mp4");
        return QString();
    }) << Operation([] { return found(QVideoSettingXml::GetConvertedInfo("/out/a.mp4")); }) << "record";
    QTest::newRow("digests") << "ConvertedMd5.xml" << Operation([] {
        QVideoSettingXml::SaveConvertedPathMd5("0123abcd");
        return QString();
    }) << Operation([] {
        QVideoSettingXml::SaveConvertedPathMd5("ffff");
        return QString();
    }) << Operation([] { return QVideoSettingXml::getConvertedPathMd5(); }) << "0123abcd_";
}

// A change that cannot reach the disk whole leaves the file as it was and says so; what was
// stored reads back the same while the disk is full and after.
void tst_QVideoSettingXml::fullDisk_keepsTheFile()
{
    QFETCH(QString, fileName);
    QFETCH(Operation, store);
    QFETCH(Operation, change);
    QFETCH(Operation, read);
    QFETCH(QString, stored);

    const QString path = m_appData + "/" + fileName;
    store();
    const FileState before = fileState(path);
    QVERIFY(!before.bytes.isEmpty());
    QCOMPARE(read(), stored);
    {
        const FileSizeLimit full(0);
        QVERIFY(full.isActive());
        WarningLog log;
        change();
        QCOMPARE(log.count("error::ParserXML->writeOperateXml->file.write\n"), 1);
        QCOMPARE(fileState(path).bytes, before.bytes);
        QCOMPARE(QDir(m_appData).entryList(QDir::Files | QDir::Hidden), QStringList(fileName));
        QCOMPARE(read(), stored);
    }
    QCOMPARE(fileState(path).bytes, before.bytes);
    QCOMPARE(read(), stored);
}

void tst_QVideoSettingXml::unloadableSave_refused_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("answer");

    const QByteArray settings =
        "<ROOTITEM>\n    <Screenshots IMG_SUFFIX=\"PNG\"/>\n    <Item Key=\"v\"/>\n</ROOTITEM>\n";
    const QByteArray formats = "<ROOTITEM>\n    <FORMAT_ Format_ID=\"mp4\">\n        <Format_Custom OnlyAudio=\"N\"/>\n"
                               "    </FORMAT_>\n</ROOTITEM>\n";
    const QByteArray history = "<ROOTITEM>\n    <Path_item Converted_path_=\"/a\">\n"
                               "        <CONVERTED_INFO_ Title_=\"t\"/>\n"
                               "    </Path_item>\n</ROOTITEM>\n";

    QTest::newRow("item name") << "VideoDefaultSetting.xml" << settings
                               << Operation([] { return QVideoSettingXml::GetItemValue("1st item", "Key", "d"); })
                               << "d";
    QTest::newRow("item key") << "VideoDefaultSetting.xml" << settings << Operation([] {
        QVideoSettingXml::SetItemValue("Item", "a key", "v");
        return QString();
    }) << "";
    QTest::newRow("item value") << "VideoDefaultSetting.xml" << settings << Operation([] {
        QVideoSettingXml::SetItemValue("Item", "Key", QString("a") + QChar(1) + "b");
        return QString();
    }) << "";
    QTest::newRow("screenshot folder") << "VideoDefaultSetting.xml" << settings << Operation([] {
        QVideoSettingXml::setCaptrueImaPath(QString("/x") + QChar(0x1b));
        return QString();
    }) << "";
    QTest::newRow("format value name") << "VideoDefaultFormatSetting.xml" << formats << Operation([] {
        QVideoSettingXml::SetDefaultFormatValue("mp4", "<name", "v");
        return QString();
    }) << "";
    QTest::newRow("format quality text") << "VideoDefaultFormatSetting.xml" << formats << Operation([] {
        QualitySet set = qualitySet(false, {QString("x") + QChar(2)});
        QVideoSettingXml::SetDefaultFormat("mp4", &set);
        return QString();
    }) << "";
    QTest::newRow("history attribute name") << "History.xml" << history << Operation([] {
        QVideoSettingXml::changeConvertedInfoValue("/a", "", "v");
        return QString();
    }) << "";
    QTest::newRow("history record text") << "History.xml" << history << Operation([] {
        convertedInfo info;
        info.convertedPath = "/a";
        info.title = QString("t") + QChar(0x1f);
        QVideoSettingXml::SaveConvertedInfo(&info);
        return QString();
    }) << "";
    QTest::newRow("history path") << "History.xml" << history << Operation([] {
        QVideoSettingXml::SetConvertedPath(QString("/b") + QChar(0xFFFF));
        return QString();
    }) << "";
}

// A name or value XML cannot carry would leave a file that never loads again: the save is refused.
void tst_QVideoSettingXml::unloadableSave_refused()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(Operation, operation);
    QFETCH(QString, answer);

    const QString path = m_appData + "/" + fileName;
    QVERIFY(writeAged(path, content));
    WarningLog log;
    QCOMPARE(operation(), answer);
    QCOMPARE(log.count(RefusedWarning), 1);
    const FileState after = fileState(path);
    QCOMPARE(after.bytes, content);
    QCOMPARE(after.modified, QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
}

void tst_QVideoSettingXml::savedFile_shape()
{
    // Written from nothing: no declaration, four spaces per level.
    QualitySet set = qualitySet(false, {"libx264", "1280x720", "25", "2500", "aac", "2", "48000", "128"});
    QVideoSettingXml::SetDefaultFormat("mp4", &set);
    const QString path = m_appData + "/VideoDefaultFormatSetting.xml";
    QStringList lines = QString::fromUtf8(fileState(path).bytes).split('\n');
    QCOMPARE(lines.value(0), QString("<ROOTITEM>"));
    QCOMPARE(lines.value(1), QString("    <FORMAT_ Format_ID=\"mp4\">"));
    QVERIFY2(lines.value(2).startsWith("        <Format_Custom "), qPrintable(lines.value(2)));
    QCOMPARE(lines.value(3), QString("    </FORMAT_>"));
    QCOMPARE(lines.value(4), QString("</ROOTITEM>"));

    // A bad name asked for on a fresh account leaves no empty file behind to block later calls.
    const QString settings = m_appData + "/VideoDefaultSetting.xml";
    QCOMPARE(QVideoSettingXml::GetItemValue("bad name", "Key", "d"), QString("d"));
    QVERIFY(!QFileInfo::exists(settings));
    QCOMPARE(QVideoSettingXml::GetItemValue("Item", "Key", "d"), QString("d"));
    QVERIFY(xmlOf(settings).documentElement().firstChildElement("Item").isElement());

    // A declaration that was there stays.
    QVERIFY(writeAged(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROOTITEM/>\n"));
    QVideoSettingXml::SetDefaultFormat("mkv", &set);
    lines = QString::fromUtf8(fileState(path).bytes).split('\n');
    QCOMPARE(lines.value(0), QString("<?xml version='1.0' encoding='UTF-8'?>"));
    QCOMPARE(lines.value(1), QString("<ROOTITEM>"));
    QCOMPARE(lines.value(2), QString("    <FORMAT_ Format_ID=\"mkv\">"));
}

void tst_QVideoSettingXml::holders_freshPerCallAndIndependent()
{
    QualitySet saved = qualitySet(false, {"libx265", "640x360", "30", "800", "libopus", "1", "48000", "64"});
    QVideoSettingXml::SetDefaultFormat("mkv", &saved);

    const QualitySet *preset = QVideoSettingXml::GetQuality("High", "Movie");
    const QualitySet *mine = QVideoSettingXml::GetDefaultFormat("mkv", nullptr);
    const FormatAllInfo *movie = QVideoSettingXml::GetFormatAllInfo("Movie");
    const FileFormatInfo *container = QVideoSettingXml::GetFormatInfo("Movie");
    QVERIFY(preset && mine && movie && container);
    QCOMPARE(preset->videoEncoder, QString("libx264"));
    QCOMPARE(mine->videoEncoder, QString("libx265"));
    QCOMPARE(movie->videoEncoders.size(), size_t(2));
    QCOMPARE(container->format, QString("mp4"));

    // A second call of one getter leaves the others' records as they were, and its own new record
    // carries nothing of the last one.
    const FormatAllInfo *song = QVideoSettingXml::GetFormatAllInfo("Song");
    QVERIFY(song);
    QVERIFY(song->videoEncoders.empty());
    QCOMPARE(preset->videoEncoder, QString("libx264"));
    QCOMPARE(mine->videoEncoder, QString("libx265"));
    QCOMPARE(container->format, QString("mp4"));

    const QualitySet *songPreset = QVideoSettingXml::GetQuality("High", "Song");
    QVERIFY(songPreset);
    QCOMPARE(songPreset->videoEncoder, QString());
    QCOMPARE(mine->audioEncoder, QString("libopus"));
    QCOMPARE(QVideoSettingXml::GetQuality("Low", "Song"), nullptr);
    QCOMPARE(mine->audioEncoder, QString("libopus"));
}

void tst_QVideoSettingXml::analysisTextInfo_splits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("0, spaces, empty piece")
        << "0, 1920x1080 ,,1280x720" << "" << QStringList{"Auto", "1920x1080", "1280x720"};
    QTest::newRow("frame rates") << "0,25, 29.97" << " fps" << QStringList{"Auto", "25 fps", "29.97 fps"};
    QTest::newRow("tab kept") << "\t25 , 30\t" << " fps" << QStringList{"\t25 fps", "30\t fps"};
    QTest::newRow("empty") << "" << " kbps" << QStringList();
    QTest::newRow("commas and spaces") << " , ,, " << "" << QStringList();
    QTest::newRow("trailing comma") << "a,b," << "" << QStringList{"a", "b"};
    QTest::newRow("0 only exempt")
        << "Auto,Original,00, 0 " << " kbps" << QStringList{"Auto kbps", "Original kbps", "00 kbps", "Auto"};
    QTest::newRow("inner spaces kept") << " a b " << " HZ" << QStringList{"a b HZ"};
}

void tst_QVideoSettingXml::analysisTextInfo_splits()
{
    QFETCH(QString, text);
    QFETCH(QString, unit);
    QFETCH(QStringList, items);

    std::vector<std::string> list{"left from before"};
    if (unit.isEmpty())
        QVideoSettingXml::analysisTextInfo(text.toStdString(), list);
    else
        QVideoSettingXml::analysisTextInfo(text.toStdString(), unit.toStdString(), list);
    QCOMPARE(texts(list), items);
}

void tst_QVideoSettingXml::formatAllInfo_lists()
{
    const FormatAllInfo *movie = QVideoSettingXml::GetFormatAllInfo("Movie");
    QVERIFY(movie);
    QVERIFY(!movie->bOnlyAudio);
    QCOMPARE(texts(movie->videoEncoders), QStringList({"libx264", "libx265"}));
    QCOMPARE(texts(movie->resolutions), QStringList({"Auto", "1920x1080", "1280x720"}));
    QCOMPARE(texts(movie->frameRates), QStringList({"Auto", "25 fps", "29.97 fps"}));
    QCOMPARE(texts(movie->videoBitRates), QStringList({"Auto", "1000 kbps"}));
    QCOMPARE(texts(movie->audioEncoders), QStringList({"aac"}));
    QCOMPARE(texts(movie->channels), QStringList({"Auto", "2"}));
    QCOMPARE(texts(movie->sampleRates), QStringList({"44100 HZ", "48000 HZ"}));
    QCOMPARE(texts(movie->audioBitRates), QStringList({"128 kbps"}));
    QVERIFY(movie->extension.empty() && movie->formatId.empty() && !movie->bAuto);

    // Audio only: the video attributes it carries are not read.
    const FormatAllInfo *song = QVideoSettingXml::GetFormatAllInfo("Song");
    QVERIFY(song);
    QVERIFY(song->bOnlyAudio);
    QVERIFY(song->videoEncoders.empty() && song->resolutions.empty() && song->frameRates.empty()
            && song->videoBitRates.empty());
    QCOMPARE(texts(song->audioEncoders), QStringList({"libmp3lame"}));
    QCOMPARE(texts(song->channels), QStringList({"1", "2"}));
    QCOMPARE(texts(song->audioBitRates), QStringList({"Auto", "128 kbps", "320 kbps"}));

    // Only a capital Y means audio only; missing attributes give empty lists.
    const FormatAllInfo *clip = QVideoSettingXml::GetFormatAllInfo("Clip");
    QVERIFY(clip);
    QVERIFY(!clip->bOnlyAudio);
    QCOMPARE(texts(clip->videoEncoders), QStringList({"mpeg4"}));
    QVERIFY(clip->resolutions.empty() && clip->sampleRates.empty());
}

void tst_QVideoSettingXml::formatAllInfo_failures_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("allInfo");
    QTest::addColumn<QString>("container");

    QTest::newRow("no ATTRIBUTE_VALUE") << "Bare" << "null" << "matroska|mkv";
    QTest::newRow("no container info") << "Song" << "record" << "null";
    QTest::newRow("unknown") << "Nope" << "null" << "null";
    QTest::newRow("case differs") << "movie" << "null" << "null";
    QTest::newRow("empty name") << "" << "null" << "null";
}

void tst_QVideoSettingXml::formatAllInfo_failures()
{
    QFETCH(QString, format);
    QFETCH(QString, allInfo);
    QFETCH(QString, container);

    QCOMPARE(found(QVideoSettingXml::GetFormatAllInfo(format)), allInfo);
    const FileFormatInfo *info = QVideoSettingXml::GetFormatInfo(format);
    QCOMPARE(info ? info->format + "|" + info->extend : QString("null"), container);
}

void tst_QVideoSettingXml::formatInfo_containerTexts()
{
    const FileFormatInfo *info = QVideoSettingXml::GetFormatInfo("Movie");
    QVERIFY(info);
    QCOMPARE(info->format, QString("mp4"));
    QCOMPARE(info->extend, QString(" mp4 "));
}

void tst_QVideoSettingXml::quality_presets_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("units added, 0 reads Auto")
        << "High" << "Movie"
        << QStringList{"video", "libx264", "1920x1080", "Auto", "5000 kbps", "aac", "2", "48000 HZ", "192 kbps"};
    QTest::newRow("missing rate, Original, encoder 0")
        << "Odd" << "Movie"
        << QStringList{"video", "0", "Original", " fps", "Auto", "aac", "2", "Auto", "Original"};
    QTest::newRow("audio only")
        << "High" << "Song" << QStringList{"audio only", "", "", "", "", "libmp3lame", "2", "44100 HZ", "320 kbps"};
    QTest::newRow("first of a name only") << "Low" << "Movie" << QStringList{"null"};
    QTest::newRow("unknown preset") << "Medium" << "Movie" << QStringList{"null"};
    QTest::newRow("unknown format") << "High" << "Nope" << QStringList{"null"};
    QTest::newRow("format without a name")
        << "High" << "" << QStringList{"video", "nameless", "", " fps", " kbps", "pcm_s16le", "", " HZ", " kbps"};
}

void tst_QVideoSettingXml::quality_presets()
{
    QFETCH(QString, preset);
    QFETCH(QString, format);
    QFETCH(QStringList, values);
    QCOMPARE(fields(QVideoSettingXml::GetQuality(preset, format)), values);
}

void tst_QVideoSettingXml::addUnit_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shown");

    QTest::newRow("0") << "0" << "V_FrameRate" << "Auto";
    QTest::newRow("0 in white space") << " \t0\n" << "A_BitRate" << "Auto";
    QTest::newRow("0 without unit key") << "0" << "V_Encoder" << "Auto";
    QTest::newRow("Original") << "Original" << "V_BitRate" << "Original";
    QTest::newRow("Auto") << " Auto " << "A_SampleRate" << "Auto";
    QTest::newRow("auto in lower case") << "auto" << "A_SampleRate" << "auto HZ";
    QTest::newRow("frame rate") << "25" << "V_FrameRate" << "25 fps";
    QTest::newRow("video bit rate") << "2500" << "V_BitRate" << "2500 kbps";
    QTest::newRow("sample rate") << "48000" << "A_SampleRate" << "48000 HZ";
    QTest::newRow("audio bit rate") << "128" << "A_BitRate" << "128 kbps";
    QTest::newRow("empty") << "" << "V_BitRate" << " kbps";
    QTest::newRow("other key") << " 1080p " << "V_Resolution" << "1080p";
}

void tst_QVideoSettingXml::addUnit()
{
    QFETCH(QString, value);
    QFETCH(QString, key);
    QFETCH(QString, shown);
    QCOMPARE(QVideoSettingXml::addUnit(value, key), shown);
}

// The catalogue we ship offers only what the system's FFmpeg can write.
void tst_QVideoSettingXml::shippedCatalogue_formatsFFmpegWrites()
{
    const QString shipped = ZR_ROOT_DIR "/Resources/VideoSetting.xml";
    QFile::remove(m_resources + "/VideoSetting.xml");
    QVERIFY(QFile::copy(shipped, m_resources + "/VideoSetting.xml"));
    const QStringList encoders = ffmpegNames("-encoders");
    const QStringList muxers = ffmpegNames("-muxers");
    QVERIFY(encoders.contains("aac") && muxers.contains("mp4"));

    QStringList formats;
    const QDomDocument catalogue = xmlOf(shipped);
    for (QDomElement format = catalogue.documentElement().firstChildElement(); !format.isNull();
         format = format.nextSiblingElement())
        formats << format.attribute("DevFormat");
    QVERIFY(formats.contains("MP4") && formats.contains("MP3") && formats.contains("WebM"));

    for (const QString &name : formats) {
        const FileFormatInfo *container = QVideoSettingXml::GetFormatInfo(name);
        QVERIFY2(container && muxers.contains(container->format), qPrintable(name));
        const FormatAllInfo *info = QVideoSettingXml::GetFormatAllInfo(name);
        QVERIFY2(info && !info->audioEncoders.empty(), qPrintable(name));
        QCOMPARE(info->videoEncoders.empty(), info->bOnlyAudio);
        const QStringList offered = texts(info->videoEncoders) + texts(info->audioEncoders);
        for (const QString &encoder : offered)
            QVERIFY2(encoders.contains(encoder), qPrintable(name + ": " + encoder));
        for (const char *preset : {"HighQuality", "NormalQuality", "LowQuality"}) {
            const QualitySet *set = QVideoSettingXml::GetQuality(preset, name);
            QVERIFY2(set, qPrintable(name + " " + preset));
            QVERIFY2(offered.contains(set->audioEncoder), qPrintable(name + " " + preset));
            QVERIFY2(set->bOnlyAudio || offered.contains(set->videoEncoder), qPrintable(name + " " + preset));
        }
    }
}

void tst_QVideoSettingXml::defaultFormat_roundTrip()
{
    const QString path = m_appData + "/VideoDefaultFormatSetting.xml";
    QCOMPARE(QVideoSettingXml::GetDefaultFormat("mp4", nullptr), nullptr);
    QVERIFY(!QFileInfo::exists(path));

    QualitySet video = qualitySet(false, {" libx264 ", "1280x720", "0", "2500", "aac", "2", "48000", "128 "});
    QVideoSettingXml::SetDefaultFormat("mp4", &video);
    const QDomDocument rootDoc = xmlOf(path);
    const QDomElement root = rootDoc.documentElement();
    QCOMPARE(root.childNodes().size(), 1);
    const QDomElement entry = root.firstChildElement();
    QCOMPARE(entry.tagName(), QString("FORMAT_"));
    QCOMPARE(entry.attribute("Format_ID"), QString("mp4"));
    QCOMPARE(entry.childNodes().size(), 1);
    const QDomElement values = entry.firstChildElement();
    QCOMPARE(values.tagName(), QString("Format_Custom"));
    QCOMPARE(values.attributes().size(), 9);
    QCOMPARE(values.attribute("V_Encoder"), QString(" libx264 "));
    QCOMPARE(values.attribute("OnlyAudio"), QString("N"));
    QCOMPARE(fields(QVideoSettingXml::GetDefaultFormat("mp4", nullptr)),
             QStringList({"video", "libx264", "1280x720", "0", "2500", "aac", "2", "48000", "128"}));

    // Audio only: the video values are written, and read back empty.
    QualitySet audio = qualitySet(true, {"x", "y", "z", "w", "libmp3lame", "1", "44100", "320"});
    QVideoSettingXml::SetDefaultFormat("mp3", &audio);
    QCOMPARE(xmlOf(path).documentElement().lastChildElement().firstChildElement().attribute("V_Resolution"),
             QString("y"));
    QCOMPARE(fields(QVideoSettingXml::GetDefaultFormat("mp3", nullptr)),
             QStringList({"audio only", "", "", "", "", "libmp3lame", "1", "44100", "320"}));

    // The same identifier again: one entry, one quality child, the second set's values.
    QualitySet second = qualitySet(false, {"libx265", "1920x1080", "25", "5000", "aac", "6", "44100", "256"});
    QVideoSettingXml::SetDefaultFormat("mp4", &second);
    QCOMPARE(xmlOf(path).documentElement().childNodes().size(), 2);
    QCOMPARE(xmlOf(path).documentElement().firstChildElement().childNodes().size(), 1);
    QCOMPARE(fields(QVideoSettingXml::GetDefaultFormat("mp4", nullptr)),
             QStringList({"video", "libx265", "1920x1080", "25", "5000", "aac", "6", "44100", "256"}));
    QCOMPARE(QVideoSettingXml::GetDefaultFormat("MP4", nullptr), nullptr);
}

void tst_QVideoSettingXml::defaultFormat_namedValues()
{
    const QString path = m_appData + "/VideoDefaultFormatSetting.xml";
    QVideoSettingXml::SetDefaultFormatValue("mp4", "Name", "mine");
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(QVideoSettingXml::GetDefaultFormatValue("mp4", "Name"), QString());

    QualitySet set = qualitySet(false, {"libx264"});
    QVideoSettingXml::SetDefaultFormat("mkv", &set);
    QVideoSettingXml::SetDefaultFormatValue("mp4", "Name", "mine");
    QCOMPARE(xmlOf(path).documentElement().childNodes().size(), 1);
    QCOMPARE(QVideoSettingXml::GetDefaultFormatValue("mp4", "Name"), QString());

    QVideoSettingXml::SetDefaultFormat("mp4", &set);
    QVideoSettingXml::SetDefaultFormatValue("mp4", "Name", "mine");
    QCOMPARE(QVideoSettingXml::GetDefaultFormatValue("mp4", "Name"), QString("mine"));
    QCOMPARE(xmlOf(path).documentElement().lastChildElement().attribute("Name"), QString("mine"));

    // A named value outlives a new quality set.
    QualitySet other = qualitySet(false, {"libx265"});
    QVideoSettingXml::SetDefaultFormat("mp4", &other);
    QCOMPARE(QVideoSettingXml::GetDefaultFormatValue("mp4", "Name"), QString("mine"));
    QCOMPARE(QVideoSettingXml::GetDefaultFormat("mp4", nullptr)->videoEncoder, QString("libx265"));

    // The identifier itself is a named value.
    QVideoSettingXml::SetDefaultFormatValue("mp4", "Format_ID", "h264");
    QCOMPARE(QVideoSettingXml::GetDefaultFormatValue("mp4", "Name"), QString());
    QCOMPARE(QVideoSettingXml::GetDefaultFormatValue("h264", "Name"), QString("mine"));
    QCOMPARE(QVideoSettingXml::GetDefaultFormat("h264", nullptr)->videoEncoder, QString("libx265"));
    QCOMPARE(QVideoSettingXml::GetDefaultFormat("mp4", nullptr), nullptr);
}

void tst_QVideoSettingXml::defaultFormat_firstChildRules()
{
    const QString path = m_appData + "/VideoDefaultFormatSetting.xml";
    QVERIFY(writeAged(path, "<ROOTITEM>"
                            "<FORMAT_ Format_ID=\"comment\"><!-- mine --><Format_Custom V_Encoder=\"late\"/></FORMAT_>"
                            "<FORMAT_ Format_ID=\"other\"><Preset V_Encoder=\" mpeg4 \" OnlyAudio=\"N\"/></FORMAT_>"
                            "<FORMAT_ Format_ID=\"bare\"/>"
                            "</ROOTITEM>"));

    // A comment first: a record of nothing, not null.
    QCOMPARE(fields(QVideoSettingXml::GetDefaultFormat("comment", nullptr)),
             QStringList({"video", "", "", "", "", "", "", "", ""}));
    QCOMPARE(fields(QVideoSettingXml::GetDefaultFormat("other", nullptr)),
             QStringList({"video", "mpeg4", "", "", "", "", "", "", ""}));
    QCOMPARE(QVideoSettingXml::GetDefaultFormat("bare", nullptr), nullptr);

    // Another element first takes the values; before a comment a new one is put first.
    QualitySet set = qualitySet(true, {"", "", "", "", "flac", "2", "48000", "0"});
    QVideoSettingXml::SetDefaultFormat("other", &set);
    QVideoSettingXml::SetDefaultFormat("comment", &set);
    const QDomDocument rootDoc = xmlOf(path);
    const QDomElement root = rootDoc.documentElement();
    QCOMPARE(root.firstChildElement().childNodes().size(), 3);
    QCOMPARE(root.firstChildElement().firstChild().toElement().tagName(), QString("Format_Custom"));
    QCOMPARE(root.firstChildElement().lastChildElement().attribute("V_Encoder"), QString("late"));
    QCOMPARE(root.childNodes().at(1).childNodes().size(), 1);
    QCOMPARE(root.childNodes().at(1).firstChildElement().tagName(), QString("Preset"));
    for (const char *id : {"other", "comment"})
        QCOMPARE(fields(QVideoSettingXml::GetDefaultFormat(id, nullptr)),
                 QStringList({"audio only", "", "", "", "", "flac", "2", "48000", "0"}));
}

void tst_QVideoSettingXml::screenshot_freshAccount()
{
    const QString path = m_appData + "/VideoDefaultSetting.xml";
    QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("JPEG"));
    const QDomDocument rootDoc = xmlOf(path);
    const QDomElement root = rootDoc.documentElement();
    QCOMPARE(root.tagName(), QString("ROOTITEM"));
    QCOMPARE(root.childNodes().size(), 1);
    QCOMPARE(root.firstChildElement().tagName(), QString("Screenshots"));
    QCOMPARE(root.firstChildElement().attributes().size(), 1);
    QCOMPARE(root.firstChildElement().attribute("IMG_SUFFIX"), QString("JPEG"));

    const QString folder = m_documents + "/Screenshots/";
    QCOMPARE(QVideoSettingXml::getCaptrueImaSavePath(), folder);
    QCOMPARE(xmlOf(path).documentElement().childNodes().size(), 1);
    QCOMPARE(xmlOf(path).documentElement().firstChildElement().attribute("IMG_Folder"), folder);

    // An emptied value reads, and is stored again, as the default.
    QVideoSettingXml::setCaptureImgSuffix("");
    QCOMPARE(xmlOf(path).documentElement().firstChildElement().attribute("IMG_SUFFIX"), QString());
    QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("JPEG"));
    QCOMPARE(xmlOf(path).documentElement().firstChildElement().attribute("IMG_SUFFIX"), QString("JPEG"));

    QVideoSettingXml::setCaptureImgSuffix("png");
    QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("png"));
    QCOMPARE(QVideoSettingXml::GetItemValue("Screenshots", "IMG_SUFFIX", "x"), QString("png"));
}

void tst_QVideoSettingXml::screenshot_settersNeedAGetterFirst()
{
    const QString path = m_appData + "/VideoDefaultSetting.xml";
    QVideoSettingXml::setCaptureImgSuffix("PNG");
    QVideoSettingXml::setCaptrueImaPath("/pictures");
    QVideoSettingXml::SetItemValue("Item", "Key", "v");
    QVERIFY(!QFileInfo::exists(path));

    // With a file but no element, the setters save and still create no element.
    QCOMPARE(QVideoSettingXml::GetItemValue("Item", "Key", "d"), QString("d"));
    QVERIFY(ageFile(path));
    QVideoSettingXml::setCaptrueImaPath("/pictures");
    QVERIFY(fileState(path).modified > QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
    QVERIFY(xmlOf(path).documentElement().firstChildElement("Screenshots").isNull());

    QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("JPEG"));
    QVideoSettingXml::setCaptrueImaPath("/pictures");
    QCOMPARE(QVideoSettingXml::getCaptrueImaSavePath(), QString("/pictures"));
}

void tst_QVideoSettingXml::screenshot_defaultFolderAlwaysMade()
{
    const QString path = m_appData + "/VideoDefaultSetting.xml";
    QVERIFY(writeAged(path, "<ROOTITEM><Screenshots IMG_Folder=\"/elsewhere\"/></ROOTITEM>"));
    QVERIFY(!QDir(m_documents + "/Screenshots").exists());
    QCOMPARE(QVideoSettingXml::getCaptrueImaSavePath(), QString("/elsewhere"));
    QVERIFY(QDir(m_documents + "/Screenshots").exists());
    QVERIFY(!QDir("/elsewhere").exists());

    // When the folder cannot be made, the documents folder stands in, and is stored.
    QDir(m_documents + "/Screenshots").removeRecursively();
    QVERIFY(writeAged(m_documents + "/Screenshots", "a file in the way"));
    QVERIFY(writeAged(path, "<ROOTITEM/>"));
    QCOMPARE(QVideoSettingXml::getCaptrueImaSavePath(), m_documents);
    QCOMPARE(xmlOf(path).documentElement().firstChildElement("Screenshots").attribute("IMG_Folder"), m_documents);
}

void tst_QVideoSettingXml::items_getSetGet()
{
    const QString path = m_appData + "/VideoDefaultSetting.xml";
    QCOMPARE(QVideoSettingXml::GetItemValue("Output", "Folder", "/default"), QString("/default"));
    const QDomDocument itemDoc = xmlOf(path);
    const QDomElement item = itemDoc.documentElement().firstChildElement("Output");
    QVERIFY(item.isElement());
    QCOMPARE(item.attributes().size(), 0);

    QVideoSettingXml::SetItemValue("Output", "Folder", "/videos");
    QCOMPARE(QVideoSettingXml::GetItemValue("Output", "Folder", "/default"), QString("/videos"));

    // An empty value reads as the caller's default, which is not written.
    QVideoSettingXml::SetItemValue("Output", "Folder", "");
    QCOMPARE(QVideoSettingXml::GetItemValue("Output", "Folder", "/other"), QString("/other"));
    QVERIFY(xmlOf(path).documentElement().firstChildElement("Output").hasAttribute("Folder"));
    QCOMPARE(xmlOf(path).documentElement().firstChildElement("Output").attribute("Folder"), QString());

    // Names compare with case: a new element.
    QCOMPARE(QVideoSettingXml::GetItemValue("output", "Folder", "d"), QString("d"));
    QCOMPARE(xmlOf(path).documentElement().childNodes().size(), 2);
    QCOMPARE(xmlOf(path).documentElement().lastChildElement().tagName(), QString("output"));
}

// The catalogue is read from <root>/Resources beside the executable's bin folder: the tests run in
// a copy of this executable inside a temporary tree, so that folder is theirs.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("ZR_PRIVATE_TREE")) {
        QTemporaryDir tree;
        const QString exe = tree.path() + "/bin/" + QFileInfo(app.applicationFilePath()).fileName();
        if (!QDir().mkpath(tree.path() + "/bin") || !QDir().mkpath(tree.path() + "/Resources")
            || !QFile::copy(app.applicationFilePath(), exe)) {
            qCritical("cannot make the private tree in %s", qPrintable(tree.path()));
            return 1;
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZR_PRIVATE_TREE", "1");
        child.setProcessEnvironment(env);
        child.start(exe, app.arguments().mid(1));
        child.waitForFinished(-1);
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
    }
    tst_QVideoSettingXml test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qvideosettingxml.moc"
