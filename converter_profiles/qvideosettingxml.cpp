#include "converter_profiles/qvideosettingxml.h"

#include "converter_profiles/qplistread.h"
#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "services/zrxmldepth.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {

const char *const RootTag = "ROOTITEM";
const char *const CatalogueFile = "VideoSetting.xml";
const char *const SettingFile = "VideoDefaultSetting.xml";
const char *const DefaultFormatFile = "VideoDefaultFormatSetting.xml";
const char *const HistoryFile = "History.xml";
const char *const Md5File = "ConvertedMd5.xml";

const char *const ScreenshotTag = "Screenshots";
const char *const PathAttr = "Converted_path_";
const char *const Md5Attr = "Converted_path_md5";
const char *const FormatIdAttr = "Format_ID";
const char *const LanguageNameAttr = "Language_Name";
// Far deeper than the store's files, which go three levels down.
const int MaxDepth = 16;

// The eight encoding parameters in record order, with the unit their display values get.
struct Parameter
{
    const char *key;
    const char *unit;
    bool video;
    QString QualitySet::*value;
    std::vector<std::string> FormatAllInfo::*values;
};

const Parameter Parameters[] = {
    {"V_Encoder", nullptr, true, &QualitySet::videoEncoder, &FormatAllInfo::videoEncoders},
    {"V_Resolution", nullptr, true, &QualitySet::videoResolution, &FormatAllInfo::resolutions},
    {"V_FrameRate", " fps", true, &QualitySet::videoFrameRate, &FormatAllInfo::frameRates},
    {"V_BitRate", " kbps", true, &QualitySet::videoBitRate, &FormatAllInfo::videoBitRates},
    {"A_Encoder", nullptr, false, &QualitySet::audioEncoder, &FormatAllInfo::audioEncoders},
    {"A_Channel", nullptr, false, &QualitySet::audioChannel, &FormatAllInfo::channels},
    {"A_SampleRate", " HZ", false, &QualitySet::audioSampleRate, &FormatAllInfo::sampleRates},
    {"A_BitRate", " kbps", false, &QualitySet::audioBitRate, &FormatAllInfo::audioBitRates},
};

// The texts of a history entry, stored on its first child under these names.
struct HistoryText
{
    const char *attr;
    QString convertedInfo::*field;
};

const HistoryText HistoryTexts[] = {
    {"Img_path_", &convertedInfo::imgPath},
    {"Title_", &convertedInfo::title},
    {"Resolutin_", &convertedInfo::resolution},
    {"Time_", &convertedInfo::time},
    {"Size_", &convertedInfo::size},
    {"Create_time_", &convertedInfo::createTime},
    {"Extend_", &convertedInfo::extend},
    {"Artist_", &convertedInfo::artist},
    {"Album_", &convertedInfo::album},
    {"Genre_", &convertedInfo::genre},
    {"preferencePath_", &convertedInfo::preferencePath},
    {"Season_", &convertedInfo::season},
    {"Year", &convertedInfo::year},
};

QString appDataFile(const char *name)
{
    return QIAnyUtil::getAppDataPath() + "/" + name;
}

QString catalogueFile()
{
    return QIAnyUtil::getResourcePath() + "/" + CatalogueFile;
}

// A missing file starts as an empty root in memory; the save that follows creates it, so a save
// that fails or is refused leaves no empty file behind.
bool openOrCreate(const QString &path, QDomDocument &doc)
{
    if (QFile::exists(path))
        return QVideoSettingXml::isValidFile(path, doc);
    doc.appendChild(doc.createElement(RootTag));
    return true;
}

// The first direct child whose tag is tag. A child that is not an element reads as a null
// element: empty tag, no attributes, no children.
QDomElement childByTag(const QDomNode &parent, const QString &tag)
{
    for (QDomNode node = parent.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.toElement().tagName() == tag)
            return node.toElement();
    }
    return QDomElement();
}

QString normalised(QString path)
{
    return path.replace('\\', '/');
}

// The first direct child whose attribute attr equals value; with slashes both sides compare with
// every "\" read as "/".
QDomElement childByAttribute(const QDomNode &parent, const QString &attr, const QString &value, bool slashes = false)
{
    const QString wanted = slashes ? normalised(value) : value;
    for (QDomNode node = parent.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QString stored = node.toElement().attribute(attr);
        if ((slashes ? normalised(stored) : stored) == wanted)
            return node.toElement();
    }
    return QDomElement();
}

