#include "settings_dialog/qsynchrionizationform.h"

#include "engine/qmediasettingmanager.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrlineeditex.h"
#include "ui_qsynchrionizationform.h"

#include <QDoubleValidator>
#include <QPainter>

namespace {

const QColor White(255, 255, 255);

QString delayText(double delay)
{
    return QString::number(delay, 'f', 2);
}

// Typed delays: a point before the decimals in every locale, and no group separators, so that
// "1,5" is never read as 15.
QLocale typedLocale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    return locale;
}

}

QSynchrionizationForm::QSynchrionizationForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QSynchrionizationForm)
{
    ui->setupUi(this);
    initControls();
}

QSynchrionizationForm::~QSynchrionizationForm()
{
    delete ui;
}

void QSynchrionizationForm::initSlider(QZRBaseSlider *slider)
{
    QInitCtrlStyle::InitQZRSlider(slider, QZRBaseProgress::Horizontal);
    slider->setRange(0, 20);
    slider->setValue(10.0);
    connect(slider, &QZRBaseSlider::sendProgressValue, this, &QSynchrionizationForm::progressValue);
}

void QSynchrionizationForm::initLabel(QLabel *label)
{
    QInitCtrlStyle::InitPalette(label, QPalette::WindowText, White);
    QInitCtrlStyle::InitFont(label, 12);
}

// The number-only style, then a validator for signed decimals written the C way in every locale.
void QSynchrionizationForm::initLineEdit(QZRLineEditEx *edit, int decimals)
{
    QInitCtrlStyle::InitQZRLineEditEx(edit);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setSymbol("s");
    edit->setSymbolColor(White);
    edit->setSymbolDrawTextMargins(0, 0, 5, 0);
    edit->setTextMargins(0, 0, 10, 0);
    auto *validator = new QDoubleValidator(-10.0, 10.0, decimals, edit);
    validator->setLocale(typedLocale());
    validator->setNotation(QDoubleValidator::StandardNotation);
    edit->setValidator(validator);
    connect(edit, &QZRLineEditEx::textEdited, this, &QSynchrionizationForm::textEdited);
    connect(edit, &QZRLineEditEx::editingFinished, this, &QSynchrionizationForm::editingFinished);
}

void QSynchrionizationForm::initControls()
{
    setFocusPolicy(Qt::NoFocus);
    ui->m_lblAudio->setText(tr("Audio:"));
    ui->m_lblSubtitle->setText(tr("Subtitle:"));
    initLabel(ui->m_lblAudio);
    initLabel(ui->m_lblSubtitle);
    initLineEdit(ui->m_leAudioValue, 6);
    initLineEdit(ui->m_leSubtitleValue, 2);
    initSlider(ui->m_sliderAudio);
    initSlider(ui->m_sliderSubtitle);
}

void QSynchrionizationForm::setSettingManager(QMediaSettingManager *manager)
{
    m_pSettingManager = manager;
    loadingSetting();
}

void QSynchrionizationForm::loadingSetting()
{
    if (!m_pSettingManager)
        return;
    const double audio = m_pSettingManager->getAudioDelay();
    ui->m_sliderAudio->setValue(audio + 10);
    ui->m_leAudioValue->setText(delayText(audio));
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    ui->m_sliderSubtitle->setValue(style.m_delay + 10);
    ui->m_leSubtitleValue->setText(delayText(style.m_delay));
}

void QSynchrionizationForm::applySubtitleDelay(double delay)
{
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    if (style.m_delay == delay)
        return;
    style.m_delay = delay;
    m_pSettingManager->setSubtitleSettings(style);
}

void QSynchrionizationForm::applyAudioDelay(double delay)
{
    if (m_pSettingManager->getAudioDelay() != delay)
        m_pSettingManager->setAudioDelay(delay);
}

void QSynchrionizationForm::progressValue(double value)
{
    if (!m_pSettingManager)
        return;
    const double delay = (value > 0.49 && value < 0.51 ? 10.0 : value * 20) - 10;
    if (sender() == ui->m_sliderSubtitle) {
        ui->m_leSubtitleValue->setText(delayText(delay));
        applySubtitleDelay(delay);
    } else if (sender() == ui->m_sliderAudio) {
        ui->m_leAudioValue->setText(delayText(delay));
        applyAudioDelay(delay);
    }
}

// Typed text is read as a C-locale decimal; text that is no number yet, such as "-", applies nothing.
// A cleared edit shows "0" selected, so that the next key replaces it: typed after it, a sign
// would be refused and digits would follow the zero.
void QSynchrionizationForm::textEdited(QString text)
{
    QZRLineEditEx *edit = qobject_cast<QZRLineEditEx *>(sender());
    if (!m_pSettingManager || (edit != ui->m_leSubtitleValue && edit != ui->m_leAudioValue))
        return;
    double delay = 0;
    if (text.isEmpty()) {
        edit->setText("0");
        edit->selectAll();
    } else {
        bool ok = false;
        delay = typedLocale().toDouble(text, &ok);
        if (!ok || !qIsFinite(delay))
            return;
    }
    if (delay > 10 || delay < -10) {
        delay = qBound(-10.0, delay, 10.0);
        edit->setText(delayText(delay));
    }
    if (edit == ui->m_leSubtitleValue) {
        ui->m_sliderSubtitle->setValue(delay + 10);
        applySubtitleDelay(delay);
    } else {
        ui->m_sliderAudio->setValue(delay + 10);
        applyAudioDelay(delay);
    }
}

void QSynchrionizationForm::editingFinished()
{
}

void QSynchrionizationForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int y = (130 - ui->m_lblSubtitle->height()) / 2 + 30;
    const auto row = [y](QLabel *label, int x, QWidget *slider, QWidget *edit) {
        label->move(x, y);
        slider->move(label->geometry().right() + 6, y);
        edit->move(slider->geometry().right() + 6, y);
    };
    row(ui->m_lblSubtitle, 64, ui->m_sliderSubtitle, ui->m_leSubtitleValue);
    row(ui->m_lblAudio, (width() - 120) / 2 + 100, ui->m_sliderAudio, ui->m_leAudioValue);
}

void QSynchrionizationForm::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(QColor(22, 22, 22), 1));
    const int boxWidth = (width() - 120) / 2;
    painter.drawRect(40, 30, boxWidth, 129);
    painter.drawRect(boxWidth + 80, 30, boxWidth, 129);
}

void QSynchrionizationForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ui->m_sliderAudio->getButton()->setFocus();
}
