#include "support/zrgzipfile.h"

#include "support/zrhttprequesterror.h"

#include <QFile>
#include <QFileInfo>

bool ZrGzipFile::transform(const QString &direction, const QString &sourcePath, const QString &destinationPath,
                           const ChunkFunction &chunk, const EndFunction &end, ZrError *error)
{
    QFile destination(destinationPath);
    if (!destination.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return zrSetError(error, zrRequestError(ZRCompressionError,
                                              QString("%1 of %2 failed because we were to create a file at %3")
                                                  .arg(direction, sourcePath, destinationPath)));
    if (!QFileInfo(sourcePath).isFile())
        return zrSetError(error, zrRequestError(ZRCompressionError, QString("%1 of %2 failed the file does not exist")
                                                                      .arg(direction, sourcePath)));
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return zrSetError(error, zrRequestError(ZRCompressionError,
                                              QString("%1 of %2 failed because we were unable to read from the "
                                                      "source data file")
                                                  .arg(direction, sourcePath),
                                              zrFileError(source)));
    const QString writeFailure =
        QString("%1 of %2 failed because we were unable to write to the destination data file at %3")
            .arg(direction, sourcePath, destinationPath);

    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(buffer.data(), ChunkSize);
        if (read < 0)
            return zrSetError(error, zrRequestError(ZRCompressionError,
                                                  QString("%1 of %2 failed because we were unable to read from "
                                                          "the source data file")
                                                      .arg(direction, sourcePath),
                                                  zrFileError(source)));
        if (read == 0)
            break;
        ZrError chunkError;
        const QByteArray output = chunk(buffer.constData(), read, read < ChunkSize, &chunkError);
        if (!chunkError.isNull())
            return zrSetError(error, chunkError);
        if (destination.write(output) != output.size())
            return zrSetError(error, zrRequestError(ZRCompressionError, writeFailure, zrFileError(destination)));
        if (read < ChunkSize)
            break;
    }
    ZrError endError;
    const QByteArray output = end(&endError);
    if (!endError.isNull())
        return zrSetError(error, endError);
    if (destination.write(output) != output.size())
        return zrSetError(error, zrRequestError(ZRCompressionError, writeFailure, zrFileError(destination)));
    if (!destination.flush())
        return zrSetError(error, zrRequestError(ZRCompressionError, writeFailure, zrFileError(destination)));
    return true;
}
