#ifndef ZRCOOKIESTORAGE_H
#define ZRCOOKIESTORAGE_H

#include <QList>
#include <QNetworkCookie>
#include <QUrl>

// The process-wide cookie storage shared by every request, behind one lock.
class ZrCookieStorage
{
public:
    static QList<QNetworkCookie> cookiesForUrl(const QUrl &url);
    static void setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url);
    static void deleteCookie(const QNetworkCookie &cookie);
};

#endif
