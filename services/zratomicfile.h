#ifndef ZRATOMICFILE_H
#define ZRATOMICFILE_H

#include <QByteArray>
#include <QString>

// The one way files of the program are replaced: the bytes go to a file beside the old one,
// which takes its place only once every byte has reached the disk. On any failure the old file
// stays as it was and nothing is left beside it.
class ZrAtomicFile
{
public:
    enum Result { Saved, OpenFailed, WriteFailed };

    static Result save(const QString &path, const QByteArray &content);
};

#endif
