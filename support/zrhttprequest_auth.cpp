// Authentication against servers and proxies: session and persistent credential stores,
// challenges answered by the request or by its delegate.
#include "support/zrhttprequest.h"

#include "support/zrcredentialstorage.h"
#include "support/zrhttpauthentication.h"
#include "support/zrhttpmessage.h"
#include "support/zrhttpstream.h"
#include "support/zrrunloop.h"
#include "support/zrselector.h"

#include <QMap>

namespace {

using Auth = ZrHttpAuthentication;

struct SessionCredentials
{
    QRecursiveMutex lock;
    QList<QVariantMap> server;
    QList<QVariantMap> proxy;
};

SessionCredentials &sessionStores()
{
    static SessionCredentials stores;
    return stores;
}

// One request at a time searches for credentials or decides to ask for them; requests
// that meet a space whose delegate is being asked wait for that answer.
struct Prompting
{
    QRecursiveMutex lock;
    QMap<QString, QList<QWeakPointer<ZrOperation>>> waiting;
};

Prompting &prompting()
{
    static Prompting state;
    return state;
}

int urlPort(const QUrl &url)
{
    return url.port() < 0 ? 0 : url.port();
}

QVariantMap credentialsFor(const QString &user, const QString &password)
{
    return QVariantMap{{Auth::UsernameKey, user}, {Auth::PasswordKey, password}};
}

// The account domain of NTLM: given, or the part before "\" in "domain\user".
void splitAccountDomain(QVariantMap &credentials, const QString &domain, bool keepDomainWithoutBackslash)
{
    const QString user = credentials.value(Auth::UsernameKey).toString();
    const QStringList parts = user.split('\\');
    if (!domain.isEmpty() && (keepDomainWithoutBackslash || parts.size() != 2)) {
        credentials.insert(Auth::AccountDomainKey, domain);
        return;
    }
    if (parts.size() == 2) {
        credentials.insert(Auth::AccountDomainKey, parts.at(0));
        credentials.insert(Auth::UsernameKey, parts.at(1));
    } else {
        credentials.insert(Auth::AccountDomainKey, keepDomainWithoutBackslash ? domain : QString(""));
    }
}

QSharedPointer<Auth> authenticationOf(const QVariantMap &entry)
{
    return entry.value("Authentication").value<QSharedPointer<Auth>>();
}

} // namespace

bool ZRHTTPRequest::isOriginalOrigin() const
{
    // The request's own credentials belong to the origin they were given for.
    const QUrl here = url();
    const QUrl first = originalURL().isEmpty() ? here : originalURL();
    return here.scheme().compare(first.scheme(), Qt::CaseInsensitive) == 0
           && here.host().compare(first.host(), Qt::CaseInsensitive) == 0 && here.port() == first.port();
}

QString ZRHTTPRequest::base64forData(const QByteArray &data)
{
    return QString::fromLatin1(data.toBase64());
}

void ZRHTTPRequest::addBasicAuthenticationHeader(const QString &theUsername, const QString &thePassword)
{
    addRequestHeader("Authorization",
                     "Basic " + base64forData(QString("%1:%2").arg(theUsername, thePassword).toUtf8()));
    setAuthenticationScheme(Auth::Basic);
}

