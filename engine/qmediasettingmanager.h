#ifndef QMEDIASETTINGMANAGER_H
#define QMEDIASETTINGMANAGER_H

#include "engine/mediasettting.h"
#include "engine/playtypes.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QSize>
#include <QString>
#include <cstdint>

class ZRQPlayObject;

// The playback settings in force (the working record) and the ones last kept (the saved, "Temp"
// record). set... stores in the working record and sends to the playback object at once, ...All
// and ...ALL store in both and send, get... reads the working record, ...Temp the saved one.
// Nothing is sent while no playback object is set. Main thread only.
class QMediaSettingManager : public QObject
{
    Q_OBJECT

public:
    explicit QMediaSettingManager(QObject *parent = nullptr);

    void setMediaPlayer(ZRQPlayObject *player);

    void setMediaSettting(const MediaSettting &settings);
    void getMediaSettting(MediaSettting &settings) const;
    void getMediaSetttingTemp(MediaSettting &settings) const;
    void setMediaSetttingTemp(const MediaSettting &settings);
    // true keeps the working record, false goes back to the saved one; either way it is sent again.
    void setSaveMediaSettting(bool save);
    // The same for the subtitle style alone.
    void setSaveFontSettting(bool save);

    void setSubtitleSettings(const SubtitleSettings &style);
    void setSubtitleSettingsAll(const SubtitleSettings &style);
    void getSubtitleSettings(SubtitleSettings &style) const;
    void getSubtitleSettingsTemp(SubtitleSettings &style) const;
    void updateSubtitleSettings();

    void setSubtitle(const SubtitleValue_Info &selection);
    void setSubtitleAll(const SubtitleValue_Info &selection);
    void getSubtitle(SubtitleValue_Info &selection) const;
    void getSubtitleTemp(SubtitleValue_Info &selection) const;

    void setEffectSettings(const EffectSettings &effects);
    void getEffectSettings(EffectSettings &effects) const;

    // The playback object gets the bands with the preamp added to each gain (pushCopy).
    void setEQSettings(EqualizeSettings equalizer);
    void setEQSettingsAll(EqualizeSettings equalizer);
    void getEQSettings(EqualizeSettings &equalizer) const;
    // Sends the saved equaliser as stored, preamp not added.
    void updateEQSettings();
    // The bands with the preamp added to every gain, and a preamp of 0.
    static EqualizeSettings pushCopy(const EqualizeSettings &equalizer);

    void setSubltItemInfoList(const QList<SubltItemInfo> &items);
    void setSubltItemInfoListAll(const QList<SubltItemInfo> &items);
    void getSubltItemInfoList(QList<SubltItemInfo> &items) const;
    void getSubltItemInfoListTemp(QList<SubltItemInfo> &items) const;
    QList<SubltItemInfo> getSubltItemInfoListTemp() const;

    void setAudioList(const QList<QString> &names);
    void setAudioListAll(const QList<QString> &names);
    void getAudioList(QList<QString> &names) const;
    void getAudioListTemp(QList<QString> &names) const;

    void setAudioSettings(const AudioSettings &speed);
    void setAudioSettingsALL(const AudioSettings &speed);
    void getAudioSettings(AudioSettings &speed) const;

    void setAudioDelay(double seconds);
    void setAudioDelayAll(double seconds);
    double getAudioDelay() const;

    void setFillMode(int mode);
    void setFillModeAll(int mode);
    int getFillMode() const;

    void setAspectRatio(RatioType ratio);
    void setAspectRatioAll(RatioType ratio);
    RatioType getAspectRatio() const;

    void setRotate(int degree, int mirror);
    void setRotateAll(int degree, int mirror);
    void setFlip(int degree, int mirror);
    void setFlipAll(int degree, int mirror);
    int getDegree() const;
    int getMirror() const;

    void setDeinterlace(unsigned int mode);
    void setDeinterlaceAll(unsigned int mode);
    unsigned int getDeinterlace() const;

    QPair<uint32_t, uint32_t> getOriginalResolution();
    QPair<uint32_t, uint32_t> getOriginalAspectRatio();
    // The window size that shows the source at the aspect choice without shrinking it.
    QSize getScreenSize(RatioType ratio);
    MediaType getMediaType();

private:
    // The whole working record; flipFirst sends the flip before the rotation.
    void pushAll(bool flipFirst);

    MediaSettting m_working;
    MediaSettting m_saved;
    ZRQPlayObject *m_pPlayer = nullptr;
};

#endif
