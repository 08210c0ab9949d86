#include "engine/qmediasettingmanager.h"

#include "engine/zrqplayobject.h"

QMediaSettingManager::QMediaSettingManager(QObject *parent) : QObject(parent)
{
}

void QMediaSettingManager::setMediaPlayer(ZRQPlayObject *player)
{
    m_pPlayer = player;
}

void QMediaSettingManager::pushAll(bool flipFirst)
{
    setSubtitleSettings(m_working.m_subtitle);
    setSubtitle(m_working.m_subtitleValue);
    if (m_pPlayer)
        m_pPlayer->setEffectSettings(m_working.m_effect);
    setEQSettings(m_working.m_equalize);
    if (!m_pPlayer)
        return;
    m_pPlayer->setAudioDelay(m_working.m_audioDelay);
    m_pPlayer->setMode(m_working.m_fillMode);
    m_pPlayer->setAspectRatio(m_working.m_ratio);
    if (flipFirst)
        m_pPlayer->setFlip(m_working.m_rotate, m_working.m_mirror);
    m_pPlayer->setRotate(m_working.m_rotate, m_working.m_mirror);
    if (!flipFirst)
        m_pPlayer->setFlip(m_working.m_rotate, m_working.m_mirror);
    m_pPlayer->setDeinterlace(int(m_working.m_deinterlace));
}

void QMediaSettingManager::setMediaSettting(const MediaSettting &settings)
{
    m_working = settings;
    m_saved = settings;
    pushAll(false);
}

void QMediaSettingManager::getMediaSettting(MediaSettting &settings) const
{
    settings = m_working;
}

void QMediaSettingManager::getMediaSetttingTemp(MediaSettting &settings) const
{
    settings = m_saved;
}

void QMediaSettingManager::setMediaSetttingTemp(const MediaSettting &settings)
{
    m_saved = settings;
}

void QMediaSettingManager::setSaveMediaSettting(bool save)
{
    if (save)
        m_saved = m_working;
    else
        m_working = m_saved;
    pushAll(true);
}

void QMediaSettingManager::setSaveFontSettting(bool save)
{
    if (save)
        m_saved.m_subtitle = m_working.m_subtitle;
    else
        m_working.m_subtitle = m_saved.m_subtitle;
    setSubtitleSettings(m_working.m_subtitle);
}

void QMediaSettingManager::setSubtitleSettings(const SubtitleSettings &style)
{
    m_working.m_subtitle = style;
    if (m_pPlayer)
        m_pPlayer->setSubtitleSettings(m_working.m_subtitle);
}

void QMediaSettingManager::setSubtitleSettingsAll(const SubtitleSettings &style)
{
    m_saved.m_subtitle = style;
    setSubtitleSettings(style);
}

void QMediaSettingManager::getSubtitleSettings(SubtitleSettings &style) const
{
    style = m_working.m_subtitle;
}

void QMediaSettingManager::getSubtitleSettingsTemp(SubtitleSettings &style) const
{
    style = m_saved.m_subtitle;
}

void QMediaSettingManager::updateSubtitleSettings()
{
    if (m_pPlayer)
        m_pPlayer->setSubtitleSettings(m_saved.m_subtitle);
}

void QMediaSettingManager::setSubtitle(const SubtitleValue_Info &selection)
{
    m_working.m_subtitleValue = selection;
    if (m_pPlayer)
        m_pPlayer->setSubtitle(m_working.m_subtitleValue);
}

void QMediaSettingManager::setSubtitleAll(const SubtitleValue_Info &selection)
{
    m_saved.m_subtitleValue = selection;
    setSubtitle(selection);
}

void QMediaSettingManager::getSubtitle(SubtitleValue_Info &selection) const
{
    selection = m_working.m_subtitleValue;
}

void QMediaSettingManager::getSubtitleTemp(SubtitleValue_Info &selection) const
{
    selection = m_saved.m_subtitleValue;
}

