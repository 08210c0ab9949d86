#ifndef ZRZIPARCHIVE_H
#define ZRZIPARCHIVE_H

#include "support/zrerror.h"
#include "support/zrzipfileinfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;
typedef struct zip zip_t;
typedef struct zip_source zip_source_t;

constexpr char ZRZipArchiveErrorDomain[] = "ZRZipArchiveErrorDomain";

// Unpacks zip archives into a folder (passwords, AES, symbolic links, Unix modes, dates, zip
// files nested inside) and writes new ones from files, folders or data.
//
// Unpacking reports to an optional delegate, a QObject whose invokable methods are called by
// name when it has them:
//   zipArchiveWillUnzipArchiveAtPath(QString path, ZrZipGlobalInfo zipInfo)
//   zipArchiveProgressEvent(quint64 loaded, quint64 total)
//   bool zipArchiveShouldUnzipFileAtIndex(qint64 fileIndex, qint64 totalFiles, QString archivePath,
//                                         ZrZipFileInfo fileInfo)
//   zipArchiveWillUnzipFileAtIndex(qint64, qint64, QString archivePath, ZrZipFileInfo)
//   zipArchiveDidUnzipFileAtIndex(qint64, qint64, QString archivePath, ZrZipFileInfo), else
//   zipArchiveDidUnzipFileAtIndex(qint64, qint64, QString archivePath, QString unzippedFilePath)
//   zipArchiveDidUnzipArchiveAtPath(QString path, ZrZipGlobalInfo zipInfo, QString unzippedPath)
// An entry whose path would leave the destination, or pass through a symbolic link inside it, is
// refused, and so is a link that would point out of it: the run ends false with -6.
class ZRZipArchive
{
public:
    // After each entry: its name, record, index and the entry count; false stops the run as a failure.
    using ProgressHandler =
        std::function<bool(const QString &entry, const ZrZipFileInfo &zipInfo, qint64 entryNumber, qint64 total)>;
    // Once at the end; the path is empty after an argument, open or first-entry error.
    using CompletionHandler = std::function<void(const QString &path, bool succeeded, const ZrError &error)>;
    // After each item of a folder being written: items done, item count.
    using WriteProgressHandler = std::function<void(quint64 entryNumber, quint64 total)>;

    static bool unzipFileAtPath(const QString &path, const QString &destination);
    static bool unzipFileAtPath(const QString &path, const QString &destination, QObject *delegate);
    static bool unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                const QString &password, ZrError *error = nullptr);
    static bool unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                const QString &password, ZrError *error, QObject *delegate);
    static bool unzipFileAtPath(const QString &path, const QString &destination,
                                const ProgressHandler &progressHandler, const CompletionHandler &completionHandler);
    static bool unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                const QString &password, const ProgressHandler &progressHandler,
                                const CompletionHandler &completionHandler);
    static bool unzipFileAtPath(const QString &path, const QString &destination, bool preserveAttributes,
                                bool overwrite, const QString &password, ZrError *error, QObject *delegate);
    static bool unzipFileAtPath(const QString &path, const QString &destination, bool preserveAttributes,
                                bool overwrite, const QString &password, ZrError *error, QObject *delegate,
                                const ProgressHandler &progressHandler, const CompletionHandler &completionHandler);
    static bool unzipFileAtPath(const QString &path, const QString &destination, bool preserveAttributes,
                                bool overwrite, int nestedZipLevel, const QString &password, ZrError *error,
                                QObject *delegate, const ProgressHandler &progressHandler,
                                const CompletionHandler &completionHandler);

    static bool isFilePasswordProtectedAtPath(const QString &path);
    // True for an archive without entries; a wrong password is false without an error.
    static bool isPasswordValidForArchiveAtPath(const QString &path, const QString &password,
                                                ZrError *error = nullptr);

    // Each file under its own name.
    static bool createZipFileAtPath(const QString &path, const QStringList &paths);
    static bool createZipFileAtPath(const QString &path, const QStringList &paths, const QString &password);
    // Everything below the folder, symbolic links as links; with keepParentDirectory under the
    // folder's own name. False also when a folder in it could not be listed whole.
    static bool createZipFileAtPath(const QString &path, const QString &directoryPath);
    static bool createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory);
    static bool createZipFileAtPath(const QString &path, const QString &directoryPath, const QString &password);
    static bool createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory,
                                    const QString &password);
    static bool createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory,
                                    const QString &password, const WriteProgressHandler &progressHandler);
    // Level -1 is zlib's default, 0 stores; a password encrypts with AES-256, or with traditional
    // PKWARE encryption when aes is false.
    static bool createZipFileAtPath(const QString &path, const QString &directoryPath, bool keepParentDirectory,
                                    int compressionLevel, const QString &password, bool aes,
                                    const WriteProgressHandler &progressHandler);

    // A writer for the archive at path; open() creates it, close() writes it.
    explicit ZRZipArchive(const QString &path);
    ~ZRZipArchive();
    ZRZipArchive(const ZRZipArchive &) = delete;
    ZRZipArchive &operator=(const ZRZipArchive &) = delete;

    bool open();
    bool writeFile(const QString &path, const QString &password);
    bool writeFileAtPath(const QString &path, const QString &fileName, const QString &password);
    bool writeFileAtPath(const QString &path, const QString &fileName, int compressionLevel, const QString &password,
                         bool aes);
    bool writeFolderAtPath(const QString &path, const QString &folderName, const QString &password);
    bool writeData(const QByteArray &data, const QString &filename, const QString &password);
    bool writeData(const QByteArray &data, const QString &filename, int compressionLevel, const QString &password,
                   bool aes);
    bool close();

    // Upper-case hexadecimal, two digits per byte.
    static QString _hexString(const QByteArray &data);
    // Base64 with "-" and "_" for "+" and "/", padding kept.
    static QString _base64RFC4648(const QByteArray &data);

private:
    // The link itself, its target as the entry's data, as "zip -y" stores links.
    bool writeLinkAtPath(const QString &path, const QString &linkName, int compressionLevel, const QString &password,
                         bool aes);
    // Adds the source under the name (which takes it over), compressed, encrypted and with
    // external attributes as given.
    bool addEntry(const QString &name, zip_source_t *source, int compressionLevel, const QString &password, bool aes,
                  quint8 system, quint32 attributes);

    QString m_path;
    zip_t *m_zip = nullptr;
};

#endif
