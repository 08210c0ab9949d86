#ifndef CONVERTEDINFO_H
#define CONVERTEDINFO_H

#include <QString>

// One converted file of the history, keyed by convertedPath.
struct convertedInfo
{
    QString imgPath;
    QString convertedPath;
    QString preferencePath;
    QString resolution;
    QString time;
    QString size;
    QString createTime;
    QString extend;
    QString title;
    QString artist;
    QString album;
    QString genre;
    QString reservedText;
    QString season;
    QString year;
    bool videoFile = false;
    bool newFile = false;
};

#endif
