#include "support/zrcookiestorage.h"

#include <QMutex>
#include <QNetworkCookieJar>

namespace {

struct SharedJar
{
    QMutex lock;
    QNetworkCookieJar jar;
};

SharedJar &sharedJar()
{
    static SharedJar shared;
    return shared;
}

} // namespace

QList<QNetworkCookie> ZrCookieStorage::cookiesForUrl(const QUrl &url)
{
    QMutexLocker locker(&sharedJar().lock);
    return sharedJar().jar.cookiesForUrl(url);
}

void ZrCookieStorage::setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url)
{
    QMutexLocker locker(&sharedJar().lock);
    sharedJar().jar.setCookiesFromUrl(cookies, url);
}

void ZrCookieStorage::deleteCookie(const QNetworkCookie &cookie)
{
    QMutexLocker locker(&sharedJar().lock);
    sharedJar().jar.deleteCookie(cookie);
}
