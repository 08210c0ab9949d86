#include "support/zrziparchive.h"

#include "services/zratomicfile.h"
#include "support/zrzipreader.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMetaMethod>
#include <QPair>
#include <QPointer>
#include <QTextCodec>

#include <zip.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char posixErrorDomain[] = "NSPOSIXErrorDomain";
constexpr int bufferSize = 4096;

ZrError zipError(int code, const char *description)
{
    return ZrError(QString::fromLatin1(ZRZipArchiveErrorDomain), code, QString::fromLatin1(description));
}

ZrError posixError(int code, const QString &description = QString())
{
    return ZrError(QString::fromLatin1(posixErrorDomain), code,
                   description.isEmpty() ? QString::fromLocal8Bit(std::strerror(code)) : description);
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

void logLine(const QString &message)
{
    qWarning().noquote() << "[ZRZipArchive]" << message;
}

// The delegate's invokable method of that name taking exactly these argument types, if it has one.
QMetaMethod delegateMethod(QObject *delegate, const char *name, std::initializer_list<int> types)
{
    if (!delegate)
        return QMetaMethod();
    const QMetaObject *meta = delegate->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if ((method.methodType() != QMetaMethod::Slot && method.methodType() != QMetaMethod::Method)
            || method.name() != name || method.parameterCount() != int(types.size()))
            continue;
        int parameter = 0;
        bool same = true;
        for (int type : types)
            same = same && method.parameterType(parameter++) == type;
        if (same)
            return method;
    }
    return QMetaMethod();
}

// Calls the delegate's method when it answers it; false when it does not.
template <typename... Args>
bool callDelegate(QObject *delegate, const char *name, QGenericReturnArgument result, const Args &...args)
{
    const QMetaMethod method = delegateMethod(delegate, name, {qMetaTypeId<Args>()...});
    return method.isValid()
           && method.invoke(delegate, Qt::DirectConnection, result,
                            QGenericArgument(QMetaType::typeName(qMetaTypeId<Args>()), &args)...);
}

// The DOS date and time word as a local date; invalid for 0 and for impossible fields.
QDateTime dateFromDosDate(quint32 dosDate)
{
    const QDate date(int(dosDate >> 25) + 1980, int((dosDate >> 21) & 0x0f), int((dosDate >> 16) & 0x1f));
    const QTime time(int((dosDate >> 11) & 0x1f), int((dosDate >> 5) & 0x3f), int(dosDate & 0x1f) * 2);
    return QDateTime(date, time);
}

// Sets the modification time of the path itself, never of a link's target.
bool setModificationDate(const QString &path, const QDateTime &date)
{
    const qint64 msecs = date.toMSecsSinceEpoch();
    struct timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(msecs / 1000);
    times[1].tv_nsec = long(msecs % 1000) * 1000000;
    return utimensat(AT_FDCWD, encoded(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// Creates the folder and the folders above it; those created get the date when it is valid.
// 0, or the errno of the first folder that could not be made.
int makeFolders(const QString &path, const QDateTime &date)
{
    const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'));
    QString current;
    for (int i = 0; i < parts.size(); ++i) {
        current += (i == 0 ? QString() : QStringLiteral("/")) + parts[i];
        if (current.isEmpty())
            continue;
        const QByteArray folder = encoded(current);
        if (::mkdir(folder.constData(), 0777) == 0) {
            if (date.isValid())
                setModificationDate(current, date);
            continue;
        }
        const int error = errno;
        struct stat existing;
        if (error == EEXIST && ::stat(folder.constData(), &existing) == 0 && S_ISDIR(existing.st_mode))
            continue;
        return error;
    }
    return 0;
}

// The entry's path below the destination with "." and ".." resolved; false when it climbs out.
bool resolveInside(const QString &name, QString &relative)
{
    QStringList kept;
    for (const QString &part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (kept.isEmpty())
                return false;
            kept.removeLast();
            continue;
        }
        kept.append(part);
    }
    relative = kept.join(QLatin1Char('/'));
    return true;
}

// True when a folder on the way from the destination to the entry is a symbolic link, which an
// earlier entry may have made to point anywhere.
bool passesThroughLink(const QString &destination, const QString &relative)
{
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = destination;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        current += QLatin1Char('/') + parts[i];
        struct stat existing;
        if (::lstat(encoded(current).constData(), &existing) != 0)
            return false;  // nothing deeper exists yet
        if (S_ISLNK(existing.st_mode))
            return true;
    }
    return false;
}

// True when a link at relative, below the destination, to target points inside the destination:
// a relative target whose ".." steps all come first and climb no higher than the destination. A
// ".." after a name could climb back out through another link, so it is not taken either; nor is
// a link in place of the destination itself.
bool linkStaysInside(const QString &relative, const QByteArray &target)
{
    if (relative.isEmpty() || target.startsWith('/'))
        return false;
    int depth = relative.count(QLatin1Char('/'));
    bool named = false;
    for (const QByteArray &part : target.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part != "..")
            named = true;
        else if (named || --depth < 0)
            return false;
    }
    return true;
}

