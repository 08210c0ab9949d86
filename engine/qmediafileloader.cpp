#include "engine/qmediafileloader.h"

#include "engine/zrhelper.h"
#include "services/zrcommoninterface.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

QMediaFileLoader::QMediaFileLoader(const std::atomic<bool> &stop) : m_stop(stop)
{
}

QStringList QMediaFileLoader::collectFiles(const QList<QString> &paths) const
{
    QStringList files;
    for (const QString &path : paths) {
        if (m_stop)
            break;
        if (!QFileInfo(path).isDir() || ZRHelper::isDVDDir(path))
            files.append(path);
        else
            walkFolder(path, files);
    }
    return files;
}

// Without FollowSymlinks a link to a folder is never entered, so a link loop ends.
void QMediaFileLoader::walkFolder(const QString &folder, QStringList &files) const
{
    QDirIterator it(folder, QStringList(), QDir::Files, QDirIterator::Subdirectories);
    while (!m_stop && it.hasNext()) {
        it.next();
        files.append(it.filePath());
    }
}

void QMediaFileLoader::probeFiles(const QStringList &files, const Report &report, const Found &found) const
{
    const int count = files.size();
    for (int i = 0; i < count; ++i) {
        ZrCommonInterface::Sleep(10000);
        if (m_stop)
            break;
        QString path = files.at(i);
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        report({path, QStringLiteral("%1/%2").arg(i + 1).arg(count), QStringLiteral("%1").arg(progress(i, count))});
        // Opening a FIFO would wait for a writer for ever.
        const QFileInfo info(path);
        if (info.exists() && !info.isFile() && !info.isDir())
            continue;
        PlayItemInfo item;
        if (ZRHelper::getMediaInfo(path, &item))
            found(item);
    }
}

double QMediaFileLoader::progress(int index, int count)
{
    return TraversalStep + double((index + 1) * (100 - TraversalStep)) / count;
}

QString QMediaFileLoader::withUpperCasePatterns(const QString &filter)
{
    static const QRegularExpression group(QStringLiteral("\\(([^)]*)\\)"));
    QString result;
    int from = 0;
    QRegularExpressionMatchIterator it = group.globalMatch(filter);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QStringList given = match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QStringList patterns;
        for (const QString &pattern : given) {
            patterns.append(pattern);
            const QString upper = pattern.toUpper();
            if (!given.contains(upper) && !patterns.contains(upper))
                patterns.append(upper);
        }
        result += filter.mid(from, match.capturedStart() - from);
        result += QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        from = match.capturedEnd();
    }
    return result + filter.mid(from);
}