void ZRHTTPRequest::applyAuthorizationHeader()
{
    if (!shouldPresentCredentialsBeforeChallenge() || requestHeaders().contains("Authorization"))
        return;
    if (isOriginalOrigin() && !username().isEmpty() && !password().isEmpty()
        && authenticationScheme() == Auth::Basic) {
        addBasicAuthenticationHeader(username(), password());
    } else if (useSessionPersistence()) {
        const QVariantMap entry = findSessionAuthenticationCredentials();
        if (!entry.isEmpty()) {
            const QVariantMap credentials = entry.value("Credentials").toMap();
            if (const QSharedPointer<Auth> authentication = authenticationOf(entry)) {
                if (authentication->applyCredentials(*m_request, credentials)) {
                    m_requestAuthentication = authentication;
                    setAuthenticationScheme(entry.value("AuthenticationScheme").toString());
                } else {
                    removeAuthenticationCredentialsFromSessionStore(credentials);
                }
            } else {
                addBasicAuthenticationHeader(credentials.value(Auth::UsernameKey).toString(),
                                             credentials.value(Auth::PasswordKey).toString());
            }
        }
    }
    if (useSessionPersistence()) {
        const QVariantMap entry = findSessionProxyAuthenticationCredentials();
        const QSharedPointer<Auth> authentication = authenticationOf(entry);
        if (authentication) {
            const QVariantMap credentials = entry.value("Credentials").toMap();
            if (authentication->applyCredentials(*m_request, credentials))
                m_proxyAuthentication = authentication;
            else
                removeProxyAuthenticationCredentialsFromSessionStore(credentials);
        }
    }
}

// Session stores.

QList<QVariantMap> ZRHTTPRequest::sessionCredentialsStore()
{
    QMutexLocker locker(&sessionStores().lock);
    return sessionStores().server;
}

QList<QVariantMap> ZRHTTPRequest::sessionProxyCredentialsStore()
{
    QMutexLocker locker(&sessionStores().lock);
    return sessionStores().proxy;
}

namespace {

void storeEntry(QList<QVariantMap> &store, const QVariantMap &entry)
{
    for (QVariantMap &stored : store) {
        if (stored.value("Credentials") == entry.value("Credentials")) {
            stored = entry;
            return;
        }
    }
    store.append(entry);
}

void removeEntry(QList<QVariantMap> &store, const QVariantMap &credentials)
{
    for (int i = 0; i < store.size(); ++i) {
        if (store.at(i).value("Credentials").toMap() == credentials) {
            store.removeAt(i);
            return;
        }
    }
}

} // namespace

void ZRHTTPRequest::storeAuthenticationCredentialsInSessionStore(const QVariantMap &storedCredentials)
{
    QMutexLocker locker(&sessionStores().lock);
    storeEntry(sessionStores().server, storedCredentials);
}

void ZRHTTPRequest::storeProxyAuthenticationCredentialsInSessionStore(const QVariantMap &storedCredentials)
{
    QMutexLocker locker(&sessionStores().lock);
    storeEntry(sessionStores().proxy, storedCredentials);
}

void ZRHTTPRequest::removeAuthenticationCredentialsFromSessionStore(const QVariantMap &credentials)
{
    QMutexLocker locker(&sessionStores().lock);
    removeEntry(sessionStores().server, credentials);
}

void ZRHTTPRequest::removeProxyAuthenticationCredentialsFromSessionStore(const QVariantMap &credentials)
{
    QMutexLocker locker(&sessionStores().lock);
    removeEntry(sessionStores().proxy, credentials);
}

void ZRHTTPRequest::clearSessionCredentials()
{
    QMutexLocker locker(&sessionStores().lock);
    sessionStores().server.clear();
    sessionStores().proxy.clear();
}

QVariantMap ZRHTTPRequest::findSessionProxyAuthenticationCredentials()
{
    QMutexLocker locker(&sessionStores().lock);
    for (const QVariantMap &entry : qAsConst(sessionStores().proxy)) {
        if (entry.value("Host").toString() == proxyHost() && entry.value("Port").toInt() == proxyPort())
            return entry;
    }
    return QVariantMap();
}

QVariantMap ZRHTTPRequest::findSessionAuthenticationCredentials()
{
    QMutexLocker locker(&sessionStores().lock);
    const QUrl here = url();
    const QString realm = authenticationRealm();
    const bool ownCredentials = !username().isEmpty() && !password().isEmpty();
    QVariantMap closeMatch;
    for (const QVariantMap &entry : qAsConst(sessionStores().server)) {
        const QUrl stored = entry.value("URL").toUrl();
        const bool exact = stored == here;
        if (!exact) {
            if (!closeMatch.isEmpty())
                continue;
            if (stored.host() != here.host() || stored.port() != here.port() || stored.scheme() != here.scheme())
                continue;
        }
        const QString storedRealm = entry.value("AuthenticationRealm").toString();
        if (!storedRealm.isEmpty() && !realm.isEmpty() && storedRealm != realm)
            continue;
        const QVariantMap credentials = entry.value("Credentials").toMap();
        if (ownCredentials && (credentials.value(Auth::UsernameKey).toString() != username()
                               || credentials.value(Auth::PasswordKey).toString() != password()))
            continue;
        if (exact)
            return entry;
        closeMatch = entry;
    }
    return closeMatch;
}

