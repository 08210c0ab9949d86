#ifndef ZRPACSCRIPT_H
#define ZRPACSCRIPT_H

#include "support/zrerror.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <QVariantMap>

// Runs a proxy auto-configuration script's FindProxyForURL(url, host) with the standard
// helper functions, and gives its answer as proxy entries (see ZrProxySettings). A script
// that fails, or runs longer than the time allowed, gives an error.
class ZrPacScript
{
public:
    static QList<QVariantMap> proxiesForURL(const QString &script, const QUrl &url, double timeOutSeconds,
                                            ZrError *error = nullptr);
};

#endif
