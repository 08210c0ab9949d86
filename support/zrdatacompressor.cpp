#include "support/zrdatacompressor.h"

#include "support/zrgzipfile.h"
#include "support/zrhttprequesterror.h"

#include <algorithm>
#include <cstring>

namespace {

// A one-byte input would give a growth step of 0; the buffer grows by at least this much.
const qint64 MinimumGrowth = 1024;

} // namespace

ZRDataCompressor::ZRDataCompressor()
{
    std::memset(&m_zStream, 0, sizeof m_zStream);
}

ZRDataCompressor::~ZRDataCompressor()
{
    closeStream();
}

QSharedPointer<ZRDataCompressor> ZRDataCompressor::compressor()
{
    QSharedPointer<ZRDataCompressor> made(new ZRDataCompressor);
    made->setupStream();
    return made;
}

ZrError ZRDataCompressor::setupStream()
{
    if (m_streamReady)
        return ZrError();
    std::memset(&m_zStream, 0, sizeof m_zStream);
    const int status = deflateInit2(&m_zStream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    if (status != Z_OK)
        return deflateErrorWithCode(status);
    m_streamReady = true;
    return ZrError();
}

ZrError ZRDataCompressor::closeStream()
{
    if (!m_streamReady)
        return ZrError();
    m_streamReady = false;
    const int status = deflateEnd(&m_zStream);
    return status == Z_OK ? ZrError() : deflateErrorWithCode(status);
}

QByteArray ZRDataCompressor::compressBytes(const char *bytes, qint64 length, ZrError *error, bool shouldFinish)
{
    if (length <= 0)
        return QByteArray();
    return deflateBuffer(bytes, length, error, shouldFinish);
}

QByteArray ZRDataCompressor::deflateBuffer(const char *bytes, qint64 length, ZrError *error, bool shouldFinish)
{
    if (!m_streamReady)
        return QByteArray();
    const qint64 growth = std::max(length / 2, MinimumGrowth);
    QByteArray output(static_cast<int>(std::max(length / 2, MinimumGrowth)), '\0');
    qint64 produced = 0;
    m_zStream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes));
    m_zStream.avail_in = static_cast<uInt>(std::max<qint64>(length, 0));
    for (;;) {
        if (produced >= output.size())
            output.resize(static_cast<int>(output.size() + growth));
        m_zStream.next_out = reinterpret_cast<Bytef *>(output.data() + produced);
        m_zStream.avail_out = static_cast<uInt>(output.size() - produced);
        const int status = deflate(&m_zStream, shouldFinish ? Z_FINISH : Z_NO_FLUSH);
        produced = output.size() - m_zStream.avail_out;
        if (status == Z_STREAM_END)
            break;
        if (status != Z_OK) {
            zrSetError(error, deflateErrorWithCode(status));
            return QByteArray();
        }
        if (m_zStream.avail_out != 0)
            break;
    }
    output.truncate(static_cast<int>(produced));
    return output;
}

QByteArray ZRDataCompressor::compressData(const QByteArray &uncompressedData, ZrError *error)
{
    ZRDataCompressor compressor;
    ZrError made = compressor.setupStream();
    if (!made.isNull()) {
        zrSetError(error, made);
        return QByteArray();
    }
    QByteArray output = compressor.compressBytes(uncompressedData.constData(), uncompressedData.size(), &made, true);
    const ZrError closed = compressor.closeStream();
    if (made.isNull())
        made = closed;
    if (!made.isNull()) {
        zrSetError(error, made);
        return QByteArray();
    }
    return output;
}

bool ZRDataCompressor::compressDataFromFile(const QString &sourcePath, const QString &destinationPath,
                                            ZrError *error)
{
    ZRDataCompressor compressor;
    const ZrError made = compressor.setupStream();
    if (!made.isNull())
        return zrSetError(error, made);
    bool finished = false;
    const bool done = ZrGzipFile::transform(
        "Compression", sourcePath, destinationPath,
        [&](const char *bytes, qint64 length, bool last, ZrError *chunkError) {
            finished = last;
            return compressor.compressBytes(bytes, length, chunkError, last);
        },
        [&](ZrError *endError) {
            // A source that ends on a whole chunk still gets the gzip trailer.
            return finished ? QByteArray() : compressor.deflateBuffer(nullptr, 0, endError, true);
        },
        error);
    const ZrError closed = compressor.closeStream();
    if (!done)
        return false;
    if (!closed.isNull())
        return zrSetError(error, closed);
    return true;
}

ZrError ZRDataCompressor::deflateErrorWithCode(int code)
{
    return zrRequestError(ZRCompressionError, QString("Compression of data failed with code %1").arg(code));
}
