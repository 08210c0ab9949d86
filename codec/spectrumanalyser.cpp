#include "codec/spectrumanalyser.h"

#include "codec/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/tx.h>
}

namespace rq {

namespace {
// The scale of the magnitudes: 80 dB below a full-scale sine is 0, a full-scale sine is 65535.
constexpr double kFloorDb = -80.0;
}

SpectrumAnalyser::SpectrumAnalyser() : m_ring(kWindow, 0.0f)
{
    const float scale = 1.0f;
    av_tx_fn fn = nullptr;
    m_in = static_cast<float *>(av_malloc(sizeof(AVComplexFloat) * kWindow));
    m_out = static_cast<float *>(av_malloc(sizeof(AVComplexFloat) * kWindow));
    if (m_in && m_out && av_tx_init(&m_fft, &fn, AV_TX_FLOAT_FFT, 0, kWindow, &scale, 0) == 0)
        m_transform = fn;
}

SpectrumAnalyser::~SpectrumAnalyser()
{
    av_tx_uninit(&m_fft);
    av_free(m_in);
    av_free(m_out);
}

void SpectrumAnalyser::reset(int rate)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::fill(m_ring.begin(), m_ring.end(), 0.0f);
    m_pos = 0;
    m_rate = rate;
    m_pts = 0;
}

void SpectrumAnalyser::feed(const int16_t *samples, int frames, double lastPts)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < frames; ++i) {
        m_ring[m_pos] = (samples[2 * i] + samples[2 * i + 1]) / 65536.0f;
        m_pos = (m_pos + 1) % kWindow;
    }
    m_pts = lastPts;
}

unsigned char *SpectrumAnalyser::block()
{
    std::vector<float> magnitudes(kBins);
    int rate;
    double pts;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_rate <= 0 || !m_transform)
            return nullptr;
        rate = m_rate;
        pts = m_pts;
        auto *in = reinterpret_cast<AVComplexFloat *>(m_in);
        auto *out = reinterpret_cast<AVComplexFloat *>(m_out);
        for (int i = 0; i < kWindow; ++i) {
            const float hann = 0.5f - 0.5f * std::cos(2.0f * float(M_PI) * i / (kWindow - 1));
            in[i].re = m_ring[(m_pos + i) % kWindow] * hann;
            in[i].im = 0.0f;
        }
        m_transform(m_fft, out, in, sizeof(AVComplexFloat));
        for (int k = 0; k < kBins; ++k)
            magnitudes[k] = std::hypot(out[k].re, out[k].im);
    }
    const uint32_t payload = kBins * 2;
    auto *block = new unsigned char[kHeader + payload]();
    std::memcpy(block, "RQAB", 4);
    const uint64_t micros = saturated<uint64_t>(pts * 1e6);
    const uint32_t bins = kBins;
    const uint64_t rate64 = uint64_t(rate);
    std::memcpy(block + 8, &micros, 8);
    std::memcpy(block + 16, &bins, 4);
    std::memcpy(block + 24, &rate64, 8);
    std::memcpy(block + 40, &payload, 4);
    // A full-scale sine under a Hann window peaks at a quarter of the window length.
    const double fullScale = kWindow / 4.0;
    auto *values = reinterpret_cast<uint16_t *>(block + kHeader);
    for (int k = 0; k < kBins; ++k) {
        const double magnitude = magnitudes[k] / fullScale;
        const double db = magnitude > 0 ? 20.0 * std::log10(magnitude) : kFloorDb;
        const double level = (db - kFloorDb) / -kFloorDb;
        values[k] = uint16_t(std::lround(std::clamp(level, 0.0, 1.0) * 65535.0));
    }
    return block;
}

void SpectrumAnalyser::release(unsigned char *block)
{
    delete[] block;
}

}
