#ifndef EQUALIZERPRESET_H
#define EQUALIZERPRESET_H

#include "engine/mediasettting.h"

#include <QString>

// One sound effect of the audio page: its title, its picture under "/images/AudioEffects/" and
// its equaliser. Copies are deep.
struct EqualizerPreset
{
    static constexpr int BandCount = 10;
    // The page's bands, in Hz, lowest first.
    static const double BandFrequencies[BandCount];

    QString m_name;
    QString m_icon;
    EqualizeSettings m_equalizer;

    EqualizerPreset() = default;
    // Ten bands at BandFrequencies with the given gains in dB, preamp 0.
    EqualizerPreset(const QString &name, const QString &icon, const double (&gains)[BandCount]);

    void clear();
};

#endif
