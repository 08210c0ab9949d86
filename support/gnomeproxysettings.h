#ifndef GNOMEPROXYSETTINGS_H
#define GNOMEPROXYSETTINGS_H

#include <QMutex>
#include <QString>
#include <QStringList>

typedef struct _GMainContext GMainContext;
typedef struct _GSettings GSettings;

// GNOME's proxy settings as last read. Reading them costs as much as a request, so they are
// read again only after GSettings reported a change: its objects live on a context of their
// own, whose pending notifications each lookup dispatches first.
class GnomeProxySettings
{
public:
    // One of the manual proxies; no host when unset.
    struct Manual
    {
        QString host;
        int port = 0;
        bool set() const { return !host.isEmpty() && port > 0; }
    };
    struct Values
    {
        QString mode;
        QString autoconfig;
        QStringList ignoredHosts;
        Manual http;
        Manual https;
        Manual socks;
    };

    // None without the schema.
    static GnomeProxySettings *instance();
    // Lookups come from every driving thread.
    Values values();

private:
    GnomeProxySettings();
    static void changed(GSettings *, const char *, void *self);

    QMutex m_lock;
    GMainContext *m_context;
    GSettings *m_root = nullptr;
    GSettings *m_http = nullptr;
    GSettings *m_https = nullptr;
    GSettings *m_socks = nullptr;
    bool m_stale = true;
    Values m_values;
};

#endif
