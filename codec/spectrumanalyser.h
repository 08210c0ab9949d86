#ifndef RQ_SPECTRUMANALYSER_H
#define RQ_SPECTRUMANALYSER_H

#include <cstdint>
#include <mutex>
#include <vector>

struct AVTXContext;

namespace rq {

// Keeps the latest samples sent to the audio device and turns them, on request, into the audio block of the
// C interface: a Hann-windowed spectrum on a decibel scale.
class SpectrumAnalyser
{
public:
    static constexpr int kWindow = 1024;
    static constexpr int kBins = kWindow / 2;
    static constexpr int kHeader = 44;

    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser &) = delete;
    SpectrumAnalyser &operator=(const SpectrumAnalyser &) = delete;

    // rate 0: no audio, no block.
    void reset(int rate);
    // Interleaved signed 16-bit stereo; lastPts is the position of the last sample in seconds.
    void feed(const int16_t *samples, int frames, double lastPts);
    unsigned char *block();
    static void release(unsigned char *block);

private:
    std::mutex m_mutex;
    std::vector<float> m_ring;
    int m_pos = 0;
    int m_rate = 0;
    double m_pts = 0;
    AVTXContext *m_fft = nullptr;
    // av_tx wants buffers aligned for its SIMD code.
    float *m_in = nullptr;
    float *m_out = nullptr;
    void (*m_transform)(AVTXContext *, void *, void *, ptrdiff_t) = nullptr;
};

}

#endif
