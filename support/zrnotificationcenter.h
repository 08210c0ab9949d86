#ifndef ZRNOTIFICATIONCENTER_H
#define ZRNOTIFICATIONCENTER_H

#include <QObject>
#include <QString>

// The process-wide notification centre. A post emits notificationPosted on the posting
// thread: receivers connected with Qt::DirectConnection hear it there, at once.
class ZrNotificationCenter : public QObject
{
    Q_OBJECT
public:
    static ZrNotificationCenter *defaultCenter();

    void postNotificationName(const QString &name, QObject *object);

signals:
    void notificationPosted(const QString &name, QObject *object);

private:
    ZrNotificationCenter() = default;
};

#endif