void QMediaSettingManager::setEffectSettings(const EffectSettings &effects)
{
    m_working.m_effect = effects;
    if (m_pPlayer)
        m_pPlayer->setEffectSettings(m_working.m_effect);
}

void QMediaSettingManager::getEffectSettings(EffectSettings &effects) const
{
    effects = m_working.m_effect;
}

EqualizeSettings QMediaSettingManager::pushCopy(const EqualizeSettings &equalizer)
{
    EqualizeSettings copy;
    copy.setBands(equalizer.m_frequencies, equalizer.m_gains, equalizer.m_count);
    for (int band = 0; band < copy.m_count; ++band)
        copy.m_gains[band] += equalizer.m_preamp;
    return copy;
}

void QMediaSettingManager::setEQSettings(EqualizeSettings equalizer)
{
    m_working.m_equalize = equalizer;
    if (m_pPlayer)
        m_pPlayer->setEQSettings(pushCopy(m_working.m_equalize));
}

void QMediaSettingManager::setEQSettingsAll(EqualizeSettings equalizer)
{
    m_saved.m_equalize = equalizer;
    setEQSettings(equalizer);
}

void QMediaSettingManager::getEQSettings(EqualizeSettings &equalizer) const
{
    equalizer = m_working.m_equalize;
}

void QMediaSettingManager::updateEQSettings()
{
    if (m_pPlayer)
        m_pPlayer->setEQSettings(m_saved.m_equalize);
}

void QMediaSettingManager::setSubltItemInfoList(const QList<SubltItemInfo> &items)
{
    m_working.m_subltItemList = items;
}

void QMediaSettingManager::setSubltItemInfoListAll(const QList<SubltItemInfo> &items)
{
    m_working.m_subltItemList = items;
    m_saved.m_subltItemList = items;
}

void QMediaSettingManager::getSubltItemInfoList(QList<SubltItemInfo> &items) const
{
    items = m_working.m_subltItemList;
}

void QMediaSettingManager::getSubltItemInfoListTemp(QList<SubltItemInfo> &items) const
{
    items = m_saved.m_subltItemList;
}

QList<SubltItemInfo> QMediaSettingManager::getSubltItemInfoListTemp() const
{
    return m_saved.m_subltItemList;
}

void QMediaSettingManager::setAudioList(const QList<QString> &names)
{
    m_working.m_audioTrackList = names;
}

void QMediaSettingManager::setAudioListAll(const QList<QString> &names)
{
    m_working.m_audioTrackList = names;
    m_saved.m_audioTrackList = names;
}

void QMediaSettingManager::getAudioList(QList<QString> &names) const
{
    names = m_working.m_audioTrackList;
}

void QMediaSettingManager::getAudioListTemp(QList<QString> &names) const
{
    names = m_saved.m_audioTrackList;
}

void QMediaSettingManager::setAudioSettings(const AudioSettings &speed)
{
    m_working.m_audioSettings = speed;
    if (m_pPlayer)
        m_pPlayer->setAudioSetting(m_working.m_audioSettings);
}

void QMediaSettingManager::setAudioSettingsALL(const AudioSettings &speed)
{
    m_saved.m_audioSettings = speed;
    setAudioSettings(speed);
}

void QMediaSettingManager::getAudioSettings(AudioSettings &speed) const
{
    speed = m_working.m_audioSettings;
}

void QMediaSettingManager::setAudioDelay(double seconds)
{
    m_working.m_audioDelay = seconds;
    if (m_pPlayer)
        m_pPlayer->setAudioDelay(seconds);
}

void QMediaSettingManager::setAudioDelayAll(double seconds)
{
    m_saved.m_audioDelay = seconds;
    setAudioDelay(seconds);
}

double QMediaSettingManager::getAudioDelay() const
{
    return m_working.m_audioDelay;
}

void QMediaSettingManager::setFillMode(int mode)
{
    m_working.m_fillMode = mode;
    if (m_pPlayer)
        m_pPlayer->setMode(mode);
}

void QMediaSettingManager::setFillModeAll(int mode)
{
    m_saved.m_fillMode = mode;
    setFillMode(mode);
}

