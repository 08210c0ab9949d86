#include "settings_dialog/qaudiocontrolform.h"

#include "engine/qmediasettingmanager.h"
#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrscrollbar.h"
#include "ui_qaudiocontrolform.h"

#include <QPainter>

double getTextValueA(double ratio)
{
    if (ratio > 0.49 && ratio < 0.51)
        return 12.0;
    return ratio * 24.0;
}

namespace {

QString gainText(double gain)
{
    return QString::number(gain, 'f', 1);
}

}

QAudioControlForm::QAudioControlForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QAudioControlForm)
{
    ui->setupUi(this);
    initData();
    initControls();
}

QAudioControlForm::~QAudioControlForm()
{
    delete m_pScrollBar;
    delete ui;
}

void QAudioControlForm::initData()
{
    m_presets.clear();
    const QList<QPair<const char *, const char *>> names{
        {QT_TR_NOOP("Normal"), "Normal.png"},         {QT_TR_NOOP("Full Bass"), "FullBass.png"},
        {QT_TR_NOOP("Full Treble"), "FullTreBle.png"}, {QT_TR_NOOP("Large Hall"), "LargeHall.png"},
        {QT_TR_NOOP("Pop"), "Pop.png"},               {QT_TR_NOOP("Rock"), "Rock.png"},
        {QT_TR_NOOP("Classical"), "Classical.png"},   {QT_TR_NOOP("Party"), "Party.png"},
        {QT_TR_NOOP("Dance"), "Dance.png"},           {QT_TR_NOOP("Ska"), "Ska.png"},
    };
    const double gains[][EqualizerPreset::BandCount] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {6, 6, 6, 3, 3, 0, -3, -6, -6, -6},
        {6, 6, 6, -2, 1.5, 6, 8, 8, 8, 8},
        {6, 6, 3, 3, 0, -3, -3, -3, 0, 0},
        {-1.5, 1, 2, 2, 1, -1.5, -2, -2, -2, -2},
        {4, 2, -4, -5, -2, 2, 5, 6, 6, 6},
        {0, 0, 0, 0, 0, 0, -4, -4, -4, -6},
        {10, 4, 0, 0, 0, 0, 0, 0, 4, 4},
        {6, 3, 1, 0, 0, -3, -4, -4, 0, 0},
        {-1, -3, -2, 0, 2, 3, 4, 5, 6, 6},
    };
    for (int i = 0; i < names.size(); ++i)
        m_presets.append(EqualizerPreset(tr(names.at(i).first), names.at(i).second, gains[i]));
}

void QAudioControlForm::initSliderH(QZRBaseSlider *slider)
{
    QInitCtrlStyle::InitQZRSlider(slider, QZRBaseProgress::Vertical);
    slider->setRange(0, 24);
    slider->setValue(12);
    slider->resize(24, 93);
    connect(slider, &QZRBaseSlider::sendProgressValue, this, &QAudioControlForm::progressValue);
}

void QAudioControlForm::initLabel(QLabel *label)
{
    QInitCtrlStyle::InitPalette(label, QPalette::WindowText, QColor(255, 255, 255, 255));
    QInitCtrlStyle::InitFont(label, 12);
}

void QAudioControlForm::initControls()
{
    m_bandSliders = {ui->m_slider60, ui->m_slider170, ui->m_slider310, ui->m_slider600, ui->m_slider1K,
                     ui->m_slider3K, ui->m_slider6K,  ui->m_slider12K, ui->m_slider14K, ui->m_slider16K};
    initSliderH(ui->m_sliderPreamp);
    for (QZRBaseSlider *slider : qAsConst(m_bandSliders))
        initSliderH(slider);

    const QList<QLabel *> names{ui->m_lblPreamp, ui->m_lbl60, ui->m_lbl170, ui->m_lbl310, ui->m_lbl600,
                                ui->m_lbl1K,     ui->m_lbl3K, ui->m_lbl6K,  ui->m_lbl12K, ui->m_lbl14K,
                                ui->m_lbl16K,    ui->m_lblDB, ui->m_lblHZ,  ui->m_lblPreampValue};
    for (QLabel *label : names)
        initLabel(label);
    m_bandValues = {ui->m_lbl60Value, ui->m_lbl170Value, ui->m_lbl310Value, ui->m_lbl600Value, ui->m_lbl1KValue,
                    ui->m_lbl3KValue, ui->m_lbl6KValue,  ui->m_lbl12KValue, ui->m_lbl14KValue, ui->m_lbl16KValue};
    for (QLabel *label : qAsConst(m_bandValues))
        initLabel(label);

    m_pScrollBar = new QZRScrollBar(Qt::Horizontal, nullptr);
    QInitCtrlStyle::InitQZRScrollBar(m_pScrollBar);
    ui->m_effectsList->setHorizontalScrollBar(m_pScrollBar);
    connect(ui->m_effectsList, &QHorizontalListFrom::currentIndexChanged, this,
            &QAudioControlForm::effectsCurrentIndexChanged);
    initLabel(ui->m_lblSoundEffects);

    ui->m_effectsList->clear();
    for (const EqualizerPreset &preset : qAsConst(m_presets))
        ui->m_effectsList->addListItem(QIAnyUtil::getResourcePath() + "/images/AudioEffects/" + preset.m_icon,
                                       preset.m_name);
    ui->m_effectsList->setCurrentIndex(0);
    ui->m_effectsList->setBackgroundColor(QColor(44, 44, 44, 255));
}