// Persistent store.

bool ZRHTTPRequest::saveCredentials(const QVariantMap &credentials, const QString &host, int port,
                                    const QString &protocol, const QString &realm)
{
    return ZrCredentialStorage::saveCredentials(credentials, host, port, protocol, realm, false);
}

bool ZRHTTPRequest::saveCredentials(const QVariantMap &credentials, const QString &proxyHost, int proxyPort,
                                    const QString &realm)
{
    return ZrCredentialStorage::saveCredentials(credentials, proxyHost, proxyPort, "http", realm, true);
}

QVariantMap ZRHTTPRequest::savedCredentialsForHost(const QString &host, int port, const QString &protocol,
                                                   const QString &realm)
{
    return ZrCredentialStorage::savedCredentials(host, port, protocol, realm, false);
}

QVariantMap ZRHTTPRequest::savedCredentialsForProxy(const QString &proxyHost, int proxyPort, const QString &,
                                                    const QString &realm)
{
    return ZrCredentialStorage::savedCredentials(proxyHost, proxyPort, "http", realm, true);
}

void ZRHTTPRequest::removeCredentialsForHost(const QString &host, int port, const QString &protocol,
                                             const QString &realm)
{
    ZrCredentialStorage::removeCredentials(host, port, protocol, realm, false);
}

void ZRHTTPRequest::removeCredentialsForProxy(const QString &proxyHost, int proxyPort, const QString &realm)
{
    ZrCredentialStorage::removeCredentials(proxyHost, proxyPort, "http", realm, true);
}

void ZRHTTPRequest::saveCredentialsToKeychain(const QVariantMap &newCredentials)
{
    const QUrl here = url();
    saveCredentials(newCredentials, here.host(), urlPort(here), here.scheme(), authenticationRealm());
}

void ZRHTTPRequest::saveProxyCredentialsToKeychain(const QVariantMap &newCredentials)
{
    saveCredentials(newCredentials, proxyHost(), proxyPort(), proxyAuthenticationRealm());
}

// Finding and applying credentials.

QVariantMap ZRHTTPRequest::findCredentials()
{
    QString user;
    QString secret;
    // A redirect to another origin gets the stores or the delegate, never the request's own credentials.
    if (isOriginalOrigin()) {
        const QUrl here = url();
        ZRHTTPRequest *main = mainRequest();
        if (!here.userName().isEmpty() && !here.password().isEmpty()) {
            user = here.userName();
            secret = here.password();
        } else if (main && !main->username().isEmpty() && !main->password().isEmpty()) {
            user = main->username();
            secret = main->password();
        } else if (!username().isEmpty() && !password().isEmpty()) {
            user = username();
            secret = password();
        }
    }
    QVariantMap credentials = credentialsFor(user, secret);
    if ((user.isEmpty() || secret.isEmpty()) && useKeychainPersistence()) {
        const QUrl here = url();
        credentials = savedCredentialsForHost(here.host(), urlPort(here), here.scheme(), authenticationRealm());
    }
    if (m_requestAuthentication && m_requestAuthentication->requiresAccountDomain())
        splitAccountDomain(credentials, domain(), false);
    if (credentials.value(Auth::UsernameKey).toString().isEmpty()
        || credentials.value(Auth::PasswordKey).toString().isEmpty())
        return QVariantMap();
    return credentials;
}

