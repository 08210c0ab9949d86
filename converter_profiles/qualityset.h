#ifndef QUALITYSET_H
#define QUALITYSET_H

#include <QString>

// One value for each of the eight encoding parameters of a format.
struct QualitySet
{
    bool bOnlyAudio = false;
    QString videoEncoder;
    QString videoResolution;
    QString videoFrameRate;
    QString videoBitRate;
    QString audioEncoder;
    QString audioChannel;
    QString audioSampleRate;
    QString audioBitRate;
};

#endif
