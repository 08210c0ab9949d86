#include "settings_dialog/qsubtitleform.h"

#include "engine/mediasettting.h"
#include "engine/qmediasettingmanager.h"
#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrcombobox.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrradiobutton.h"
#include "toolkit/qzrscrollbar.h"
#include "ui_qsubtitleform.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <cmath>

namespace {

const QColor White(255, 255, 255, 255);

// Positions of the text in the style record.
enum { Bottom = 0, Top = 16, Middle = 32 };

// The scale slider runs 0..4000 on a log scale: 2000 is 100 %, each 1000 doubles or halves it.
double scaleToSlider(double scale)
{
    return 2000 + 1000 * std::log2(scale / 100);
}

// Typed scales, in percent.
const int LeastScale = 25;
const int MostScale = 400;

}

QSubtitleForm::QSubtitleForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QSubtitleForm)
{
    ui->setupUi(this);
    initControls();
}

QSubtitleForm::~QSubtitleForm()
{
    delete m_pScrollBar;
    m_pScrollBar = nullptr;
    delete ui;
}

void QSubtitleForm::initLabel(QLabel *label)
{
    QInitCtrlStyle::InitPalette(label, QPalette::WindowText, White);
    QInitCtrlStyle::InitFont(label, 12);
}

void QSubtitleForm::initSlider(QZRBaseSlider *slider)
{
    QInitCtrlStyle::InitQZRSlider(slider, QZRBaseProgress::Horizontal);
    slider->setRange(0, 200);
    slider->setValue(100);
    connect(slider, &QZRBaseSlider::sendProgressValue, this, &QSubtitleForm::progressValue);
}

void QSubtitleForm::initLineEdit(QZRLineEdit *edit)
{
    QInitCtrlStyle::InitQZRLineEdit(edit);
    connect(edit, &QZRLineEdit::textEdited, this, &QSubtitleForm::textEdited);
}