// The element holding an entry's values: its first child. When that is missing or not an element,
// a new one goes first, so readers find what is written.
QDomElement firstChildForWriting(QDomDocument &doc, QDomElement &entry, const QString &tag)
{
    const QDomNode first = entry.firstChild();
    if (first.isElement())
        return first.toElement();
    QDomElement created = doc.createElement(tag);
    entry.insertBefore(created, first);
    return created;
}

const char *flagText(bool flag)
{
    return flag ? "Y" : "N";
}

bool readFlag(const QDomElement &element, const char *attr)
{
    return element.attribute(attr) == "Y";
}

void readConverted(const QDomElement &values, convertedInfo &info)
{
    for (const HistoryText &text : HistoryTexts)
        info.*text.field = values.attribute(text.attr);
    info.videoFile = readFlag(values, "Video_file");
    info.newFile = readFlag(values, "New_file");
}

void writeConverted(QDomElement values, const convertedInfo &info)
{
    for (const HistoryText &text : HistoryTexts)
        values.setAttribute(text.attr, info.*text.field);
    values.setAttribute("Video_file", flagText(info.videoFile));
    values.setAttribute("New_file", flagText(info.newFile));
}

// Reads key of the first element tagged tag in the settings file, creating the file and the
// element; with storeDefault a new element and an empty value are given the default.
QString readSetting(const QString &tag, const QString &key, const QString &defaultValue, bool storeDefault)
{
    const QString path = appDataFile(SettingFile);
    QDomDocument doc;
    if (!openOrCreate(path, doc))
        return defaultValue;

    QDomElement root = doc.documentElement();
    QDomElement element = childByTag(root, tag);
    QString result = defaultValue;
    if (element.isNull()) {
        element = doc.createElement(tag);
        if (storeDefault)
            element.setAttribute(key, defaultValue);
        root.appendChild(element);
    } else if (!element.attribute(key).isEmpty()) {
        result = element.attribute(key);
    } else if (storeDefault) {
        element.setAttribute(key, defaultValue);
    }
    QVideoSettingXml::SaveXml(path, doc);
    return result;
}

// Sets key of the first element tagged tag; neither the file nor the element is created.
void writeSetting(const QString &tag, const QString &key, const QString &value)
{
    const QString path = appDataFile(SettingFile);
    QDomDocument doc;
    if (!QVideoSettingXml::isValidFile(path, doc))
        return;
    childByTag(doc.documentElement(), tag).setAttribute(key, value);
    QVideoSettingXml::SaveXml(path, doc);
}

// Finds a history entry and, when there is one, changes it and saves the file.
template<typename Change>
void changeHistoryEntry(const QString &path, Change change)
{
    const QString filePath = appDataFile(HistoryFile);
    QDomDocument doc;
    if (!QVideoSettingXml::isValidFile(filePath, doc))
        return;
    QDomElement root = doc.documentElement();
    QDomElement entry = childByAttribute(root, PathAttr, path, true);
    if (entry.isNull())
        return;
    change(root, entry);
    QVideoSettingXml::SaveXml(filePath, doc);
}

}

std::unique_ptr<FormatAllInfo> QVideoSettingXml::m_formatInfo;
std::unique_ptr<FileFormatInfo> QVideoSettingXml::m_fileFormatInfo;
std::unique_ptr<QualitySet> QVideoSettingXml::m_highQualitySet;
std::unique_ptr<QualitySet> QVideoSettingXml::m_defaultQualitySet;
std::unique_ptr<convertedInfo> QVideoSettingXml::m_convertInfo;

bool QVideoSettingXml::isValidFile(QString path, QDomDocument &doc)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // The DOM parser recurses once per level and overflows the stack on a deep enough file; one
    // nested deeper than any of the store's is refused before it gets there.
    const QByteArray text = file.readAll();
    QXmlStreamReader reader(text);
    return ZrXmlDepth::within(reader, MaxDepth) && doc.setContent(text, false);
}

void QVideoSettingXml::SaveXml(QString path, QDomDocument doc)
{
    // The DOM reader lets control characters through, but a file holding them is no XML; only a
    // well-formed document is written.
    QXmlStreamReader reader(doc.toString(4));
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError()) {
        qWarning("error::ParserXML->writeOperateXml->text XML cannot carry\n");
        return;
    }
    QSettingXml::SaveXml(path, doc);
}

