#include "services/qsettingxml.h"

#include "services/qianyutil.h"
#include "services/zratomicfile.h"
#include "services/zrxmldepth.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextStream>
#include <QThread>
#include <QXmlStreamReader>
#include <QtGlobal>

#include <cstdio>

namespace {

const char *const RootTag = "ROOTITEM";
const char *const DefaultFile = "DefaultSetting.xml";
const char *const ScreenshotFile = "ScreenShotsSetting.xml";
const char *const ScreenshotTag = "Screenshots";

// The two files of play items share one layout and differ in these names.
struct ItemFile
{
    const char *name;
    const char *pathAttr;
    const char *infoTag;
};

const ItemFile HistoryFile = {"PlayHistoryFile.xml", "History_path_", "HISTORY_INFO_"};
const ItemFile PlayListFile = {"PlayListFile.xml", "PlayList_path_", "PLAYLIST_INFO_"};

// The deepest a file of the store goes: root, entry, info.
const int MaxDepth = 3;

QString settingsPath(const char *name)
{
    return QIAnyUtil::getAppDataPath() + "/" + name;
}

// Serialises the read-modify-write of a settings file: threads of this process take one mutex, processes
// a lock file beside the file. A lock another process holds for seconds means it hangs: the file then
// counts as unreadable, so nothing is read or written. Without a folder to put the lock file in, the file
// cannot be written by anyone and the call goes on unlocked.
class FileGuard
{
public:
    explicit FileGuard(const QString &path) : m_locker(&mutex()), m_lock(path + ".lock")
    {
        const QDeadlineTimer deadline(5000);
        while (!m_lock.tryLock(0)) {
            if (m_lock.error() != QLockFile::LockFailedError)
                return;
            if (deadline.hasExpired()) {
                qWarning() << "settings file is locked by another process:" << path;
                m_held = false;
                return;
            }
            QThread::msleep(2);
        }
    }
    bool held() const { return m_held; }

private:
    static QMutex &mutex()
    {
        static QMutex store;
        return store;
    }

    QMutexLocker m_locker;
    QLockFile m_lock;
    bool m_held = true;
};

void startEmpty(QDomDocument &doc)
{
    doc = QDomDocument();
    doc.appendChild(doc.createElement(RootTag));
}

// A missing file starts as an empty root; the save that follows creates it.
bool openOrCreate(const QString &path, QDomDocument &doc)
{
    if (QFile::exists(path))
        return QSettingXml::isValidFile(path, doc);
    startEmpty(doc);
    return true;
}

// Reads a setting that has a default; the whole file is written back. With fillEmpty, a missing
// or empty attribute of an existing element is stored with the default as well.
QString readWithDefault(const char *fileName, const QString &tag, const QString &attr,
                        const QString &defaultValue, bool fillEmpty)
{
    const QString path = settingsPath(fileName);
    const FileGuard guard(path);
    QDomDocument doc;
    if (!guard.held() || !openOrCreate(path, doc))
        return defaultValue;

    QDomElement root = doc.documentElement();
    QDomElement element = root.firstChildElement(tag);
    QString result = defaultValue;
    if (element.isNull()) {
        element = doc.createElement(tag);
        element.setAttribute(attr, defaultValue);
        root.appendChild(element);
    } else if (!element.attribute(attr).isEmpty()) {
        result = element.attribute(attr);
    } else if (fillEmpty) {
        element.setAttribute(attr, defaultValue);
    }
    QSettingXml::SaveXml(path, doc);
    return result;
}

// Changes an attribute of the first element named tag; a missing file or element is not created.
void writeExisting(const char *fileName, const QString &tag, const QString &attr, const QString &value)
{
    const QString path = settingsPath(fileName);
    const FileGuard guard(path);
    QDomDocument doc;
    if (!guard.held() || !QSettingXml::isValidFile(path, doc))
        return;
    QDomElement element = doc.documentElement().firstChildElement(tag);
    if (!element.isNull())
        element.setAttribute(attr, value);
    QSettingXml::SaveXml(path, doc);
}

// Text that is not a 64-bit decimal integer reads as 0.
qlonglong readInteger(const QDomElement &info, const char *name)
{
    return info.attribute(name).toLongLong();
}

// A negative count of bytes or microseconds means nothing; it reads as 0.
unsigned long long readCount(const QDomElement &info, const char *name)
{
    return static_cast<unsigned long long>(qMax<qlonglong>(0, readInteger(info, name)));
}

void writeInfo(QDomElement info, const PlayItemInfo &item)
{
    info.setAttribute("Duration_", QString::number(item.Duration_));
    info.setAttribute("OnlyAudio_", item.OnlyAudio_ ? "1" : "0");
    info.setAttribute("Play_to_time_", QString::number(item.Play_to_time_));
    info.setAttribute("Size_", QString::number(item.Size_));
    info.setAttribute("CREACTTIME_", QString::number(item.CREACTTIME_));
    info.setAttribute("Filename", item.Filename);
    info.setAttribute("File_isDVD", item.File_isDVD ? "1" : "0");
}

void readInfo(const QDomElement &info, PlayItemInfo *item)
{
    item->Duration_ = readCount(info, "Duration_");
    item->OnlyAudio_ = readInteger(info, "OnlyAudio_") != 0;
    item->Play_to_time_ = readCount(info, "Play_to_time_");
    item->Size_ = readCount(info, "Size_");
    item->CREACTTIME_ = readCount(info, "CREACTTIME_");
    item->Filename = info.attribute("Filename");
    item->File_isDVD = readInteger(info, "File_isDVD") != 0;
}

// U+FFFE, U+FFFF and lone surrogates cannot be written in XML at all; a file holding one would
// no longer load.
bool xmlCanHold(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (c == 0xFFFE || c == 0xFFFF || QChar::isLowSurrogate(c))
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 == text.size() || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        }
    }
    return true;
}

