#ifndef PROFILEFILES_H
#define PROFILEFILES_H

#include <QByteArray>
#include <QDateTime>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <functional>

// Test helpers for the profile store: files written with an old time, so that any rewrite shows
// in the modification time, and a log of the warnings the code under test writes.

using Operation = std::function<QString()>;
Q_DECLARE_METATYPE(Operation)

struct FileState
{
    bool exists = false;
    QByteArray bytes;
    QDateTime modified;
};

inline FileState fileState(const QString &path)
{
    FileState state;
    QFile file(path);
    state.exists = file.exists();
    if (file.open(QIODevice::ReadOnly))
        state.bytes = file.readAll();
    state.modified = QFileInfo(path).lastModified();
    return state;
}

inline bool writeAged(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime);
}

inline bool ageFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite)
           && file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime);
}

// A file's document, empty when it does not parse. Its nodes live only as long as the document.
inline QDomDocument xmlOf(const QString &path)
{
    QFile file(path);
    QDomDocument doc;
    if (file.open(QIODevice::ReadOnly))
        doc.setContent(&file);
    return doc;
}

inline QString found(const void *record)
{
    return record ? "record" : "null";
}

// Collects the warnings written while it lives, and passes every message on.
class WarningLog
{
public:
    WarningLog() : m_previous(qInstallMessageHandler(&WarningLog::handle)) { current() = this; }
    ~WarningLog()
    {
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }

    int count(const QString &text) const { return m_warnings.count(text); }
    QStringList warnings() const { return m_warnings; }

private:
    static WarningLog *&current()
    {
        static WarningLog *log = nullptr;
        return log;
    }

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        WarningLog *log = current();
        if (log && type == QtWarningMsg)
            log->m_warnings << message;
        if (log && log->m_previous)
            log->m_previous(type, context, message);
    }

    QtMessageHandler m_previous;
    QStringList m_warnings;
};

#endif