// Names from MS-DOS hosts without the UTF-8 flag are CP437, which libzip's strict reading
// converts; other names are UTF-8, GB18030 or Shift_JIS, whichever reads the bytes exactly.
QString decodedName(const ZrZipFileInfo &info, const QByteArray &raw, const QString &strict)
{
    if ((info.versionMadeBy >> 8) == 0 && strict.toUtf8() != raw)
        return strict;
    for (const char *codecName : {"UTF-8", "GB18030", "Shift_JIS"}) {
        QTextCodec *codec = QTextCodec::codecForName(codecName);
        if (!codec)
            continue;
        QTextCodec::ConverterState in(QTextCodec::IgnoreHeader);
        QTextCodec::ConverterState out(QTextCodec::IgnoreHeader);
        const QString text = codec->toUnicode(raw.constData(), raw.size(), &in);
        // Some codecs put U+FFFD in silently, so the bytes must also come back unchanged.
        if (in.invalidChars == 0 && in.remainingChars == 0
            && codec->fromUnicode(text.constData(), text.size(), &out) == raw)
            return text;
    }
    return ZRZipArchive::_hexString(raw);
}

// The bytes of an entry that has no file of its own (a folder, a link's target), dated like what
// it stands for. libzip 1.7.3 derives the check byte of traditional encryption from the source's
// own time, not from a time set on the entry, so every entry here takes its date from its source.
struct HeldBytes
{
    QByteArray bytes;
    time_t modified;
    int position;
};

zip_int64_t heldSource(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    HeldBytes *held = static_cast<HeldBytes *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        held->position = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const int count = int(qMin<zip_uint64_t>(length, zip_uint64_t(held->bytes.size() - held->position)));
        std::memcpy(data, held->bytes.constData() + held->position, size_t(count));
        held->position += count;
        return count;
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        zip_stat_t *stat = static_cast<zip_stat_t *>(data);
        zip_stat_init(stat);
        stat->size = zip_uint64_t(held->bytes.size());
        stat->mtime = held->modified;
        stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: {
        zip_error_t none;
        zip_error_init(&none);
        return zip_error_to_data(&none, data, length);
    }
    case ZIP_SOURCE_FREE:
        delete held;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}

// Every item below root, relative to it and sorted, without following symbolic links; false when
// a folder in it, root included, cannot be listed to its end.
bool listTree(const QString &root, QStringList &items)
{
    bool complete = true;
    QStringList pending{QString()};
    while (!pending.isEmpty()) {
        const QString relative = pending.takeLast();
        DIR *folder = ::opendir(encoded(relative.isEmpty() ? root : root + QLatin1Char('/') + relative).constData());
        if (!folder) {
            complete = false;
            continue;
        }
        for (;;) {
            errno = 0;
            const dirent *entry = ::readdir(folder);
            if (!entry) {
                complete = complete && errno == 0;
                break;
            }
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QString item = relative.isEmpty() ? QFile::decodeName(name)
                                                    : relative + QLatin1Char('/') + QFile::decodeName(name);
            items.append(item);
            struct stat status;
            if (::lstat(encoded(root + QLatin1Char('/') + item).constData(), &status) != 0)
                complete = false;
            else if (S_ISDIR(status.st_mode))
                pending.append(item);
        }
        ::closedir(folder);
    }
    items.sort();
    return complete;
}

