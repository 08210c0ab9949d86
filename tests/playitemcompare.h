#ifndef PLAYITEMCOMPARE_H
#define PLAYITEMCOMPARE_H

#include "engine/playiteminfo.h"

#include <QtTest>

// Every field of a play item, one QCOMPARE each, so a failure names the field.
inline void comparePlayItems(const PlayItemInfo &actual, const PlayItemInfo &expected)
{
    QCOMPARE(actual.path, expected.path);
    QCOMPARE(actual.Play_to_time_, expected.Play_to_time_);
    QCOMPARE(actual.Duration_, expected.Duration_);
    QCOMPARE(actual.OnlyAudio_, expected.OnlyAudio_);
    QCOMPARE(actual.Size_, expected.Size_);
    QCOMPARE(actual.CREACTTIME_, expected.CREACTTIME_);
    QCOMPARE(actual.Filename, expected.Filename);
    QCOMPARE(actual.File_isDVD, expected.File_isDVD);
}

#endif
