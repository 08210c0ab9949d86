// Single instance and hand-off: two starts of a host program that stands in for the player's entry,
// the hand-off socket written to directly, the listen that replaces only dead sockets, and the quit
// signals. Every host start gets its own private runtime folder.
#include "shell/qzrapplicationlister.h"

#include <QElapsedTimer>
#include <QFileOpenEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const int LongWaitMs = 180000;

// A running host and the lines it has printed.
class Host
{
public:
    QProcess process;
    QStringList lines;

    Host(const QString &runtime, const QString &workDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(workDir);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    ~Host()
    {
        if (process.state() != QProcess::NotRunning) {
            ::kill(pid_t(process.processId()), SIGCONT);
            process.kill();
            process.waitForFinished(LongWaitMs);
        }
    }

    void start(const QStringList &arguments, const QString &program = QStringLiteral(HANDOFF_HOST))
    {
        process.start(program, arguments);
    }

    void collect()
    {
        while (process.canReadLine())
            lines << QString::fromUtf8(process.readLine()).chopped(1);
    }

    // Waits until the line is printed, or the host ends, or the bound passes.
    bool waitForLine(const QString &wanted, int timeoutMs = LongWaitMs)
    {
        QElapsedTimer clock;
        clock.start();
        collect();
        while (!lines.contains(wanted) && clock.elapsed() < timeoutMs) {
            if (!process.waitForReadyRead(qMax(1, int(timeoutMs - clock.elapsed()))) && process.state() == QProcess::NotRunning)
                break;
            collect();
        }
        collect();
        return lines.contains(wanted);
    }

    bool finish(int timeoutMs = LongWaitMs)
    {
        const bool done = process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
        process.waitForReadyRead(0);
        lines << QString::fromUtf8(process.readAll()).split('\n', Qt::SkipEmptyParts);
        return done;
    }

    QStringList paths() const
    {
        QStringList found;
        for (const QString &line : lines) {
            if (line.startsWith("path:"))
                found << line.mid(5);
        }
        return found;
    }

    pid_t pid() const { return pid_t(process.processId()); }
};

// The resident memory of a process, from its status file.
qint64 residentBytes(pid_t pid)
{
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

// Leaves a socket file that nobody listens on, as a killed server does.
bool makeDeadSocket(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

}

class TestQZrApplicationLister : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void argumentsArriveAsPaths_data();
    void argumentsArriveAsPaths();
    void startWithoutArgumentsRestoresWindow();
    void closeLineEndsRunningInstance();
    void unreachableGuardExitsOne();
    void socketOfKilledInstanceIsReplaced_data();
    void socketOfKilledInstanceIsReplaced();
    void lineSplitOverWritesArrivesWhole();
    void connectionHeldOpenIsDropped();
    void lineLongerThanAPathDropsTheClient();
    void floodOfLinesLeavesTheLoopTurning();
    void debugLinesOnlyWhenAsked_data();
    void debugLinesOnlyWhenAsked();
    void anotherCopyHandsOver_data();
    void anotherCopyHandsOver();
    void startsAtOnceLeaveOneServingInstance_data();
    void startsAtOnceLeaveOneServingInstance();
    void quitSignalEndsRunNormally_data();
    void quitSignalEndsRunNormally();

    void listenReplacesOnlyDeadSockets_data();
    void listenReplacesOnlyDeadSockets();
    void fileOpenEventIsReported();

private:
    // A first start, minimised and ready.
    std::unique_ptr<Host> startFirst();
    std::unique_ptr<Host> startLater(const QStringList &arguments, const QString &workDir = QString());
    QString handOffPath() const { return m_runtime + "/ZRPlayer/QuorvaneZRPlayerServer"; }
    // Writes to the hand-off socket as a later start would, connecting first when needed.
    bool sendToHandOff(QLocalSocket &socket, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_runtime;
    QString m_workDir;
};

// A write to a dropped connection must fail, not end the test.
void TestQZrApplicationLister::initTestCase()
{
    ::signal(SIGPIPE, SIG_IGN);
}

void TestQZrApplicationLister::init()
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/s-XXXXXX");
    QVERIFY(m_dir->isValid());
    m_runtime = m_dir->filePath("run");
    m_workDir = m_dir->filePath("work");
    QVERIFY(QDir().mkpath(m_runtime));
    QVERIFY(QDir().mkpath(m_workDir));
    QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool TestQZrApplicationLister::sendToHandOff(QLocalSocket &socket, const QByteArray &bytes)
{
    if (socket.state() != QLocalSocket::ConnectedState) {
        socket.connectToServer(handOffPath());
        if (!socket.waitForConnected(LongWaitMs))
            return false;
    }
    return socket.write(bytes) == bytes.size() && socket.waitForBytesWritten(LongWaitMs);
}

std::unique_ptr<Host> TestQZrApplicationLister::startFirst()
{
    auto host = std::make_unique<Host>(m_runtime, m_workDir);
    host->start({});
    if (!host->waitForLine("ready:1"))
        qWarning() << "first start printed" << host->lines;
    return host;
}

std::unique_ptr<Host> TestQZrApplicationLister::startLater(const QStringList &arguments, const QString &workDir)
{
    auto host = std::make_unique<Host>(m_runtime, workDir.isEmpty() ? m_workDir : workDir);
    host->start(arguments);
    return host;
}

void TestQZrApplicationLister::argumentsArriveAsPaths_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");
    // Relative names are given from the folder "later"; "$LATER" stands for its full path.
    QTest::newRow("order, empty and broken lines")
        << QStringList{"a b.mkv", "", "x\ny", "é.mp4"} << QStringList{"a b.mkv", "x", "y", "é.mp4"};
    QTest::newRow("relative names that exist")
        << QStringList{"clip.mkv", "folder", "missing.mkv", "/abs/other.mp4"}
        << QStringList{"$LATER/clip.mkv", "$LATER/folder", "missing.mkv", "/abs/other.mp4"};
    QTest::newRow("close line is case-sensitive") << QStringList{"[close server]", "[Close server] "}
                                                   << QStringList{"[close server]", "[Close server] "};
    QTest::newRow("shell characters") << QStringList{"a\"$(touch P)\".mkv", "`touch P`"}
                                      << QStringList{"a\"$(touch P)\".mkv", "`touch P`"};
}

void TestQZrApplicationLister::argumentsArriveAsPaths()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    const QString later = m_dir->filePath("later");
    QVERIFY(QDir().mkpath(later + "/folder"));
    QFile clip(later + "/clip.mkv");
    QVERIFY(clip.open(QIODevice::WriteOnly));
    clip.close();
    expected.replaceInStrings("$LATER", later);

    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    auto second = startLater(arguments, later);
    QVERIFY(second->finish());
    QCOMPARE(second->process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->process.exitCode(), 0);
    QVERIFY(first->waitForLine("path:" + expected.last()));