bool writeAll(int fd, const char *data, int length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, size_t(length));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= int(written);
    }
    return true;
}

// One unpacking run: its settings, progress and outcome.
struct UnzipRun
{
    enum Outcome { Unpacked, Skipped, Failed };

    UnzipRun(ZrZipReader &zip, const ZrZipGlobalInfo &globalInfo, const QString &path, const QString &destination,
             bool preserveAttributes, bool overwrite, int nestedZipLevel, const QString &password, QObject *delegate)
        : zip(zip),
          path(path),
          destination(destination),
          preserveAttributes(preserveAttributes),
          overwrite(overwrite),
          nestedZipLevel(nestedZipLevel),
          password(password),
          delegate(delegate),
          total(qint64(globalInfo.numberEntry)),
          fileSize(quint64(QFileInfo(path).size()))
    {
    }

    Outcome unzipEntry(qint64 index, ZrZipFileInfo &info, QString &name, QString &fullPath);
    void setFolderDates() const;

    ZrZipReader &zip;
    QString path;
    QString destination;
    bool preserveAttributes;
    bool overwrite;
    int nestedZipLevel;
    QString password;
    QPointer<QObject> delegate;
    qint64 total;
    quint64 fileSize;
    quint64 currentPosition = 0;
    bool canceled = false;
    bool crcFailed = false;
    ZrError error;
    QList<QPair<QString, QDateTime>> modificationDates;  // of the entries unpacked, set again at the end

    Outcome fail(const ZrError &failure);
    Outcome writeFile(const QString &fullPath, const ZrZipFileInfo &info, const QDateTime &modDate, bool recorded);
    Outcome writeLink(const QString &fullPath, const QString &relative, bool exists);
};

UnzipRun::Outcome UnzipRun::fail(const ZrError &failure)
{
    if (error.isNull())
        error = failure;
    return Failed;
}

UnzipRun::Outcome UnzipRun::unzipEntry(qint64 index, ZrZipFileInfo &info, QString &name, QString &fullPath)
{
    if (zip.openCurrentFile(password.isEmpty() ? QByteArray() : password.toUtf8()) != ZrZipReader::Ok)
        return fail(zipError(-2, "failed to open file in zip file"));
    QByteArray rawName;
    QString strictName;
    if (zip.currentFileInfo(info, rawName, strictName) != ZrZipReader::Ok) {
        zip.closeCurrentFile();
        return fail(zipError(-3, "failed to retrieve info for file"));
    }
    currentPosition += info.compressedSize;
    bool shouldUnzip = true;
    callDelegate(delegate, "zipArchiveShouldUnzipFileAtIndex", Q_RETURN_ARG(bool, shouldUnzip), index, total, path,
                 info);
    if (!shouldUnzip) {
        canceled = true;
        zip.closeCurrentFile();
        return Failed;
    }
    callDelegate(delegate, "zipArchiveWillUnzipFileAtIndex", QGenericReturnArgument(), index, total, path, info);
    callDelegate(delegate, "zipArchiveProgressEvent", QGenericReturnArgument(), currentPosition, fileSize);

    const bool isSymlink = (info.versionMadeBy >> 8) == 3 && (info.externalFa >> 28) == 0xA;
    name = decodedName(info, rawName, strictName);
    if (name.startsWith(QLatin1String("__MACOSX/"))) {
        zip.closeCurrentFile();
        return Skipped;
    }
    if (name.isEmpty())
        name = QString::number(index);
    const bool isDirectory = rawName.endsWith('/') || rawName.endsWith('\\');
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString relative;
    if (!resolveInside(name, relative) || passesThroughLink(destination, relative)) {
        logLine(QStringLiteral("Refused entry outside the destination: %1").arg(name));
        zip.closeCurrentFile();
        return fail(zipError(-6, "received invalid argument(s)"));
    }
    fullPath = relative.isEmpty() ? destination : destination + QLatin1Char('/') + relative;

    const QDateTime modDate = dateFromDosDate(info.dosDate);
    const bool recorded = preserveAttributes && modDate.isValid();
    if (recorded)
        modificationDates.append(qMakePair(fullPath, modDate));
    const int folderError =
        makeFolders(isDirectory ? fullPath : QFileInfo(fullPath).path(), recorded ? modDate : QDateTime());
    if (folderError == ENOSPC) {
        zip.closeCurrentFile();
        return fail(posixError(folderError));
    }
    if (folderError != 0)
        logLine(QStringLiteral("Error: ") + posixError(folderError).localizedDescription());

    struct stat existing;
    const bool exists = ::lstat(encoded(fullPath).constData(), &existing) == 0;
    if (!isDirectory && exists && !overwrite) {
        zip.closeCurrentFile();
        return Skipped;
    }
    Outcome outcome = Unpacked;
    if (!isDirectory && isSymlink) {
        outcome = writeLink(fullPath, relative, exists);
    } else if (!isDirectory) {
        if (exists && S_ISLNK(existing.st_mode)) {
            logLine(QStringLiteral("Refused writing through the symbolic link %1").arg(fullPath));
            outcome = fail(zipError(-6, "received invalid argument(s)"));
        } else {
            outcome = writeFile(fullPath, info, modDate, recorded);
        }
    }
    if (zip.closeCurrentFile() == ZrZipReader::CrcError) {
        crcFailed = true;
        return Failed;
    }
    return outcome;
}