FormatAllInfo *QVideoSettingXml::GetFormatAllInfo(QString format)
{
    m_formatInfo.reset(new FormatAllInfo);
    QDomDocument doc;
    if (format.isEmpty() || !isValidFile(catalogueFile(), doc))
        return nullptr;

    const QDomElement entry = childByAttribute(doc.documentElement(), "DevFormat", format);
    m_formatInfo->bOnlyAudio = entry.attribute("OnlyAudio") == "Y";
    const QDomElement values = childByTag(entry, "ATTRIBUTE_VALUE");
    if (values.isNull())
        return nullptr;
    for (const Parameter &parameter : Parameters) {
        if (parameter.video && m_formatInfo->bOnlyAudio)
            continue;
        std::vector<std::string> &list = (*m_formatInfo).*parameter.values;
        const std::string text = values.attribute(parameter.key).toStdString();
        if (parameter.unit)
            analysisTextInfo(text, parameter.unit, list);
        else
            analysisTextInfo(text, list);
    }
    return m_formatInfo.get();
}

FileFormatInfo *QVideoSettingXml::GetFormatInfo(QString format)
{
    m_fileFormatInfo.reset(new FileFormatInfo);
    QDomDocument doc;
    if (format.isEmpty() || !isValidFile(catalogueFile(), doc))
        return nullptr;
    const QDomElement entry = childByAttribute(doc.documentElement(), "DevFormat", format);
    const QDomElement info = childByTag(entry, "VIDIO_FOMAT_INFO");
    if (info.isNull())
        return nullptr;
    m_fileFormatInfo->format = info.attribute("V_Format");
    m_fileFormatInfo->extend = info.attribute("V_Extend");
    return m_fileFormatInfo.get();
}

void QVideoSettingXml::analysisTextInfo(std::string text, std::vector<std::string> &list)
{
    list.clear();
    QPlistRead::analysisTextInfo(text, list);
}

void QVideoSettingXml::analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list)
{
    list.clear();
    QPlistRead::analysisTextInfo(text, unit, list);
}

std::string &QVideoSettingXml::trim(std::string &text)
{
    return ::trim(text);
}

QualitySet *QVideoSettingXml::GetQuality(QString quality, QString format)
{
    m_highQualitySet.reset(new QualitySet);
    QDomDocument doc;
    if (!isValidFile(catalogueFile(), doc))
        return nullptr;

    const QDomElement entry = childByAttribute(doc.documentElement(), "DevFormat", format);
    QualitySet &set = *m_highQualitySet;
    set.bOnlyAudio = entry.attribute("OnlyAudio") == "Y";
    const QDomElement values = childByTag(entry, quality);
    if (values.isNull())
        return nullptr;
    for (const Parameter &parameter : Parameters) {
        if (parameter.video && set.bOnlyAudio)
            continue;
        const QString text = values.attribute(parameter.key);
        set.*parameter.value = parameter.unit ? addUnit(text, parameter.key) : text.trimmed();
    }
    return m_highQualitySet.get();
}

QString QVideoSettingXml::addUnit(QString value, QString key)
{
    const QString text = value.trimmed();
    if (text == "0")
        return "Auto";
    if (text == "Original" || text == "Auto")
        return text;
    for (const Parameter &parameter : Parameters) {
        if (key == parameter.key && parameter.unit)
            return text + parameter.unit;
    }
    return text;
}

QualitySet *QVideoSettingXml::GetDefaultFormat(QString formatId, QualitySet *)
{
    m_defaultQualitySet.reset(new QualitySet);
    const QString path = appDataFile(DefaultFormatFile);
    QDomDocument doc;
    if (!QFile::exists(path) || !isValidFile(path, doc))
        return nullptr;
    const QDomElement entry = childByAttribute(doc.documentElement(), FormatIdAttr, formatId);
    if (entry.isNull() || !entry.hasChildNodes())
        return nullptr;

    const QDomElement values = entry.firstChild().toElement();
    QualitySet &set = *m_defaultQualitySet;
    set.bOnlyAudio = readFlag(values, "OnlyAudio");
    for (const Parameter &parameter : Parameters) {
        if (!(parameter.video && set.bOnlyAudio))
            set.*parameter.value = values.attribute(parameter.key).trimmed();
    }
    return m_defaultQualitySet.get();
}

void QVideoSettingXml::SetDefaultFormat(QString formatId, QualitySet *set)
{
    const QString path = appDataFile(DefaultFormatFile);
    QDomDocument doc;
    if (!set || !openOrCreate(path, doc))
        return;

    QDomElement root = doc.documentElement();
    QDomElement entry = childByAttribute(root, FormatIdAttr, formatId);
    if (entry.isNull()) {
        entry = doc.createElement("FORMAT_");
        entry.setAttribute(FormatIdAttr, formatId);
        root.appendChild(entry);
    }
    QDomElement values = firstChildForWriting(doc, entry, "Format_Custom");
    values.setAttribute("OnlyAudio", flagText(set->bOnlyAudio));
    for (const Parameter &parameter : Parameters)
        values.setAttribute(parameter.key, (*set).*parameter.value);
    SaveXml(path, doc);
}

