#ifndef ZRGZIPFILE_H
#define ZRGZIPFILE_H

#include "support/zrerror.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The file-to-file loop shared by the compressor and the decompressor: 256 KiB chunks
// through one buffer, the messages named after the direction ("Compression",
// "Decompression").
class ZrGzipFile
{
public:
    static const qint64 ChunkSize = 262144;

    // Turns one chunk; last is true for a chunk shorter than ChunkSize.
    using ChunkFunction = std::function<QByteArray(const char *bytes, qint64 length, bool last, ZrError *error)>;
    // Called after the source's end; gives the stream's remaining output.
    using EndFunction = std::function<QByteArray(ZrError *error)>;

    static bool transform(const QString &direction, const QString &sourcePath, const QString &destinationPath,
                          const ChunkFunction &chunk, const EndFunction &end, ZrError *error);
};

#endif
