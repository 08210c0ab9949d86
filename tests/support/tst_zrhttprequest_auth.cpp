#include "requestrecorder.h"
#include "testhttpserver.h"
#include "testsessionbus.h"

#include "support/zrhttpauthentication.h"
#include "support/zrhttprequest.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <atomic>

// glib names struct members "signals", which Qt defines as a macro.
#undef signals
#include <gio/gio.h>

namespace {

using Header = QPair<QByteArray, QByteArray>;

TestReply challenge(const QByteArray &scheme, bool proxy = false)
{
    TestReply reply = TestReply::text("who are you?", proxy ? 407 : 401);
    reply.headers << Header(proxy ? "Proxy-Authenticate" : "WWW-Authenticate", scheme);
    return reply;
}

QByteArray basic(const QByteArray &user, const QByteArray &password)
{
    return "Basic " + (user + ":" + password).toBase64();
}

// A delegate that answers credential requests with the next pair it holds, or cancels.
class CredentialDelegate : public RequestRecorder
{
    Q_OBJECT
public:
    using RequestRecorder::RequestRecorder;
    QList<QPair<QString, QString>> answers;
    std::atomic<int> asked{0};

public slots:
    void authenticationNeededForRequest(ZRHTTPRequest *request)
    {
        ++asked;
        if (answers.isEmpty()) {
            request->cancelAuthentication();
            return;
        }
        const QPair<QString, QString> answer = answers.size() > 1 ? answers.takeFirst() : answers.first();
        request->setUsername(answer.first);
        request->setPassword(answer.second);
        request->retryUsingSuppliedCredentials();
    }
    void proxyAuthenticationNeededForRequest(ZRHTTPRequest *request)
    {
        ++asked;
        request->setProxyUsername(answers.value(0).first);
        request->setProxyPassword(answers.value(0).second);
        request->retryUsingSuppliedCredentials();
    }
};

// Counts the authentication-needed calls it gets, as a delegate or as a queue.
class AskedTarget : public QObject
{
    Q_OBJECT
public:
    int server = 0;
    int proxy = 0;

public slots:
    void authenticationNeededForRequest(ZRHTTPRequest *) { ++server; }
    void proxyAuthenticationNeededForRequest(ZRHTTPRequest *) { ++proxy; }
};

// A server answering Basic for joe/secret.
TestReply basicServer(const TestRequest &request)
{
    if (request.header("Authorization") == basic("joe", "secret"))
        return TestReply::text("welcome " + request.path());
    return challenge("Basic realm=\"test\"");
}

QByteArray hashHex(const QByteArray &algorithm, const QByteArray &text)
{
    return QCryptographicHash::hash(text, algorithm.startsWith("SHA-256") ? QCryptographicHash::Sha256
                                                                          : QCryptographicHash::Md5)
        .toHex();
}

QMap<QByteArray, QByteArray> digestParameters(const QByteArray &field)
{
    QMap<QByteArray, QByteArray> parameters;
    const QRegularExpression pattern("(\\w+)=(\"([^\"]*)\"|([^,\\s]*))");
    auto matches = pattern.globalMatch(QString::fromLatin1(field.mid(7)));
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        parameters.insert(match.captured(1).toLatin1(),
                          (match.captured(3).isNull() ? match.captured(4) : match.captured(3)).toLatin1());
    }
    return parameters;
}

// Checks a Digest answer as RFC 7616 computes it.
bool digestValid(const TestRequest &request, const QByteArray &password, const QByteArray &nonce)
{
    const QByteArray field = request.header("Authorization");
    if (!field.startsWith("Digest "))
        return false;
    const QMap<QByteArray, QByteArray> p = digestParameters(field);
    const QByteArray algorithm = p.value("algorithm", "MD5");
    if (p.value("nonce") != nonce || p.value("uri") != request.target)
        return false;
    QByteArray ha1 = hashHex(algorithm, p.value("username") + ":" + p.value("realm") + ":" + password);
    if (algorithm.endsWith("-sess"))
        ha1 = hashHex(algorithm, ha1 + ":" + nonce + ":" + p.value("cnonce"));
    const QByteArray ha2 = hashHex(algorithm, request.method + ":" + request.target);
    const QByteArray expected = hashHex(algorithm, ha1 + ":" + nonce + ":" + p.value("nc") + ":" + p.value("cnonce")
                                                       + ":auth:" + ha2);
    return p.value("response") == expected && p.value("opaque") == "opaque-value";
}