UnzipRun::Outcome UnzipRun::writeFile(const QString &fullPath, const ZrZipFileInfo &info, const QDateTime &modDate,
                                      bool recorded)
{
    char buffer[bufferSize];
    int readBytes = zip.readCurrentFile(buffer, bufferSize);
    if (readBytes < 0)
        return fail(zipError(-4, "failed to read contents of file entry"));
    const int fd = ::open(encoded(fullPath).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(posixError(errno));
    bool written = true;
    while (written && readBytes > 0) {
        written = writeAll(fd, buffer, readBytes);
        if (written)
            readBytes = zip.readCurrentFile(buffer, bufferSize);
    }
    written = ::close(fd) == 0 && written;
    if (!written) {
        const ZrError failure = zipError(-5, "Failed to write file (check your free space)");
        logLine(failure.localizedDescription());
        return fail(failure);
    }
    if (readBytes < 0)
        return fail(zipError(-4, "failed to read contents of file entry"));

    const QFileInfo file(fullPath);
    if (nestedZipLevel > 0 && file.suffix().toLower() == QLatin1String("zip")) {
        const QString folder = fullPath.left(fullPath.size() - file.suffix().size() - 1);
        if (ZRZipArchive::unzipFileAtPath(fullPath, folder, preserveAttributes, overwrite, nestedZipLevel - 1,
                                          password, nullptr, nullptr, ZRZipArchive::ProgressHandler(),
                                          ZRZipArchive::CompletionHandler())) {
            if (recorded)
                modificationDates.removeLast();
            QFile::remove(fullPath);
        }
    } else if (preserveAttributes) {
        if (modDate.isValid() && !setModificationDate(fullPath, modDate))
            logLine(QStringLiteral("Failed to set attributes - whilst setting modification date"));
        // Only the permission bits: setuid, setgid and sticky bits from an archive are dropped.
        const mode_t mode = mode_t((info.externalFa >> 16) & 0777) | 0600;
        if (::chmod(encoded(fullPath).constData(), mode) != 0)
            logLine(QStringLiteral("Failed to set attributes - whilst setting permissions"));
    }
    return Unpacked;
}

UnzipRun::Outcome UnzipRun::writeLink(const QString &fullPath, const QString &relative, bool exists)
{
    QByteArray target;
    char buffer[bufferSize];
    for (int readBytes = zip.readCurrentFile(buffer, bufferSize); readBytes != 0;
         readBytes = zip.readCurrentFile(buffer, bufferSize)) {
        if (readBytes < 0)
            return fail(zipError(-4, "failed to read contents of file entry"));
        target.append(buffer, readBytes);
    }
    if (!linkStaysInside(relative, target)) {
        logLine(QStringLiteral("Refused symbolic link %1 to %2 outside the destination")
                    .arg(relative, QString::fromUtf8(target)));
        return fail(zipError(-6, "received invalid argument(s)"));
    }
    const QByteArray link = encoded(fullPath);
    if (exists && std::remove(link.constData()) != 0) {
        const int code = errno;
        const QString message = QStringLiteral("Failed to delete existing symbolic link at \"") + fullPath + '"';
        logLine(message);
        return fail(ZrError(QString::fromLatin1(ZRZipArchiveErrorDomain), code, message));
    }
    if (::symlink(target.constData(), link.constData()) != 0) {
        const int code = errno;
        const QString message = QStringLiteral("Failed to create symbolic link at \"") + fullPath + "\" to \""
                                + QString::fromUtf8(target) + "\" - symlink() error code: " + QString::number(code);
        logLine(message);
        return fail(posixError(code, message));
    }
    return Unpacked;
}

void UnzipRun::setFolderDates() const
{
    for (const QPair<QString, QDateTime> &record : modificationDates) {
        if (setModificationDate(record.first, record.second))
            continue;
        const int code = errno;
        logLine(QStringLiteral("Set attributes failed for directory: %1.").arg(record.first));
        logLine(QStringLiteral("Error setting directory file modification date attribute: %1")
                    .arg(posixError(code).localizedDescription()));
    }
}

}  // namespace

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination)
{
    return unzipFileAtPath(path, destination, true, true, 0, QString(), nullptr, nullptr, ProgressHandler(),
                           CompletionHandler());
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination, QObject *delegate)
{
    return unzipFileAtPath(path, destination, true, true, 0, QString(), nullptr, delegate, ProgressHandler(),
                           CompletionHandler());
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                   const QString &password, ZrError *error)
{
    return unzipFileAtPath(path, destination, true, overwrite, 0, password, error, nullptr, ProgressHandler(),
                           CompletionHandler());
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                   const QString &password, ZrError *error, QObject *delegate)
{
    return unzipFileAtPath(path, destination, true, overwrite, 0, password, error, delegate, ProgressHandler(),
                           CompletionHandler());
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination,
                                   const ProgressHandler &progressHandler, const CompletionHandler &completionHandler)
{
    return unzipFileAtPath(path, destination, true, true, 0, QString(), nullptr, nullptr, progressHandler,
                           completionHandler);
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                   const QString &password, const ProgressHandler &progressHandler,
                                   const CompletionHandler &completionHandler)
{
    return unzipFileAtPath(path, destination, true, overwrite, 0, password, nullptr, nullptr, progressHandler,
                           completionHandler);
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination, bool preserveAttributes,
                                   bool overwrite, const QString &password, ZrError *error, QObject *delegate)
{
    return unzipFileAtPath(path, destination, preserveAttributes, overwrite, 0, password, error, delegate,
                           ProgressHandler(), CompletionHandler());
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination, bool preserveAttributes,
                                   bool overwrite, const QString &password, ZrError *error, QObject *delegate,
                                   const ProgressHandler &progressHandler, const CompletionHandler &completionHandler)
{
    return unzipFileAtPath(path, destination, preserveAttributes, overwrite, 0, password, error, delegate,
                           progressHandler, completionHandler);
}