int QMediaSettingManager::getFillMode() const
{
    return m_working.m_fillMode;
}

void QMediaSettingManager::setAspectRatio(RatioType ratio)
{
    m_working.m_ratio = ratio;
    if (m_pPlayer)
        m_pPlayer->setAspectRatio(ratio);
}

void QMediaSettingManager::setAspectRatioAll(RatioType ratio)
{
    m_saved.m_ratio = ratio;
    setAspectRatio(ratio);
}

RatioType QMediaSettingManager::getAspectRatio() const
{
    return m_working.m_ratio;
}

void QMediaSettingManager::setRotate(int degree, int mirror)
{
    m_working.m_rotate = degree;
    m_working.m_mirror = mirror;
    if (m_pPlayer)
        m_pPlayer->setRotate(degree, mirror);
}

void QMediaSettingManager::setRotateAll(int degree, int mirror)
{
    m_saved.m_rotate = degree;
    m_saved.m_mirror = mirror;
    setRotate(degree, mirror);
}

void QMediaSettingManager::setFlip(int degree, int mirror)
{
    m_working.m_rotate = degree;
    m_working.m_mirror = mirror;
    if (m_pPlayer)
        m_pPlayer->setFlip(degree, mirror);
}

void QMediaSettingManager::setFlipAll(int degree, int mirror)
{
    m_saved.m_rotate = degree;
    m_saved.m_mirror = mirror;
    setFlip(degree, mirror);
}

int QMediaSettingManager::getDegree() const
{
    return m_working.m_rotate;
}

int QMediaSettingManager::getMirror() const
{
    return m_working.m_mirror;
}

void QMediaSettingManager::setDeinterlace(unsigned int mode)
{
    m_working.m_deinterlace = mode;
    if (m_pPlayer)
        m_pPlayer->setDeinterlace(int(mode));
}

void QMediaSettingManager::setDeinterlaceAll(unsigned int mode)
{
    m_saved.m_deinterlace = mode;
    setDeinterlace(mode);
}

unsigned int QMediaSettingManager::getDeinterlace() const
{
    return m_working.m_deinterlace;
}

QPair<uint32_t, uint32_t> QMediaSettingManager::getOriginalResolution()
{
    return m_pPlayer ? m_pPlayer->getOriginalResolution() : qMakePair(0u, 0u);
}

QPair<uint32_t, uint32_t> QMediaSettingManager::getOriginalAspectRatio()
{
    return m_pPlayer ? m_pPlayer->getOriginalAspectRatio() : qMakePair(0u, 0u);
}

QSize QMediaSettingManager::getScreenSize(RatioType ratio)
{
    const QPair<uint32_t, uint32_t> resolution = getOriginalResolution();
    const qint64 width = resolution.first;
    const qint64 height = resolution.second;
    if (width == 0 && height == 0)
        return QSize(0, 0);

    qint64 a = -1;
    qint64 b = -1;
    switch (ratio) {
    case RatioType_Source: {
        const QPair<uint32_t, uint32_t> aspect = getOriginalAspectRatio();
        a = aspect.first;
        b = aspect.second;
        break;
    }
    case RatioType_PixelSize:
        a = width;
        b = height;
        break;
    case RatioType_16_9:
        a = 16;
        b = 9;
        break;
    case RatioType_4_3:
        a = 4;
        b = 3;
        break;
    case RatioType_9_16:
        a = 9;
        b = 16;
        break;
    case RatioType_3_4:
        a = 3;
        b = 4;
        break;
    }

    // Compared in single precision; a ratio that is no number (0:0) matches neither branch.
    const float target = float(double(a) / double(b));
    const float source = float(double(width) / double(height));
    if (target > source)
        return QSize(int(double(a * height) / double(b)), int(height));
    if (source >= target)
        return QSize(int(width), int(double(b * width) / double(a)));
    return QSize(int(a), int(b));
}

MediaType QMediaSettingManager::getMediaType()
{
    return m_pPlayer ? m_pPlayer->getMediaType() : MediaType_None;
}
