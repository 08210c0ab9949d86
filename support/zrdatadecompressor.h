#ifndef ZRDATADECOMPRESSOR_H
#define ZRDATADECOMPRESSOR_H

#include "support/zrerror.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QSharedPointer>
#include <QString>

#include <zlib.h>

// Inflates gzip or zlib data (the header is detected) or a gzip file.
class ZRDataDecompressor
{
public:
    ZRDataDecompressor();
    ~ZRDataDecompressor();
    ZRDataDecompressor(const ZRDataDecompressor &) = delete;
    ZRDataDecompressor &operator=(const ZRDataDecompressor &) = delete;

    // The most one QByteArray holds; inflating past it is an error.
    static const qint64 MaximumDataLength;

    // A decompressor whose stream is set up.
    static QSharedPointer<ZRDataDecompressor> decompressor();

    ZrError setupStream();
    ZrError closeStream();
    QByteArray uncompressBytes(const char *bytes, qint64 length, ZrError *error);
    // Whether the compressed stream's end has been read.
    bool streamEnded() const { return m_streamEnded; }

    // Input that ends before the compressed stream does is an error. A file still being
    // inflated when the deadline passes gives the request's time-out error.
    static QByteArray uncompressData(const QByteArray &compressedData, ZrError *error = nullptr);
    static bool uncompressDataFromFile(const QString &sourcePath, const QString &destinationPath,
                                       ZrError *error = nullptr,
                                       QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    static ZrError inflateErrorWithCode(int code);
    static ZrError dataTooLargeError();

private:
    z_stream m_zStream;
    bool m_streamReady = false;
    bool m_streamEnded = false;
};

#endif
