#include "codec/audioprocessor.h"

#include "codec/numeric.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace rq {

namespace {

// Band width of each peaking band: about an octave.
constexpr double kBandQ = 1.41;


// atempo stages each within 0.5..2, where it sounds best.
void addTempo(std::string &chain, double tempo)
{
    while (tempo > 2.0 + 1e-9 || tempo < 0.5 - 1e-9) {
        const double stage = tempo > 2.0 ? 2.0 : 0.5;
        chain += ",atempo=" + decimal(stage);
        tempo /= stage;
    }
    if (std::abs(tempo - 1.0) > 1e-6)
        chain += ",atempo=" + decimal(tempo);
}

}

template <typename F>
void AudioProcessor::change(F f)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    f(m_settings);
    ++m_generation;
}

void AudioProcessor::setSpeed(int percent)
{
    change([&](Settings &s) { s.speed = std::clamp(percent, 20, 800); });
}

void AudioProcessor::setRatePercent(int percent)
{
    change([&](Settings &s) { s.ratePercent = std::max(0, percent); });
}

void AudioProcessor::setEqualizer(const double *frequencies, const double *gains, int count)
{
    std::vector<Band> bands;
    for (int i = 0; frequencies && gains && i < count; ++i)
        if (std::isfinite(frequencies[i]) && frequencies[i] > 0 && std::isfinite(gains[i]) && gains[i] != 0)
            bands.push_back({frequencies[i], std::clamp(gains[i], -40.0, 40.0)});
    change([&](Settings &s) { s.bands = std::move(bands); });
}

AudioProcessor::Settings AudioProcessor::settings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

double AudioProcessor::pitchOf(const Settings &s)
{
    if (s.ratePercent <= 0)
        return 1.0;
    // The rate percent comes as pitch percent x 100 / speed, truncated: the pitch percent lies in
    // [rate x speed / 100, (rate + 1) x speed / 100). The usual 100 wins where it fits.
    const double low = s.ratePercent * s.speed / 100.0;
    const double high = (s.ratePercent + 1) * s.speed / 100.0;
    const double percent = low <= 100 && 100 < high ? 100 : std::ceil(low - 1e-9);
    return std::clamp(percent / 100.0, 0.25, 4.0);
}

double AudioProcessor::peakGain(const std::vector<Band> &bands, int rate)
{
    if (bands.empty() || rate <= 0)
        return 0;
    // The bands' peaking filters (the equalizer filter's own design), evaluated together on a log scale.
    struct Biquad { double b0, b1, b2, a0, a1, a2; };
    std::vector<Biquad> filters;
    for (const Band &band : bands) {
        if (band.frequency >= rate / 2.0)
            continue;
        const double w0 = 2 * M_PI * band.frequency / rate;
        const double a = std::pow(10.0, band.gain / 40.0);
        const double alpha = std::sin(w0) / (2 * kBandQ);
        filters.push_back({1 + alpha * a, -2 * std::cos(w0), 1 - alpha * a,
                           1 + alpha / a, -2 * std::cos(w0), 1 - alpha / a});
    }
    double peak = -1e9;
    for (double f = 10; f < rate / 2.0; f *= 1.01) {
        const std::complex<double> z = std::polar(1.0, -2 * M_PI * f / rate);
        double db = 0;
        for (const Biquad &q : filters)
            db += 20 * std::log10(std::abs((q.b0 + q.b1 * z + q.b2 * z * z) / (q.a0 + q.a1 * z + q.a2 * z * z)));
        peak = std::max(peak, db);
    }
    return peak;
}

std::string AudioProcessor::chainFor(const Settings &s, int rate)
{
    std::string chain;
    const double peak = peakGain(s.bands, rate);
    if (peak > 0)
        chain += ",volume=" + decimal(-peak) + "dB";
    for (const Band &band : s.bands)
        if (band.frequency < rate / 2.0)
            chain += ",equalizer=f=" + decimal(band.frequency) + ":t=q:w=" + decimal(kBandQ) + ":g="
                     + decimal(band.gain);
    const double speed = s.speed / 100.0;
    const double pitch = pitchOf(s);
    if (std::abs(pitch - 1.0) > 1e-6) {
        // Played faster by the pitch, then stretched back to the speed, then back to the device rate.
        chain += ",asetrate=" + std::to_string(int(std::lround(rate * pitch)));
        addTempo(chain, speed / pitch);
        chain += ",aresample=" + std::to_string(rate);
    } else {
        addTempo(chain, speed);
    }
    return chain.empty() ? chain : chain.substr(1);
}

void AudioProcessor::push(FramePtr frame, double pts, std::vector<Chunk> &out)
{
    Settings settings;
    uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        settings = m_settings;
        generation = m_generation;
    }
    if (generation != m_builtGeneration || frame->sample_rate != m_rate) {
        finish(out);
        m_builtGeneration = generation;
        m_rate = frame->sample_rate;
        m_speed = settings.speed / 100.0;
        const std::string chain = chainFor(settings, m_rate);
        if (!chain.empty())
            m_graph.configureAudio(m_rate, frame->ch_layout, AVSampleFormat(frame->format), chain);
    }
    if (!m_graph.isConfigured()) {
        const double duration = double(frame->nb_samples) / frame->sample_rate;
        out.push_back({std::move(frame), pts, duration});
        return;
    }
    if (!m_started) {
        m_started = true;
        m_nextPts = pts;
    }
    frame->pts = saturated<int64_t>(pts * m_rate);
    if (m_graph.push(frame.get()))
        drain(out);
}

void AudioProcessor::drain(std::vector<Chunk> &out)
{
    while (FramePtr filtered = m_graph.pull()) {
        if (filtered->nb_samples <= 0)
            continue;
        // What comes out covers the medium from where the last chunk ended, at the speed of this graph.
        const double duration = double(filtered->nb_samples) / m_rate * m_speed;
        const double pts = m_nextPts;
        m_nextPts += duration;
        out.push_back({std::move(filtered), pts, duration});
    }
}

void AudioProcessor::finish(std::vector<Chunk> &out)
{
    if (m_graph.isConfigured() && m_graph.push(nullptr))
        drain(out);
    reset();
}

void AudioProcessor::reset()
{
    m_graph.reset();
    m_builtGeneration = 0;
    m_started = false;
}

}
