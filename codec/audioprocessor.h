#ifndef RQ_AUDIOPROCESSOR_H
#define RQ_AUDIOPROCESSOR_H

#include "codec/filtergraph.h"

#include <mutex>
#include <string>
#include <vector>

namespace rq {

// Speed and equaliser for the sound of a player: a tempo change that keeps the pitch (atempo, chained in
// stages) and peaking bands with enough headroom that the loudest band cannot clip. Settings come from any
// thread; push() runs on the audio decoding thread, on interleaved signed 16-bit stereo, and rebuilds its
// graph between chunks when the settings change, letting the old graph's samples out first.
class AudioProcessor
{
public:
    struct Band {
        double frequency = 0;  // Hz
        double gain = 0;       // dB
    };
    struct Settings {
        int speed = 100;        // percent, 20..800
        int ratePercent = 0;    // as sent with the speed; 0 keeps the pitch
        std::vector<Band> bands;
    };
    // Sound on its way to the device: pts is the medium's position of its first sample and duration the
    // medium time it covers, which differs from its playing time when the speed is not 100.
    struct Chunk {
        FramePtr frame;
        double pts = 0;
        double duration = 0;
    };

    void setSpeed(int percent);
    void setRatePercent(int percent);
    // No bands, or only flat ones, leave the sound alone.
    void setEqualizer(const double *frequencies, const double *gains, int count);
    Settings settings() const;

    void push(FramePtr frame, double pts, std::vector<Chunk> &out);
    // Lets out what the graph holds, at the end of the stream.
    void finish(std::vector<Chunk> &out);
    // Drops what the graph holds, after a seek.
    void reset();

    // The chain for sound at this rate, empty when there is nothing to do.
    static std::string chainFor(const Settings &s, int rate);
    // The highest level, in dB, that the bands together give at any frequency up to half the rate.
    static double peakGain(const std::vector<Band> &bands, int rate);
    // The pitch as a fraction of the original, from the speed and the rate percent sent with it.
    static double pitchOf(const Settings &s);

private:
    template <typename F> void change(F f);
    void drain(std::vector<Chunk> &out);

    mutable std::mutex m_mutex;
    Settings m_settings;
    uint64_t m_generation = 1;

    // Touched by the decoding thread only.
    FilterGraph m_graph;
    uint64_t m_builtGeneration = 0;
    int m_rate = 0;
    double m_speed = 1;
    bool m_started = false;
    double m_nextPts = 0;
};

}

#endif
