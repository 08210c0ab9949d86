// The menus that follow the open medium: audio tracks, subtitles, chapters, programs, history.
#include "shell/qmenumanager.h"

#include "engine/mediasettting.h"
#include "engine/qmediainfos.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrhelper.h"
#include "engine/zrqplayobject.h"
#include "playlist/qplayhistorymanager.h"
#include "settings_dialog/qsettingdlg.h"
#include "toolkit/qzrmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QFileInfo>

namespace {

const int HistoryEntries = 10;

}

void QMenuManager::dropEntries(QList<QAction *> &entries)
{
    for (QAction *action : qAsConst(entries)) {
        if (QActionGroup *group = action->actionGroup())
            group->removeAction(action);
        action->deleteLater();
    }
    entries.clear();
}

void QMenuManager::fillList(QList<QAction *> &entries, QActionGroup *&group, QZRMenu *menu, const QStringList &texts,
                            bool checkable, int checked, void (QMenuManager::*slot)(QAction *))
{
    dropEntries(entries);
    if (texts.isEmpty()) {
        QAction *empty = newAction(tr("Empty"));
        empty->setEnabled(false);
        entries.append(empty);
    } else {
        if (!group) {
            group = new QActionGroup(m_pParentWindow);
            connect(group, &QActionGroup::triggered, this, slot);
        }
        for (const QString &text : texts) {
            QAction *action = newAction(text);
            action->setCheckable(checkable);
            entries.append(action);
            group->addAction(action);
        }
        if (checked >= 0 && checked < entries.size())
            entries.at(checked)->setChecked(true);
    }
    menu->clear();
    menu->addActions(entries);
}

void QMenuManager::initAudioAct()
{
    MediaSettting working;
    if (m_pSettingManager)
        m_pSettingManager->getMediaSettting(working);
    fillList(m_audioActs, m_pAudioGroup, m_pAudioTrackMenu, working.m_audioTrackList, true, 0,
             &QMenuManager::audioTriggered);
}

// Only a program with video has subtitles to choose.
void QMenuManager::initSubtitleAct()
{
    MediaSettting working;
    if (m_pSettingManager)
        m_pSettingManager->getMediaSettting(working);
    QStringList texts;
    const ProgramInfo *program = m_pMediaInfos ? m_pMediaInfos->m_currentProgram : nullptr;
    if (program && program->m_type == MediaType_Video)
        for (const SubltItemInfo &item : qAsConst(working.m_subltItemList))
            texts << QString::fromStdString(item.m_text);
    fillList(m_subtitleActs, m_pSubtitleGroup, m_pSubtitleTrackMenu, texts, true,
             working.m_subtitleValue.m_subtitleIndex, &QMenuManager::subtitleTriggered);
}

void QMenuManager::initChapterAct()
{
    QStringList texts;
    if (const ProgramInfo *program = m_pMediaInfos ? m_pMediaInfos->m_currentProgram : nullptr)
        for (const ChapterInfo &chapter : program->m_chapterList)
            texts << tr(chapter.m_text.toUtf8().constData());
    fillList(m_chapterActs, m_pChapterGroup, m_pChapterMenu, texts, false, -1, &QMenuManager::chapterTriggered);
}

void QMenuManager::initProgramAct()
{
    const QStringList texts = m_pMediaInfos ? m_pMediaInfos->m_programNames : QStringList();
    fillList(m_programActs, m_pProgramGroup, m_pProgramMenu, texts, true,
             m_pMediaInfos ? m_pMediaInfos->m_currentIndex : -1, &QMenuManager::programTriggered);
}

void QMenuManager::loadingHistory()
{
    dropEntries(m_historyActs);
    const QList<PlayItemInfo *> *items = m_pHistoryManager ? m_pHistoryManager->m_pPlayHistoryList : nullptr;
    for (int i = 1; items && i <= items->size() && i <= HistoryEntries; ++i) {
        QAction *action = newAction(QString("%1.%2").arg(i).arg(items->at(i - 1)->path));
        connect(action, &QAction::triggered, this, &QMenuManager::historyTriggered);
        m_historyActs.append(action);
    }
    m_pHistoryMenu->clear();
    m_pHistoryMenu->addActions(m_historyActs);
    m_pHistoryMenu->addSeparator();
    m_pHistoryMenu->addAction(m_actClearHistory);
}

