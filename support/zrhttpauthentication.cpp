#include "support/zrhttpauthentication.h"

#include "support/zrhttpmessage.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>

const char *const ZrHttpAuthentication::Basic = "Basic";
const char *const ZrHttpAuthentication::Digest = "Digest";
const char *const ZrHttpAuthentication::NTLM = "NTLM";
const char *const ZrHttpAuthentication::UsernameKey = "kCFHTTPAuthenticationUsername";
const char *const ZrHttpAuthentication::PasswordKey = "kCFHTTPAuthenticationPassword";
const char *const ZrHttpAuthentication::AccountDomainKey = "kCFHTTPAuthenticationAccountDomain";

namespace {

// The auth-params of one challenge: name=token or name="quoted string", comma separated.
QMap<QString, QString> parseParameters(const QString &text)
{
    QMap<QString, QString> parameters;
    int at = 0;
    const int length = text.size();
    while (at < length) {
        while (at < length && (text.at(at).isSpace() || text.at(at) == ','))
            ++at;
        const int nameStart = at;
        while (at < length && text.at(at) != '=' && text.at(at) != ',')
            ++at;
        const QString name = text.mid(nameStart, at - nameStart).trimmed().toLower();
        if (at >= length || text.at(at) != '=') {
            continue;
        }
        ++at;
        QString value;
        if (at < length && text.at(at) == '"') {
            ++at;
            while (at < length && text.at(at) != '"') {
                if (text.at(at) == '\\' && at + 1 < length)
                    ++at;
                value += text.at(at++);
            }
            ++at;
        } else {
            const int valueStart = at;
            while (at < length && text.at(at) != ',')
                ++at;
            value = text.mid(valueStart, at - valueStart).trimmed();
        }
        if (!name.isEmpty())
            parameters.insert(name, value);
    }
    return parameters;
}

QString schemeOf(const QString &challenge)
{
    return challenge.section(' ', 0, 0).trimmed();
}

QByteArray hashHex(const QString &algorithm, const QString &text)
{
    const QCryptographicHash::Algorithm hash = algorithm.startsWith("SHA-256", Qt::CaseInsensitive)
                                                   ? QCryptographicHash::Sha256
                                                   : QCryptographicHash::Md5;
    return QCryptographicHash::hash(text.toUtf8(), hash).toHex();
}

} // namespace

QSharedPointer<ZrHttpAuthentication> ZrHttpAuthentication::create(const ZrHttpMessage &response, bool forProxy)
{
    const QStringList challenges =
        response.headerFieldValues(forProxy ? "Proxy-Authenticate" : "WWW-Authenticate");
    for (const char *preferred : {NTLM, Digest, Basic}) {
        for (const QString &challenge : challenges) {
            if (schemeOf(challenge).compare(preferred, Qt::CaseInsensitive) != 0)
                continue;
            QSharedPointer<ZrHttpAuthentication> made(new ZrHttpAuthentication);
            made->m_method = preferred;
            made->m_parameters = parseParameters(challenge.mid(schemeOf(challenge).size()));
            made->m_forProxy = forProxy;
            return made;
        }
    }
    return QSharedPointer<ZrHttpAuthentication>();
}

bool ZrHttpAuthentication::isValid(ZrError *error) const
{
    if (!m_valid && error)
        *error = ZrError("kCFErrorDomainCFNetwork", -1002, "The user name or password was not accepted");
    return m_valid;
}

void ZrHttpAuthentication::updateFromResponse(const ZrHttpMessage &response)
{
    if (!m_applied || m_method == NTLM)
        return;
    const QSharedPointer<ZrHttpAuthentication> fresh = create(response, m_forProxy);
    if (m_method == Digest && fresh && fresh->m_method == Digest
        && fresh->m_parameters.value("stale").compare("true", Qt::CaseInsensitive) == 0) {
        // Only the nonce was out of date: the same credentials go again with the new one.
        m_parameters = fresh->m_parameters;
        m_nonceCount = 0;
        return;
    }
    m_valid = false;
}

bool ZrHttpAuthentication::applyCredentials(ZrHttpMessage &message, const QVariantMap &credentials)
{
    const QString user = credentials.value(UsernameKey).toString();
    const QString password = credentials.value(PasswordKey).toString();
    if (user.isEmpty() || password.isNull() || !m_valid)
        return false;
    const QString field = m_forProxy ? "Proxy-Authorization" : "Authorization";
    if (m_method == NTLM) {
        const QString domain = credentials.value(AccountDomainKey).toString();
        m_ntlmUserPassword = (domain.isEmpty() ? user : domain + "\\" + user) + ":" + password;
    } else if (m_method == Digest) {
        message.setHeaderField(field, digestField(message, user, password));
    } else {
        message.setHeaderField(field, "Basic " + QString::fromLatin1((user + ":" + password).toUtf8().toBase64()));
    }
    m_applied = true;
    return true;
}

QString ZrHttpAuthentication::digestField(const ZrHttpMessage &message, const QString &user,
                                          const QString &password)
{
    const QString algorithm = m_parameters.value("algorithm", "MD5");
    const QString realm = m_parameters.value("realm");
    const QString nonce = m_parameters.value("nonce");
    const QString opaque = m_parameters.value("opaque");
    const bool qopAuth = m_parameters.value("qop").split(',').contains("auth");
    QString uri = message.url().path(QUrl::FullyEncoded);
    if (uri.isEmpty())
        uri = "/";
    if (message.url().hasQuery())
        uri += "?" + message.url().query(QUrl::FullyEncoded);

    const QString cnonce = QString::number(QRandomGenerator::global()->generate64(), 16);
    const QString nc = QString("%1").arg(++m_nonceCount, 8, 16, QChar('0'));
    QByteArray ha1 = hashHex(algorithm, user + ":" + realm + ":" + password);
    if (algorithm.endsWith("-sess", Qt::CaseInsensitive))
        ha1 = hashHex(algorithm, QString::fromLatin1(ha1) + ":" + nonce + ":" + cnonce);
    const QByteArray ha2 = hashHex(algorithm, message.method() + ":" + uri);
    const QByteArray response =
        qopAuth ? hashHex(algorithm, QString("%1:%2:%3:%4:auth:%5").arg(QString::fromLatin1(ha1), nonce, nc, cnonce,
                                                                         QString::fromLatin1(ha2)))
                : hashHex(algorithm, QString("%1:%2:%3").arg(QString::fromLatin1(ha1), nonce, QString::fromLatin1(ha2)));

    QStringList parts;
    parts << QString("username=\"%1\"").arg(user) << QString("realm=\"%1\"").arg(realm)
          << QString("nonce=\"%1\"").arg(nonce) << QString("uri=\"%1\"").arg(uri)
          << QString("algorithm=%1").arg(algorithm) << QString("response=\"%1\"").arg(QString::fromLatin1(response));
    if (!opaque.isEmpty())
        parts << QString("opaque=\"%1\"").arg(opaque);
    if (qopAuth)
        parts << "qop=auth" << QString("nc=%1").arg(nc) << QString("cnonce=\"%1\"").arg(cnonce);
    return "Digest " + parts.join(", ");
}