void QAudioControlForm::setSettingManager(QMediaSettingManager *manager)
{
    m_pSettingManager = manager;
    loadingSetting();
}

EqualizeSettings QAudioControlForm::workingEqualizer() const
{
    EqualizeSettings equalizer;
    m_pSettingManager->getEQSettings(equalizer);
    if (equalizer.m_count >= EqualizerPreset::BandCount)
        return equalizer;
    double frequencies[EqualizerPreset::BandCount];
    double gains[EqualizerPreset::BandCount];
    for (int i = 0; i < EqualizerPreset::BandCount; ++i) {
        const bool present = i < equalizer.m_count;
        frequencies[i] = present ? equalizer.m_frequencies[i] : EqualizerPreset::BandFrequencies[i];
        gains[i] = present ? equalizer.m_gains[i] : 0;
    }
    const double preamp = equalizer.m_preamp;
    equalizer.setBands(frequencies, gains, EqualizerPreset::BandCount);
    equalizer.m_preamp = preamp;
    return equalizer;
}

void QAudioControlForm::showEqualizer(const EqualizeSettings &equalizer)
{
    ui->m_sliderPreamp->setValue(equalizer.m_preamp + 12);
    ui->m_lblPreampValue->setText(gainText(equalizer.m_preamp));
    for (int i = 0; i < m_bandSliders.size(); ++i) {
        m_bandSliders.at(i)->setValue(equalizer.m_gains[i] + 12);
        m_bandValues.at(i)->setText(gainText(equalizer.m_gains[i]));
    }
}

void QAudioControlForm::loadingSetting()
{
    if (m_pSettingManager)
        showEqualizer(workingEqualizer());
}

void QAudioControlForm::updateSetting()
{
    if (!m_pSettingManager)
        return;
    ui->m_effectsList->setCurrentIndex(0);
    m_pSettingManager->setEQSettings(m_presets.first().m_equalizer);
    loadingSetting();
}

void QAudioControlForm::progressValue(double value)
{
    if (!m_pSettingManager)
        return;
    EqualizeSettings equalizer = workingEqualizer();
    const double gain = getTextValueA(value) - 12;
    const int band = m_bandSliders.indexOf(qobject_cast<QZRBaseSlider *>(sender()));
    if (sender() == ui->m_sliderPreamp) {
        ui->m_lblPreampValue->setText(gainText(gain));
        equalizer.m_preamp = gain;
    } else if (band >= 0) {
        m_bandValues.at(band)->setText(gainText(gain));
        equalizer.m_gains[band] = gain;
    }
    m_pSettingManager->setEQSettings(equalizer);
}

void QAudioControlForm::effectsCurrentIndexChanged(int index)
{
    if (!m_pSettingManager || index < 0 || index >= m_presets.size())
        return;
    const EqualizeSettings &equalizer = m_presets.at(index).m_equalizer;
    showEqualizer(equalizer);
    m_pSettingManager->setEQSettings(equalizer);
}

void QAudioControlForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    QZRBaseSlider *preamp = ui->m_sliderPreamp;
    preamp->move(56, 48);
    const QRect p = preamp->geometry();
    int x = p.right() + 20;
    for (QZRBaseSlider *slider : qAsConst(m_bandSliders)) {
        slider->move(x, 48);
        x = slider->geometry().right() + 10;
    }
    ui->m_lblDB->move(p.left() - 30, p.top() - 20);
    ui->m_lblPreampValue->move(p.left() - 1, p.top() - 20);
    ui->m_lblHZ->move(p.left() - 33, p.bottom());
    ui->m_lblPreamp->move(p.left() - 10, p.bottom());
    const QList<QLabel *> names{ui->m_lbl60, ui->m_lbl170, ui->m_lbl310, ui->m_lbl600, ui->m_lbl1K,
                                ui->m_lbl3K, ui->m_lbl6K,  ui->m_lbl12K, ui->m_lbl14K, ui->m_lbl16K};
    for (int i = 0; i < m_bandSliders.size(); ++i) {
        const QRect band = m_bandSliders.at(i)->geometry();
        m_bandValues.at(i)->move(band.left() - 1, band.top() - 20);
        names.at(i)->move(band.left() - 4, p.bottom());
    }
    const int right = ui->m_slider16K->geometry().right();
    ui->m_lblSoundEffects->move(right + 34, 31);
    ui->m_effectsList->move(right + 34, ui->m_lblSoundEffects->geometry().bottom() + 10);
}

void QAudioControlForm::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_bandSliders.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(QPen(QColor(22, 22, 22, 255), 1));
    for (int i = 0; i + 1 < m_bandSliders.size(); ++i) {
        const QRect band = m_bandSliders.at(i)->geometry();
        const int middle = band.top() + band.height() / 2;
        painter.drawLine(band.right() + 2, middle, band.right() + 8, middle);
    }
    const QPoint effects = ui->m_lblSoundEffects->pos();
    painter.drawLine(effects.x() - 17, effects.y(), effects.x() - 17, effects.y() + 125);
}
