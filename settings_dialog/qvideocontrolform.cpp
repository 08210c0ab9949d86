#include "settings_dialog/qvideocontrolform.h"

#include "engine/mediasettting.h"
#include "engine/qmediasettingmanager.h"
#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrradiobutton.h"
#include "ui_qvideocontrolform.h"

#include <QButtonGroup>
#include <QPainter>

namespace {

const QColor White(255, 255, 255);

// Slider steps run 0..200 with the neutral value at 100; the casts truncate toward zero.
int brightnessSent(int v) { return int((v - 100) * 2.55); }
int brightnessLoaded(int e) { return int((255 + e) / 2.55); }
int contrastSent(int v) { return v <= 100 ? v : 2 * v - 100; }
int contrastLoaded(int e) { return e <= 100 ? e : int((e - 100) / 2.0) + 100; }
int same(int v) { return v; }
int hueSent(int v) { return int((v - 100) * 1.8); }
int hueLoaded(int e) { return int((180 + e) / 1.8); }

}

// One picture-effect row: its controls, its field of the effect record and the two conversions.
struct QVideoControlForm::EffectRow
{
    QZRBaseSlider *slider;
    QZRLineEditEx *edit;
    int EffectSettings::*field;
    int (*sent)(int);
    int (*loaded)(int);
    // Sent even when the converted value is the one the record holds.
    bool alwaysSent;
};

QVideoControlForm::QVideoControlForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QVideoControlForm)
{
    ui->setupUi(this);
    initControls();
}

QVideoControlForm::~QVideoControlForm()
{
    delete m_pAspectGroup;
    delete m_pFillModeGroup;
    delete m_pDeinterlaceGroup;
    delete ui;
}

// In loading order: hue, contrast, saturation, brightness.
QList<QVideoControlForm::EffectRow> QVideoControlForm::effectRows() const
{
    return {
        {ui->m_sliderHue, ui->m_leHueValue, &EffectSettings::m_hue, hueSent, hueLoaded, false},
        {ui->m_sliderContrast, ui->m_leConstrastValue, &EffectSettings::m_contrast, contrastSent, contrastLoaded, false},
        {ui->m_sliderSaturation, ui->m_leSaturationValue, &EffectSettings::m_saturation, same, same, false},
        {ui->m_sliderBrightness, ui->m_leBrightnessValue, &EffectSettings::m_brightness, brightnessSent, brightnessLoaded,
         true},
    };
}

void QVideoControlForm::initSlider(QZRBaseSlider *slider)
{
    QInitCtrlStyle::InitQZRSlider(slider, QZRBaseProgress::Horizontal);
    slider->setRange(0, 200);
    slider->setValue(100);
    connect(slider, &QZRBaseSlider::sendProgressValue, this, &QVideoControlForm::progressValue);
}

void QVideoControlForm::initLineEdit(QZRLineEditEx *edit)
{
    QInitCtrlStyle::InitQZRLineEditEx(edit);
    connect(edit, &QZRLineEditEx::textEdited, this, &QVideoControlForm::textEdited);
    edit->setSymbol("%");
    edit->setSymbolColor(White);
    edit->setSymbolDrawTextMargins(0, 0, 2, 0);
    edit->setTextMargins(0, 0, 9, 0);
}

void QVideoControlForm::initLabel(QLabel *label)
{
    QInitCtrlStyle::InitPalette(label, QPalette::WindowText, White);
    QInitCtrlStyle::InitFont(label, 12);
}

void QVideoControlForm::initQZRRadioButton(QZRRadioButton *button)
{
    QInitCtrlStyle::InitQZRRadioButton(button, true);
    button->setTextRect(QRect());
    button->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    connect(button, &QZRRadioButton::toggled, this, &QVideoControlForm::onRadioButton);
}