// NTLM messages as the test server reads and writes them.
QByteArray ntlmChallenge()
{
    QByteArray message("NTLMSSP\0", 8);
    auto append32 = [&message](quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        message.append(bytes, 4);
    };
    append32(2);
    append32(0);          // target name length and maximum
    append32(48);         // target name offset
    append32(0x00008201); // unicode, NTLM, always sign
    message.append("\x01\x23\x45\x67\x89\xab\xcd\xef", 8);
    message.append(QByteArray(8, '\0'));
    append32(0);
    append32(48);
    return message;
}

QString ntlmField(const QByteArray &message, int at, bool unicode)
{
    const quint16 length = qFromLittleEndian<quint16>(message.constData() + at);
    const quint32 offset = qFromLittleEndian<quint32>(message.constData() + at + 4);
    const QByteArray bytes = message.mid(static_cast<int>(offset), length);
    return unicode ? QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2)
                   : QString::fromLatin1(bytes);
}

// A Secret Service whose unlock prompt nobody answers, as when the desktop asks a user who is
// not there: searches find a locked item, unlocking it opens a prompt that never completes, and
// any other call gets no answer at all.
class UnansweredSecretService
{
public:
    ~UnansweredSecretService()
    {
        if (!m_connection)
            return;
        g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
        g_object_unref(m_connection);
    }

    bool start()
    {
        m_connection = g_dbus_connection_new_for_address_sync(
            qgetenv("DBUS_SESSION_BUS_ADDRESS").constData(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
                                              | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        if (!m_connection)
            return false;
        g_dbus_connection_add_filter(m_connection, &answer, nullptr, nullptr);
        GVariant *reply = g_dbus_connection_call_sync(
            m_connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
            g_variant_new("(su)", "org.freedesktop.secrets", 4u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 30000,
            nullptr, nullptr);
        if (!reply)
            return false;
        guint32 result = 0;
        g_variant_get(reply, "(u)", &result);
        g_variant_unref(reply);
        return result == 1;
    }

private:
    // Runs on GDBus's worker thread for every message that arrives.
    static GDBusMessage *answer(GDBusConnection *connection, GDBusMessage *message, gboolean incoming, gpointer)
    {
        if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL)
            return message;
        const QByteArray member = g_dbus_message_get_member(message);
        const char *const locked[] = {"/org/freedesktop/secrets/collection/login/1", nullptr};
        GVariant *body = nullptr;
        if (member == "GetAll") {
            GVariantBuilder properties;
            g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
            g_variant_builder_add(&properties, "{sv}", "Locked", g_variant_new_boolean(TRUE));
            body = g_variant_new("(a{sv})", &properties);
        }
        else if (member == "OpenSession" && isPlainSession(message))
            body = g_variant_new("(vo)", g_variant_new_string(""), "/org/freedesktop/secrets/session/1");
        else if (member == "SearchItems")
            body = g_variant_new("(@ao@ao)", g_variant_new_objv(nullptr, 0), g_variant_new_objv(locked, 1));
        else if (member == "CreateItem")
            body = g_variant_new("(oo)", "/", "/org/freedesktop/secrets/prompt/1");
        else if (member == "Unlock")
            body = g_variant_new("(@aoo)", g_variant_new_objv(nullptr, 0), "/org/freedesktop/secrets/prompt/1");
        else if (member == "Prompt")
            body = g_variant_new("()");
        GDBusMessage *reply = nullptr;
        if (body) {
            reply = g_dbus_message_new_method_reply(message);
            g_dbus_message_set_body(reply, body);
        } else if (member == "OpenSession") {
            // Only unencrypted sessions: the client then asks for one.
            reply = g_dbus_message_new_method_error_literal(message, "org.freedesktop.DBus.Error.NotSupported",
                                                            "Only plain sessions");
        }
        if (reply) {
            g_dbus_connection_send_message(connection, reply, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr, nullptr);
            g_object_unref(reply);
        }
        g_object_unref(message);
        return nullptr;
    }

    static bool isPlainSession(GDBusMessage *message)
    {
        const gchar *algorithm = nullptr;
        GVariant *input = nullptr;
        g_variant_get(g_dbus_message_get_body(message), "(&sv)", &algorithm, &input);
        const bool plain = qstrcmp(algorithm, "plain") == 0;
        g_variant_unref(input);
        return plain;
    }

    GDBusConnection *m_connection = nullptr;
};

} // namespace

class TestAuthentication : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void basicBeforeChallenge();
    void delegateAnswersChallenge_data();
    void delegateAnswersChallenge();
    void synchronousNeverAsks();
    void askingReachesTheRightTarget_data();
    void askingReachesTheRightTarget();
    void unknownSchemeGivesNoObject();
    void wrongPasswordAsksAgain();
    void digest_data();
    void digest();
    void ntlm_data();
    void ntlm();
    void fourRequestsAskOnce();
    void redirectKeepsThePasswordHome();
    void proxyAuthentication_data();
    void proxyAuthentication();
    void base64();
    void keychainWithoutServiceFindsNothing_data();
    void keychainWithoutServiceFindsNothing();

private:
    TestSessionBus m_bus;
};

