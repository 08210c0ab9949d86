#include "engine/playmetatypes.h"

#include "engine/playiteminfo.h"
#include "engine/playtypes.h"

#include <QList>
#include <QMetaType>
#include <QString>

void registerPlayMetaTypes()
{
    qRegisterMetaType<PlayItemInfo>("PlayItemInfo");
    qRegisterMetaType<PlayState>("PlayState");
    qRegisterMetaType<QList<QString>>("QList<QString>");
}