bool ZRZipArchive::unzipFileAtPath(const QString &path, const QString &destination, bool preserveAttributes,
                                   bool overwrite, int nestedZipLevel, const QString &password, ZrError *error,
                                   QObject *delegate, const ProgressHandler &progressHandler,
                                   const CompletionHandler &completionHandler)
{
    const auto refuse = [&](const ZrError &failure) {
        if (error)
            *error = failure;
        if (completionHandler)
            completionHandler(QString(), false, failure);
        return false;
    };
    if (path.isEmpty() || destination.isEmpty())
        return refuse(zipError(-6, "received invalid argument(s)"));
    ZrZipReader zip(path);
    ZrZipGlobalInfo globalInfo;
    if (zip.globalInfo(globalInfo) != ZrZipReader::Ok)
        return refuse(zipError(-1, "failed to open zip file"));

    UnzipRun run(zip, globalInfo, path, destination, preserveAttributes, overwrite, nestedZipLevel, password,
                 delegate);
    callDelegate(run.delegate, "zipArchiveWillUnzipArchiveAtPath", QGenericReturnArgument(), path, globalInfo);
    callDelegate(run.delegate, "zipArchiveProgressEvent", QGenericReturnArgument(), quint64(0), run.fileSize);

    bool success = true;
    qint64 index = 0;
    for (int result = zip.goToFirstFile(); result == ZrZipReader::Ok; result = zip.goToNextFile(), ++index) {
        ZrZipFileInfo info;
        QString name;
        QString fullPath;
        const UnzipRun::Outcome outcome = run.unzipEntry(index, info, name, fullPath);
        if (outcome == UnzipRun::Failed) {
            success = false;
            break;
        }
        if (outcome == UnzipRun::Skipped)
            continue;
        if (!callDelegate(run.delegate, "zipArchiveDidUnzipFileAtIndex", QGenericReturnArgument(), index, run.total,
                          path, info))
            callDelegate(run.delegate, "zipArchiveDidUnzipFileAtIndex", QGenericReturnArgument(), index, run.total,
                         path, fullPath);
        if (progressHandler && !progressHandler(name, info, index, run.total)) {
            success = false;
            break;
        }
    }

    if (success && preserveAttributes)
        run.setFolderDates();
    if (success)
        callDelegate(run.delegate, "zipArchiveDidUnzipArchiveAtPath", QGenericReturnArgument(), path, globalInfo,
                     destination);
    if (!run.canceled)
        callDelegate(run.delegate, "zipArchiveProgressEvent", QGenericReturnArgument(), run.fileSize, run.fileSize);
    ZrError result = run.error;
    if (result.isNull() && run.crcFailed)
        result = zipError(-3, "crc check failed for file");
    if (error)
        *error = result;
    if (completionHandler)
        completionHandler(path, success, result);
    return success;
}

