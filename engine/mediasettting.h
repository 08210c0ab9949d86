#ifndef MEDIASETTTING_H
#define MEDIASETTTING_H

#include "engine/playtypes.h"

#include <QList>
#include <QString>
#include <string>

// Equaliser bands; the two arrays are owned and copied deeply.
struct EqualizeSettings
{
    double *m_frequencies = nullptr;  // Hz, one per band
    double *m_gains = nullptr;        // dB, one per band
    int m_count = 0;
    double m_preamp = 0;              // dB

    EqualizeSettings() = default;
    EqualizeSettings(const EqualizeSettings &other);
    EqualizeSettings &operator=(const EqualizeSettings &other);
    ~EqualizeSettings();

    // Sets count bands from the two arrays (copied); no bands when count is 0 or below.
    void setBands(const double *frequencies, const double *gains, int count);
    void clear();
    // The player's ten flat bands, 60 Hz to 16 kHz, preamp 0.
    void setFlatTenBands();
};

// How subtitles are drawn.
struct SubtitleSettings
{
    int m_alpha = 255;
    int m_scaleX = 100;                 // percent
    int m_scaleY = 100;                 // percent
    double m_delay = 0;                 // seconds
    std::string m_fontName;             // UTF-8; empty: the library's own font
    int m_pointSize = 18;
    int m_bold = 0;
    int m_italic = 0;
    int m_underline = 0;
    int m_strikeOut = 0;
    unsigned int m_fontColour = 0xFFFFFFFF;     // 0xAARRGGBB
    unsigned int m_shadowColour = 0x80000000;
    unsigned int m_outlineColour = 0xFF000000;
    double m_shadowOffset = 0.5;
    double m_outlineSize = 1.0;
    int m_reserved = 0;
    int m_position = 0;                 // 0 bottom, 16 top, 32 middle
    double m_spacingH = 0;
    double m_spacingV = 0;
    double m_marginX = 0.05;
    double m_marginY = 0.05;            // fraction of the picture height
    double m_extra1 = 0;
    double m_extra2 = 0;
};

// Brightness -255..255, a reserved value, saturation 0..200, contrast 0..300, hue -180..180.
struct EffectSettings
{
    int m_brightness = 0;
    int m_reserved = 0;
    int m_saturation = 100;
    int m_contrast = 100;
    int m_hue = 0;
};

// The chosen audio track and subtitle entry. Entry 0 is "Disable", 1..m_embeddedCount the embedded
// streams, m_embeddedCount + 1 the captions in the video, above that the external file in m_itemData.
struct SubtitleValue_Info
{
    int m_reserved = 0;
    int m_audioTrack = 0;
    int m_subtitleIndex = 0;
    int m_embeddedCount = 0;
    std::string m_itemData;
};

// One subtitle choice as listed in the menus.
struct SubltItemInfo
{
    std::string m_text;      // UTF-8 label
    std::string m_itemData;  // UTF-8; the path of an external subtitle file
};

// Playback speed in percent, and a second rate value that stays 100.
struct AudioSettings
{
    unsigned int m_speed = 100;
    unsigned int m_rate = 100;
};

// Every setting the user can change while a medium plays.
struct MediaSettting
{
    EqualizeSettings m_equalize;
    SubtitleSettings m_subtitle;
    EffectSettings m_effect;
    SubtitleValue_Info m_subtitleValue;
    QList<SubltItemInfo> m_subltItemList;
    QList<QString> m_audioTrackList;
    double m_audioDelay = 0;            // seconds
    int m_fillMode = 0;                 // 0 letter box, 1 pan and scan, 2 fill
    RatioType m_ratio = RatioType_Source;
    int m_mirror = 0;
    int m_rotate = 0;                   // degrees
    unsigned int m_deinterlace = 2;
    AudioSettings m_audioSettings;

    MediaSettting() = default;
    MediaSettting(const MediaSettting &other) = default;
    MediaSettting &operator=(const MediaSettting &other) = default;

    void reset() { *this = MediaSettting(); }
};

#endif
