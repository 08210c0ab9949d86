#ifndef ZRUPDATER_H
#define ZRUPDATER_H

#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

// Asks the maker's feed whether a newer version than this build exists, one request at a time, and
// tells the user in the toolkit's message box: a newer version with a button that opens its page, up
// to date, or that the check failed and why. It downloads and installs nothing.
// The feed answers {"version": "<dotted numbers>", "url": "<page of the release>"}.
class ZrUpdater : public QObject
{
    Q_OBJECT

public:
    static ZrUpdater *sharedUpdater();

    // Starts a check whose result is told; while one runs, only makes sure its result is told.
    void checkForUpdates();
    // true checks at once and then daily, telling only of a newer version; false stops that.
    void setAutomaticallyChecksForUpdates(bool automatic);
    bool automaticallyChecksForUpdates() const;
    // From the request until its result has been told.
    bool isChecking() const;

    // ZR_UPDATE_FEED when set, else the bundle's feed address.
    static QUrl feedURL();

private:
    explicit ZrUpdater(QObject *parent);

    void startCheck(bool silent);
    void replyFinished();

    QNetworkAccessManager m_network;
    QNetworkReply *m_reply = nullptr;
    QTimer m_dailyTimer;
    bool m_checking = false;
    bool m_silent = false;
};

#endif
