#ifndef ZRDATACOMPRESSOR_H
#define ZRDATACOMPRESSOR_H

#include "support/zrerror.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

#include <zlib.h>

// Deflates data or a file into gzip.
class ZRDataCompressor
{
public:
    ZRDataCompressor();
    ~ZRDataCompressor();
    ZRDataCompressor(const ZRDataCompressor &) = delete;
    ZRDataCompressor &operator=(const ZRDataCompressor &) = delete;

    // A compressor whose stream is set up.
    static QSharedPointer<ZRDataCompressor> compressor();

    ZrError setupStream();
    ZrError closeStream();
    QByteArray compressBytes(const char *bytes, qint64 length, ZrError *error, bool shouldFinish);

    static QByteArray compressData(const QByteArray &uncompressedData, ZrError *error = nullptr);
    static bool compressDataFromFile(const QString &sourcePath, const QString &destinationPath,
                                     ZrError *error = nullptr);
    static ZrError deflateErrorWithCode(int code);

private:
    QByteArray deflateBuffer(const char *bytes, qint64 length, ZrError *error, bool shouldFinish);

    z_stream m_zStream;
    bool m_streamReady = false;
};

#endif