    // Ending the first one after that shows nothing else came.
    auto closer = startLater({"[Close server]"});
    QVERIFY(closer->finish());
    QVERIFY(first->finish());
    QCOMPARE(first->paths(), expected);
    QVERIFY(!QFile::exists(later + "/P"));
    QVERIFY(!QFile::exists(m_workDir + "/P"));
}

void TestQZrApplicationLister::startWithoutArgumentsRestoresWindow()
{
    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    auto second = startLater({});
    QVERIFY(second->finish());
    QCOMPARE(second->process.exitCode(), 0);
    QVERIFY(second->lines.contains("exit:0"));
    QVERIFY(first->waitForLine("message:0"));
    QVERIFY(first->paths().isEmpty());
    QCOMPARE(first->process.state(), QProcess::Running);
}

void TestQZrApplicationLister::closeLineEndsRunningInstance()
{
    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    auto closer = startLater({"before.mkv", "[Close server]"});
    QVERIFY(first->finish());
    QCOMPARE(first->process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->process.exitCode(), 0);
    QVERIFY(first->lines.contains("exit:0"));
    QCOMPARE(first->paths(), QStringList{"before.mkv"});
    QVERIFY(closer->finish());
    // The socket goes with the instance, so the next start is a first one again.
    QVERIFY(!QFile::exists(handOffPath()));
    auto next = startFirst();
    QVERIFY(next->lines.contains("ready:1"));
}