void QVideoSettingXml::SetDefaultFormatValue(QString formatId, QString name, QString value)
{
    const QString path = appDataFile(DefaultFormatFile);
    QDomDocument doc;
    if (!isValidFile(path, doc))
        return;
    QDomElement entry = childByAttribute(doc.documentElement(), FormatIdAttr, formatId);
    if (entry.isNull())
        return;
    entry.setAttribute(name, value);
    SaveXml(path, doc);
}

QString QVideoSettingXml::GetDefaultFormatValue(QString formatId, QString name)
{
    QDomDocument doc;
    if (!isValidFile(appDataFile(DefaultFormatFile), doc))
        return QString();
    return childByAttribute(doc.documentElement(), FormatIdAttr, formatId).attribute(name);
}

QString QVideoSettingXml::getCaptureImgSuffix()
{
    return readSetting(ScreenshotTag, "IMG_SUFFIX", "JPEG", true);
}

void QVideoSettingXml::setCaptureImgSuffix(QString suffix)
{
    writeSetting(ScreenshotTag, "IMG_SUFFIX", suffix);
}

QString QVideoSettingXml::getCaptrueImaSavePath()
{
    qDebug() << appDataFile(SettingFile);
    const QString documents = QIAnyUtil::getDocumentPath();
    QString folder = documents + "/Screenshots/";
    if (!QDir(folder).exists() && !QDir().mkpath(folder))
        folder = documents;
    return readSetting(ScreenshotTag, "IMG_Folder", folder, true);
}

void QVideoSettingXml::setCaptrueImaPath(QString path)
{
    writeSetting(ScreenshotTag, "IMG_Folder", path);
}

QString QVideoSettingXml::GetItemValue(QString item, QString key, QString defaultValue)
{
    return readSetting(item, key, defaultValue, false);
}

void QVideoSettingXml::SetItemValue(QString item, QString key, QString value)
{
    writeSetting(item, key, value);
}

void QVideoSettingXml::SetConvertedPath(QString path)
{
    const QString filePath = appDataFile(HistoryFile);
    QDomDocument doc;
    if (!openOrCreate(filePath, doc))
        return;
    QDomElement root = doc.documentElement();
    QDomElement entry = childByAttribute(root, PathAttr, path);
    if (entry.isNull()) {
        entry = doc.createElement("Path_item");
        root.appendChild(entry);
    }
    entry.setAttribute(PathAttr, path);
    SaveXml(filePath, doc);
}

QStringList QVideoSettingXml::GetConvertedPath()
{
    const QString filePath = appDataFile(HistoryFile);
    QDomDocument doc;
    QStringList paths;
    if (!isValidFile(filePath, doc))
        return paths;

    // Entries of files that are gone are dropped from the history.
    QDomElement root = doc.documentElement();
    bool removed = false;
    QDomNode node = root.firstChild();
    while (!node.isNull()) {
        const QDomNode next = node.nextSibling();
        const QString stored = node.toElement().attribute(PathAttr);
        if (QFileInfo::exists(stored)) {
            paths << stored;
        } else {
            root.removeChild(node);
            removed = true;
        }
        node = next;
    }
    if (removed)
        SaveXml(filePath, doc);
    return paths;
}

void QVideoSettingXml::DeleteConvertedPath(QStringList paths)
{
    const QString filePath = appDataFile(HistoryFile);
    QDomDocument doc;
    if (paths.isEmpty() || !isValidFile(filePath, doc))
        return;

    // Each given path removes at most one entry.
    QDomElement root = doc.documentElement();
    bool removed = false;
    QDomNode node = root.firstChild();
    while (!node.isNull() && !paths.isEmpty()) {
        const QDomNode next = node.nextSibling();
        const int index = paths.indexOf(node.toElement().attribute(PathAttr));
        if (index >= 0) {
            paths.removeAt(index);
            root.removeChild(node);
            removed = true;
        }
        node = next;
    }
    if (removed)
        SaveXml(filePath, doc);
}

void QVideoSettingXml::SaveConvertedInfo(convertedInfo *info)
{
    const QString filePath = appDataFile(HistoryFile);
    QDomDocument doc;
    if (!info || !openOrCreate(filePath, doc))
        return;
    QDomElement root = doc.documentElement();
    QDomElement entry = childByAttribute(root, PathAttr, info->convertedPath);
    if (entry.isNull()) {
        entry = doc.createElement("Path_item");
        entry.setAttribute(PathAttr, info->convertedPath);
        root.appendChild(entry);
    }
    writeConverted(firstChildForWriting(doc, entry, "CONVERTED_INFO_"), *info);
    SaveXml(filePath, doc);
}

