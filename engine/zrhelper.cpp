#include "engine/zrhelper.h"

#include "codec/rqcodec.h"
#include "services/zrcommoninterface.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

const char *const kDiscExtensions[] = {"iso", "img", "mdf", "dvd", "bin", "nrg"};

// A probe handle of the calling thread's own, closed (when opened) and destroyed on every way out.
class ScopedProbe
{
public:
    ScopedProbe() : m_probe(codecCreateProbe(-1)) {}
    ~ScopedProbe()
    {
        if (m_opened)
            codecCloseProbe(m_probe);
        codecDestroyProbe(m_probe);
    }
    ScopedProbe(const ScopedProbe &) = delete;
    ScopedProbe &operator=(const ScopedProbe &) = delete;

    bool open(const QString &path, bool disc)
    {
        const QByteArray utf8 = path.toUtf8();
        m_opened = (disc ? codecProbeOpenDisc(m_probe, utf8.constData())
                         : codecProbeOpenFile(m_probe, utf8.constData())) != 0;
        return m_opened;
    }
    bool hasVideoOrAudio() const { return codecProbeHasVideo(m_probe) || codecProbeHasAudio(m_probe); }
    uint64_t handle() const { return m_probe; }

private:
    uint64_t m_probe;
    bool m_opened = false;
};

bool hasDiscImageExtension(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot + 1);
    for (const char *disc : kDiscExtensions) {
        if (extension.compare(QLatin1String(disc), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The sum of a disc's title lengths; its last six programs are not titles.
unsigned long long discDuration(uint64_t probe)
{
    unsigned long long total = 0;
    const int titles = codecProbeGetProgramCount(probe) - 6;
    for (int i = 0; i < titles; ++i) {
        codecProbeSelectProgram(probe, i);
        total += codecProbeGetDuration(probe);
    }
    return total;
}

bool opensWithVideoOrAudio(const QString &path, bool disc)
{
    ScopedProbe probe;
    return probe.open(path, disc) && probe.hasVideoOrAudio();
}

// Whole milliseconds of a time in microseconds, kept in 64 bits so long times do not wrap.
unsigned long long milliseconds(unsigned long long time)
{
    return time / 1000;
}

QString twoDigits(unsigned long long value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

}

bool ZRHelper::getMediaInfo(QString path, PlayItemInfo *item)
{
    if (!item)
        return false;
    ScopedProbe probe;
    bool disc = false;
    if (QFileInfo(path).isDir()) {
        if (!probe.open(path, true))
            return false;
        disc = true;
    } else {
        disc = hasDiscImageExtension(path) && probe.open(path, true);
        if (!disc && !probe.open(path, false))
            return false;
    }
    if (!probe.hasVideoOrAudio())
        return false;

    QString shortened = path;
    if (shortened.endsWith(QLatin1Char('/')))
        shortened.chop(1);
    item->path = path;
    item->CREACTTIME_ = static_cast<unsigned long long>(QDateTime::currentSecsSinceEpoch());
    item->Filename = shortened.mid(shortened.lastIndexOf(QLatin1Char('/')) + 1);
    item->Size_ = static_cast<unsigned long long>(QFileInfo(shortened).size());
    item->OnlyAudio_ = codecProbeHasVideo(probe.handle()) == 0;
    item->Play_to_time_ = 0;
    item->Duration_ = disc ? discDuration(probe.handle()) : codecProbeGetDuration(probe.handle());
    // A reused record may come from an earlier disc probe of the same path.
    item->File_isDVD = disc;
    return true;
}

bool ZRHelper::isDVDDir(QString path)
{
    return opensWithVideoOrAudio(path, true);
}

bool ZRHelper::hasVedeoOrAudio(QString path)
{
    return opensWithVideoOrAudio(path, false);
}

QString ZRHelper::getFileSizeToString(long long size)
{
    if (size == 0)
        return QStringLiteral("0B");
    if (size >= 1073741824LL)
        return QStringLiteral("%1 GB").arg(QString::number(size / 1073741824.0, 'f', 2));
    if (size >= 1048576LL)
        return QStringLiteral("%1 MB").arg(QString::number(size / 1048576.0, 'f', 2));
    if (size < 1024)
        return QStringLiteral("%1 B").arg(size);
    return QStringLiteral("%1 KB").arg(QString::number(size / 1024.0, 'f', 2));
}

QString ZRHelper::getCountStringTime(unsigned long long time, int mode)
{
    const unsigned long long ms = milliseconds(time);
    const unsigned long long hours = ms / 3600000;
    const unsigned long long minutes = ms / 60000 % 60;
    const unsigned long long seconds = ms / 1000 % 60;
    switch (mode) {
    case 0:
        return QStringLiteral("%1:%2:%3.%4")
            .arg(twoDigits(hours), twoDigits(minutes), twoDigits(seconds),
                 QString::number(ms % 1000).rightJustified(3, QLatin1Char('0')));
    case 1:
        if (hours > 0)
            return QStringLiteral("%1 h %2 min %3 s").arg(twoDigits(hours), twoDigits(minutes), twoDigits(seconds));
        if (ms >= 60000)
            return QStringLiteral("%1 min %2 s").arg(twoDigits(minutes), twoDigits(seconds));
        return QStringLiteral("%1 s").arg(twoDigits(seconds));
    case 2:
        // Whole minutes from an hour on, whole seconds from a minute on.
        if (hours > 0)
            return QStringLiteral("%1 min %2 s").arg(ms / 60000).arg(twoDigits(seconds));
        if (ms >= 60000)
            return QStringLiteral("%1 s").arg(ms / 1000);
        return QString();
    default:
        return QString();
    }
}

QString ZRHelper::getBitRate(int rate)
{
    if (rate >= 1000)
        return QStringLiteral("%1 kps").arg(rate / 1000);
    return QStringLiteral("%1 bps").arg(rate);
}

QString ZRHelper::getTime(unsigned long long time)
{
    const unsigned long long ms = milliseconds(time);
    return QStringLiteral("%1:%2:%3").arg(twoDigits(ms / 3600000), twoDigits(ms / 60000 % 60), twoDigits(ms / 1000 % 60));
}

QString ZRHelper::getPlayTime(unsigned long long current, unsigned long long total)
{
    return QStringLiteral("%1 / %2").arg(getTime(current), getTime(total));
}

// The platform call turns backslashes into "/" and folds doubled separators itself.
void ZRHelper::showFileInFolder(std::string path)
{
    ZrCommonInterface::showFileInFolder(path);
}

void ZRHelper::setOpenFinder(QString path)
{
    ZrCommonInterface::showFileInFolder(path.toUtf8().toStdString());
}
