#ifndef TESTFILES_H
#define TESTFILES_H

#include <QByteArray>
#include <QFile>
#include <QString>

// Small file helpers shared by the support library's tests.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Bytes that repeat only after a long stretch, so a lost or moved piece shows.
inline QByteArray patternBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + i / 509) & 0xff);
    return bytes;
}

// The request's temporary files go to the given folder while this lives.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const QString &path) : m_previous(qgetenv("TMPDIR")) { qputenv("TMPDIR", path.toUtf8()); }
    ~TemporaryFolder() { qputenv("TMPDIR", m_previous); }

private:
    QByteArray m_previous;
};

#endif