QDomElement findEntry(const QDomElement &root, const char *pathAttr, const QString &path, bool slashes)
{
    for (QDomElement entry = root.firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement()) {
        QString stored = entry.attribute(pathAttr);
        if (slashes)
            stored.replace('\\', '/');
        if (stored == path)
            return entry;
    }
    return QDomElement();
}

// With lookUp an item updates the entry of its path in place; without, it always gets a new entry.
void saveItems(const ItemFile &file, const QList<PlayItemInfo *> &items, bool lookUp)
{
    const QString path = settingsPath(file.name);
    const FileGuard guard(path);
    QDomDocument doc;
    if (!guard.held() || !openOrCreate(path, doc))
        return;

    QDomElement root = doc.documentElement();
    for (const PlayItemInfo *item : items) {
        if (!item)
            continue;
        // One file name the format cannot hold must not cost the others their place in the file.
        if (!xmlCanHold(item->path) || !xmlCanHold(item->Filename)) {
            qWarning() << "not stored, the path holds characters XML cannot carry:" << item->path;
            continue;
        }
        QDomElement entry = lookUp ? findEntry(root, file.pathAttr, item->path, false) : QDomElement();
        if (entry.isNull()) {
            entry = doc.createElement("Path_item");
            entry.setAttribute(file.pathAttr, item->path);
            root.appendChild(entry);
        }
        QDomElement info = entry.firstChildElement();
        if (info.isNull()) {
            info = doc.createElement(file.infoTag);
            entry.appendChild(info);
        }
        writeInfo(info, *item);
    }
    QSettingXml::SaveXml(path, doc);
}

bool holdsPath(const QList<PlayItemInfo *> &list, const QString &path)
{
    for (const PlayItemInfo *item : list) {
        if (item && item->path == path)
            return true;
    }
    return false;
}

// Appends one record per entry; with skipHeld, paths the list already holds are passed over.
void loadItems(const ItemFile &file, QList<PlayItemInfo *> *list, bool skipHeld)
{
    if (!list)
        return;
    const QString path = settingsPath(file.name);
    const FileGuard guard(path);
    QDomDocument doc;
    if (!guard.held() || !QFile::exists(path) || !QSettingXml::isValidFile(path, doc))
        return;

    const QDomElement root = doc.documentElement();
    for (QDomElement entry = root.firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement()) {
        const QString stored = entry.attribute(file.pathAttr);
        if (skipHeld && holdsPath(*list, stored))
            continue;
        PlayItemInfo *item = new PlayItemInfo;
        item->path = stored;
        readInfo(entry.firstChildElement(), item);
        list->append(item);
    }
}

void deleteEntry(const ItemFile &file, const QString &path, bool slashes)
{
    const QString filePath = settingsPath(file.name);
    const FileGuard guard(filePath);
    QDomDocument doc;
    if (!guard.held() || !QSettingXml::isValidFile(filePath, doc))
        return;
    QDomElement root = doc.documentElement();
    const QDomElement entry = findEntry(root, file.pathAttr, path, slashes);
    if (!entry.isNull())
        root.removeChild(entry);
    QSettingXml::SaveXml(filePath, doc);
}

void removeFile(const ItemFile &file)
{
    const QString path = settingsPath(file.name);
    const FileGuard guard(path);
    if (guard.held())
        QFile::remove(path);
}

// A file that names its encoding in its declaration is read in that encoding.
bool declaresOtherEncoding(const QByteArray &bytes)
{
    if (!bytes.startsWith("<?xml"))
        return false;
    const QString declaration = QString::fromLatin1(bytes.left(bytes.indexOf("?>")));
    const QRegularExpressionMatch match =
        QRegularExpression("encoding\\s*=\\s*[\"']([^\"']*)[\"']").match(declaration);
    return match.hasMatch() && match.captured(1).compare("utf-8", Qt::CaseInsensitive) != 0;
}

bool isUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// UTF-16 starts with a byte order mark, which the parser reads itself.
bool isUtf16(const QByteArray &bytes)
{
    return bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff");
}

// Deeper than the store's own shape means damage. Text that does not parse is left to the DOM
// parser to refuse.
template <typename Text>
bool withinDepth(const Text &text)
{
    QXmlStreamReader reader(text);
    return ZrXmlDepth::within(reader, MaxDepth);
}