void QVideoControlForm::initControls()
{
    for (const EffectRow &row : effectRows()) {
        initSlider(row.slider);
        row.slider->resize(160, 24);
        initLineEdit(row.edit);
        row.edit->resize(36, 20);
    }

    const QList<QPair<QLabel *, const char *>> labels{
        {ui->m_lblSaturation, QT_TR_NOOP("Saturation:")}, {ui->m_lblHue, QT_TR_NOOP("Hue:")},
        {ui->m_lblContrast, QT_TR_NOOP("Contrast:")},     {ui->m_lblBrightness, QT_TR_NOOP("Brightness:")},
        {ui->m_lblaAspectRatio, QT_TR_NOOP("Aspect Ratio:")}, {ui->m_lblPanScan, QT_TR_NOOP("Adjust:")},
        {ui->m_lblDeint, QT_TR_NOOP("Deinterlace:")},     {ui->m_lblRotion, QT_TR_NOOP("Rotation:")},
    };
    for (const auto &label : labels) {
        label.first->setText(tr(label.second));
        initLabel(label.first);
    }

    struct Radio
    {
        QZRRadioButton *button;
        const char *text;
        const char *toolTip;
        int value;
    };
    const QList<QPair<QButtonGroup **, QList<Radio>>> groups{
        {&m_pAspectGroup,
         {{ui->m_btnOriginal, QT_TR_NOOP("Org Display"), QT_TR_NOOP("Original Display"), RatioType_Source},
          {ui->m_btnOriginalSize, QT_TR_NOOP("Org Resolution"), QT_TR_NOOP("Original Resolution"), RatioType_PixelSize},
          {ui->m_btnRatio_16_9, QT_TR_NOOP("16:9"), nullptr, RatioType_16_9},
          {ui->m_rbtnRatio_4_3, QT_TR_NOOP("4:3"), nullptr, RatioType_4_3},
          {ui->m_rbntRatio_9_16, QT_TR_NOOP("9:16"), nullptr, RatioType_9_16},
          {ui->m_rbtnRatio_3_4, QT_TR_NOOP("3:4"), nullptr, RatioType_3_4}}},
        {&m_pFillModeGroup,
         {{ui->m_btnLetterBox, QT_TR_NOOP("LetterBox"), nullptr, 0},
          {ui->m_btnPanScan, QT_TR_NOOP("Pan&Scan"), nullptr, 1},
          {ui->m_btnFullScreen, QT_TR_NOOP("Fill Screen"), nullptr, 2}}},
        {&m_pDeinterlaceGroup,
         {{ui->m_btnDisable, QT_TR_NOOP("Disable"), nullptr, 0},
          {ui->m_btnAuto, QT_TR_NOOP("Auto"), nullptr, 1},
          {ui->m_btnInternet, QT_TR_NOOP("Enable"), nullptr, 2}}},
    };
    for (const auto &group : groups) {
        *group.first = new QButtonGroup;
        for (const Radio &radio : group.second) {
            (*group.first)->addButton(radio.button, radio.value);
            initQZRRadioButton(radio.button);
            radio.button->setText(tr(radio.text));
            radio.button->setToolTip(radio.toolTip ? tr(radio.toolTip) : QString());
        }
    }
    // Each column of choices is 60 wide, or as wide as its longest text needs with room on both sides.
    const QList<QList<QZRRadioButton *>> rows{
        {ui->m_btnOriginal, ui->m_btnOriginalSize, ui->m_btnRatio_16_9},
        {ui->m_rbtnRatio_4_3, ui->m_rbntRatio_9_16, ui->m_rbtnRatio_3_4},
        {ui->m_btnLetterBox, ui->m_btnPanScan, ui->m_btnFullScreen},
        {ui->m_btnAuto, ui->m_btnInternet, ui->m_btnDisable},
    };
    for (int column = 0; column < 3; ++column) {
        int width = 60;
        for (const auto &row : rows)
            width = qMax(width, row[column]->fontMetrics().horizontalAdvance(row[column]->text()) + 10);
        for (const auto &row : rows)
            row[column]->resize(width, 24);
    }

    const QString images = QIAnyUtil::getResourcePath();
    const QList<QPair<QZRBaseButton *, QPair<QString, const char *>>> buttons{
        {ui->m_btnRotate_L_90, {images + "/images/Settings/btn_Rotate_L_90.png", QT_TR_NOOP("Rotate Anticlockwise")}},
        {ui->m_btnRotate_R_90, {images + "/images/Settings/btn_Rotate_R_90.png", QT_TR_NOOP("Rotate Clockwise")}},
        {ui->m_btnFlipH, {images + "/images/Settings/btn_Flip_H.png", QT_TR_NOOP("Flip Horizontal")}},
        {ui->m_btnFlipV, {images + "/images/Settings/btn_Flip_V.png", QT_TR_NOOP("Flip Vertical")}},
    };
    for (const auto &button : buttons) {
        button.first->setButtonImage(button.second.first, true);
        button.first->setToolTip(tr(button.second.second));
        connect(button.first, &QZRBaseButton::clicked, this, &QVideoControlForm::onButton);
    }
}

