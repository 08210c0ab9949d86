#ifndef QPLAYHISTORYMANAGER_H
#define QPLAYHISTORYMANAGER_H

#include "engine/playiteminfo.h"

#include <QList>
#include <QObject>
#include <QString>

// The recently played items, newest first, kept in "PlayHistoryFile.xml" (the newest ten).
class QPlayHistoryManager : public QObject
{
    Q_OBJECT

public:
    explicit QPlayHistoryManager(QObject *parent = nullptr);
    ~QPlayHistoryManager() override;

    // Reads the stored history; call once before anything else.
    void initPlayHistoryList();
    void addFileInfoToPlayHistory(PlayItemInfo *playItemInfo);
    void deleteFileInfoFromPlayHistory(QString path);
    void clearPlayHistoryInfo();
    void clearInvalidFile();

    // Owned with its records; the recent-files menu reads it in this order.
    QList<PlayItemInfo *> *m_pPlayHistoryList = nullptr;

private:
    void freeList();
    // Takes the first record of that path out of the list and frees it; false when there is none.
    bool removeFromList(const QString &path);
};

#endif
