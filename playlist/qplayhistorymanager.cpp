#include "playlist/qplayhistorymanager.h"

#include "services/qsettingxml.h"

#include <QFile>

namespace {

const int StoredCount = 10;

}

QPlayHistoryManager::QPlayHistoryManager(QObject *parent)
    : QObject(parent)
{
}

QPlayHistoryManager::~QPlayHistoryManager()
{
    freeList();
}

void QPlayHistoryManager::freeList()
{
    if (!m_pPlayHistoryList)
        return;
    qDeleteAll(*m_pPlayHistoryList);
    delete m_pPlayHistoryList;
    m_pPlayHistoryList = nullptr;
}

void QPlayHistoryManager::initPlayHistoryList()
{
    freeList();
    m_pPlayHistoryList = new QList<PlayItemInfo *>;
    QSettingXml::analysisHistoryInfo(m_pPlayHistoryList);
}

bool QPlayHistoryManager::removeFromList(const QString &path)
{
    if (!m_pPlayHistoryList)
        return false;
    for (int i = 0; i < m_pPlayHistoryList->size(); ++i) {
        if (m_pPlayHistoryList->at(i)->path == path) {
            delete m_pPlayHistoryList->takeAt(i);
            return true;
        }
    }
    return false;
}

void QPlayHistoryManager::addFileInfoToPlayHistory(PlayItemInfo *playItemInfo)
{
    if (!playItemInfo || !m_pPlayHistoryList)
        return;
    // Copied first: the item may be one of the list's own records.
    PlayItemInfo *copy = new PlayItemInfo(*playItemInfo);
    removeFromList(copy->path);
    m_pPlayHistoryList->prepend(copy);
    QSettingXml::clearHistoryInfo();
    QSettingXml::saveHistoryInfoList(m_pPlayHistoryList->mid(0, StoredCount));
}

void QPlayHistoryManager::deleteFileInfoFromPlayHistory(QString path)
{
    removeFromList(path);
    QSettingXml::deleteHistoryInfo(path);
}

void QPlayHistoryManager::clearPlayHistoryInfo()
{
    freeList();
    m_pPlayHistoryList = new QList<PlayItemInfo *>;
    QSettingXml::clearHistoryInfo();
}

void QPlayHistoryManager::clearInvalidFile()
{
    if (!m_pPlayHistoryList)
        return;
    for (int i = m_pPlayHistoryList->size() - 1; i >= 0; --i) {
        const QString path = m_pPlayHistoryList->at(i)->path;
        if (!QFile::exists(path))
            deleteFileInfoFromPlayHistory(path);
    }
}
