#ifndef FAKEPKEXEC_H
#define FAKEPKEXEC_H

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

// A stand-in pkexec first on PATH: the real one needs a polkit daemon and an agent. It
// records its start folder and arguments, skips its own options and runs the tool as
// this user, or exits 126 (a dismissed dialog) while ZR_PKEXEC_REFUSE is set.
class FakePkexec
{
public:
    struct Run
    {
        QString folder;
        QStringList arguments;
    };

    // Writes <folder>/pkexec and puts <folder> first on PATH; call before anything looks pkexec up.
    static bool install(const QString &folder)
    {
        const QString script = QDir(folder).filePath("pkexec");
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("#!/bin/sh\n"
                   "line=$(pwd -P)\n"
                   "for a in \"$@\"; do line=\"$line\t$a\"; done\n"
                   "printf '%s\\n' \"$line\" >> \"$ZR_PKEXEC_LOG\"\n"
                   "while [ $# -gt 0 ]; do\n"
                   "  case \"$1\" in --user) shift 2 ;; --*) shift ;; *) break ;; esac\n"
                   "done\n"
                   "[ -n \"$ZR_PKEXEC_REFUSE\" ] && exit 126\n"
                   "exec \"$@\"\n");
        file.close();
        if (!file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return false;
        qputenv("ZR_PKEXEC_LOG", QFile::encodeName(QDir(folder).filePath("runs.log")));
        qputenv("PATH", QFile::encodeName(folder) + ':' + qgetenv("PATH"));
        return true;
    }

    static void setRefusing(bool refusing)
    {
        if (refusing)
            qputenv("ZR_PKEXEC_REFUSE", "1");
        else
            qunsetenv("ZR_PKEXEC_REFUSE");
    }

    // Every run since the last clearRuns, oldest first.
    static QList<Run> runs()
    {
        QList<Run> result;
        QFile file(QFile::decodeName(qgetenv("ZR_PKEXEC_LOG")));
        if (!file.open(QIODevice::ReadOnly))
            return result;
        for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
            QStringList fields = line.split('\t');
            Run run;
            run.folder = fields.takeFirst();
            run.arguments = fields;
            result.append(run);
        }
        return result;
    }

    static void clearRuns() { QFile::remove(QFile::decodeName(qgetenv("ZR_PKEXEC_LOG"))); }
};

#endif
