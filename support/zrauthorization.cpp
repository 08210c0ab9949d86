#include "support/zrauthorization.h"

#include <QFile>
#include <QStandardPaths>

#include <vector>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

ZrAuthorization ZrAuthorization::create()
{
    static const QString pkexec = QStandardPaths::findExecutable("pkexec");
    ZrAuthorization authorization;
    authorization.m_pkexec = pkexec;
    return authorization;
}

pid_t ZrAuthorization::executeWithPrivileges(const QString &tool, const QStringList &arguments,
                                             const QString &folder, int outputFd) const
{
    if (isNull()) {
        errno = ENOENT;
        return -1;
    }
    // pkexec takes words that start with "-" as its own options; a path from the root never does.
    if (!tool.startsWith(QLatin1Char('/'))) {
        errno = EINVAL;
        return -1;
    }
    std::vector<QByteArray> words{QFile::encodeName(m_pkexec), "--keep-cwd", QFile::encodeName(tool)};
    for (const QString &argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    const QByteArray directory = QFile::encodeName(folder);
    if (!directory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, directory.constData());

    // The tool starts with no blocked signalSet and SIGPIPE at its default, whatever this process set.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&attributes, &signalSet);
    sigaddset(&signalSet, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signalSet);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int result = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        errno = result;
        return -1;
    }
    return pid;
}

bool ZrAuthorization::waitForTool(pid_t pid, bool block, int &terminationStatus)
{
    // waitpid on 0 or -1 would reap children of other parts of the program.
    if (pid <= 0) {
        terminationStatus = 255;
        return true;
    }
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid, &status, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0)
        return false;
    if (result < 0)
        terminationStatus = 255;
    else if (WIFEXITED(status))
        terminationStatus = WEXITSTATUS(status);
    else
        terminationStatus = 128 + WTERMSIG(status);
    return true;
}
