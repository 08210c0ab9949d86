#ifndef PROGRAMINFO_H
#define PROGRAMINFO_H

#include <QList>
#include <QString>
#include <QStringList>
#include <string>

// Records in which the media prober describes an opened medium.

struct StreamInfo
{
    int m_index = -1;
    QString m_label;
    QString m_title;
    QString m_codecName;
    int m_videoWidth = 0;
    int m_videoHeight = 0;
    unsigned long long m_duration = 0;  // microseconds
    int m_aspectNum = 0;
    int m_aspectDen = 0;
    int m_videoBitRate = 0;
    int m_frameRateNum = 0;
    int m_frameRateDen = 0;
    QString m_language;
};

struct AudioStreamInfo
{
    int m_index = -1;
    QString m_label;
    QString m_title;
    QString m_codecName;
    int m_sampleRate = 0;
    int m_channels = 0;
    int m_channelLayout = 0;
    int m_audioBitRate = 0;
    int m_bitDepth = 0;
    unsigned long long m_duration = 0;  // microseconds
    QString m_language;
};

struct SubtitleStreamInfo
{
    QString m_kind;     // "内嵌" embedded, "外接" external file, empty for the fixed entries
    int m_index = -1;   // -1 "Disable", the embedded count for the captions entry, -2 an external file
    QString m_label;
    QString m_title;
    QString m_filePath;
    QString m_codecName;
    QString m_language;
    unsigned long long m_duration = 0;  // microseconds
};

struct ChapterInfo
{
    int m_index = -1;
    unsigned long long m_start = 0;     // microseconds on the whole medium's time line
    unsigned long long m_duration = 0;
    unsigned long long m_end = 0;
    QString m_title;
    QString m_text;
};

// One program of a stream, one title of a disc, or the single program of a plain file.
struct ProgramInfo
{
    int m_index = -1;
    QString m_name;
    QList<SubtitleStreamInfo> m_subtitleList;
    QList<AudioStreamInfo> m_audioList;
    QList<StreamInfo> m_videoList;
    int m_subtitleCount = 0;
    QList<ChapterInfo> m_chapterList;
    QStringList m_chapterTexts;
    int m_type = 0;                     // a MediaType value
    unsigned long long m_duration = 0;  // microseconds
    unsigned long long m_start = 0;
    unsigned long long m_end = 0;
};

// The medium's tags as UTF-8 byte strings, each named after its key.
struct MediaTagInfo
{
    std::string title;
    std::string artist;
    std::string album_artist;
    std::string composer;
    std::string album;
    std::string genre;
    std::string track;
    std::string year;
    std::string date;
    std::string grouping;
    std::string comment;
    std::string disc;
    std::string dvd_size;
    std::string dvd_clip;
    std::string lyrics;
    std::string copyright;

    void reset() { *this = MediaTagInfo(); }
};

#endif
