#ifndef ZRSEGMENTEDBODY_H
#define ZRSEGMENTEDBODY_H

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QSharedPointer>
#include <QVector>

// A request body read as one device from a list of pieces: bytes held in memory and ranges
// read straight from files when the body is sent, so a file part is never copied first.
// Random access, so a body can be sent again from any point.
class ZrSegmentedBody : public QIODevice
{
    Q_OBJECT
public:
    // Bytes from memory without a file, else the first length bytes of the open file (read
    // by position, so one file serves every copy of the body).
    struct Segment
    {
        QByteArray data;
        QSharedPointer<QFile> file;
        qint64 length = 0;
    };
    using Segments = QVector<Segment>;

    explicit ZrSegmentedBody(const Segments &segments, QObject *parent = nullptr);

    static qint64 lengthOf(const Segments &segments);

    bool open(OpenMode mode) override;
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const Segments m_segments;
    const qint64 m_size;
    // The segment being read and the offset in it.
    int m_index = 0;
    qint64 m_offset = 0;
};

#endif
