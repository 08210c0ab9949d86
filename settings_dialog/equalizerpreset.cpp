#include "settings_dialog/equalizerpreset.h"

const double EqualizerPreset::BandFrequencies[BandCount] = {60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};

EqualizerPreset::EqualizerPreset(const QString &name, const QString &icon, const double (&gains)[BandCount])
    : m_name(name)
    , m_icon(icon)
{
    m_equalizer.setBands(BandFrequencies, gains, BandCount);
}

void EqualizerPreset::clear()
{
    m_name.clear();
    m_icon.clear();
    m_equalizer.clear();
}
