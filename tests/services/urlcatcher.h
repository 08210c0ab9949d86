#ifndef URLCATCHER_H
#define URLCATCHER_H

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Takes the URLs of the given schemes that QDesktopServices would hand to the desktop, while it lives.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    explicit UrlCatcher(const QStringList &schemes = {"file"}) : m_schemes(schemes)
    {
        for (const QString &scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override
    {
        for (const QString &scheme : m_schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }

private:
    QStringList m_schemes;
};

#endif