// Keeps the bytes as "<name>.bad" while the file itself stays.
bool keepCopy(const QString &path, const QByteArray &bytes)
{
    return ZrAtomicFile::save(path + ".bad", bytes) == ZrAtomicFile::Saved;
}

}

bool QSettingXml::isValidFile(QString path, QDomDocument &doc)
{
    // Only regular files are read: opening a pipe blocks, a device never ends.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QByteArray bytes = file.readAll();
    file.close();

    if (!isUtf16(bytes) && !declaresOtherEncoding(bytes) && !isUtf8(bytes)) {
        // Not the UTF-8 the file claims by naming nothing: damaged, but its names are most likely Latin-1,
        // which is how they are read. The file stays as it is until a save writes it anew.
        if (!keepCopy(path, bytes)) {
            qWarning() << "settings file is not UTF-8 and cannot be copied aside:" << path;
            return false;
        }
        qWarning() << "settings file is not UTF-8, read as Latin-1, kept as" << path + ".bad";
        const QString text = QString::fromLatin1(bytes);
        if (withinDepth(text) && doc.setContent(text, false))
            return true;
    } else if (withinDepth(bytes) && doc.setContent(bytes, false)) {
        return true;
    }

    // The rebuild must not cost the user what was there: move the damaged file aside first,
    // replacing an older copy in one step. When it cannot be kept, treat it as unreadable.
    const QString kept = path + ".bad";
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) != 0) {
        qWarning() << "settings file does not parse and cannot be moved aside:" << path;
        return false;
    }
    qWarning() << "settings file does not parse, kept as" << kept;
    startEmpty(doc);
    return true;
}

void QSettingXml::SaveXml(QString path, QDomDocument doc)
{
    QByteArray text;
    {
        QTextStream out(&text, QIODevice::WriteOnly);
        out.setCodec("utf-8");
        doc.save(out, 4, QDomNode::EncodingFromDocument);
    }
    // A value XML cannot carry would leave a file that no longer loads; keep the old one instead.
    if (!QDomDocument().setContent(text)) {
        qWarning("error::ParserXML->writeOperateXml->text XML cannot carry\n");
        return;
    }

    // Written beside the old file and renamed over it, so neither a crash nor a full disk ever
    // leaves it short.
    switch (ZrAtomicFile::save(path, text)) {
    case ZrAtomicFile::OpenFailed:
        qWarning("error::ParserXML->writeOperateXml->file.open\n");
        break;
    case ZrAtomicFile::WriteFailed:
        qWarning("error::ParserXML->writeOperateXml->file.write\n");
        break;
    case ZrAtomicFile::Saved:
        break;
    }
}

QString QSettingXml::getItemValue(QString item, QString key, QString defaultValue)
{
    return readWithDefault(DefaultFile, item, key, defaultValue, false);
}

void QSettingXml::setItemValue(QString item, QString key, QString value)
{
    writeExisting(DefaultFile, item, key, value);
}

void QSettingXml::saveHistoryInfoList(QList<PlayItemInfo *> list)
{
    saveItems(HistoryFile, list, true);
}

void QSettingXml::saveHistoryInfo(PlayItemInfo *item)
{
    saveItems(HistoryFile, {item}, true);
}

void QSettingXml::analysisHistoryInfo(QList<PlayItemInfo *> *list)
{
    loadItems(HistoryFile, list, false);
}

void QSettingXml::deleteHistoryInfo(QString path)
{
    deleteEntry(HistoryFile, path, false);
}

void QSettingXml::clearHistoryInfo()
{
    removeFile(HistoryFile);
}

void QSettingXml::savePlayListInfoList(QList<PlayItemInfo *> list)
{
    saveItems(PlayListFile, list, false);
}

void QSettingXml::savePlayListInfo(PlayItemInfo *item)
{
    saveItems(PlayListFile, {item}, true);
}

void QSettingXml::analysisPlayListInfo(QList<PlayItemInfo *> *list)
{
    loadItems(PlayListFile, list, true);
}

void QSettingXml::deletePlayListInfo(QString path)
{
    deleteEntry(PlayListFile, path, true);
}

void QSettingXml::clearPlayListInfo()
{
    removeFile(PlayListFile);
}

QString QSettingXml::getCaptureImgSuffix()
{
    return readWithDefault(ScreenshotFile, ScreenshotTag, "IMG_SUFFIX", "JPG", true);
}

QString QSettingXml::getCaptrueImaSavePath()
{
    const QString documents = QIAnyUtil::getDocumentPath();
    QString folder = documents + "/Screenshots/";
    if (!QDir(folder).exists() && !QDir().mkpath(folder))
        folder = documents;
    return readWithDefault(ScreenshotFile, ScreenshotTag, "IMG_Folder", folder, true);
}

void QSettingXml::setCaptureImgSuffix(QString suffix)
{
    writeExisting(ScreenshotFile, ScreenshotTag, "IMG_SUFFIX", suffix);
}

void QSettingXml::setCaptrueImaPath(QString path)
{
    writeExisting(ScreenshotFile, ScreenshotTag, "IMG_Folder", path);
}
