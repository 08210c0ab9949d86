#include "support/zrdatadecompressor.h"

#include "support/zrgzipfile.h"
#include "support/zrhttprequesterror.h"

#include <algorithm>
#include <cstring>

namespace {

const qint64 MinimumGrowth = 1024;

} // namespace

ZRDataDecompressor::ZRDataDecompressor()
{
    std::memset(&m_zStream, 0, sizeof m_zStream);
}

ZRDataDecompressor::~ZRDataDecompressor()
{
    closeStream();
}

QSharedPointer<ZRDataDecompressor> ZRDataDecompressor::decompressor()
{
    QSharedPointer<ZRDataDecompressor> made(new ZRDataDecompressor);
    made->setupStream();
    return made;
}

ZrError ZRDataDecompressor::setupStream()
{
    if (m_streamReady)
        return ZrError();
    std::memset(&m_zStream, 0, sizeof m_zStream);
    const int status = inflateInit2(&m_zStream, 15 + 32);
    if (status != Z_OK)
        return inflateErrorWithCode(status);
    m_streamReady = true;
    m_streamEnded = false;
    return ZrError();
}

ZrError ZRDataDecompressor::closeStream()
{
    if (!m_streamReady)
        return ZrError();
    m_streamReady = false;
    const int status = inflateEnd(&m_zStream);
    return status == Z_OK ? ZrError() : inflateErrorWithCode(status);
}

QByteArray ZRDataDecompressor::uncompressBytes(const char *bytes, qint64 length, ZrError *error)
{
    if (length <= 0 || !m_streamReady || m_streamEnded)
        return QByteArray();
    const qint64 growth = std::max(length / 2, MinimumGrowth);
    QByteArray output(static_cast<int>(std::max(length + length / 2, MinimumGrowth)), '\0');
    qint64 produced = 0;
    m_zStream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes));
    m_zStream.avail_in = static_cast<uInt>(length);
    // A buffer that came back full may leave output inside zlib although the input is used up.
    while (m_zStream.avail_in != 0 || produced == output.size()) {
        if (produced >= output.size())
            output.resize(static_cast<int>(output.size() + growth));
        m_zStream.next_out = reinterpret_cast<Bytef *>(output.data() + produced);
        m_zStream.avail_out = static_cast<uInt>(output.size() - produced);
        const int status = inflate(&m_zStream, Z_NO_FLUSH);
        produced = output.size() - m_zStream.avail_out;
        if (status == Z_STREAM_END) {
            m_streamEnded = true;
            break;
        }
        if (status == Z_BUF_ERROR && m_zStream.avail_in == 0)
            break;
        if (status != Z_OK) {
            zrSetError(error, inflateErrorWithCode(status));
            return QByteArray();
        }
    }
    output.truncate(static_cast<int>(produced));
    return output;
}

QByteArray ZRDataDecompressor::uncompressData(const QByteArray &compressedData, ZrError *error)
{
    ZRDataDecompressor decompressor;
    ZrError made = decompressor.setupStream();
    if (!made.isNull()) {
        zrSetError(error, made);
        return QByteArray();
    }
    QByteArray output = decompressor.uncompressBytes(compressedData.constData(), compressedData.size(), &made);
    if (made.isNull() && !decompressor.streamEnded())
        made = inflateErrorWithCode(Z_BUF_ERROR);
    const ZrError closed = decompressor.closeStream();
    if (made.isNull())
        made = closed;
    if (!made.isNull()) {
        zrSetError(error, made);
        return QByteArray();
    }
    return output;
}

bool ZRDataDecompressor::uncompressDataFromFile(const QString &sourcePath, const QString &destinationPath,
                                                ZrError *error)
{
    ZRDataDecompressor decompressor;
    const ZrError made = decompressor.setupStream();
    if (!made.isNull())
        return zrSetError(error, made);
    const bool done = ZrGzipFile::transform(
        "Decompression", sourcePath, destinationPath,
        [&](const char *bytes, qint64 length, bool, ZrError *chunkError) {
            return decompressor.uncompressBytes(bytes, length, chunkError);
        },
        [&](ZrError *endError) {
            if (!decompressor.streamEnded() && endError)
                *endError = inflateErrorWithCode(Z_BUF_ERROR);
            return QByteArray();
        },
        error);
    const ZrError closed = decompressor.closeStream();
    if (!done)
        return false;
    if (!closed.isNull())
        return zrSetError(error, closed);
    return true;
}

ZrError ZRDataDecompressor::inflateErrorWithCode(int code)
{
    return zrRequestError(ZRCompressionError, QString("Decompression of data failed with code %1").arg(code));
}
