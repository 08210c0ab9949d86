// The update check against a feed server on 127.0.0.1: the request, what each answer tells the user,
// failures, the time-out, TLS, one request at a time and the silent automatic check.
#include "player/qmediaplaywindowflags.h"
#include "services/urlcatcher.h"
#include "services/zrcommoninterface.h"
#include "shell/qzrprojectplatform.h"
#include "shell/zrupdater.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrmessagebox.h"

#include <QProcess>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QByteArray FeedPath = "/api/product/version?pid=700&ver=2.2.0.6";

QByteArray httpResponse(int status, const QByteArray &body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\nContent-Type: application/json\r\n"
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray feedAnswer(const QByteArray &version, const QByteArray &url)
{
    return httpResponse(200, "{\"version\": \"" + version + "\", \"url\": \"" + url + "\"}");
}

// A feed server that records each request and answers as told: with a response, with part of one
// and then a closed connection, never, or when released.
class FeedServer : public QTcpServer
{
public:
    enum Mode { Answer, CloseMidReply, Silent, Hold };

    Mode mode = Answer;
    QByteArray response;
    QList<QByteArray> requestLines;
    QSslCertificate certificate;
    QSslKey key;

    FeedServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                serve(socket);
        });
        listen(QHostAddress::LocalHost);
    }

    QString address(const char *scheme = "http") const
    {
        return QString("%1://127.0.0.1:%2%3").arg(scheme).arg(serverPort()).arg(QString(FeedPath));
    }

    void releaseHeld()
    {
        for (QTcpSocket *socket : qAsConst(m_held))
            answer(socket);
        m_held.clear();
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (certificate.isNull()) {
            QTcpServer::incomingConnection(descriptor);
            return;
        }
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        socket->startServerEncryption();
        addPendingConnection(socket);
    }

private:
    void serve(QTcpSocket *socket)
    {
        auto *buffer = new QByteArray;
        connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (!buffer->contains("\r\n\r\n") || buffer->isEmpty())
                return;
            requestLines << buffer->left(buffer->indexOf("\r\n"));
            buffer->clear();
            if (mode == Answer || mode == CloseMidReply)
                answer(socket);
            else if (mode == Hold)
                m_held << socket;
        });
    }

    void answer(QTcpSocket *socket)
    {
        if (mode == CloseMidReply) {
            socket->write(response.left(response.size() - 10));
            socket->flush();
            socket->abort();
            return;
        }
        socket->write(response);
        socket->disconnectFromHost();
    }

    QList<QTcpSocket *> m_held;
};

// Answers every message box that shows up with the button of the given text, and records it.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(const QString &button) : m_button(button)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(20);
    }

    QStringList messages;
    QList<bool> flagWhileShown;

private:
    void poll()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QZRMessageBox *>(widget);
            if (!box || !box->isVisible() || m_answered.contains(box))
                continue;
            m_answered << box;
            messages << box->getMessage();
            flagWhileShown << QMediaPlayWindowFlags::m_bWindowShowTop;
            for (QZRBaseButton *button : box->findChildren<QZRBaseButton *>()) {
                if (button->text() == m_button) {
                    button->click();
                    return;
                }
            }
            box->OnBtnClose();
        }
    }

    QString m_button;
    QTimer m_timer;
    QList<QPointer<QZRMessageBox>> m_answered;
};

ZrUpdater *updater()
{
    return ZrUpdater::sharedUpdater();
}

}

class tst_ZrUpdater : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void feedAddress();
    void answers_data();
    void answers();
    void silenceTimesOut();
    void selfSignedServerIsRefused();
    void oneRequestAtATime();
    void automaticCheckIsSilentUnlessNewer();

private:
    // Runs one check through the platform call, answers what it tells with the button and keeps
    // the messages; the player's dialog flag must be up only while one shows.
    void check(FeedServer &server, const char *scheme, const QString &button, QStringList &messages);
};