convertedInfo *QVideoSettingXml::GetConvertedInfo(QString path)
{
    m_convertInfo.reset();
    QDomDocument doc;
    if (!isValidFile(appDataFile(HistoryFile), doc))
        return nullptr;
    const QDomElement entry = childByAttribute(doc.documentElement(), PathAttr, path, true);
    if (entry.isNull())
        return nullptr;
    m_convertInfo.reset(new convertedInfo);
    m_convertInfo->convertedPath = normalised(path);
    readConverted(entry.firstChild().toElement(), *m_convertInfo);
    return m_convertInfo.get();
}

void QVideoSettingXml::removeConvertedInfo(QString path)
{
    changeHistoryEntry(path, [](QDomElement &root, QDomElement &entry) { root.removeChild(entry); });
}

void QVideoSettingXml::changeConvertedInfoPath(QString oldPath, QString newPath)
{
    changeHistoryEntry(oldPath,
                       [&newPath](QDomElement &, QDomElement &entry) { entry.setAttribute(PathAttr, newPath); });
}

void QVideoSettingXml::changeConvertedInfoValue(QString path, QString name, QString value)
{
    const QString filePath = appDataFile(HistoryFile);
    QDomDocument doc;
    if (!openOrCreate(filePath, doc))
        return;
    const QDomElement entry = childByAttribute(doc.documentElement(), PathAttr, path);
    entry.firstChild().toElement().setAttribute(name, value);
    SaveXml(filePath, doc);
}

QString QVideoSettingXml::getPreferencePath(QString path)
{
    QDomDocument doc;
    if (!isValidFile(appDataFile(HistoryFile), doc))
        return QString();
    const QDomElement entry = childByAttribute(doc.documentElement(), PathAttr, path, true);
    return entry.firstChild().toElement().attribute("preferencePath_");
}

void QVideoSettingXml::analysisConvertedInfo(QList<convertedInfo *> *list)
{
    const QString filePath = appDataFile(HistoryFile);
    QDomDocument doc;
    if (!isValidFile(filePath, doc))
        return;

    // An entry reads as new in one listing only.
    bool cleared = false;
    for (QDomNode node = doc.documentElement().firstChild(); !node.isNull(); node = node.nextSibling()) {
        std::unique_ptr<convertedInfo> info(new convertedInfo);
        info->convertedPath = normalised(node.toElement().attribute(PathAttr));
        QDomElement values = node.firstChild().toElement();
        readConverted(values, *info);
        if (info->newFile) {
            values.setAttribute("New_file", flagText(false));
            cleared = true;
        }
        if (list)
            list->append(info.release());
    }
    if (cleared)
        SaveXml(filePath, doc);
}

void QVideoSettingXml::SaveConvertedPathMd5(QString md5)
{
    const QString filePath = appDataFile(Md5File);
    QDomDocument doc;
    if (md5.isEmpty() || !openOrCreate(filePath, doc))
        return;

    QDomElement root = doc.documentElement();
    QDomElement last = root.lastChild().toElement();
    const QString digests = last.attribute(Md5Attr);
    if (digests.isEmpty()) {
        QDomElement entry = doc.createElement("Path_item");
        entry.setAttribute(Md5Attr, QString("%1_").arg(md5));
        root.appendChild(entry);
    } else if (digests.contains(md5)) {
        return;
    } else {
        last.setAttribute(Md5Attr, QString("%1%2_").arg(digests, md5));
    }
    SaveXml(filePath, doc);
}

QString QVideoSettingXml::getConvertedPathMd5()
{
    QDomDocument doc;
    if (!isValidFile(appDataFile(Md5File), doc))
        return QString();
    return doc.documentElement().firstChild().toElement().attribute(Md5Attr);
}

QStringList QVideoSettingXml::GetLanguage(QString path)
{
    QStringList names;
    QDomDocument doc;
    if (!isValidFile(path, doc))
        return names;
    for (QDomNode node = doc.documentElement().firstChild(); !node.isNull(); node = node.nextSibling())
        names << node.toElement().attribute(LanguageNameAttr);
    return names;
}

QPair<QString, QString> QVideoSettingXml::GetLanguageFile(QString path, QString name)
{
    QPair<QString, QString> language;
    QDomDocument doc;
    if (!isValidFile(path, doc))
        return language;
    // The last entry of that name wins.
    for (QDomNode node = doc.documentElement().firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement entry = node.toElement();
        if (entry.attribute(LanguageNameAttr) == name)
            language = qMakePair(entry.attribute("Language_File"), entry.attribute("Language_Type"));
    }
    return language;
}