void TestAuthentication::initTestCase()
{
    TestHttpServer::isolateFromProxies();
    // The keychain is asked on a bus of the test's own, never on one the machine would start.
    QVERIFY(m_bus.start());
}

void TestAuthentication::init()
{
    ZRHTTPRequest::clearSession();
}

void TestAuthentication::basicBeforeChallenge()
{
    TestHttpServer server(basicServer);
    QSharedPointer<ZRHTTPRequest> first = ZRHTTPRequest::requestWithURL(server.url("/one"));
    first->setUsername("joe");
    first->setPassword("secret");
    first->setAuthenticationScheme("Basic");
    first->startSynchronous();
    QVERIFY2(first->error().isNull(), qPrintable(first->error().localizedDescription()));
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().at(0).header("Authorization"), basic("joe", "secret"));
    const QList<QVariantMap> store = ZRHTTPRequest::sessionCredentialsStore();
    QCOMPARE(store.size(), 1);
    QCOMPARE(store.at(0).value("URL").toUrl(), server.url("/one"));

    QSharedPointer<ZRHTTPRequest> second = ZRHTTPRequest::requestWithURL(server.url("/two"));
    second->startSynchronous();
    QCOMPARE(second->responseData(), QByteArray("welcome /two"));
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests().at(1).header("Authorization"), basic("joe", "secret"));

    TestHttpServer other(basicServer);
    QSharedPointer<ZRHTTPRequest> elsewhere = ZRHTTPRequest::requestWithURL(other.url("/one"));
    elsewhere->startSynchronous();
    QVERIFY(other.requests().at(0).header("Authorization").isNull());
    QCOMPARE(elsewhere->error().code(), 3);
}

void TestAuthentication::delegateAnswersChallenge_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("credentials supplied") << true;
    QTest::newRow("cancelled") << false;
}