void tst_ZrUpdater::initTestCase()
{
    for (const char *name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        qunsetenv(name);
}

void tst_ZrUpdater::cleanup()
{
    updater()->setAutomaticallyChecksForUpdates(false);
    QTRY_VERIFY_WITH_TIMEOUT(!updater()->isChecking(), 30000);
    qunsetenv("ZR_UPDATE_FEED");
}

void tst_ZrUpdater::feedAddress()
{
    QCOMPARE(ZrUpdater::feedURL(), QUrl(ZrCommonInterface::getUpdateFeedURL()));
    QVERIFY(ZrUpdater::feedURL().toString().endsWith(QString(FeedPath)));
    qputenv("ZR_UPDATE_FEED", "http://127.0.0.1:9/feed");
    QCOMPARE(ZrUpdater::feedURL(), QUrl("http://127.0.0.1:9/feed"));
}

void tst_ZrUpdater::check(FeedServer &server, const char *scheme, const QString &button, QStringList &messages)
{
    qputenv("ZR_UPDATE_FEED", server.address(scheme).toUtf8());
    BoxAnswerer answerer(button);
    QZRProjectPlatform::checkForUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(!answerer.messages.isEmpty() && !updater()->isChecking(), 60000);
    QCOMPARE(answerer.flagWhileShown, QList<bool>{true});
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    messages = answerer.messages;
}

void tst_ZrUpdater::answers_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("closeMidReply");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("opened");

    const QByteArray page = "https://www.example.org/zrplayer/2.3";
    QTest::newRow("newer, open its page") << feedAnswer("2.3", page) << false << "Yes"
                                          << "ZRPlayer 2.3 is available; you have 2.2.0.6." << QString(page);
    QTest::newRow("newer, declined") << feedAnswer("2.3", page) << false << "No" << "ZRPlayer 2.3 is available"
                                     << QString();
    QTest::newRow("newer in the last number") << feedAnswer("2.2.0.7", page) << false << "Yes"
                                              << "ZRPlayer 2.2.0.7 is available" << QString(page);
    QTest::newRow("newer by a fifth number") << feedAnswer("2.2.0.6.1", page) << false << "No"
                                             << "ZRPlayer 2.2.0.6.1 is available" << QString();
    QTest::newRow("numbers, not text") << feedAnswer("2.10", page) << false << "No" << "ZRPlayer 2.10 is available"
                                       << QString();
    QTest::newRow("same") << feedAnswer("2.2.0.6", page) << false << "OK" << "ZRPlayer 2.2.0.6 is up to date."
                          << QString();
    QTest::newRow("same with a zero more") << feedAnswer("2.2.0.6.0", page) << false << "OK"
                                           << "ZRPlayer 2.2.0.6 is up to date." << QString();
    QTest::newRow("older") << feedAnswer("2.1.99", page) << false << "OK" << "ZRPlayer 2.2.0.6 is up to date."
                           << QString();
    QTest::newRow("not found") << httpResponse(404, "{}") << false << "OK"
                               << "Could not check for updates: the update server answered with status 404."
                               << QString();
    QTest::newRow("server error") << httpResponse(503, "") << false << "OK"
                                  << "Could not check for updates: the update server answered with status 503."
                                  << QString();
    QTest::newRow("no content") << httpResponse(204, "") << false << "OK"
                                << "Could not check for updates: the update server answered with status 204."
                                << QString();
    QTest::newRow("JSON that does not parse") << httpResponse(200, "{\"version\": \"2.3\", ") << false << "OK"
                                              << "Could not check for updates: " << QString();
    QTest::newRow("version with text") << feedAnswer("2.3-beta", page) << false << "OK"
                                       << "Could not check for updates: " << QString();
    QTest::newRow("version a number") << httpResponse(200, "{\"version\": 3, \"url\": \"" + page + "\"}") << false
                                      << "OK" << "Could not check for updates: " << QString();
    QTest::newRow("page a local file") << feedAnswer("2.3", "file:///etc/passwd") << false << "OK"
                                       << "Could not check for updates: " << QString();
    QTest::newRow("page a script") << feedAnswer("2.3", "javascript:alert(1)") << false << "OK"
                                   << "Could not check for updates: " << QString();
    QTest::newRow("no page") << httpResponse(200, "{\"version\": \"2.3\"}") << false << "OK"
                             << "Could not check for updates: " << QString();
    QTest::newRow("connection closed mid-reply") << feedAnswer("2.2.0.6", page) << true << "OK"
                                                 << "Could not check for updates: " << QString();
}

// Each answer is told once, in its own words; only a newer version offers its page, and only Yes opens it.
void tst_ZrUpdater::answers()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, closeMidReply);
    QFETCH(QString, button);
    QFETCH(QString, told);
    QFETCH(QString, opened);

    FeedServer server;
    server.response = response;
    server.mode = closeMidReply ? FeedServer::CloseMidReply : FeedServer::Answer;
    UrlCatcher catcher({"https", "http"});
    QStringList messages;
    check(server, "http", button, messages);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(server.requestLines, QList<QByteArray>{"GET " + FeedPath + " HTTP/1.1"});
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.at(0).startsWith(told), qPrintable(messages.at(0)));
    QCOMPARE(catcher.urls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
}

