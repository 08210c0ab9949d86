#include "services/zratomicfile.h"

#include <QSaveFile>

#include <unistd.h>

ZrAtomicFile::Result ZrAtomicFile::save(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return OpenFailed;
    // QSaveFile::commit() in Qt 5.15 flushes inside its close, ignores a failure there (a full disk)
    // and then renames the short file over the good one; so every step is checked before it.
    // Returning without commit() removes the temporary file.
    if (file.write(content) != content.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return WriteFailed;
    return file.commit() ? Saved : WriteFailed;
}
