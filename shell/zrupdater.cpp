#include "shell/zrupdater.h"

#include "player/qmediaplaywindowflags.h"
#include "services/zrcommoninterface.h"
#include "toolkit/qzrmessagebox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <QVersionNumber>

namespace {

const int TransferTimeoutMs = 15000;
const int DayMs = 24 * 60 * 60 * 1000;

QString text(const char *source)
{
    return QCoreApplication::translate("ZrUpdater", source);
}

// What one answer of the feed means, and how it is told.
struct FeedResult
{
    bool newer = false;
    QZRMessageBox::Icon icon = QZRMessageBox::Error;
    QString message;
    QUrl page;
};

FeedResult failed(const QString &reason)
{
    return {false, QZRMessageBox::Error, text("Could not check for updates: %1").arg(reason), QUrl()};
}

// Dotted numbers only, each small enough for QVersionNumber.
bool isVersion(const QString &version)
{
    static const QRegularExpression dotted(QStringLiteral("^\\d{1,9}(\\.\\d{1,9})*$"));
    return dotted.match(version).hasMatch();
}

FeedResult readAnswer(QNetworkReply *reply)
{
    // The transfer time-out is the only abort of a check whose result is told.
    if (reply->error() == QNetworkReply::OperationCanceledError)
        return failed(text("the update server did not answer within %1 seconds.").arg(TransferTimeoutMs / 1000));
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200)
        return failed(text("the update server answered with status %1.").arg(status.toInt()));
    if (reply->error() != QNetworkReply::NoError)
        return failed(reply->errorString());

    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    const QString latest = answer.value(QStringLiteral("version")).toString();
    const QUrl page(answer.value(QStringLiteral("url")).toString(), QUrl::StrictMode);
    const bool webPage = (page.scheme() == "https" || page.scheme() == "http") && !page.host().isEmpty();
    if (!isVersion(latest) || !webPage)
        return failed(text("the update server's answer could not be read."));

    // Number by number; a missing number counts as 0.
    const QString build = ZrCommonInterface::getAppBuildVersion();
    if (QVersionNumber::compare(QVersionNumber::fromString(latest).normalized(),
                                QVersionNumber::fromString(build).normalized()) > 0)
        return {true, QZRMessageBox::Help,
                text("ZRPlayer %1 is available; you have %2.\nOpen its page to download it?").arg(latest, build), page};
    return {false, QZRMessageBox::Success, text("ZRPlayer %1 is up to date.").arg(build), QUrl()};
}

}

ZrUpdater::ZrUpdater(QObject *parent) : QObject(parent)
{
    m_dailyTimer.setInterval(DayMs);
    connect(&m_dailyTimer, &QTimer::timeout, this, [this] { startCheck(true); });
}

ZrUpdater *ZrUpdater::sharedUpdater()
{
    static QPointer<ZrUpdater> updater;
    if (!updater)
        updater = new ZrUpdater(qApp);
    return updater;
}

void ZrUpdater::checkForUpdates()
{
    startCheck(false);
}

void ZrUpdater::setAutomaticallyChecksForUpdates(bool automatic)
{
    if (!automatic) {
        m_dailyTimer.stop();
        if (m_reply && m_silent)
            m_reply->abort();
        return;
    }
    if (m_dailyTimer.isActive())
        return;
    m_dailyTimer.start();
    startCheck(true);
}

bool ZrUpdater::automaticallyChecksForUpdates() const
{
    return m_dailyTimer.isActive();
}

bool ZrUpdater::isChecking() const
{
    return m_checking;
}

QUrl ZrUpdater::feedURL()
{
    const QString address = qEnvironmentVariable("ZR_UPDATE_FEED");
    return QUrl(address.isEmpty() ? ZrCommonInterface::getUpdateFeedURL() : address);
}

void ZrUpdater::startCheck(bool silent)
{
    if (m_checking) {
        m_silent = m_silent && silent;
        return;
    }
    m_checking = true;
    m_silent = silent;
    QNetworkRequest request(feedURL());
    request.setTransferTimeout(TransferTimeoutMs);
    // Redirects may not go from https to http; TLS errors are never ignored.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setRawHeader("Accept", "application/json");
    request.setHeader(QNetworkRequest::UserAgentHeader, "ZRPlayer/" + ZrCommonInterface::getAppVersion());
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::finished, this, &ZrUpdater::replyFinished);
}

void ZrUpdater::replyFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    const FeedResult result = readAnswer(reply);

    if (result.newer || !m_silent) {
        QMediaPlayWindowFlags::m_bWindowShowTop = true;
        const int button = QZRMessageBox::ShowMessage(nullptr, tr("Check for Updates"), result.message, result.icon,
                                                      result.newer ? QZRMessageBox::YesNo : QZRMessageBox::Ok);
        QMediaPlayWindowFlags::m_bWindowShowTop = false;
        if (result.newer && button == QMessageBox::Yes)
            QDesktopServices::openUrl(result.page);
    }
    m_checking = false;
}