bool ZRZipArchive::isFilePasswordProtectedAtPath(const QString &path)
{
    // libzip describes an entry without opening it, and an encrypted one never opens without its
    // password, so the encryption flag alone answers.
    ZrZipReader zip(path);
    if (!zip.isOpen())
        return false;
    for (int result = zip.goToFirstFile(); result == ZrZipReader::Ok; result = zip.goToNextFile()) {
        ZrZipFileInfo info;
        QByteArray rawName;
        QString strictName;
        if (zip.currentFileInfo(info, rawName, strictName) == ZrZipReader::Ok && (info.flag & 1))
            return true;
    }
    return false;
}

bool ZRZipArchive::isPasswordValidForArchiveAtPath(const QString &path, const QString &password, ZrError *error)
{
    if (error)
        *error = ZrError();
    const auto failWith = [error](const ZrError &failure) {
        if (error)
            *error = failure;
        return false;
    };
    ZrZipReader zip(path);
    if (!zip.isOpen())
        return failWith(zipError(-1, "failed to open zip file"));
    const QByteArray passwordBytes = password.isEmpty() ? QByteArray() : password.toUtf8();
    for (int result = zip.goToFirstFile(); result == ZrZipReader::Ok; result = zip.goToNextFile()) {
        const int opened = zip.openCurrentFile(passwordBytes);
        if (opened == ZrZipReader::BadPassword)
            return false;
        if (opened != ZrZipReader::Ok)
            return failWith(zipError(-2, "failed to open first file in zip file"));
        ZrZipFileInfo info;
        QByteArray rawName;
        QString strictName;
        if (zip.currentFileInfo(info, rawName, strictName) != ZrZipReader::Ok)
            return failWith(zipError(-3, "failed to retrieve info for file"));
        if (info.flag & 1) {
            char buffer[10];
            const int readBytes = zip.readCurrentFile(buffer, int(qMin<quint64>(sizeof buffer, info.uncompressedSize)));
            if (readBytes == ZrZipReader::DataError)
                return false;
            if (readBytes < 0)
                return failWith(zipError(-4, "failed to read contents of file entry"));
            return true;
        }
        zip.closeCurrentFile();
    }
    return true;
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QStringList &paths)
{
    return createZipFileAtPath(path, paths, QString());
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QStringList &paths, const QString &password)
{
    ZRZipArchive zip(path);
    if (!zip.open())
        return false;
    bool success = true;
    for (const QString &file : paths)
        success = zip.writeFile(file, password) && success;
    return zip.close() && success;
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QString &directoryPath)
{
    return createZipFileAtPath(path, directoryPath, false, -1, QString(), true, WriteProgressHandler());
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory)
{
    return createZipFileAtPath(path, directoryPath, keepParentDirectory, -1, QString(), true, WriteProgressHandler());
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QString &directoryPath, const QString &password)
{
    return createZipFileAtPath(path, directoryPath, false, -1, password, true, WriteProgressHandler());
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory,
                                       const QString &password)
{
    return createZipFileAtPath(path, directoryPath, keepParentDirectory, -1, password, true, WriteProgressHandler());
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory,
                                       const QString &password, const WriteProgressHandler &progressHandler)
{
    return createZipFileAtPath(path, directoryPath, keepParentDirectory, -1, password, true, progressHandler);
}

