#include "support/zrproxysettings.h"

#include "support/gnomeproxysettings.h"

#include <QHostAddress>
#include <QRegExp>
#include <QStringList>

const char *const ZrProxySettings::TypeKey = "Type";
const char *const ZrProxySettings::HostKey = "Host";
const char *const ZrProxySettings::PortKey = "Port";
const char *const ZrProxySettings::AutoConfigurationURLKey = "AutoConfigurationURL";

namespace {

QVariantMap proxyEntry(const QString &type, const QString &host, int port)
{
    return QVariantMap{{ZrProxySettings::TypeKey, type}, {ZrProxySettings::HostKey, host},
                       {ZrProxySettings::PortKey, port}};
}

// The variable under its name, else under the upper case one.
QString environment(const char *name, const char *upperCaseName)
{
    const char *chosen = qEnvironmentVariableIsEmpty(name) ? upperCaseName : name;
    if (qEnvironmentVariableIsEmpty(chosen))
        return QString();
    return QString::fromLocal8Bit(qgetenv(chosen)).trimmed();
}

// "http://host:port", "socks5h://host:port" or "host:port".
QVariantMap entryFromVariable(const QString &value)
{
    const QUrl parsed(value.contains("://") ? value : "http://" + value);
    if (parsed.host().isEmpty())
        return QVariantMap();
    const bool socks = parsed.scheme().startsWith("socks", Qt::CaseInsensitive);
    return proxyEntry(socks ? "SOCKS" : "HTTP", parsed.host(), parsed.port(1080));
}

} // namespace

QList<QVariantMap> ZrProxySettings::proxiesForURL(const QUrl &url)
{
    bool anySet = false;
    const QList<QVariantMap> fromEnvironment = proxiesFromEnvironment(url, &anySet);
    return anySet ? fromEnvironment : proxiesFromGSettings(url);
}

QList<QVariantMap> ZrProxySettings::proxiesFromEnvironment(const QUrl &url, bool *anySet)
{
    const QString http = environment("http_proxy", "HTTP_PROXY");
    const QString https = environment("https_proxy", "HTTPS_PROXY");
    const QString all = environment("all_proxy", "ALL_PROXY");
    const QString noProxy = environment("no_proxy", "NO_PROXY");
    *anySet = !http.isEmpty() || !https.isEmpty() || !all.isEmpty() || !noProxy.isEmpty();
    if (!*anySet || hostMatches(url.host(), noProxy.split(',', Qt::SkipEmptyParts)))
        return {};
    QString chosen = url.scheme().compare("https", Qt::CaseInsensitive) == 0 ? https : http;
    if (chosen.isEmpty())
        chosen = all;
    const QVariantMap entry = chosen.isEmpty() ? QVariantMap() : entryFromVariable(chosen);
    return entry.isEmpty() ? QList<QVariantMap>() : QList<QVariantMap>{entry};
}

QList<QVariantMap> ZrProxySettings::proxiesFromGSettings(const QUrl &url)
{
    GnomeProxySettings *settings = GnomeProxySettings::instance();
    if (!settings)
        return {};
    const GnomeProxySettings::Values values = settings->values();
    QList<QVariantMap> proxies;
    if (values.mode == "auto") {
        if (!values.autoconfig.isEmpty())
            proxies << QVariantMap{{TypeKey, AutoConfigurationURLKey},
                                   {AutoConfigurationURLKey, QUrl(values.autoconfig)}};
    } else if (values.mode == "manual" && !hostMatches(url.host(), values.ignoredHosts)) {
        const bool secure = url.scheme().compare("https", Qt::CaseInsensitive) == 0;
        const QList<QPair<QString, GnomeProxySettings::Manual>> candidates = {
            {secure ? "HTTPS" : "HTTP", secure ? values.https : values.http}, {"SOCKS", values.socks}};
        for (const auto &candidate : candidates) {
            if (candidate.second.set()) {
                proxies << proxyEntry(candidate.first, candidate.second.host, candidate.second.port);
                break;
            }
        }
    }
    return proxies;
}

QList<QVariantMap> ZrProxySettings::proxiesFromPACAnswer(const QString &answer)
{
    QList<QVariantMap> proxies;
    for (const QString &part : answer.split(';', Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(' ');
        const QString kind = words.value(0).toUpper();
        if (kind == "DIRECT") {
            proxies << QVariantMap{{TypeKey, "None"}};
            continue;
        }
        if (kind != "PROXY" && kind != "SOCKS" && kind != "SOCKS5" && kind != "HTTP" && kind != "HTTPS")
            continue;
        const QString address = words.value(1);
        const int colon = address.lastIndexOf(':');
        if (colon <= 0)
            continue;
        const QString type = kind.startsWith("SOCKS") ? "SOCKS" : kind == "HTTPS" ? "HTTPS" : "HTTP";
        proxies << proxyEntry(type, address.left(colon), address.mid(colon + 1).toInt());
    }
    return proxies;
}

bool ZrProxySettings::hostMatches(const QString &host, const QStringList &patterns)
{
    const QHostAddress address(host);
    for (QString pattern : patterns) {
        pattern = pattern.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == "*")
            return true;
        if (!address.isNull() && pattern.contains('/')) {
            if (address.isInSubnet(QHostAddress::parseSubnet(pattern)))
                return true;
            continue;
        }
        if (pattern.startsWith('.'))
            pattern.prepend('*');
        if (pattern.contains('*')) {
            if (QRegExp(pattern, Qt::CaseInsensitive, QRegExp::Wildcard).exactMatch(host)
                || (pattern.startsWith("*.") && host.compare(pattern.mid(2), Qt::CaseInsensitive) == 0))
                return true;
            continue;
        }
        if (host.compare(pattern, Qt::CaseInsensitive) == 0
            || host.endsWith("." + pattern, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
