#include "mediasettting.h"

#include <algorithm>

EqualizeSettings::EqualizeSettings(const EqualizeSettings &other)
{
    *this = other;
}

EqualizeSettings &EqualizeSettings::operator=(const EqualizeSettings &other)
{
    if (this != &other) {
        clear();
        if (other.m_count > 0) {
            setBands(other.m_frequencies, other.m_gains, other.m_count);
            m_preamp = other.m_preamp;
        }
    }
    return *this;
}

EqualizeSettings::~EqualizeSettings()
{
    clear();
}

void EqualizeSettings::setFlatTenBands()
{
    static const double frequencies[10] = {60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    static const double gains[10] = {};
    setBands(frequencies, gains, 10);
    m_preamp = 0;
}

void EqualizeSettings::setBands(const double *frequencies, const double *gains, int count)
{
    delete[] m_frequencies;
    delete[] m_gains;
    m_frequencies = nullptr;
    m_gains = nullptr;
    m_count = 0;
    if (count <= 0 || !frequencies || !gains)
        return;
    m_frequencies = new double[count];
    m_gains = new double[count];
    std::copy(frequencies, frequencies + count, m_frequencies);
    std::copy(gains, gains + count, m_gains);
    m_count = count;
}

void EqualizeSettings::clear()
{
    setBands(nullptr, nullptr, 0);
    m_preamp = 0;
}
