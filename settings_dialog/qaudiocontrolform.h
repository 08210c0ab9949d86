#ifndef QAUDIOCONTROLFORM_H
#define QAUDIOCONTROLFORM_H

#include "settings_dialog/equalizerpreset.h"

#include <QList>
#include <QWidget>

class QLabel;
class QMediaSettingManager;
class QZRBaseSlider;
class QZRScrollBar;
class Ui_QAudioControlForm;

// The slider rule of the audio page: a ratio 0..1 to a position on 0..24, the middle band
// snapping to 12 exactly; the gain in dB is the result less 12.
double getTextValueA(double ratio);

// The equaliser page: a preamp and ten bands on vertical sliders, and the sound-effect presets.
// It keeps no equaliser: every move hands the hub's working one back changed.
class QAudioControlForm : public QWidget
{
    Q_OBJECT

public:
    explicit QAudioControlForm(QWidget *parent = nullptr);
    ~QAudioControlForm() override;

    void setSettingManager(QMediaSettingManager *manager);
    void loadingSetting();
    void updateSetting();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void progressValue(double value);
    void effectsCurrentIndexChanged(int index);

private:
    void initData();
    void initControls();
    void initSliderH(QZRBaseSlider *slider);
    void initLabel(QLabel *label);
    // The hub's working equaliser with at least the page's ten bands; missing bands are flat.
    EqualizeSettings workingEqualizer() const;
    void showEqualizer(const EqualizeSettings &equalizer);

    Ui_QAudioControlForm *ui;
    QList<QZRBaseSlider *> m_bandSliders;
    QList<QLabel *> m_bandValues;
    QZRScrollBar *m_pScrollBar = nullptr;
    QList<EqualizerPreset> m_presets;
    QMediaSettingManager *m_pSettingManager = nullptr;
};

#endif
