#ifndef STOREDLIST_H
#define STOREDLIST_H

#include "engine/playiteminfo.h"
#include "services/qianyutil.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

// A play item as the probe would fill it, with the given duration in microseconds.
inline PlayItemInfo makeItem(const QString &path, unsigned long long duration = 0)
{
    PlayItemInfo item;
    item.path = path;
    item.Filename = QFileInfo(path).fileName();
    item.Duration_ = duration;
    item.Size_ = 1000;
    item.CREACTTIME_ = 1700000000;
    return item;
}

inline QString appDataFile(const QString &name)
{
    return QIAnyUtil::getAppDataPath() + "/" + name;
}

// The paths stored in a settings file of play items, in file order, read straight from its XML;
// "(no file)" when the file is missing.
inline QStringList storedPaths(const QString &name, const QString &pathAttribute)
{
    QFile file(appDataFile(name));
    if (!file.exists())
        return {"(no file)"};
    QDomDocument doc;
    if (!file.open(QIODevice::ReadOnly) || !doc.setContent(&file))
        return {"(unreadable)"};
    QStringList paths;
    for (QDomElement entry = doc.documentElement().firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement())
        paths << entry.attribute(pathAttribute);
    return paths;
}

// Writes bytes that are no XML over a settings file.
inline bool damage(const QString &name)
{
    QFile file(appDataFile(name));
    return file.open(QIODevice::WriteOnly) && file.write("<ROOTITEM><Path_item") > 0;
}

#endif
