#ifndef ZRINPUTSTREAM_H
#define ZRINPUTSTREAM_H

#include <QByteArray>
#include <QIODevice>
#include <QString>

class ZRHTTPRequest;

// The device a request body is read through: it wraps a file or a buffer and keeps
// uploads within the request class's bandwidth limit.
class ZRInputStream : public QIODevice
{
    Q_OBJECT
public:
    // Takes ownership of the wrapped device; the request owns this stream.
    ZRInputStream(QIODevice *stream, ZRHTTPRequest *request);
    ~ZRInputStream() override;

    static ZRInputStream *inputStreamWithFileAtPath(const QString &path, ZRHTTPRequest *request);
    static ZRInputStream *inputStreamWithData(const QByteArray &data, ZRHTTPRequest *request);

    QIODevice *stream() const { return m_stream; }
    ZRHTTPRequest *request() const { return m_request; }

    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return m_stream->isSequential(); }
    qint64 size() const override { return m_stream->size(); }
    bool seek(qint64 pos) override;
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice *m_stream;
    ZRHTTPRequest *m_request;
};

#endif