void TestAuthentication::delegateAnswersChallenge()
{
    QFETCH(bool, answer);
    TestHttpServer server(basicServer);
    CredentialDelegate delegate("delegate");
    if (answer)
        delegate.answers << qMakePair(QString("joe"), QString("secret"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/private"));
    request->setDelegate(&delegate);
    request->startAsynchronous();
    QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count(answer ? "finished" : "failed"), 1, 30000);
    QCOMPARE(delegate.asked.load(), 1);
    if (answer) {
        QCOMPARE(request->responseStatusCode(), 200);
        QCOMPARE(request->authenticationScheme(), QString("Basic"));
        QCOMPARE(request->authenticationRealm(), QString("test"));
    } else {
        QCOMPARE(request->error().code(), 3);
        QCOMPARE(request->error().localizedDescription(), QString("Authentication needed"));
    }
}

void TestAuthentication::synchronousNeverAsks()
{
    TestHttpServer server(basicServer);
    CredentialDelegate delegate("delegate");
    delegate.answers << qMakePair(QString("joe"), QString("secret"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDelegate(&delegate);
    request->startSynchronous();
    QCOMPARE(request->error().code(), 3);
    QCOMPARE(delegate.asked.load(), 0);
}

void TestAuthentication::askingReachesTheRightTarget_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("forProxy");
    for (const QString &target : QStringList{"delegate", "queue", "block"}) {
        QTest::newRow(qPrintable(target + ", server")) << target << false;
        QTest::newRow(qPrintable(target + ", proxy")) << target << true;
    }
}

void TestAuthentication::askingReachesTheRightTarget()
{
    QFETCH(QString, target);
    QFETCH(bool, forProxy);
    AskedTarget delegate;
    AskedTarget queue;
    int serverBlock = 0;
    int proxyBlock = 0;
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(QUrl("http://127.0.0.1:1/"));
    if (target == "delegate")
        request->setDelegate(&delegate);
    request->setQueue(&queue);
    if (target == "block") {
        request->setQueue(nullptr);
        request->setAuthenticationNeededBlock([&serverBlock] { ++serverBlock; });
        request->setProxyAuthenticationNeededBlock([&proxyBlock] { ++proxyBlock; });
    }
    if (forProxy)
        request->askDelegateForProxyCredentials();
    else
        request->askDelegateForCredentials();
    // Asked from the main thread, the call is made at once.
    const int server = target == "delegate" ? delegate.server : target == "queue" ? queue.server : serverBlock;
    const int proxy = target == "delegate" ? delegate.proxy : target == "queue" ? queue.proxy : proxyBlock;
    QCOMPARE(server, forProxy ? 0 : 1);
    QCOMPARE(proxy, forProxy ? 1 : 0);
    QCOMPARE(delegate.server + delegate.proxy + queue.server + queue.proxy + serverBlock + proxyBlock, 1);
}

void TestAuthentication::unknownSchemeGivesNoObject()
{
    TestHttpServer server([](const TestRequest &) { return challenge("Negotiate"); });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setUsername("joe");
    request->setPassword("secret");
    request->startSynchronous();
    QCOMPARE(request->error().code(), 7);
    QCOMPARE(request->error().localizedDescription(),
             QString("Failed to get authentication object from response headers"));
}

void TestAuthentication::wrongPasswordAsksAgain()
{
    TestHttpServer server(basicServer);
    CredentialDelegate delegate("delegate");
    delegate.answers << qMakePair(QString("joe"), QString("wrong")) << qMakePair(QString("joe"), QString("secret"));
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setDelegate(&delegate);
    request->setShouldPresentCredentialsBeforeChallenge(false);
    request->startAsynchronous();
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count("finished"), 1, 30000);
    QCOMPARE(delegate.asked.load(), 2);
    const QList<QVariantMap> store = ZRHTTPRequest::sessionCredentialsStore();
    QCOMPARE(store.size(), 1);
    QCOMPARE(store.at(0).value("Credentials").toMap().value(ZrHttpAuthentication::PasswordKey).toString(),
             QString("secret"));
}

void TestAuthentication::digest_data()
{
    QTest::addColumn<QByteArray>("algorithm");
    QTest::addColumn<bool>("stale");
    QTest::newRow("MD5") << QByteArray("MD5") << false;
    QTest::newRow("MD5-sess") << QByteArray("MD5-sess") << false;
    QTest::newRow("SHA-256") << QByteArray("SHA-256") << false;
    QTest::newRow("stale nonce") << QByteArray("MD5") << true;
}

void TestAuthentication::digest()
{
    QFETCH(QByteArray, algorithm);
    QFETCH(bool, stale);
    std::atomic<int> staleSent{0};
    TestHttpServer server([algorithm, stale, &staleSent](const TestRequest &request) {
        const QByteArray nonce = staleSent ? "second-nonce" : "first-nonce";
        const auto ask = [&algorithm](const QByteArray &nonceValue, bool isStale) {
            return challenge("Digest realm=\"digest realm\", qop=\"auth\", algorithm=" + algorithm + ", nonce=\""
                             + nonceValue + "\", opaque=\"opaque-value\"" + (isStale ? ", stale=true" : ""));
        };
        if (!digestValid(request, "secret", nonce))
            return ask(nonce, false);
        if (stale && !staleSent) {
            ++staleSent;
            return ask("second-nonce", true);
        }
        return TestReply::text("digest ok");
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/digest?x=1"));
    request->setUsername("joe");
    request->setPassword("secret");
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->responseData(), QByteArray("digest ok"));
    QCOMPARE(request->authenticationScheme(), QString("Digest"));
    QCOMPARE(server.requests().size(), stale ? 3 : 2);

    // A wrong password is refused, not retried for ever.
    QSharedPointer<ZRHTTPRequest> wrong = ZRHTTPRequest::requestWithURL(server.url("/digest"));
    wrong->setUsername("joe");
    wrong->setPassword("guess");
    wrong->setUseSessionPersistence(false);
    wrong->startSynchronous();
    QCOMPARE(wrong->error().code(), 3);
}

void TestAuthentication::ntlm_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("refused") << false;
}

void TestAuthentication::ntlm()
{
    QFETCH(bool, accept);
    QMutex lock;
    QList<int> negotiateConnections;
    QList<int> authenticateConnections;
    QStringList accounts;
    TestHttpServer server([&](const TestRequest &request) {
        const QByteArray field = request.header("Authorization");
        if (!field.startsWith("NTLM "))
            return challenge("NTLM");
        const QByteArray message = QByteArray::fromBase64(field.mid(5));
        const quint32 type = qFromLittleEndian<quint32>(message.constData() + 8);
        QMutexLocker locker(&lock);
        if (type == 1) {
            negotiateConnections << request.connection;
            return challenge("NTLM " + ntlmChallenge().toBase64());
        }
        authenticateConnections << request.connection;
        const bool unicode = qFromLittleEndian<quint32>(message.constData() + 60) & 1;
        accounts << ntlmField(message, 28, unicode) + "|" + ntlmField(message, 36, unicode);
        return accept ? TestReply::text("ntlm ok") : challenge("NTLM");
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url("/ntlm"));
    request->setUsername("DOM\\joe");
    request->setPassword("secret");
    request->startSynchronous();
    QMutexLocker locker(&lock);
    QVERIFY(!accounts.isEmpty());
    QCOMPARE(accounts.first(), QString("DOM|joe"));
    QCOMPARE(negotiateConnections.first(), authenticateConnections.first());
    if (accept) {
        QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
        QCOMPARE(request->responseData(), QByteArray("ntlm ok"));
    } else {
        QCOMPARE(request->error().code(), 3);
        QCOMPARE(request->error().localizedDescription(), QString("Authentication needed"));
        QCOMPARE(request->authenticationRetryCount(), 2);
    }
}

void TestAuthentication::fourRequestsAskOnce()
{
    TestHttpServer server(basicServer);
    CredentialDelegate delegate("delegate");
    delegate.answers << qMakePair(QString("joe"), QString("secret"));
    QList<QSharedPointer<ZRHTTPRequest>> requests;
    for (int i = 0; i < 4; ++i) {
        QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url(QString("/%1").arg(i)));
        request->setDelegate(&delegate);
        request->setShouldPresentCredentialsBeforeChallenge(false);
        requests << request;
    }
    for (const QSharedPointer<ZRHTTPRequest> &request : qAsConst(requests))
        request->startAsynchronous();
    QTRY_COMPARE_WITH_TIMEOUT(delegate.count("finished"), 4, 30000);
    QCOMPARE(delegate.asked.load(), 1);
    for (const QSharedPointer<ZRHTTPRequest> &request : qAsConst(requests))
        QCOMPARE(request->responseStatusCode(), 200);
}

void TestAuthentication::redirectKeepsThePasswordHome()
{
    TestHttpServer other([](const TestRequest &request) {
        if (!request.header("Authorization").isNull())
            return TestReply::text("leaked " + request.header("Authorization"));
        return challenge("Basic realm=\"other\"");
    });
    const QByteArray target = other.url("/landing").toEncoded();
    TestHttpServer origin([target](const TestRequest &request) {
        if (request.header("Authorization") != basic("joe", "secret"))
            return challenge("Basic realm=\"origin\"");
        TestReply reply = TestReply::text("moved", 302);
        reply.headers << Header("Location", target);
        return reply;
    });
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(origin.url("/start"));
    request->setUsername("joe");
    request->setPassword("secret");
    request->setAuthenticationScheme("Basic");
    request->startSynchronous();
    QCOMPARE(origin.requests().at(0).header("Authorization"), basic("joe", "secret"));
    for (const TestRequest &seen : other.requests())
        QVERIFY(seen.header("Authorization").isNull());
    QCOMPARE(request->error().code(), 3);
}

void TestAuthentication::proxyAuthentication_data()
{
    QTest::addColumn<bool>("tunnel");
    QTest::newRow("plain proxy") << false;
    QTest::newRow("CONNECT") << true;
}

void TestAuthentication::proxyAuthentication()
{
    QFETCH(bool, tunnel);
    QTemporaryDir dir;
    QVERIFY(TestHttpServer::makeCertificate(dir.path(), "127.0.0.1"));
    TestHttpServer origin([](const TestRequest &request) { return TestReply::text("origin " + request.path()); },
                          tunnel ? dir.filePath("127.0.0.1.pem") : QString(),
                          tunnel ? dir.filePath("127.0.0.1.key") : QString());
    TestHttpServer proxy([](const TestRequest &request) {
        if (request.header("Proxy-Authorization") != basic("proxyuser", "proxypass"))
            return challenge("Basic realm=\"proxy\"", true);
        if (request.method == "CONNECT") {
            TestReply reply;
            reply.tunnel = true;
            return reply;
        }
        return TestReply::text("proxied " + request.target);
    });
    CredentialDelegate delegate("delegate");
    delegate.answers << qMakePair(QString("proxyuser"), QString("proxypass"));
    for (int i = 0; i < 2; ++i) {
        QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(origin.url(QString("/%1").arg(i)));
        request->setProxyHost("127.0.0.1");
        request->setProxyPort(proxy.port());
        request->setValidatesSecureCertificate(false);
        request->setDelegate(&delegate);
        request->startAsynchronous();
        QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), 30000);
        QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
        QCOMPARE(request->responseStatusCode(), 200);
        // The delegate takes the body as it arrives.
        QTRY_VERIFY_WITH_TIMEOUT(delegate.count("finished") == i + 1, 30000);
        if (tunnel)
            QVERIFY(delegate.data.endsWith("origin /" + QByteArray::number(i)));
        else
            QVERIFY(delegate.data.endsWith("proxied " + origin.url(QString("/%1").arg(i)).toEncoded()));
    }
    // Asked once: the second request found the proxy's credentials in the session store.
    QCOMPARE(delegate.asked.load(), 1);
    QCOMPARE(ZRHTTPRequest::sessionProxyCredentialsStore().size(), 1);
    const QList<TestRequest> atProxy = proxy.requests();
    QVERIFY(atProxy.first().header("Proxy-Authorization").isNull());
    QCOMPARE(atProxy.last().header("Proxy-Authorization"), basic("proxyuser", "proxypass"));
    QCOMPARE(atProxy.first().method, QByteArray(tunnel ? "CONNECT" : "GET"));
    for (const TestRequest &seen : origin.requests())
        QVERIFY(seen.header("Proxy-Authorization").isNull());
    QCOMPARE(origin.requests().size(), tunnel ? 2 : 0);
}

