#ifndef QMEDIAFILELOADER_H
#define QMEDIAFILELOADER_H

#include "engine/playiteminfo.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// The work of a loading thread: walk the chosen paths, then probe the files found one by one.
// The player window and the playlist each run it from their own thread body and pass its
// reports on as their own signals. Every step checks the owner's stop flag, so a stop takes
// effect within one file.
class QMediaFileLoader
{
public:
    // A progress report: [path, "i/n", percent].
    using Report = std::function<void(const QList<QString> &)>;
    // A file that holds video or audio, by value: it crosses to the main thread queued.
    using Found = std::function<void(const PlayItemInfo &)>;

    // The share of the progress the walk stands for; probing fills the rest up to 100.
    static constexpr int TraversalStep = 20;

    explicit QMediaFileLoader(const std::atomic<bool> &stop);

    // The files to probe, in order: a path that is no folder as it is (a missing one fails its
    // probe later), a disc folder as one entry, any other folder with every file below it
    // (links to folders are not followed, FIFOs and sockets not listed).
    QStringList collectFiles(const QList<QString> &paths) const;
    // Pauses 10 ms before each file, then reports it and probes it; a playable file goes to
    // found. Paths that are neither a regular file nor a folder are reported but never opened.
    void probeFiles(const QStringList &files, const Report &report, const Found &found) const;

    // A file dialog's name filter with the upper-case twin of every pattern: name filters match
    // case-sensitively here, and "MOVIE.MP4" must show beside "movie.mp4".
    static QString withUpperCasePatterns(const QString &filter);

    // The percent shown for the file at index of count files.
    static double progress(int index, int count);

private:
    void walkFolder(const QString &folder, QStringList &files) const;

    const std::atomic<bool> &m_stop;
};

#endif
