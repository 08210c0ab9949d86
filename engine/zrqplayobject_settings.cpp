#include "engine/zrqplayobject.h"

#include "codec/rqcodec.h"
#include "engine/qmediainfos.h"

unsigned int ZRQPlayObject::audioRatePercent(const AudioSettings &settings)
{
    if (settings.m_speed == 0)
        return 0;
    return settings.m_rate * 100u / settings.m_speed;
}

void ZRQPlayObject::setDeinterlace(int mode)
{
    if (!m_player)
        return;
    codecSetGlobalOption(3, mode);
    codecSetDeinterlace(m_player, mode);
}

void ZRQPlayObject::setSubtitle(SubtitleValue_Info selection)
{
    if (!m_player)
        return;
    codecSelectAudioTrack(m_player, selection.m_audioTrack);
}

void ZRQPlayObject::setAudioDelay(double seconds)
{
    if (!m_player)
        return;
    codecSetAudioDelay(m_player, int64_t(seconds * 1000000));
}

void ZRQPlayObject::setAudioSetting(AudioSettings settings)
{
    if (!m_player)
        return;
    codecSetPlaybackSpeed(m_player, settings.m_speed);
    codecSetAudioRatePercent(m_player, audioRatePercent(settings));
}

void ZRQPlayObject::setEQSettings(EqualizeSettings settings)
{
    if (!m_player)
        return;
    codecSetEqualizer(m_player, settings.m_frequencies, settings.m_gains, settings.m_count);
}

void ZRQPlayObject::setEffectSettings(EffectSettings settings)
{
    if (!m_player)
        return;
    codecSetContrast(m_player, settings.m_contrast);
    codecSetHue(m_player, settings.m_hue);
    codecSetSaturation(m_player, settings.m_saturation);
    codecSetBrightness(m_player, settings.m_brightness);
}

void ZRQPlayObject::setSubtitleSettings(SubtitleSettings style)
{
    Q_UNUSED(style)
}

void ZRQPlayObject::getSubltListOrAudioList(QList<SubltItemInfo> &subtitles, QList<QString> &audioTracks,
                                            SubtitleValue_Info &selection, QString path)
{
    QMediaInfos prober;
    prober.setMediaInfo(path);
    QList<SubltItemInfo> choices;
    prober.getSubltListOrAudioList(choices, audioTracks, selection);
    // The prober lists "Video Internal CC" right after the embedded streams.
    for (int i = 0; i < choices.size(); ++i)
        if (i != selection.m_embeddedCount + 1)
            subtitles << choices[i];
}
