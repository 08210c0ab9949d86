#ifndef URLCATCHER_H
#define URLCATCHER_H

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

// Takes the file URLs that QDesktopServices would hand to the desktop, while it lives.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("file"); }

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

#endif
