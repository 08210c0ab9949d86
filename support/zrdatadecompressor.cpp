#include "support/zrdatadecompressor.h"

#include "support/zrgzipfile.h"
#include "support/zrhttprequesterror.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

const qint64 MinimumGrowth = 1024;

} // namespace

// QByteArray's own bound, less its header.
const qint64 ZRDataDecompressor::MaximumDataLength = std::numeric_limits<int>::max() - 32;

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
    QByteArray output;
    output.resize(static_cast<int>(std::min(std::max(length + length / 2, MinimumGrowth), MaximumDataLength)));
    qint64 produced = 0;
    qint64 consumed = 0;
    m_zStream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes));
    m_zStream.avail_in = 0;
    // A buffer that came back full may leave output inside zlib although the input is used up.
    while (consumed < length || m_zStream.avail_in != 0 || produced == output.size()) {
        if (produced == output.size()) {
            if (produced == MaximumDataLength) {
                zrSetError(error, dataTooLargeError());
                return QByteArray();
            }
            output.resize(static_cast<int>(std::min(produced + growth, MaximumDataLength)));
        }
        // zlib counts in 32 bits: the input goes in as pieces it can count.
        if (m_zStream.avail_in == 0) {
            const qint64 piece = std::min<qint64>(length - consumed, std::numeric_limits<uInt>::max());
            m_zStream.avail_in = static_cast<uInt>(piece);
            consumed += piece;
        }
        m_zStream.next_out = reinterpret_cast<Bytef *>(output.data() + produced);
        m_zStream.avail_out = static_cast<uInt>(output.size() - produced);
        const int status = inflate(&m_zStream, Z_NO_FLUSH);
        produced = output.size() - m_zStream.avail_out;
        if (status == Z_STREAM_END) {
            m_streamEnded = true;
            break;
        }
        if (status == Z_BUF_ERROR && m_zStream.avail_in == 0) {
            if (consumed == length)
                break;
            continue;
        }
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
                                                ZrError *error, QDeadlineTimer deadline)
{
    ZRDataDecompressor decompressor;
    const ZrError made = decompressor.setupStream();
    if (!made.isNull())
        return zrSetError(error, made);
    const bool done = ZrGzipFile::transform(
        "Decompression", sourcePath, destinationPath,
        [&](const char *bytes, qint64 length, bool, ZrError *chunkError) {
            if (deadline.hasExpired()) {
                zrSetError(chunkError, zrRequestError(ZRRequestTimedOutErrorType, "The request timed out"));
                return QByteArray();
            }
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

ZrError ZRDataDecompressor::dataTooLargeError()
{
    return zrRequestError(ZRCompressionError,
                          QString("Decompression of data failed because the data is larger than %1 bytes, "
                                  "the most that can be kept in memory")
                              .arg(MaximumDataLength));
}
