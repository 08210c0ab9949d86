#ifndef ZRHTTPAUTHENTICATION_H
#define ZRHTTPAUTHENTICATION_H

#include "support/zrerror.h"

#include <QMap>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>
#include <QVariantMap>

class ZrHttpMessage;

// One server's or proxy's authentication challenge and how to answer it: NTLM (run by
// curl on one connection), Digest (RFC 7616: MD5, MD5-sess, SHA-256, qop "auth") or Basic.
class ZrHttpAuthentication
{
public:
    static const char *const Basic;
    static const char *const Digest;
    static const char *const NTLM;
    // The credentials dictionary's keys.
    static const char *const UsernameKey;
    static const char *const PasswordKey;
    static const char *const AccountDomainKey;

    // From the WWW-Authenticate (or, for a proxy, Proxy-Authenticate) fields of a complete
    // 401 or 407 answer; null when it offers none of the three schemes.
    static QSharedPointer<ZrHttpAuthentication> create(const ZrHttpMessage &response, bool forProxy);

    QString method() const { return m_method; }
    QString realm() const { return m_parameters.value("realm"); }
    bool requiresAccountDomain() const { return m_method == NTLM; }
    bool requiresUserNameAndPassword() const { return true; }
    bool forProxy() const { return m_forProxy; }
    // False once the credentials it carried were refused (−1002, a bad password);
    // a Digest challenge marked stale keeps it valid with the new nonce.
    bool isValid(ZrError *error = nullptr) const;
    // A new challenge from the same server after credentials were applied.
    void updateFromResponse(const ZrHttpMessage &response);

    // Adds the authorization field to the message; NTLM only keeps the credentials, which
    // the transport hands to curl. False without user name or password.
    bool applyCredentials(ZrHttpMessage &message, const QVariantMap &credentials);
    // "domain\user:password" (or "user:password") for curl's NTLM exchange.
    QString ntlmUserPassword() const { return m_ntlmUserPassword; }

private:
    QString digestField(const ZrHttpMessage &message, const QString &user, const QString &password);

    QString m_method;
    QMap<QString, QString> m_parameters;
    bool m_forProxy = false;
    bool m_applied = false;
    bool m_valid = true;
    unsigned m_nonceCount = 0;
    QString m_ntlmUserPassword;
};

Q_DECLARE_METATYPE(QSharedPointer<ZrHttpAuthentication>)

#endif