QVariantMap ZRHTTPRequest::findProxyCredentials()
{
    QString user;
    QString secret;
    ZRHTTPRequest *main = mainRequest();
    if (main && !main->proxyUsername().isEmpty() && !main->proxyPassword().isEmpty()) {
        user = main->proxyUsername();
        secret = main->proxyPassword();
    } else if (!proxyUsername().isEmpty() && !proxyPassword().isEmpty()) {
        user = proxyUsername();
        secret = proxyPassword();
    } else if (proxyAuthenticationScheme() == Auth::NTLM && isOriginalOrigin()) {
        user = username();
        secret = password();
    }
    QVariantMap credentials = credentialsFor(user, secret);
    if (user.isEmpty() || secret.isEmpty())
        credentials = savedCredentialsForProxy(proxyHost(), proxyPort(), url().scheme(), proxyAuthenticationRealm());
    if (m_proxyAuthentication && m_proxyAuthentication->requiresAccountDomain())
        splitAccountDomain(credentials, proxyDomain(), true);
    if (credentials.value(Auth::UsernameKey).toString().isEmpty()
        || credentials.value(Auth::PasswordKey).toString().isEmpty())
        return QVariantMap();
    return credentials;
}

bool ZRHTTPRequest::applyCredentials(const QVariantMap &newCredentials)
{
    return applyCredentialsFor(false, newCredentials);
}

bool ZRHTTPRequest::applyProxyCredentials(const QVariantMap &newCredentials)
{
    return applyCredentialsFor(true, newCredentials);
}

bool ZRHTTPRequest::applyCredentialsFor(bool forProxy, const QVariantMap &newCredentials)
{
    if (forProxy)
        setProxyAuthenticationRetryCount(proxyAuthenticationRetryCount() + 1);
    else
        setAuthenticationRetryCount(authenticationRetryCount() + 1);
    const QSharedPointer<Auth> authentication = forProxy ? m_proxyAuthentication : m_requestAuthentication;
    if (newCredentials.isEmpty() || !authentication || !m_request)
        return false;
    if (!authentication->applyCredentials(*m_request, newCredentials)) {
        if (forProxy)
            removeProxyAuthenticationCredentialsFromSessionStore(newCredentials);
        else
            removeAuthenticationCredentialsFromSessionStore(newCredentials);
        return false;
    }
    QVariantMap entry{{"Authentication", QVariant::fromValue(authentication)},
                      {"Credentials", newCredentials},
                      {"AuthenticationScheme", authentication->method()}};
    if (forProxy) {
        if (useKeychainPersistence())
            saveProxyCredentialsToKeychain(newCredentials);
        if (useSessionPersistence()) {
            entry.insert("Host", proxyHost());
            entry.insert("Port", proxyPort());
            storeProxyAuthenticationCredentialsInSessionStore(entry);
        }
        setProxyCredentials(newCredentials);
    } else {
        if (useKeychainPersistence())
            saveCredentialsToKeychain(newCredentials);
        if (useSessionPersistence()) {
            entry.insert("URL", url());
            if (!authenticationRealm().isEmpty())
                entry.insert("AuthenticationRealm", authenticationRealm());
            storeAuthenticationCredentialsInSessionStore(entry);
        }
        setRequestCredentials(newCredentials);
    }
    return true;
}

// Answering a challenge.

void ZRHTTPRequest::attemptToApplyCredentialsAndResume()
{
    if (authenticationNeeded() == 2) {
        attemptToApplyProxyCredentialsAndResume();
        return;
    }
    attemptToApplyCredentialsAndResume(false);
}

void ZRHTTPRequest::attemptToApplyProxyCredentialsAndResume()
{
    attemptToApplyCredentialsAndResume(true);
}

