#include "support/gnomeproxysettings.h"

// glib names struct members "signals", which Qt defines as a macro.
#undef signals
#include <gio/gio.h>

namespace {

QString settingsString(GSettings *settings, const char *key)
{
    gchar *value = g_settings_get_string(settings, key);
    const QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

GnomeProxySettings::Manual manualProxy(GSettings *proxy)
{
    return {settingsString(proxy, "host"), g_settings_get_int(proxy, "port")};
}

}

GnomeProxySettings *GnomeProxySettings::instance()
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

GnomeProxySettings::Values GnomeProxySettings::values()
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
        m_values.http = manualProxy(m_http);
        m_values.https = manualProxy(m_https);
        m_values.socks = manualProxy(m_socks);
    }
    return m_values;
}

GnomeProxySettings::GnomeProxySettings() : m_context(g_main_context_new())
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

void GnomeProxySettings::changed(GSettings *, const char *, void *self)
{
    static_cast<GnomeProxySettings *>(self)->m_stale = true;
}
