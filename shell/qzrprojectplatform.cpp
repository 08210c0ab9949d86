#include "shell/qzrprojectplatform.h"

#include "shell/zrupdater.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

const char *const MakerHost = "www.quorvane.com";
const char *const ProductId = "700";

}

void QZRProjectPlatform::checkForUpdate()
{
    ZrUpdater::sharedUpdater()->checkForUpdates();
}

void QZRProjectPlatform::setAutoCheckUpdate(bool automatic)
{
    ZrUpdater::sharedUpdater()->setAutomaticallyChecksForUpdates(automatic);
}

void QZRProjectPlatform::openWebPage(const QString &pageType)
{
    QDesktopServices::openUrl(QUrl(QString("https://%1/api/product/redirect?pid=%2&page_type=%3")
                                       .arg(MakerHost, ProductId, pageType)));
}

QString QZRProjectPlatform::homePage()
{
    return QString("https://%1").arg(MakerHost);
}