// A server that never answers gets 15 seconds; then the check says so and never "up to date".
void tst_ZrUpdater::silenceTimesOut()
{
    FeedServer server;
    server.mode = FeedServer::Silent;
    QElapsedTimer clock;
    clock.start();
    QStringList messages;
    check(server, "http", "OK", messages);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(clock.elapsed() >= 14000);
    QCOMPARE(server.requestLines.size(), 1);
    QCOMPARE(messages, QStringList{"Could not check for updates: the update server did not answer within 15 seconds."});
}

// A certificate nobody vouches for ends the check before any request is sent.
void tst_ZrUpdater::selfSignedServerIsRefused()
{
    QVERIFY(QSslSocket::supportsSsl());
    QTemporaryDir dir;
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                              "-keyout", dir.filePath("key.pem"), "-out", dir.filePath("cert.pem"), "-days", "2",
                              "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
    QVERIFY(openssl.waitForFinished(60000));
    QCOMPARE(openssl.exitCode(), 0);
    QFile keyFile(dir.filePath("key.pem"));
    QVERIFY(keyFile.open(QIODevice::ReadOnly));

    FeedServer server;
    server.key = QSslKey(&keyFile, QSsl::Ec);
    server.certificate = QSslCertificate::fromPath(dir.filePath("cert.pem")).value(0);
    QVERIFY(!server.key.isNull() && !server.certificate.isNull());
    server.response = feedAnswer("2.2.0.6", "https://www.example.org/");
    QStringList messages;
    check(server, "https", "OK", messages);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.at(0).startsWith("Could not check for updates: "), qPrintable(messages.at(0)));
    QVERIFY(server.requestLines.isEmpty());
}

// Checks asked for while one runs start no request of their own; the running one is told, even when
// it began as the silent automatic one.
void tst_ZrUpdater::oneRequestAtATime()
{
    FeedServer server;
    server.mode = FeedServer::Hold;
    server.response = feedAnswer("2.2.0.6", "https://www.example.org/");
    qputenv("ZR_UPDATE_FEED", server.address().toUtf8());
    BoxAnswerer answerer("OK");

    QZRProjectPlatform::setAutoCheckUpdate(true);
    QTRY_COMPARE_WITH_TIMEOUT(server.requestLines.size(), 1, 30000);
    QZRProjectPlatform::checkForUpdate();
    QZRProjectPlatform::checkForUpdate();
    QZRProjectPlatform::setAutoCheckUpdate(true);
    QVERIFY(updater()->isChecking());
    server.releaseHeld();
    QTRY_VERIFY_WITH_TIMEOUT(!answerer.messages.isEmpty() && !updater()->isChecking(), 30000);
    QCOMPARE(answerer.messages, QStringList{"ZRPlayer 2.2.0.6 is up to date."});

    // A request sent alongside would have arrived before the answer to a later one.
    server.mode = FeedServer::Answer;
    QZRProjectPlatform::checkForUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(answerer.messages.size() == 2 && !updater()->isChecking(), 30000);
    QCOMPARE(server.requestLines.size(), 2);
}

// The automatic check runs at once and keeps quiet unless there is a newer version; turning it off
// stops it.
void tst_ZrUpdater::automaticCheckIsSilentUnlessNewer()
{
    FeedServer server;
    qputenv("ZR_UPDATE_FEED", server.address().toUtf8());
    BoxAnswerer answerer("No");

    const QList<QByteArray> quiet{feedAnswer("2.2.0.6", "https://www.example.org/"), httpResponse(404, "")};
    for (const QByteArray &response : quiet) {
        server.response = response;
        const int before = server.requestLines.size();
        QZRProjectPlatform::setAutoCheckUpdate(true);
        QVERIFY(updater()->automaticallyChecksForUpdates());
        QTRY_COMPARE_WITH_TIMEOUT(server.requestLines.size(), before + 1, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!updater()->isChecking(), 30000);
        QZRProjectPlatform::setAutoCheckUpdate(false);
        QVERIFY(!updater()->automaticallyChecksForUpdates());
    }
    QCOMPARE(answerer.messages, QStringList());

    server.response = feedAnswer("3.0", "https://www.example.org/3.0");
    QZRProjectPlatform::setAutoCheckUpdate(true);
    QTRY_VERIFY_WITH_TIMEOUT(!answerer.messages.isEmpty() && !updater()->isChecking(), 30000);
    QVERIFY(answerer.messages.at(0).startsWith("ZRPlayer 3.0 is available"));
}

QTEST_MAIN(tst_ZrUpdater)
#include "tst_zrupdater.moc"
