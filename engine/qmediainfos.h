#ifndef QMEDIAINFOS_H
#define QMEDIAINFOS_H

#include "engine/mediasettting.h"
#include "engine/playiteminfo.h"
#include "engine/programinfo.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

// Describes the medium being played through a probe handle of its own: format, size, durations,
// tags, and per program its streams, subtitle choices and chapters. Main thread only.
class QMediaInfos : public QObject
{
    Q_OBJECT

public:
    explicit QMediaInfos(QObject *parent = nullptr);
    QMediaInfos(QString path, QObject *parent = nullptr);
    ~QMediaInfos() override;

    // Probes the item (as a disc when its DVD flag is set) and writes its duration back.
    void setMediaInfo(PlayItemInfo *item);
    // Probes a plain file.
    void setMediaInfo(QString path);
    void getTagInfo();
    void getProgramInfo();
    void getChapterInfo(ProgramInfo *program);
    // Makes the program current; an index outside the list changes nothing.
    void setProgramIndex(int index);
    // Appends the current program's subtitle choices and audio names and sets the embedded count.
    void getSubltListOrAudioList(QList<SubltItemInfo> &subtitles, QList<QString> &audioNames,
                                 SubtitleValue_Info &selection);
    // The first program whose span holds the time, else the last one; null without programs.
    ProgramInfo *getProgramInfoFromTime(unsigned long long time);
    void getAudioAndSubtInfo();
    void checkChar(std::string &text);
    void clearData();

    // The English name of an ISO 639 code, any letter case; empty when the table has none.
    static QString languageName(const QString &code);

    bool m_isDisc = false;
    int64_t m_fileSize = 0;                     // bytes
    unsigned long long m_mediaDuration = 0;     // microseconds
    unsigned long long m_programsDuration = 0;  // microseconds, all programs together
    QString m_mediaPath;
    QString m_formatName;
    int m_programCount = 0;
    QList<ProgramInfo *> m_programList;
    QStringList m_programNames;
    int m_currentIndex = 0;
    ProgramInfo *m_currentProgram = nullptr;
    MediaTagInfo m_tagInfo;
    uint64_t m_probe = 0;

private:
    bool openProbe(const QString &path, bool disc);
    void readMediaValues();
    void deletePrograms();
    void addVideoStreams(ProgramInfo *program);
    void addAudioStreams(ProgramInfo *program);
    void addSubtitleChoices(ProgramInfo *program);
};

#endif