void QVideoControlForm::setSettingManager(QMediaSettingManager *manager)
{
    m_pSettingManager = manager;
    loadingSetting();
}

void QVideoControlForm::loadingSetting()
{
    if (!m_pSettingManager)
        return;
    EffectSettings effects;
    m_pSettingManager->getEffectSettings(effects);
    for (const EffectRow &row : effectRows()) {
        const int v = row.loaded(effects.*row.field);
        row.slider->setValue(v);
        row.edit->setText(QString::number(v));
    }
    updateFillMode();
    updateAspectRatio();
    updateDeinterlace();
}

void QVideoControlForm::checkRadio(QButtonGroup *group, int value)
{
    if (QAbstractButton *button = group->button(value))
        button->setChecked(true);
}

void QVideoControlForm::updateFillMode()
{
    if (m_pSettingManager)
        checkRadio(m_pFillModeGroup, m_pSettingManager->getFillMode());
}

void QVideoControlForm::updateAspectRatio()
{
    if (m_pSettingManager)
        checkRadio(m_pAspectGroup, m_pSettingManager->getAspectRatio());
}

void QVideoControlForm::updateDeinterlace()
{
    if (m_pSettingManager)
        checkRadio(m_pDeinterlaceGroup, int(m_pSettingManager->getDeinterlace()));
}

void QVideoControlForm::aspectRatioChange()
{
    if (m_pSettingManager)
        emit emitAspectRatio(m_pSettingManager->getAspectRatio());
}

void QVideoControlForm::panScanChange()
{
    if (m_pSettingManager)
        emit emitFillMode(m_pSettingManager->getFillMode());
}

void QVideoControlForm::deintChange()
{
    if (m_pSettingManager)
        emit emitDeinterlace(int(m_pSettingManager->getDeinterlace()));
}

void QVideoControlForm::progressValue(double value)
{
    if (!m_pSettingManager)
        return;
    const int v = value > 0.49 && value < 0.51 ? 100 : int(value * 200);
    for (const EffectRow &row : effectRows()) {
        if (row.slider != sender())
            continue;
        EffectSettings effects;
        m_pSettingManager->getEffectSettings(effects);
        row.edit->setText(QString::number(v));
        const int converted = row.sent(v);
        if (!row.alwaysSent && converted == effects.*row.field)
            return;
        effects.*row.field = converted;
        m_pSettingManager->setEffectSettings(effects);
        return;
    }
}

void QVideoControlForm::textEdited(QString text)
{
    if (!m_pSettingManager)
        return;
    for (const EffectRow &row : effectRows()) {
        if (row.edit != sender())
            continue;
        // A leading zero goes, one per keystroke.
        if (text.length() >= 2 && text.startsWith('0')) {
            text.remove(0, 1);
            row.edit->setText(text);
        }
        int v = 0;
        if (text.isEmpty())
            row.edit->setText("0");
        else
            v = text.toInt(nullptr, 10);
        v = qMin(v, 200);
        EffectSettings effects;
        m_pSettingManager->getEffectSettings(effects);
        effects.*row.field = row.sent(v);
        row.slider->setValue(v);
        m_pSettingManager->setEffectSettings(effects);
        return;
    }
}

// Runs for the button losing its check and for the one gaining it, so the hub ends with the one
// chosen; the menus hear the group's value once it holds.
void QVideoControlForm::onRadioButton()
{
    QAbstractButton *button = qobject_cast<QAbstractButton *>(sender());
    if (!m_pSettingManager || !button)
        return;
    if (m_pAspectGroup->buttons().contains(button)) {
        m_pSettingManager->setAspectRatio(RatioType(m_pAspectGroup->id(button)));
        if (button->isChecked())
            aspectRatioChange();
    } else if (m_pFillModeGroup->buttons().contains(button)) {
        m_pSettingManager->setFillMode(m_pFillModeGroup->id(button));
        if (button->isChecked())
            panScanChange();
    } else if (m_pDeinterlaceGroup->buttons().contains(button)) {
        m_pSettingManager->setDeinterlace(unsigned(m_pDeinterlaceGroup->id(button)));
        if (button->isChecked())
            deintChange();
    }
}