void QSubtitleForm::initQZRRadioButton(QZRRadioButton *button)
{
    QInitCtrlStyle::InitQZRRadioButton(button, true);
    button->setTextRect(QRect());
    button->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void QSubtitleForm::initControls()
{
    for (QLabel *label : {ui->m_lblFile, ui->m_lblMargin, ui->m_lblPosition, ui->m_lblScale, ui->m_lblTrack,
                          ui->m_lblTransparency})
        initLabel(label);

    initSlider(ui->m_sliderAlpha);
    initSlider(ui->m_sliderPosition);
    ui->m_sliderPosition->setRange(0, 1000);
    ui->m_sliderPosition->setValue(50);
    initSlider(ui->m_sliderScale);
    ui->m_sliderScale->setRange(0, 4000);
    ui->m_sliderScale->setValue(2000);

    for (QZRLineEditEx *edit : {ui->m_leAlphaValue, ui->m_lePositionValue, ui->m_leScaleValue}) {
        initLineEdit(edit);
        QFont symbolFont = edit->font();
        symbolFont.setFamily("Tahoma");
        symbolFont.setPixelSize(12);
        edit->setSymbolFont(symbolFont);
        edit->setSymbolColor(White);
        edit->setSymbol("%");
        edit->setSymbolDrawTextMargins(0, 0, 2, 0);
        edit->setTextMargins(0, 0, 9, 0);
    }
    ui->m_leScaleValue->installEventFilter(this);
    initLineEdit(ui->m_leFamilyPath);
    ui->m_leFamilyPath->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    for (QZRRadioButton *radio : {ui->m_rbtnTop, ui->m_rbtnMiddle, ui->m_rbtnBottom})
        initQZRRadioButton(radio);
    for (QZRRadioButton *radio : {ui->m_rbtnBottom, ui->m_rbtnMiddle, ui->m_rbtnTop})
        connect(radio, &QZRRadioButton::toggled, this, &QSubtitleForm::onRadioButton);

    const QString resources = QIAnyUtil::getResourcePath();
    ui->m_btnSetFamily->setButtonImage(resources + "/images/Settings/btn_family.png", true);
    ui->m_btnSetFamily->setToolTip(tr("Add Subtitle file"));
    ui->m_btnSetFamily->resize(24, 24);
    ui->m_btnSetSubtitleFont->setButtonImage(resources + "/images/Settings/bnt_font.png", true);
    ui->m_btnSetSubtitleFont->setToolTip(tr("Font"));
    ui->m_btnSetSubtitleFont->resize(24, 24);

    QInitCtrlStyle::InitZRCombox(ui->m_cbbSubtitleList, 160, 24, QString());
    m_pScrollBar = new QZRScrollBar(Qt::Vertical, nullptr);
    QInitCtrlStyle::InitQZRScrollBar(m_pScrollBar);
    // The combo box only draws its own list once its skin image is there.
    if (QListWidget *list = ui->m_cbbSubtitleList->listWidget())
        list->setVerticalScrollBar(m_pScrollBar);

    connect(ui->m_btnSetSubtitleFont, &QZRBaseButton::clicked, this, &QSubtitleForm::emitSubtitleSetting);
    connect(ui->m_btnSetFamily, &QZRBaseButton::clicked, this, &QSubtitleForm::onSetFamily);
}

void QSubtitleForm::setSettingManager(QMediaSettingManager *manager)
{
    m_pSettingManager = manager;
    loadingSetting();
}

void QSubtitleForm::loadingSetting()
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    ui->m_sliderAlpha->setValue(200 * style.m_alpha / 255);
    ui->m_leAlphaValue->setText(QString::number(int(style.m_alpha / 2.55)));
    ui->m_sliderPosition->setValue(style.m_marginY * 1000);
    ui->m_lePositionValue->setText(QString::number(int(style.m_marginY * 100)));
    ui->m_sliderScale->setValue(scaleToSlider(style.m_scaleX));
    ui->m_leScaleValue->setText(QString::number(style.m_scaleX));
    if (style.m_position == Bottom) {
        ui->m_rbtnBottom->setChecked(true);
    } else if (style.m_position == Top) {
        ui->m_rbtnTop->setChecked(true);
    } else if (style.m_position == Middle) {
        ui->m_rbtnMiddle->setChecked(true);
    } else {
        // A position the page does not offer checks none. Exclusive buttons refuse to be unchecked,
        // and a button switched off would send its own position: each goes off unheard, on its own.
        for (QZRRadioButton *radio : {ui->m_rbtnTop, ui->m_rbtnMiddle, ui->m_rbtnBottom}) {
            const QSignalBlocker unheard(radio);
            radio->setAutoExclusive(false);
            radio->setChecked(false);
            radio->setAutoExclusive(true);
        }
    }
    updateSubtitleSelect();
}

void QSubtitleForm::updateSubtitleSelect()
{
    if (!m_pSettingManager)
        return;
    QZRComboBox *list = ui->m_cbbSubtitleList;
    QList<SubltItemInfo> items;
    m_pSettingManager->getSubltItemInfoList(items);
    if (m_pSettingManager->getMediaType() != MediaType_Video || items.isEmpty()) {
        list->clear();
        ui->m_leFamilyPath->clear();
        return;
    }
    // Refilled unheard, so the hub's selection stays as it is.
    list->clear();
    disconnect(list, nullptr, this, nullptr);
    for (const SubltItemInfo &item : qAsConst(items))
        list->addItem(QString::fromStdString(item.m_text), QString::fromStdString(item.m_itemData));

    SubtitleValue_Info selection;
    m_pSettingManager->getSubtitleTemp(selection);
    list->setCheckState(selection.m_subtitleIndex != 0);
    list->setCurrentIndex(selection.m_subtitleIndex);
    ui->m_leFamilyPath->setText(list->itemData(selection.m_subtitleIndex).toString());
    connect(list, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &QSubtitleForm::subtitleSelectedChanged);
}

void QSubtitleForm::changeUpdate()
{
    emit emitSubtitleChange();
}

