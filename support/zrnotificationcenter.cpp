#include "support/zrnotificationcenter.h"

ZrNotificationCenter *ZrNotificationCenter::defaultCenter()
{
    static ZrNotificationCenter center;
    return &center;
}

void ZrNotificationCenter::postNotificationName(const QString &name, QObject *object)
{
    emit notificationPosted(name, object);
}