void QVideoControlForm::onButton()
{
    if (!m_pSettingManager)
        return;
    MediaSettting record;
    m_pSettingManager->getMediaSettting(record);
    int degree = record.m_rotate;
    int mirror = record.m_mirror;
    if (sender() == ui->m_btnRotate_L_90) {
        degree = (degree + (mirror ? 270 : 90)) % 360;
        m_pSettingManager->setRotate(degree, mirror);
    } else if (sender() == ui->m_btnRotate_R_90) {
        degree = (degree + (mirror ? 90 : 270)) % 360;
        m_pSettingManager->setRotate(degree, mirror);
    } else if (sender() == ui->m_btnFlipH) {
        m_pSettingManager->setFlip(degree, 1 - mirror);
    } else if (sender() == ui->m_btnFlipV) {
        m_pSettingManager->setFlip((degree + 180) % 360, 1 - mirror);
    }
}

void QVideoControlForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int top = height() - 4 * ui->m_lblBrightness->height() - 34;

    QLabel *labels[] = {ui->m_lblBrightness, ui->m_lblContrast, ui->m_lblSaturation, ui->m_lblHue};
    QZRBaseSlider *sliders[] = {ui->m_sliderBrightness, ui->m_sliderContrast, ui->m_sliderSaturation, ui->m_sliderHue};
    QZRLineEditEx *edits[] = {ui->m_leBrightnessValue, ui->m_leConstrastValue, ui->m_leSaturationValue, ui->m_leHueValue};
    for (int i = 0; i < 4; ++i) {
        labels[i]->move(28, i == 0 ? top : labels[i - 1]->geometry().bottom() + 8);
        sliders[i]->move(labels[0]->geometry().right() + 10, i == 0 ? top : sliders[i - 1]->geometry().bottom() + 8);
        edits[i]->move(sliders[0]->geometry().right() + 10, i == 0 ? top + 2 : sliders[i - 1]->geometry().bottom() + 10);
    }

    const int right = edits[0]->geometry().right() + 20;
    QLabel *aspect = ui->m_lblaAspectRatio;
    aspect->move(right, top);
    ui->m_lblPanScan->move(right, aspect->geometry().bottom() + aspect->height() + 16);
    ui->m_lblDeint->move(right, ui->m_lblPanScan->geometry().bottom() + 8);

    // Each radio row starts 8 px right of its label, its buttons 8 px apart.
    const auto row = [](QWidget *label, int y, std::initializer_list<QWidget *> radios) {
        int x = label->geometry().right() + 8;
        for (QWidget *radio : radios) {
            radio->move(x, y);
            x = radio->geometry().right() + 8;
        }
    };
    row(aspect, top, {ui->m_btnOriginal, ui->m_btnOriginalSize, ui->m_btnRatio_16_9});
    row(aspect, aspect->geometry().bottom() + 8, {ui->m_rbtnRatio_4_3, ui->m_rbntRatio_9_16, ui->m_rbtnRatio_3_4});
    row(ui->m_lblPanScan, ui->m_rbtnRatio_4_3->geometry().bottom() + 8,
        {ui->m_btnLetterBox, ui->m_btnPanScan, ui->m_btnFullScreen});
    row(ui->m_lblDeint, ui->m_lblPanScan->geometry().bottom() + 8, {ui->m_btnAuto, ui->m_btnInternet, ui->m_btnDisable});

    ui->m_lblRotion->move(ui->m_btnRatio_16_9->geometry().right() + 26, top);
    row(ui->m_lblRotion, top, {ui->m_btnRotate_L_90, ui->m_btnRotate_R_90});
    row(ui->m_lblRotion, ui->m_btnRotate_L_90->geometry().bottom() + 8, {ui->m_btnFlipH, ui->m_btnFlipV});
}

void QVideoControlForm::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(QColor(22, 22, 22), 1));
    const QPoint aspect = ui->m_lblaAspectRatio->pos();
    const QPoint rotation = ui->m_lblRotion->pos();
    painter.drawLine(aspect.x() - 6, aspect.y(), aspect.x() - 6, aspect.y() + 120);
    painter.drawLine(rotation.x() - 12, rotation.y(), rotation.x() - 12, rotation.y() + 120);
}
