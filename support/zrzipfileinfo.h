#ifndef ZRZIPFILEINFO_H
#define ZRZIPFILEINFO_H

#include <QMetaType>
#include <QtGlobal>

// One archive entry as the unzip layer describes it. Fields the zip library does not expose
// stay 0; bit 0 of flag marks an encrypted entry; the high byte of versionMadeBy is the host
// system (0 MS-DOS, 3 Unix) and the upper 16 bits of externalFa a Unix host's file mode.
struct ZrZipFileInfo
{
    quint32 versionMadeBy = 0;
    quint32 versionNeeded = 0;
    quint32 flag = 0;
    quint32 compressionMethod = 0;
    quint32 dosDate = 0;
    quint32 crc = 0;
    quint64 compressedSize = 0;
    quint64 uncompressedSize = 0;
    quint32 sizeFilename = 0;
    quint32 sizeFileExtra = 0;
    quint32 sizeFileComment = 0;
    quint32 diskNumStart = 0;
    quint32 internalFa = 0;
    quint32 externalFa = 0;
};

// The archive as a whole: how many entries it has and how long its comment is.
struct ZrZipGlobalInfo
{
    quint64 numberEntry = 0;
    quint32 sizeComment = 0;
};

Q_DECLARE_METATYPE(ZrZipFileInfo)
Q_DECLARE_METATYPE(ZrZipGlobalInfo)

#endif
