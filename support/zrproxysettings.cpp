#include "support/zrproxysettings.h"

#include <QHostAddress>
#include <QMutex>
#include <QRegExp>
#include <QStringList>

// glib names struct members "signals", which Qt defines as a macro.
#undef signals
#include <gio/gio.h>

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

QString environment(const char *name)
{
    QByteArray value = qgetenv(name);
    if (value.isEmpty())
        value = qgetenv(QByteArray(name).toUpper().constData());
    return QString::fromLocal8Bit(value).trimmed();
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

QString settingsString(GSettings *settings, const char *key)
{
    gchar *value = g_settings_get_string(settings, key);
    const QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

// Host and port of one of GNOME's manual proxies ("http", "https", "socks").
QVariantMap manualProxy(GSettings *settings, const char *child, const QString &type)
{
    GSettings *proxy = g_settings_get_child(settings, child);
    const QString host = settingsString(proxy, "host");
    const int port = g_settings_get_int(proxy, "port");
    g_object_unref(proxy);
    if (host.isEmpty() || port <= 0)
        return QVariantMap();
    return proxyEntry(type, host, port);
}

// GNOME's proxy settings, made once: making the object costs as much as a request. Its
// values are read anew at every lookup; none without the schema.
GSettings *gnomeProxySettings()
{
    static GSettings *const settings = []() -> GSettings * {
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema =
            source ? g_settings_schema_source_lookup(source, "org.gnome.system.proxy", TRUE) : nullptr;
        if (!schema)
            return nullptr;
        g_settings_schema_unref(schema);
        return g_settings_new("org.gnome.system.proxy");
    }();
    return settings;
}

// Lookups come from every driving thread.
QMutex &gnomeProxySettingsLock()
{
    static QMutex lock;
    return lock;
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
    const QString http = environment("http_proxy");
    const QString https = environment("https_proxy");
    const QString all = environment("all_proxy");
    const QString noProxy = environment("no_proxy");
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
    GSettings *settings = gnomeProxySettings();
    if (!settings)
        return {};
    QMutexLocker locker(&gnomeProxySettingsLock());
    const QString mode = settingsString(settings, "mode");
    QList<QVariantMap> proxies;
    if (mode == "auto") {
        const QString autoconfig = settingsString(settings, "autoconfig-url");
        if (!autoconfig.isEmpty())
            proxies << QVariantMap{{TypeKey, AutoConfigurationURLKey}, {AutoConfigurationURLKey, QUrl(autoconfig)}};
    } else if (mode == "manual") {
        gchar **ignored = g_settings_get_strv(settings, "ignore-hosts");
        QStringList patterns;
        for (gchar **pattern = ignored; pattern && *pattern; ++pattern)
            patterns << QString::fromUtf8(*pattern);
        g_strfreev(ignored);
        if (!hostMatches(url.host(), patterns)) {
            const bool secure = url.scheme().compare("https", Qt::CaseInsensitive) == 0;
            QVariantMap entry = secure ? manualProxy(settings, "https", "HTTPS") : manualProxy(settings, "http", "HTTP");
            if (entry.isEmpty())
                entry = manualProxy(settings, "socks", "SOCKS");
            if (!entry.isEmpty())
                proxies << entry;
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
