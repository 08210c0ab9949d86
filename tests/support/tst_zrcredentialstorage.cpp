#include "testhttpserver.h"
#include "testsessionbus.h"

#include "support/zrhttpauthentication.h"
#include "support/zrhttprequest.h"

#include <QtTest>

namespace {

QVariantMap credentials(const QString &user, const QString &password)
{
    return QVariantMap{{ZrHttpAuthentication::UsernameKey, user}, {ZrHttpAuthentication::PasswordKey, password}};
}

TestReply basicServer(const TestRequest &request)
{
    if (request.header("Authorization") == "Basic " + QByteArray("joe:secret").toBase64())
        return TestReply::text("welcome");
    TestReply reply = TestReply::text("who are you?", 401);
    reply.headers << qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"vault\""));
    return reply;
}

} // namespace

// Runs on a private session bus of its own with a real Secret Service (gnome-keyring).
class TestCredentialStorage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void credentialsOutliveTheSession();
    void proxyCredentialsRoundTrip();

private:
    TestSessionBus m_bus;
};

void TestCredentialStorage::initTestCase()
{
    TestHttpServer::isolateFromProxies();
    QVERIFY(m_bus.start());
    QVERIFY(m_bus.startSecretService());
}

void TestCredentialStorage::credentialsOutliveTheSession()
{
    TestHttpServer server(basicServer);
    const QUrl url = server.url("/vault");
    QSharedPointer<ZRHTTPRequest> first = ZRHTTPRequest::requestWithURL(url);
    first->setUseKeychainPersistence(true);
    first->setShouldPresentCredentialsBeforeChallenge(false);
    first->setUsername("joe");
    first->setPassword("secret");
    first->startSynchronous();
    QVERIFY2(first->error().isNull(), qPrintable(first->error().localizedDescription()));
    QCOMPARE(ZRHTTPRequest::savedCredentialsForHost("127.0.0.1", server.port(), "http", "vault"),
             credentials("joe", "secret"));

    // A new session: only the Secret Service still knows the password.
    ZRHTTPRequest::clearSession();
    QSharedPointer<ZRHTTPRequest> second = ZRHTTPRequest::requestWithURL(url);
    second->setUseKeychainPersistence(true);
    second->startSynchronous();
    QVERIFY2(second->error().isNull(), qPrintable(second->error().localizedDescription()));
    QCOMPARE(second->responseData(), QByteArray("welcome"));

    ZRHTTPRequest::removeCredentialsForHost("127.0.0.1", server.port(), "http", "vault");
    QVERIFY(ZRHTTPRequest::savedCredentialsForHost("127.0.0.1", server.port(), "http", "vault").isEmpty());
    ZRHTTPRequest::clearSession();
    QSharedPointer<ZRHTTPRequest> third = ZRHTTPRequest::requestWithURL(url);
    third->setUseKeychainPersistence(true);
    third->startSynchronous();
    QCOMPARE(third->error().code(), 3);
}

void TestCredentialStorage::proxyCredentialsRoundTrip()
{
    QVERIFY(ZRHTTPRequest::saveCredentials(credentials("proxyuser", "first"), "proxy.example", 3128, "corp"));
    QVERIFY(ZRHTTPRequest::saveCredentials(credentials("proxyuser", "second"), "proxy.example", 3128, "corp"));
    QCOMPARE(ZRHTTPRequest::savedCredentialsForProxy("proxy.example", 3128, "https", "corp"),
             credentials("proxyuser", "second"));
    // A server space of the same name is another space.
    QVERIFY(ZRHTTPRequest::savedCredentialsForHost("proxy.example", 3128, "http", "corp").isEmpty());
    ZRHTTPRequest::removeCredentialsForProxy("proxy.example", 3128, "corp");
    QVERIFY(ZRHTTPRequest::savedCredentialsForProxy("proxy.example", 3128, "http", "corp").isEmpty());
}

QTEST_GUILESS_MAIN(TestCredentialStorage)
#include "tst_zrcredentialstorage.moc"