bool ZRZipArchive::createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory,
                                       int compressionLevel, const QString &password, bool aes,
                                       const WriteProgressHandler &progressHandler)
{
    ZRZipArchive zip(path);
    if (!zip.open())
        return false;
    const QDir directory(QFileInfo(directoryPath).absoluteFilePath());
    const QString folderName = directory.dirName();
    const QDir::Filters everything = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    QStringList items;
    bool success = listTree(directory.path(), items);

    quint64 complete = 0;
    for (const QString &item : qAsConst(items)) {
        const QString itemPath = directory.filePath(item);
        const QString name = keepParentDirectory ? folderName + QLatin1Char('/') + item : item;
        struct stat status;
        if (::lstat(encoded(itemPath).constData(), &status) != 0)
            success = false;
        else if (S_ISLNK(status.st_mode))
            success = zip.writeLinkAtPath(itemPath, name, compressionLevel, password, aes) && success;
        else if (!S_ISDIR(status.st_mode))
            success = zip.writeFileAtPath(itemPath, name, compressionLevel, password, aes) && success;
        // Folders with content appear through their files.
        else if (QDir(itemPath).isEmpty(everything))
            success = zip.writeFolderAtPath(itemPath, name, password) && success;
        if (progressHandler)
            progressHandler(++complete, quint64(items.size()));
    }
    if (keepParentDirectory && items.isEmpty())
        success = zip.writeFolderAtPath(directoryPath, folderName, password) && success;
    return zip.close() && success;
}

ZRZipArchive::ZRZipArchive(const QString &path) : m_path(path)
{
}

