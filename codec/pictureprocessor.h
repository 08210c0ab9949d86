#ifndef RQ_PICTUREPROCESSOR_H
#define RQ_PICTUREPROCESSOR_H

#include "codec/filtergraph.h"

#include <mutex>
#include <string>

namespace rq {

// Shapes and colours pictures on their way to the frame callback: crop, output aspect, brightness, contrast,
// saturation, hue, rotation and mirror. Settings come from any thread; process() runs on the presenting
// thread and rebuilds its graph between pictures when they or the picture's shape change.
class PictureProcessor
{
public:
    struct Settings {
        double cropX = 0, cropY = 0, cropWidth = 1, cropHeight = 1;
        unsigned aspectNum = 0, aspectDen = 0;
        int rotation = 0;  // degrees anticlockwise, a multiple of 90
        bool mirror = false;
        int brightness = 0;    // -255..255
        int contrast = 100;    // 0..300 percent
        int saturation = 100;  // 0..200 percent
        int hue = 0;           // -180..180 degrees
    };

    void setCrop(double x, double y, double width, double height);
    void setOutputAspect(unsigned num, unsigned den);
    void setRotation(int degrees);
    void setMirror(bool mirror);
    void setBrightness(int value);
    void setContrast(int value);
    void setSaturation(int value);
    void setHue(int degrees);
    Settings settings() const;

    // The processed picture; a new reference to the same picture when every setting is neutral.
    FramePtr process(const AVFrame *frame);

    // The filter chain for a picture of this size, empty when nothing is to be done.
    static std::string chainFor(const Settings &s, int width, int height);

private:
    template <typename F> void change(F f);

    mutable std::mutex m_mutex;
    Settings m_settings;
    uint64_t m_generation = 1;

    // Touched by the presenting thread only.
    FilterGraph m_graph;
    uint64_t m_builtGeneration = 0;
    int m_builtWidth = 0, m_builtHeight = 0, m_builtFormat = -1;
    bool m_passThrough = true;
};

}

#endif