void TestAuthentication::base64()
{
    QCOMPARE(ZRHTTPRequest::base64forData(""), QString(""));
    QCOMPARE(ZRHTTPRequest::base64forData("a"), QString("YQ=="));
    QCOMPARE(ZRHTTPRequest::base64forData("ab"), QString("YWI="));
    QCOMPARE(ZRHTTPRequest::base64forData("abc"), QString("YWJj"));
    QCOMPARE(ZRHTTPRequest::base64forData(QByteArray(100, '\xff')).size(), 136);
}

void TestAuthentication::keychainWithoutServiceFindsNothing_data()
{
    QTest::addColumn<bool>("unanswered");
    QTest::newRow("no Secret Service on the bus") << false;
    QTest::newRow("a Secret Service waiting at its prompt") << true;
}

void TestAuthentication::keychainWithoutServiceFindsNothing()
{
    QFETCH(bool, unanswered);
    UnansweredSecretService service;
    if (unanswered)
        QVERIFY(service.start());
    const QVariantMap credentials{{ZrHttpAuthentication::UsernameKey, "joe"},
                                  {ZrHttpAuthentication::PasswordKey, "secret"}};
    QVERIFY(!ZRHTTPRequest::saveCredentials(credentials, "127.0.0.1", 80, "http", "realm"));
    QVERIFY(ZRHTTPRequest::savedCredentialsForHost("127.0.0.1", 80, "http", "realm").isEmpty());
    ZRHTTPRequest::removeCredentialsForHost("127.0.0.1", 80, "http", "realm");

    // The request goes on as if nothing were stored.
    TestHttpServer server(basicServer);
    QSharedPointer<ZRHTTPRequest> request = ZRHTTPRequest::requestWithURL(server.url());
    request->setUseKeychainPersistence(true);
    request->setUsername("joe");
    request->setPassword("secret");
    request->setShouldPresentCredentialsBeforeChallenge(false);
    request->startSynchronous();
    QVERIFY2(request->error().isNull(), qPrintable(request->error().localizedDescription()));
    QCOMPARE(request->responseData(), QByteArray("welcome /"));
}

QTEST_GUILESS_MAIN(TestAuthentication)
#include "tst_zrhttprequest_auth.moc"