ZRZipArchive::~ZRZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZRZipArchive::open()
{
    if (m_zip)
        zip_discard(m_zip);
    int error = 0;
    m_zip = zip_open(encoded(m_path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    return m_zip != nullptr;
}

bool ZRZipArchive::writeFile(const QString &path, const QString &password)
{
    return writeFileAtPath(path, QString(), -1, password, true);
}

bool ZRZipArchive::writeFileAtPath(const QString &path, const QString &fileName, const QString &password)
{
    return writeFileAtPath(path, fileName, -1, password, true);
}

bool ZRZipArchive::writeFileAtPath(const QString &path, const QString &fileName, int compressionLevel,
                                   const QString &password, bool aes)
{
    const QByteArray source = encoded(path);
    struct stat file;
    if (!m_zip || ::stat(source.constData(), &file) != 0 || !S_ISREG(file.st_mode)
        || ::access(source.constData(), R_OK) != 0)
        return false;
    // The file is read, and its date taken, when the archive is written at close().
    zip_source_t *data = zip_source_file(m_zip, source.constData(), 0, 0);
    if (!data)
        return false;
    const QString name = fileName.isEmpty() ? QFileInfo(path).fileName() : fileName;
    return addEntry(name, data, compressionLevel, password, aes, ZIP_OPSYS_UNIX,
                    zip_uint32_t(S_IFREG | (file.st_mode & 0777)) << 16);
}

bool ZRZipArchive::writeFolderAtPath(const QString &path, const QString &folderName, const QString &password)
{
    struct stat folder;
    if (!m_zip || ::stat(encoded(path).constData(), &folder) != 0)
        return false;
    HeldBytes *held = new HeldBytes{QByteArray(), folder.st_mtime, 0};
    zip_source_t *source = zip_source_function(m_zip, heldSource, held);
    if (!source) {
        delete held;
        return false;
    }
    const QString name = folderName.endsWith(QLatin1Char('/')) ? folderName : folderName + QLatin1Char('/');
    return addEntry(name, source, 0, password, false, ZIP_OPSYS_UNIX,
                    zip_uint32_t(S_IFDIR | (folder.st_mode & 0777)) << 16);
}

bool ZRZipArchive::writeLinkAtPath(const QString &path, const QString &linkName, int compressionLevel,
                                   const QString &password, bool aes)
{
    const QByteArray source = encoded(path);
    struct stat link;
    char target[PATH_MAX];
    if (!m_zip || ::lstat(source.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return false;
    const ssize_t length = ::readlink(source.constData(), target, sizeof target);
    if (length < 0 || size_t(length) == sizeof target)
        return false;
    HeldBytes *held = new HeldBytes{QByteArray(target, int(length)), link.st_mtime, 0};
    zip_source_t *data = zip_source_function(m_zip, heldSource, held);
    if (!data) {
        delete held;
        return false;
    }
    return addEntry(linkName, data, compressionLevel, password, aes, ZIP_OPSYS_UNIX,
                    zip_uint32_t(S_IFLNK | (link.st_mode & 0777)) << 16);
}

bool ZRZipArchive::writeData(const QByteArray &data, const QString &filename, const QString &password)
{
    return writeData(data, filename, -1, password, true);
}

bool ZRZipArchive::writeData(const QByteArray &data, const QString &filename, int compressionLevel,
                             const QString &password, bool aes)
{
    if (!m_zip)
        return false;
    // libzip reads the bytes at close() and frees its copy then.
    void *copy = nullptr;
    if (!data.isEmpty()) {
        copy = std::malloc(size_t(data.size()));
        if (!copy)
            throw std::bad_alloc();
        std::memcpy(copy, data.constData(), size_t(data.size()));
    }
    zip_source_t *source = zip_source_buffer(m_zip, copy, zip_uint64_t(data.size()), 1);
    if (!source) {
        std::free(copy);
        return false;
    }
    // Data has no file: the source's time, which is now, and no attributes.
    return addEntry(filename, source, compressionLevel, password, aes, ZIP_OPSYS_DOS, 0);
}

bool ZRZipArchive::close()
{
    if (!m_zip)
        return false;
    // libzip writes no file for an archive without entries, and removes the one there: the lone end
    // record takes its place instead.
    if (zip_get_num_entries(m_zip, 0) == 0) {
        zip_discard(m_zip);
        m_zip = nullptr;
        static const char endRecord[22] = {'P', 'K', 5, 6};
        return ZrAtomicFile::save(m_path, QByteArray(endRecord, sizeof endRecord)) == ZrAtomicFile::Saved;
    }
    const bool closed = zip_close(m_zip) == 0;
    if (!closed)
        zip_discard(m_zip);
    m_zip = nullptr;
    return closed;
}

bool ZRZipArchive::addEntry(const QString &name, zip_source_t *source, int compressionLevel,
                            const QString &password, bool aes, quint8 system, quint32 attributes)
{
    const zip_int64_t added = zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (added < 0) {
        zip_source_free(source);
        return false;
    }
    const zip_uint64_t index = zip_uint64_t(added);
    // Level 0 stores; libzip's deflate takes 1 to 9, or 0 for zlib's default.
    const zip_int32_t method = compressionLevel == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    const zip_uint32_t level = compressionLevel < 0 ? 0 : zip_uint32_t(qMin(compressionLevel, 9));
    return zip_set_file_compression(m_zip, index, method, level) == 0
           && zip_file_set_external_attributes(m_zip, index, 0, system, attributes) == 0
           && (password.isEmpty()
               || zip_file_set_encryption(m_zip, index, aes ? ZIP_EM_AES_256 : ZIP_EM_TRAD_PKWARE,
                                          password.toUtf8().constData())
                      == 0);
}

QString ZRZipArchive::_hexString(const QByteArray &data)
{
    return QString::fromLatin1(data.toHex().toUpper());
}

QString ZRZipArchive::_base64RFC4648(const QByteArray &data)
{
    return QString::fromLatin1(data.toBase64(QByteArray::Base64UrlEncoding));
}
