#ifndef ZRAUTHORIZATION_H
#define ZRAUTHORIZATION_H

#include <QString>
#include <QStringList>

#include <sys/types.h>

// The means to run a tool as the administrator: polkit's pkexec, found once on PATH.
// Holding one only says that pkexec is there; polkit asks for the right at each run,
// after the tool has been started, and a refusal shows as the exit status 126 or 127.
class ZrAuthorization
{
public:
    // No authorization: nothing can be run with it.
    ZrAuthorization() = default;

    // An authorization when an executable pkexec is on PATH, else a null one.
    static ZrAuthorization create();

    bool isNull() const { return m_pkexec.isEmpty(); }

    // Starts "pkexec --keep-cwd tool arguments..." without a shell, in folder (the caller's
    // own folder when empty), its standard output on outputFd (inherited when -1). The tool
    // must be an absolute path. Returns the pid, or -1 with errno set when it could not be started.
    pid_t executeWithPrivileges(const QString &tool, const QStringList &arguments,
                                const QString &folder = QString(), int outputFd = -1) const;

    // Collects the end of a started tool, waiting for it when block is set. True once it
    // has ended; its status is then the exit code, 128 + the signal that killed it, or
    // 255 when the status was lost.
    static bool waitForTool(pid_t pid, bool block, int &terminationStatus);

private:
    QString m_pkexec;
};

#endif
