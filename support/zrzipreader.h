#ifndef ZRZIPREADER_H
#define ZRZIPREADER_H

#include "support/zrzipfileinfo.h"

#include <QByteArray>
#include <QString>

#include <zip.h>

// Reads an archive with libzip and answers the way the classic unzip interface does: a current
// entry that is opened, described, read and closed, and its integer results (0, or one of the
// negative results below). A CRC mismatch is reported when the entry is closed.
class ZrZipReader
{
public:
    enum Result {
        Ok = 0,
        Errno = -1,
        DataError = -3,  // a read that the data or the password refused
        EndOfListOfFile = -100,
        ParamError = -102,
        BadZipFile = -103,
        CrcError = -105,
        BadPassword = -106,
    };

    explicit ZrZipReader(const QString &path);
    ~ZrZipReader();
    ZrZipReader(const ZrZipReader &) = delete;
    ZrZipReader &operator=(const ZrZipReader &) = delete;

    // On a reader whose archive did not open, every call below answers ParamError.
    bool isOpen() const { return m_zip != nullptr; }
    int globalInfo(ZrZipGlobalInfo &info) const;

    int goToFirstFile();
    int goToNextFile();
    // A null password opens the entry without one.
    int openCurrentFile(const QByteArray &password);
    // The record, the name's raw bytes and the name read as CP437 unless flagged UTF-8.
    int currentFileInfo(ZrZipFileInfo &info, QByteArray &rawName, QString &strictName) const;
    // Bytes read into buffer, 0 at the end of the entry, or a negative result.
    int readCurrentFile(char *buffer, int size);
    int closeCurrentFile();

private:
    bool aesAuthenticationHolds(const zip_stat_t &stat, const QByteArray &password) const;

    zip_t *m_zip = nullptr;
    zip_int64_t m_count = 0;
    zip_int64_t m_index = 0;
    zip_file_t *m_file = nullptr;
    bool m_withoutCrc = false;  // an AES entry that carries no CRC
    bool m_crcFailed = false;
};

#endif
