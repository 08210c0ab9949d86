#include "support/zrinputstream.h"

#include "support/zrhttprequest.h"

#include <QBuffer>
#include <QFile>
#include <QMutex>

namespace {

// One upload at a time computes its allowance.
QMutex &throttleLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

ZRInputStream::ZRInputStream(QIODevice *stream, ZRHTTPRequest *request) : m_stream(stream), m_request(request)
{
    m_stream->setParent(this);
}

ZRInputStream::~ZRInputStream()
{
    close();
}

ZRInputStream *ZRInputStream::inputStreamWithFileAtPath(const QString &path, ZRHTTPRequest *request)
{
    return new ZRInputStream(new QFile(path), request);
}

ZRInputStream *ZRInputStream::inputStreamWithData(const QByteArray &data, ZRHTTPRequest *request)
{
    QBuffer *buffer = new QBuffer;
    buffer->setData(data);
    return new ZRInputStream(buffer, request);
}

bool ZRInputStream::open(OpenMode mode)
{
    if (!m_stream->isOpen() && !m_stream->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    return QIODevice::open((mode & ~QIODevice::WriteOnly) | QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void ZRInputStream::close()
{
    m_stream->close();
    QIODevice::close();
}

bool ZRInputStream::seek(qint64 pos)
{
    return m_stream->seek(pos) && QIODevice::seek(pos);
}

bool ZRInputStream::atEnd() const
{
    return m_stream->atEnd();
}

qint64 ZRInputStream::readData(char *data, qint64 maxSize)
{
    qint64 length = maxSize;
    {
        QMutexLocker locker(&throttleLock());
        if (ZRHTTPRequest::isBandwidthThrottled()) {
            length = qMin<qint64>(length, static_cast<qint64>(ZRHTTPRequest::maxUploadReadLength()));
            if (length < 1)
                length = 1;
            if (m_request)
                m_request->performThrottling();
        }
    }
    const qint64 read = m_stream->read(data, length);
    if (read > 0)
        ZRHTTPRequest::incrementBandwidthUsedInLastSecond(static_cast<quint64>(read));
    return read;
}