void ZRHTTPRequest::attemptToApplyCredentialsAndResume(bool forProxy)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QMutexLocker locker(&m_cancelledLock);
    if (!error().isNull() || isCancelled())
        return;
    QSharedPointer<Auth> &authentication = forProxy ? m_proxyAuthentication : m_requestAuthentication;
    const ZrError authenticationNeededError =
        zrRequestError(ZRAuthenticationErrorType, "Authentication needed");
    if (!authentication) {
        if (m_responseHeader)
            authentication = Auth::create(*m_responseHeader, forProxy);
        if (!authentication) {
            cancelLoad();
            failWithError(zrRequestError(ZRInternalErrorWhileApplyingCredentialsType,
                                         "Failed to get authentication object from response headers"));
            return;
        }
        if (forProxy)
            setProxyAuthenticationScheme(authentication->method());
        else
            setAuthenticationScheme(authentication->method());
    }
    const QString realm = authentication->requiresAccountDomain() ? QString() : authentication->realm();
    if (forProxy)
        setProxyAuthenticationRealm(realm);
    else
        setAuthenticationRealm(realm);
    const QString applyFailure = forProxy ? "Failed to apply proxy credentials to request"
                                          : "Failed to apply credentials to request";
    const bool ntlm = authentication->method() == Auth::NTLM;
    const int retries = forProxy ? proxyAuthenticationRetryCount() : authenticationRetryCount();
    const auto restartWith = [this, forProxy](const QVariantMap &credentials) {
        if (!applyCredentialsFor(forProxy, credentials))
            return false;
        startRequest();
        return true;
    };

    ZrError invalid;
    if (authentication->isValid(&invalid)) {
        cancelLoad();
        const QVariantMap earlier = forProxy ? proxyCredentials() : requestCredentials();
        if (!earlier.isEmpty()) {
            if (!(ntlm && retries > 1)) {
                if (!restartWith(earlier))
                    failWithError(zrRequestError(ZRInternalErrorWhileApplyingCredentialsType, applyFailure));
            } else {
                failWithError(ntlm && retries == 2
                                  ? authenticationNeededError
                                  : zrRequestError(ZRInternalErrorWhileApplyingCredentialsType, applyFailure));
            }
            return;
        }
        QMutexLocker prompt(&prompting().lock);
        if (!error().isNull() || isCancelled())
            return;
        if (useSessionPersistence()) {
            const QVariantMap entry = findSessionCredentialsFor(forProxy);
            if (!entry.isEmpty() && restartWith(entry.value("Credentials").toMap()))
                return;
        }
        const QVariantMap found = forProxy ? findProxyCredentials() : findCredentials();
        if (!found.isEmpty()) {
            if (!restartWith(found))
                failWithError(zrRequestError(ZRInternalErrorWhileApplyingCredentialsType, applyFailure));
            return;
        }
        if (willAskDelegateFor(forProxy))
            return;
        failWithError(authenticationNeededError);
        return;
    }

    authentication.clear();
    if (invalid.code() == -1001 || invalid.code() == -1002) {
        QMutexLocker prompt(&prompting().lock);
        // The refused credentials are forgotten before anyone is asked again.
        const QVariantMap refused = forProxy ? proxyCredentials() : requestCredentials();
        if (forProxy) {
            removeProxyAuthenticationCredentialsFromSessionStore(refused);
            setProxyCredentials(QVariantMap());
        } else {
            removeAuthenticationCredentialsFromSessionStore(refused);
            setRequestCredentials(QVariantMap());
        }
        if (!error().isNull() || isCancelled())
            return;
        if (useSessionPersistence()) {
            const QVariantMap entry = findSessionCredentialsFor(forProxy);
            if (!entry.isEmpty()) {
                authentication = authenticationOf(entry);
                if (authentication && restartWith(entry.value("Credentials").toMap()))
                    return;
                authentication.clear();
            }
        }
        setLastActivityTime(QDateTime());
        if (willAskDelegateFor(forProxy))
            return;
    }
    cancelLoad();
    failWithError(authenticationNeededError);
    return;
}

QVariantMap ZRHTTPRequest::findSessionCredentialsFor(bool forProxy)
{
    return forProxy ? findSessionProxyAuthenticationCredentials() : findSessionAuthenticationCredentials();
}

// Asking the delegate.

