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
    // Entry 0 is "Disable" (stream -1), then the embedded streams, the captions, the external file.
    if (selection.m_subtitleIndex <= selection.m_embeddedCount)
        codecSelectSubtitleStream(m_player, selection.m_subtitleIndex - 1);
    else if (selection.m_subtitleIndex == selection.m_embeddedCount + 1)
        codecSelectVideoCaptions(m_player, 1);
    else
        codecOpenSubtitleFile(m_player, selection.m_itemData.c_str());
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
    if (!m_player)
        return;
    codecBeginSubtitleStyle(m_player);
    codecSetSubtitleAlpha(m_player, style.m_alpha);
    codecSetSubtitleScale(m_player, style.m_scaleX, style.m_scaleY);
    codecSetSubtitleDelay(m_player, int64_t(style.m_delay * 1000000));
    if (!style.m_fontName.empty())
        codecSetSubtitleFontName(m_player, style.m_fontName.c_str());
    codecSetSubtitleBold(m_player, style.m_bold);
    codecSetSubtitleItalic(m_player, style.m_italic);
    codecSetSubtitleUnderline(m_player, style.m_underline);
    codecSetSubtitleStrikeOut(m_player, style.m_strikeOut);
    codecSetSubtitleFontSize(m_player, style.m_pointSize);
    codecSetSubtitleFontColour(m_player, style.m_fontColour);
    codecSetSubtitleShadowColour(m_player, style.m_shadowColour);
    codecSetSubtitleOutlineColour(m_player, style.m_outlineColour);
    codecSetSubtitleShadowOffset(m_player, style.m_shadowOffset);
    codecSetSubtitleOutlineSize(m_player, style.m_outlineSize);
    codecSetSubtitlePosition(m_player, style.m_position);
    codecSetSubtitleSpacingH(m_player, style.m_spacingH);
    codecSetSubtitleSpacingV(m_player, style.m_spacingV);
    codecSetSubtitleMarginX(m_player, style.m_marginX);
    codecSetSubtitleMarginY(m_player, style.m_marginY);
    codecSetSubtitleExtra1(m_player, style.m_extra1);
    codecSetSubtitleExtra2(m_player, style.m_extra2);
    codecApplySubtitleStyle(m_player);
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
