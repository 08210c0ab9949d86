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

QString settingsString(GSettings *settings, const char *key)
{
    gchar *value = g_settings_get_string(settings, key);
    const QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

// GNOME's proxy settings as last read. Reading them costs as much as a request, so they are
// read again only after GSettings reported a change: its objects live on a context of their
// own, whose pending notifications each lookup dispatches first.
class GnomeProxySettings
{
public:
    struct Values
    {
        QString mode;
        QString autoconfig;
        QStringList ignoredHosts;
        QVariantMap http;
        QVariantMap https;
        QVariantMap socks;
    };

    // None without the schema.
    static GnomeProxySettings *instance()
    {
        static GnomeProxySettings *const settings = []() -> GnomeProxySettings * {
            GSettingsSchemaSource *source = g_settings_schema_source_get_default();
            GSettingsSchema *schema =
                source ? g_settings_schema_source_lookup(source, "org.gnome.system.proxy", TRUE) : nullptr;
            if (!schema)
                return nullptr;
            g_settings_schema_unref(schema);
            return new GnomeProxySettings;
        }();
        return settings;
    }

    // Lookups come from every driving thread.
    Values values()
    {
        QMutexLocker locker(&m_lock);
        while (g_main_context_iteration(m_context, FALSE)) {
        }
        if (m_stale) {
            m_stale = false;
            m_values.mode = settingsString(m_root, "mode");
            m_values.autoconfig = settingsString(m_root, "autoconfig-url");
            m_values.ignoredHosts.clear();
            gchar **ignored = g_settings_get_strv(m_root, "ignore-hosts");
            for (gchar **pattern = ignored; pattern && *pattern; ++pattern)
                m_values.ignoredHosts << QString::fromUtf8(*pattern);
            g_strfreev(ignored);
            m_values.http = manualProxy(m_http, "HTTP");
            m_values.https = manualProxy(m_https, "HTTPS");
            m_values.socks = manualProxy(m_socks, "SOCKS");
        }
        return m_values;
    }

private:
    GnomeProxySettings() : m_context(g_main_context_new())
    {
        g_main_context_push_thread_default(m_context);
        m_root = g_settings_new("org.gnome.system.proxy");
        m_http = g_settings_get_child(m_root, "http");
        m_https = g_settings_get_child(m_root, "https");
        m_socks = g_settings_get_child(m_root, "socks");
        g_main_context_pop_thread_default(m_context);
        for (GSettings *settings : {m_root, m_http, m_https, m_socks})
            g_signal_connect(settings, "changed", G_CALLBACK(&GnomeProxySettings::changed), this);
    }

    static void changed(GSettings *, const gchar *, gpointer self)
    {
        static_cast<GnomeProxySettings *>(self)->m_stale = true;
    }

    // Host and port of one of the manual proxies; empty when unset.
    static QVariantMap manualProxy(GSettings *proxy, const QString &type)
    {
        const QString host = settingsString(proxy, "host");
        const int port = g_settings_get_int(proxy, "port");
        if (host.isEmpty() || port <= 0)
            return QVariantMap();
        return proxyEntry(type, host, port);
    }

    QMutex m_lock;
    GMainContext *m_context;
    GSettings *m_root = nullptr;
    GSettings *m_http = nullptr;
    GSettings *m_https = nullptr;
    GSettings *m_socks = nullptr;
    bool m_stale = true;
    Values m_values;
};

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
        QVariantMap entry = secure ? values.https : values.http;
        if (entry.isEmpty())
            entry = values.socks;
        if (!entry.isEmpty())
            proxies << entry;
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
