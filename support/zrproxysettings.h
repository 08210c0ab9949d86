#ifndef ZRPROXYSETTINGS_H
#define ZRPROXYSETTINGS_H

#include <QList>
#include <QString>
#include <QUrl>
#include <QVariantMap>

// The system's proxy settings: the http_proxy, https_proxy, all_proxy and no_proxy
// variables (either case) when any is set, otherwise GNOME's org.gnome.system.proxy.
// Entries hold "Type" ("HTTP", "HTTPS", "SOCKS"), "Host" and "Port", or "Type"
// "AutoConfigurationURL" with "AutoConfigurationURL"; an empty list means direct.
class ZrProxySettings
{
public:
    static const char *const TypeKey;
    static const char *const HostKey;
    static const char *const PortKey;
    static const char *const AutoConfigurationURLKey;

    // The environment is read at each call; GNOME's settings again after they changed.
    static QList<QVariantMap> proxiesForURL(const QUrl &url);
    // A PAC answer ("PROXY h:p; SOCKS h:p; DIRECT"); "DIRECT" gives an entry of type "None",
    // other words are skipped.
    static QList<QVariantMap> proxiesFromPACAnswer(const QString &answer);
    // Whether the host is one of the patterns (names, "*.suffix", ".suffix", addresses, CIDR).
    static bool hostMatches(const QString &host, const QStringList &patterns);

private:
    static QList<QVariantMap> proxiesFromEnvironment(const QUrl &url, bool *anySet);
    static QList<QVariantMap> proxiesFromGSettings(const QUrl &url);
};

#endif