void QMenuManager::audioTriggered(QAction *action)
{
    const int index = m_audioActs.indexOf(action);
    if (index < 0 || !m_pSettingManager)
        return;
    SubtitleValue_Info selection;
    m_pSettingManager->getSubtitleTemp(selection);
    selection.m_audioTrack = index;
    m_pSettingManager->setSubtitleAll(selection);
    showToolTip(QString("%1: %2").arg(tr("Audio Track"), action->text()));
}

void QMenuManager::subtitleTriggered(QAction *action)
{
    const int index = m_subtitleActs.indexOf(action);
    if (index < 0 || !m_pSettingManager)
        return;
    const QList<SubltItemInfo> items = m_pSettingManager->getSubltItemInfoListTemp();
    SubtitleValue_Info selection;
    m_pSettingManager->getSubtitleTemp(selection);
    selection.m_subtitleIndex = index;
    selection.m_itemData = index < items.size() ? items.at(index).m_itemData : std::string();
    m_pSettingManager->setSubtitleAll(selection);
    if (m_pSettingDlg)
        m_pSettingDlg->updateSubtitleForm();
    showToolTip(QString("%1: %2").arg(tr("Subtitle Track"), action->text()));
}

void QMenuManager::chapterTriggered(QAction *action)
{
    const int index = m_chapterActs.indexOf(action);
    const ProgramInfo *program = m_pMediaInfos ? m_pMediaInfos->m_currentProgram : nullptr;
    if (index < 0 || !program || index >= program->m_chapterList.size())
        return;
    if (m_pPlayObject)
        m_pPlayObject->setSeek(program->m_chapterList.at(index).m_start);
    showToolTip(QString("%1: %2").arg(tr("Chapter"), action->text()));
}

void QMenuManager::programTriggered(QAction *action)
{
    const int index = m_programActs.indexOf(action);
    if (index < 0)
        return;
    const bool disc = m_pMediaInfos && m_pMediaInfos->m_isDisc;
    showToolTip(QString("%1: %2").arg(disc ? tr("Title") : tr("Program"), action->text()));
    emit emitSetPlayerProgram(index);
}

// The entry that sent this may be rebuilt while the item plays: its text is not read afterwards.
void QMenuManager::historyTriggered()
{
    const int index = m_historyActs.indexOf(qobject_cast<QAction *>(sender()));
    const QList<PlayItemInfo *> *items = m_pHistoryManager ? m_pHistoryManager->m_pPlayHistoryList : nullptr;
    if (index < 0 || !items || index >= items->size())
        return;
    PlayItemInfo item(*items->at(index));
    ZRHelper::getMediaInfo(item.path, &item);
    emit emitDragMediaPlayItemInfo(item);
    emit emitPlayVideoFile(&item);
}

void QMenuManager::actAddSubtitle()
{
    const QString path = QFileDialog::getOpenFileName(
        m_pParentWindow, tr("Open Subtitle File"), "/home",
        tr("Subtitles (*.ASS *.SSA *.SRT *.SUB *.SMI *.SAMI *.SUP *.LRC *.WEBVTT *.VTT "
           "*.ass *.ssa *.srt *.sub *.smi *.sami *.sup *.lrc *.webvtt *.vtt)"));
    if (path.isEmpty() || !m_pSettingManager)
        return;
    QList<SubltItemInfo> items = m_pSettingManager->getSubltItemInfoListTemp();
    int index = -1;
    for (int i = 0; i < items.size() && index < 0; ++i)
        if (QString::fromStdString(items.at(i).m_itemData) == path)
            index = i;
    if (index < 0) {
        const QFileInfo file(path);
        const QString name = file.fileName();
        const int dot = name.lastIndexOf('.');
        SubltItemInfo item;
        item.m_text = QString("(%2)[%1]").arg(file.suffix().toUpper(), dot < 0 ? name : name.left(dot)).toStdString();
        item.m_itemData = path.toStdString();
        items.append(item);
        m_pSettingManager->setSubltItemInfoListAll(items);
        index = items.size() - 1;
    }
    SubtitleValue_Info selection;
    m_pSettingManager->getSubtitle(selection);
    selection.m_subtitleIndex = index;
    selection.m_itemData = items.at(index).m_itemData;
    m_pSettingManager->setSubtitleAll(selection);
    initSubtitleAct();
    initTrackMenu();
    if (m_pSettingDlg)
        m_pSettingDlg->updateSubtitleForm();
    showToolTip(QString("%1: %2").arg(tr("Add Subtitle File"), QString::fromStdString(items.at(index).m_text)));
}

void QMenuManager::actClearHistory()
{
    if (m_pHistoryManager)
        m_pHistoryManager->clearPlayHistoryInfo();
    showToolTip(tr("Clear History"));
    loadingHistory();
}