QString ZRHTTPRequest::protectionSpace(bool forProxy) const
{
    if (forProxy)
        return QString("proxy %1:%2 %3").arg(proxyHost()).arg(proxyPort()).arg(proxyAuthenticationRealm());
    const QUrl here = url();
    return QString("%1://%2:%3 %4").arg(here.scheme(), here.host()).arg(urlPort(here)).arg(authenticationRealm());
}

bool ZRHTTPRequest::willAskDelegateForCredentials()
{
    return willAskDelegateFor(false);
}

bool ZRHTTPRequest::willAskDelegateForProxyCredentials()
{
    return willAskDelegateFor(true);
}

bool ZRHTTPRequest::willAskDelegateFor(bool forProxy)
{
    if (isSynchronous())
        return false;
    QObject *target = delegate() ? delegate() : queue();
    const QByteArray selector = forProxy ? "proxyAuthenticationNeededForRequest" : "authenticationNeededForRequest";
    bool blockSet;
    {
        QMutexLocker locker(&m_propertyLock);
        blockSet = forProxy ? static_cast<bool>(m_proxyAuthenticationNeededBlock)
                            : static_cast<bool>(m_authenticationNeededBlock);
    }
    if (!blockSet && !ZrSelector::answers<ZRHTTPRequest *>(target, selector))
        return false;

    QMutexLocker prompt(&prompting().lock);
    const QString space = protectionSpace(forProxy);
    auto waiting = prompting().waiting.find(space);
    if (waiting != prompting().waiting.end()) {
        // Someone is asking for this space already: wait for the answer, then look again.
        waiting->append(sharedFromThis().toWeakRef());
        return true;
    }
    prompting().waiting.insert(space, {});
    m_promptSpace = space;
    askDelegateFor(forProxy);
    return true;
}

void ZRHTTPRequest::askDelegateForCredentials()
{
    askDelegateFor(false);
}

void ZRHTTPRequest::askDelegateForProxyCredentials()
{
    askDelegateFor(true);
}

void ZRHTTPRequest::askDelegateFor(bool forProxy)
{
    const QSharedPointer<ZRHTTPRequest> keep = retainSelf();
    QPointer<ZRHTTPRequest> guard(this);
    ZrRunLoop::performOnMainThread([guard, keep, forProxy] {
        if (!guard)
            return;
        ZRHTTPRequest *request = guard.data();
        QObject *target = request->delegate() ? request->delegate() : request->queue();
        const QByteArray selector =
            forProxy ? "proxyAuthenticationNeededForRequest" : "authenticationNeededForRequest";
        if (ZrSelector::call(target, selector, request))
            return;
        Block block;
        {
            QMutexLocker locker(&request->m_propertyLock);
            block = forProxy ? request->m_proxyAuthenticationNeededBlock : request->m_authenticationNeededBlock;
        }
        if (block)
            block();
    });
}

void ZRHTTPRequest::releaseCredentialWaiters()
{
    QList<QWeakPointer<ZrOperation>> waiters;
    {
        QMutexLocker prompt(&prompting().lock);
        if (m_promptSpace.isEmpty())
            return;
        waiters = prompting().waiting.take(m_promptSpace);
        m_promptSpace.clear();
    }
    for (const QWeakPointer<ZrOperation> &weak : qAsConst(waiters)) {
        const QSharedPointer<ZRHTTPRequest> waiter = qSharedPointerCast<ZRHTTPRequest>(weak.toStrongRef());
        if (waiter)
            waiter->performOnRequestThread([waiter] { waiter->attemptToApplyCredentialsAndResume(); });
    }
}

void ZRHTTPRequest::retryUsingSuppliedCredentials()
{
    performOnRequestThread([this] {
        if (m_request)
            attemptToApplyCredentialsAndResume();
        else
            main();
        releaseCredentialWaiters();
    });
}

void ZRHTTPRequest::cancelAuthentication()
{
    performOnRequestThread([this] {
        failWithError(zrRequestError(ZRAuthenticationErrorType, "Authentication needed"));
        releaseCredentialWaiters();
    });
}