void TestQZrApplicationLister::unreachableGuardExitsOne()
{
    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    // A stopped instance holds its lock and accepts connections but never answers.
    QCOMPARE(::kill(first->pid(), SIGSTOP), 0);
    auto second = startLater({});
    const bool finished = second->finish();
    ::kill(first->pid(), SIGCONT);
    QVERIFY(finished);
    QCOMPARE(second->process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->process.exitCode(), 1);
    QVERIFY(second->lines.contains("exit:1"));
}

void TestQZrApplicationLister::socketOfKilledInstanceIsReplaced_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::newRow("plain folder") << "run";
    QTest::newRow("folder with shell characters") << "run\"$(touch P)\"`touch P`";
}

void TestQZrApplicationLister::socketOfKilledInstanceIsReplaced()
{
    QFETCH(QString, folderName);
    m_runtime = m_dir->filePath(folderName);
    QVERIFY(QDir().mkpath(m_runtime));
    QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    {
        auto killed = startFirst();
        QVERIFY(killed->lines.contains("ready:1"));
        killed->process.kill();
        QVERIFY(killed->finish());
    }
    QVERIFY(QFileInfo::exists(handOffPath()));

    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    auto second = startLater({"after.mkv"});
    QVERIFY(second->finish());
    QCOMPARE(second->process.exitCode(), 0);
    QVERIFY(first->waitForLine("path:after.mkv"));
    QVERIFY(first->waitForLine("message:0"));
    QVERIFY(!QFile::exists(m_workDir + "/P"));
    QVERIFY(!QFile::exists(QDir::currentPath() + "/P"));
}

void TestQZrApplicationLister::lineSplitOverWritesArrivesWhole()
{
    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    QLocalSocket socket;
    QVERIFY(sendToHandOff(socket, "split"));
    QTest::qWait(200);
    QVERIFY(sendToHandOff(socket, "-line.mkv\nafter the last break"));
    socket.disconnectFromServer();

    QVERIFY(first->waitForLine("path:split-line.mkv"));
    auto closer = startLater({"[Close server]"});
    QVERIFY(first->finish());
    QCOMPARE(first->paths(), QStringList{"split-line.mkv"});
}

void TestQZrApplicationLister::connectionHeldOpenIsDropped()
{
    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    QLocalSocket socket;
    QVERIFY(sendToHandOff(socket, "held.mkv\n"));
    // The running instance ends the connection itself, and meanwhile serves other starts.
    auto second = startLater({"meanwhile.mkv"});
    QVERIFY(second->finish());
    QCOMPARE(second->process.exitCode(), 0);
    QVERIFY(first->waitForLine("path:meanwhile.mkv"));
    QVERIFY(socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(LongWaitMs));
    QVERIFY(first->waitForLine("path:held.mkv"));
}

// 100 MB without a line break: the running instance drops the client after a path's worth and
// keeps no more of it; later starts still reach it.
void TestQZrApplicationLister::lineLongerThanAPathDropsTheClient()
{
    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    const qint64 before = residentBytes(first->pid());
    QVERIFY(before > 0);

    const qint64 total = 100 << 20;
    const QByteArray chunk(1 << 20, 'x');
    QLocalSocket socket;
    socket.connectToServer(handOffPath());
    QVERIFY(socket.waitForConnected(LongWaitMs));
    qint64 sent = 0;
    while (sent < total && socket.state() == QLocalSocket::ConnectedState) {
        if (socket.write(chunk) < 0)
            break;
        sent += chunk.size();
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(LongWaitMs)) {
        }
    }
    QVERIFY2(sent < total, "the whole line was taken");
    QVERIFY(socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(LongWaitMs));
    const qint64 grown = residentBytes(first->pid()) - before;
    QVERIFY2(grown < (16 << 20), qPrintable(QString("the instance grew by %1 bytes").arg(grown)));

    auto later = startLater({"after.mkv"});
    QVERIFY(later->finish());
    QVERIFY(first->waitForLine("path:after.mkv"));
    QVERIFY(first->paths() == QStringList{"after.mkv"});
}