void QSubtitleForm::progressValue(double value)
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    if (sender() == ui->m_sliderAlpha) {
        const int alpha = int(255 * value);
        if (alpha == style.m_alpha)
            return;
        style.m_alpha = alpha;
        ui->m_leAlphaValue->setText(QString::number(int(100 * value)));
    } else if (sender() == ui->m_sliderPosition) {
        if (value == style.m_marginY)
            return;
        style.m_marginY = value;
        ui->m_lePositionValue->setText(QString::number(int(100 * value)));
    } else if (sender() == ui->m_sliderScale) {
        const double exponent = value > 0.49 && value < 0.51 ? 0 : (value - 0.5) * 4000;
        const double scale = 100 * std::pow(2.0, exponent / 1000);
        if (int(scale) == style.m_scaleX)
            return;
        style.m_scaleX = int(scale);
        style.m_scaleY = int(scale);
        ui->m_leScaleValue->setText(QString::number(qRound(scale)));
    } else {
        return;
    }
    m_pSettingManager->setSubtitleSettings(style);
}

void QSubtitleForm::textEdited(QString text)
{
    if (!m_pSettingManager)
        return;
    const int value = text.toInt(nullptr, 10);
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    if (sender() == ui->m_leAlphaValue) {
        const int percent = qMin(value, 100);
        ui->m_leAlphaValue->setText(QString::number(percent));
        ui->m_sliderAlpha->setValue(2 * percent);
        const int alpha = 255 * percent / 100;
        if (alpha == style.m_alpha)
            return;
        style.m_alpha = alpha;
    } else if (sender() == ui->m_lePositionValue) {
        const int percent = qMin(value, 100);
        ui->m_lePositionValue->setText(QString::number(percent));
        ui->m_sliderPosition->setValue(10 * percent);
        if (percent / 100.0 == style.m_marginY)
            return;
        style.m_marginY = percent / 100.0;
    } else if (sender() == ui->m_leScaleValue) {
        // Typed digit by digit, a scale passes through values out of range ("1" on the way to "150"):
        // those wait for the edit to be finished, where the clamp applies.
        if (value >= LeastScale && value <= MostScale)
            applyScale(value);
        return;
    } else {
        return;
    }
    m_pSettingManager->setSubtitleSettings(style);
}

// Return, Enter or the focus leaving finish typing in the scale edit: its text is clamped and shown
// clamped. A text the user did not change (loaded, or written by the slider) stays as it is.
bool QSubtitleForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->m_leScaleValue && m_pSettingManager && ui->m_leScaleValue->isModified()) {
        const bool finished = event->type() == QEvent::FocusOut
            || (event->type() == QEvent::KeyPress
                && (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return
                    || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter));
        if (finished) {
            const int scale = qBound(LeastScale, ui->m_leScaleValue->text().toInt(nullptr, 10), MostScale);
            ui->m_leScaleValue->setText(QString::number(scale));
            applyScale(scale);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Both scale fields, sent only when they change; the slider follows.
void QSubtitleForm::applyScale(int scale)
{
    ui->m_sliderScale->setValue(scaleToSlider(scale));
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    if (scale == style.m_scaleX)
        return;
    style.m_scaleX = scale;
    style.m_scaleY = scale;
    m_pSettingManager->setSubtitleSettings(style);
}

void QSubtitleForm::subtitleSelectedChanged(int index)
{
    if (index < 0 || !m_pSettingManager)
        return;
    SubtitleValue_Info selection;
    m_pSettingManager->getSubtitle(selection);
    const QString data = ui->m_cbbSubtitleList->itemData(index).toString();
    selection.m_subtitleIndex = index;
    selection.m_itemData = data.toUtf8().toStdString();
    m_pSettingManager->setSubtitle(selection);
    ui->m_leFamilyPath->setText(data);
}

// Runs for the button switched off and then for the one switched on, so the latter's value stays.
void QSubtitleForm::onRadioButton()
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    if (sender() == ui->m_rbtnBottom)
        style.m_position = Bottom;
    else if (sender() == ui->m_rbtnTop)
        style.m_position = Top;
    else if (sender() == ui->m_rbtnMiddle)
        style.m_position = Middle;
    m_pSettingManager->setSubtitleSettings(style);
}

void QSubtitleForm::onSetFamily()
{
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Open Subtitle File"), QDir::homePath(),
        tr("Subtitles (*.ASS *.SSA *.SRT *.SUB *.SMI *.SAMI *.SUP *.LRC *.WEBVTT *.VTT "
           "*.ass *.ssa *.srt *.sub *.smi *.sami *.sup *.lrc *.webvtt *.vtt)"));
    if (path.isEmpty() || path == ui->m_leFamilyPath->text() || !m_pSettingManager)
        return;

    QZRComboBox *list = ui->m_cbbSubtitleList;
    QList<SubltItemInfo> items;
    m_pSettingManager->getSubltItemInfoList(items);
    const std::string data = path.toUtf8().toStdString();
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).m_itemData == data) {
            list->setCurrentIndex(i);
            ui->m_leFamilyPath->setText(path);
            return;
        }
    }

    ui->m_leFamilyPath->setText(path);
    const QFileInfo file(path);
    const QString text = QString("(%2)[%1]").arg(file.suffix().toUpper(), file.completeBaseName());
    list->addItem(text, path);
    list->setCurrentIndex(list->count() - 1);
    if (list->listWidget())
        list->listWidget()->scrollToTop();
    items.append(SubltItemInfo{text.toUtf8().toStdString(), data});
    m_pSettingManager->setSubltItemInfoList(items);
    emit emitSubtitleChange();
}

void QSubtitleForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const auto rightOf = [](QWidget *widget, int gap) { return widget->geometry().right() + gap; };

    ui->m_lblTrack->move(20, 57);
    ui->m_cbbSubtitleList->move(rightOf(ui->m_lblTrack, 6), 57);
    const int y1 = ui->m_lblTrack->geometry().bottom() + 25;
    ui->m_lblFile->move(20, y1);
    ui->m_leFamilyPath->move(rightOf(ui->m_lblFile, 6), y1);
    ui->m_btnSetFamily->move(rightOf(ui->m_leFamilyPath, -2), y1);
    ui->m_btnSetSubtitleFont->move(rightOf(ui->m_btnSetFamily, 6), y1);

    ui->m_lblPosition->move(247, 57);
    ui->m_rbtnTop->move(rightOf(ui->m_lblPosition, 6), 57);
    ui->m_rbtnMiddle->move(rightOf(ui->m_rbtnTop, 6), 57);
    ui->m_rbtnBottom->move(rightOf(ui->m_rbtnMiddle, 6), 57);
    const int y2 = ui->m_lblPosition->geometry().bottom() + 25;
    ui->m_lblMargin->move(247, y2);
    ui->m_sliderPosition->move(rightOf(ui->m_lblMargin, 6), y2);
    ui->m_lePositionValue->move(rightOf(ui->m_sliderPosition, 6), ui->m_lblPosition->geometry().bottom() + 27);

    const int x3 = width() - 316;
    ui->m_lblTransparency->move(x3, 57);
    ui->m_sliderAlpha->move(rightOf(ui->m_lblTransparency, 6), 57);
    ui->m_leAlphaValue->move(rightOf(ui->m_sliderAlpha, 6), 59);
    const int y3 = ui->m_lblTransparency->geometry().bottom() + 25;
    ui->m_lblScale->move(x3, y3);
    ui->m_sliderScale->move(rightOf(ui->m_lblScale, 6), y3);
    ui->m_leScaleValue->move(rightOf(ui->m_sliderScale, 6), ui->m_lblTransparency->geometry().bottom() + 27);
}

void QSubtitleForm::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(QColor(22, 22, 22), 1));
    const int height = this->height() - 31;
    painter.drawRect(20, 30, 222, height);
    painter.drawRect(252, 30, 265, height);
    painter.drawRect(527, 30, 295, height);
}
