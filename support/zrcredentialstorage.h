#ifndef ZRCREDENTIALSTORAGE_H
#define ZRCREDENTIALSTORAGE_H

#include <QString>
#include <QVariantMap>

// The persistent credential store: the desktop's Secret Service through libsecret, one
// credential per protection space (host, port, protocol, realm, and whether it is a proxy).
// Without a reachable Secret Service nothing is saved and nothing is found; one that does not
// answer within a few seconds (waiting at a prompt nobody sees) counts as unreachable.
class ZrCredentialStorage
{
public:
    // Credentials carry ZrHttpAuthentication's user name and password keys.
    static bool saveCredentials(const QVariantMap &credentials, const QString &host, int port,
                                const QString &protocol, const QString &realm, bool proxy);
    static QVariantMap savedCredentials(const QString &host, int port, const QString &protocol, const QString &realm,
                                        bool proxy);
    static void removeCredentials(const QString &host, int port, const QString &protocol, const QString &realm,
                                  bool proxy);
};

#endif