// 200,000 lines are read a few at a time: timers fire between them, and they arrive in order.
void TestQZrApplicationLister::floodOfLinesLeavesTheLoopTurning()
{
    auto *app = qobject_cast<QZrApplicationLister *>(QCoreApplication::instance());
    QVERIFY(app);
    const int count = 200000;
    int arrived = 0;
    bool inOrder = true;
    QMetaObject::Connection counting = connect(app, &QZrApplicationLister::emitAddPath, this, [&](const QString &path) {
        inOrder = inOrder && path == QString("garbage %1").arg(arrived);
        ++arrived;
    });
    // Lines handed on between two turns of the loop, at most.
    int atLastTick = 0;
    int mostPerTurn = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        mostPerTurn = qMax(mostPerTurn, arrived - atLastTick);
        atLastTick = arrived;
    });
    ticker.start(0);

    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += QString("garbage %1\n").arg(i).toUtf8();
    QLocalSocket socket;
    socket.connectToServer(QZrApplicationLister::handOffServerName());
    QVERIFY(socket.waitForConnected(LongWaitMs));
    socket.write(lines);
    QTRY_COMPARE_WITH_TIMEOUT(arrived, count, LongWaitMs);
    disconnect(counting);
    QVERIFY(inOrder);
    mostPerTurn = qMax(mostPerTurn, arrived - atLastTick);
    QVERIFY2(mostPerTurn <= 1000, qPrintable(QString("%1 lines in one turn").arg(mostPerTurn)));
}

void TestQZrApplicationLister::debugLinesOnlyWhenAsked_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<bool>("debugLines");
    QTest::newRow("by default") << QString() << false;
    QTest::newRow("turned on") << QString("zrplayer.debug=true") << true;
}

// The running instance's debug lines show only when the rules ask for them; its warnings always.
void TestQZrApplicationLister::debugLinesOnlyWhenAsked()
{
    QFETCH(QString, rules);
    QFETCH(bool, debugLines);
    Host first(m_runtime, m_workDir);
    QProcessEnvironment env = first.process.processEnvironment();
    env.remove("QT_LOGGING_RULES");
    if (!rules.isEmpty())
        env.insert("QT_LOGGING_RULES", rules);
    first.process.setProcessEnvironment(env);
    first.process.setProcessChannelMode(QProcess::SeparateChannels);
    first.start({});
    QVERIFY(first.waitForLine("ready:1"));

    auto later = startLater({"seen.mkv"});
    QVERIFY(later->finish());
    QVERIFY(first.waitForLine("path:seen.mkv"));
    QLocalSocket socket;
    QVERIFY(sendToHandOff(socket, QByteArray(8192, 'x')));
    QVERIFY(socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(LongWaitMs));
    auto closer = startLater({"[Close server]"});
    QVERIFY(first.finish());

    const QString errors = QString::fromUtf8(first.process.readAllStandardError());
    QCOMPARE(errors.contains("newLocalSocketConnection--------1"), debugLines);
    QCOMPARE(errors.contains("..........path....... \"seen.mkv\""), debugLines);
    QVERIFY2(errors.contains("Hand-off: a line longer than a path"), qPrintable(errors));
}

void TestQZrApplicationLister::anotherCopyHandsOver_data()
{
    QTest::addColumn<bool>("symlink");
    QTest::newRow("copy of the program") << false;
    QTest::newRow("link to the program") << true;
}

// Wherever the program is installed, a later start hands over and ends: no instance of its own.
void TestQZrApplicationLister::anotherCopyHandsOver()
{
    QFETCH(bool, symlink);
    const QString other = m_dir->filePath("other/handoff_host");
    QVERIFY(QDir().mkpath(m_dir->filePath("other")));
    if (symlink) {
        QVERIFY(QFile::link(HANDOFF_HOST, other));
    } else {
        QVERIFY(QFile::copy(HANDOFF_HOST, other));
        QVERIFY(QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    Host start(m_runtime, m_workDir);
    start.start({"from the other.mkv"}, other);
    QVERIFY(start.finish());
    QCOMPARE(start.process.exitCode(), 0);
    QVERIFY(start.lines.contains("exit:0"));
    QVERIFY(!start.lines.contains("ready:1"));
    QVERIFY(first->waitForLine("path:from the other.mkv"));
    QVERIFY(first->waitForLine("message:0"));
}

void TestQZrApplicationLister::startsAtOnceLeaveOneServingInstance_data()
{
    QTest::addColumn<int>("round");
    for (int round = 0; round < 3; ++round)
        QTest::newRow(qPrintable(QString("round %1").arg(round))) << round;
}

void TestQZrApplicationLister::startsAtOnceLeaveOneServingInstance()
{
    // Whichever of the two claims the instance, the other must not take the hand-off name.
    auto one = startLater({});
    auto two = startLater({"two.mkv"});
    QElapsedTimer clock;
    clock.start();
    while (one->process.state() != QProcess::NotRunning && two->process.state() != QProcess::NotRunning
           && clock.elapsed() < LongWaitMs) {
        one->process.waitForFinished(100);
        two->process.waitForFinished(100);
    }
    Host *ended = one->process.state() == QProcess::NotRunning ? one.get() : two.get();
    Host *running = ended == one.get() ? two.get() : one.get();
    QVERIFY(ended->finish());
    QCOMPARE(ended->process.exitCode(), 0);
    QVERIFY(running->waitForLine("ready:1"));
    if (running == one.get())
        QVERIFY(running->waitForLine("path:two.mkv"));

    auto third = startLater({"third.mkv"});
    QVERIFY(third->finish());
    QCOMPARE(third->process.exitCode(), 0);
    QVERIFY(running->waitForLine("path:third.mkv"));
}

void TestQZrApplicationLister::quitSignalEndsRunNormally_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestQZrApplicationLister::quitSignalEndsRunNormally()
{
    QFETCH(int, signalNumber);
    auto first = startFirst();
    QVERIFY(first->lines.contains("ready:1"));
    QCOMPARE(::kill(first->pid(), signalNumber), 0);
    QVERIFY(first->finish());
    QCOMPARE(first->process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->process.exitCode(), 0);
    QVERIFY(first->lines.contains(QString("signal:%1").arg(signalNumber)));
    QVERIFY(first->lines.contains("exit:0"));
    QVERIFY(!QFile::exists(handOffPath()));
}

void TestQZrApplicationLister::listenReplacesOnlyDeadSockets_data()
{
    QTest::addColumn<QString>("occupant");
    QTest::addColumn<bool>("listens");
    QTest::newRow("nothing") << "none" << true;
    QTest::newRow("dead socket") << "dead" << true;
    QTest::newRow("live server") << "live" << false;
    QTest::newRow("plain file") << "file" << false;
}

void TestQZrApplicationLister::listenReplacesOnlyDeadSockets()
{
    QFETCH(QString, occupant);
    QFETCH(bool, listens);
    const QString path = m_runtime + "/sock";
    QLocalServer live;
    if (occupant == "dead")
        QVERIFY(makeDeadSocket(path));
    if (occupant == "live")
        QVERIFY(live.listen(path));
    if (occupant == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }

    QLocalServer server;
    QCOMPARE(QtSingleApplication::listenUnlessLive(&server, path), listens);

    QLocalSocket client;
    client.connectToServer(path);
    if (occupant == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep"));
        return;
    }
    QVERIFY(client.waitForConnected(LongWaitMs));
    QLocalServer &answering = listens ? server : live;
    QVERIFY(answering.waitForNewConnection(LongWaitMs));
    if (listens)
        QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
}

void TestQZrApplicationLister::fileOpenEventIsReported()
{
    auto *app = qobject_cast<QZrApplicationLister *>(QCoreApplication::instance());
    QVERIFY(app);
    QSignalSpy opened(app, &QZrApplicationLister::emitFileOpen);
    QSignalSpy added(app, &QZrApplicationLister::emitAddPath);
    QFileOpenEvent event(QStringLiteral("/media/a film.mkv"));
    QCoreApplication::sendEvent(app, &event);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.first().first().toString(), QStringLiteral("/media/a film.mkv"));
    QCOMPARE(added.count(), 0);
}

int main(int argc, char **argv)
{
    QZrApplicationLister app(argc, argv);
    TestQZrApplicationLister test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qzrapplicationlister.moc"
