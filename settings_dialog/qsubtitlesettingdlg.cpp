#include "settings_dialog/qsubtitlesettingdlg.h"

#include "engine/mediasettting.h"
#include "engine/qmediasettingmanager.h"
#include "services/qianyutil.h"
#include "settings_dialog/dialogkeys.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbuttonextend.h"
#include "toolkit/qzrdoublespinbox.h"
#include "ui_qsubtitlesettingdlg.h"

#include <QColorDialog>
#include <QFontDialog>
#include <cmath>

QSubtitleSettingDlg::QSubtitleSettingDlg(QWidget *parent)
    : QZRDialog(parent)
    , ui(new Ui_QSubtitleSettingDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    setDlgTitle(tr("Font"));
    setWindowTitle(tr("Font"));
    setTitleRect(QRect(0, 8, 0, 0));
    QBaseDrawWidget::setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QInitCtrlStyle::InitPalette(this, QPalette::WindowText, QColor(255, 255, 255));
    setMoveTopHeight(30);
    setStretchWidth(6);
    QInitCtrlStyle::InitFont(this, 12);
    setBackgroundImage(QIAnyUtil::getResourcePath() + "/images/bg_1.png", false);

    initControls();

    setAttribute(Qt::WA_TranslucentBackground);
    resize(516, 348);
    const rectSize corner{50, 50};
    setGridViewInfo(corner, corner, corner, corner);
    installEventFilter(this);
}

QSubtitleSettingDlg::~QSubtitleSettingDlg()
{
    delete ui;
}

void QSubtitleSettingDlg::initControls()
{
    const QString resources = QIAnyUtil::getResourcePath();
    ui->m_btnClose->setButtonImage(resources + "/images/btn_close.png", true);
    ui->m_btnMin->setButtonImage(resources + "/images/btn_min.png", true);
    ui->m_btnMax->setButtonImage(resources + "/images/btn_max.png", true);
    ui->m_btnMin->setEnabled(false);
    ui->m_btnMax->setEnabled(false);
    connect(ui->m_btnClose, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::close);

    QInitCtrlStyle::InitZRButton(ui->m_btnOK, 64, 28);
    QInitCtrlStyle::InitZRButton(ui->m_btnCancel, 64, 28);
    ui->m_btnOK->setText(tr("OK"));
    ui->m_btnCancel->setText(tr("Cancel"));
    connect(ui->m_btnOK, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::accept);
    connect(ui->m_btnCancel, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::close);

    QInitCtrlStyle::InitLabel2(ui->m_lblFontColor, tr("Font Color:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_lblShadow, tr("Shadow Color:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_lblOutline, tr("Outline Color:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_lblSpacingH, tr("Horizontal Spacing:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_lblFontName, tr("Font Name:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_lblShadowOff, tr("Shadow Offset:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_lblOutlineSize, tr("Outline Size:"), 12);
    QInitCtrlStyle::InitLabel2(ui->m_lblSpacingV, tr("Vertical Spacing:"), 12);

    QInitCtrlStyle::InitZRButton(ui->m_btnFont, 72, 24);
    ui->m_btnFont->setText(tr("Default"));
    for (QZRButtonExtend *button : {ui->m_btnTextColor, ui->m_btnShadowColor, ui->m_btnOutlineColor}) {
        QInitCtrlStyle::InitZRButtonEx(button, 72, 24);
        button->setText(tr("Color"));
        connect(button, &QZRButtonExtend::clicked, this, &QSubtitleSettingDlg::onColor);
    }
    QInitCtrlStyle::InitZRButton(ui->m_btnReset, 72, 24);
    ui->m_btnReset->setText(tr("Reset"));
    connect(ui->m_btnFont, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::onFont);
    connect(ui->m_btnReset, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::onReset);

    for (QZRDoubleSpinBox *spinBox : {ui->m_dspShadowOff, ui->m_dspOutlineSize, ui->m_dspSpacingH, ui->m_dspSpacingV}) {
        QInitCtrlStyle::InitQZRDoubleSpinBox(spinBox);
        connect(spinBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &QSubtitleSettingDlg::valueChanged);
    }

    // After the first connections, so that a click hides the dialog before it keeps or reverts.
    connect(ui->m_btnClose, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::onClose);
    connect(ui->m_btnOK, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::onOk);
    connect(ui->m_btnCancel, &QZRBaseButton::clicked, this, &QSubtitleSettingDlg::onCancel);
}

void QSubtitleSettingDlg::setSettingManager(QMediaSettingManager *manager)
{
    m_pSettingManager = manager;
}

void QSubtitleSettingDlg::showFamily(const QString &family)
{
    if (family.isEmpty()) {
        ui->m_btnFont->setText(tr("Default"));
        QInitCtrlStyle::InitFont(ui->m_btnFont, 12);
    } else {
        ui->m_btnFont->setText(family);
        QInitCtrlStyle::InitFontFamily(ui->m_btnFont, family, 12);
    }
}

void QSubtitleSettingDlg::loadingSetting()
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    ui->m_dspShadowOff->setValue(style.m_shadowOffset);
    ui->m_dspOutlineSize->setValue(style.m_outlineSize);
    ui->m_dspSpacingH->setValue(style.m_spacingH);
    ui->m_dspSpacingV->setValue(style.m_spacingV);
    ui->m_btnTextColor->setIconColor(QColor::fromRgba(style.m_fontColour));
    ui->m_btnOutlineColor->setIconColor(QColor::fromRgba(style.m_outlineColour));
    ui->m_btnShadowColor->setIconColor(QColor::fromRgba(style.m_shadowColour));
    showFamily(QString::fromStdString(style.m_fontName));
}

// A change of a hundredth or less, as a two-decimal box makes of a stored value, is no change.
void QSubtitleSettingDlg::valueChanged(double value)
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    double *field = nullptr;
    if (sender() == ui->m_dspShadowOff)
        field = &style.m_shadowOffset;
    else if (sender() == ui->m_dspOutlineSize)
        field = &style.m_outlineSize;
    else if (sender() == ui->m_dspSpacingH)
        field = &style.m_spacingH;
    else if (sender() == ui->m_dspSpacingV)
        field = &style.m_spacingV;
    if (!field || std::abs(*field - value) <= 0.01)
        return;
    *field = value;
    m_pSettingManager->setSubtitleSettings(style);
}

void QSubtitleSettingDlg::onColor()
{
    QZRButtonExtend *button = qobject_cast<QZRButtonExtend *>(sender());
    if (!m_pSettingManager || !button)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    unsigned int *field = nullptr;
    if (button == ui->m_btnTextColor)
        field = &style.m_fontColour;
    else if (button == ui->m_btnShadowColor)
        field = &style.m_shadowColour;
    else if (button == ui->m_btnOutlineColor)
        field = &style.m_outlineColour;
    if (!field)
        return;
    const QColor colour = QColorDialog::getColor(QColor::fromRgba(*field), this, QString(),
                                                 QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
    if (!colour.isValid())
        return;
    *field = colour.rgba();
    m_pSettingManager->setSubtitleSettings(style);
    button->setIconColor(colour);
}

void QSubtitleSettingDlg::onFont()
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    QFont font(QString::fromStdString(style.m_fontName));
    font.setWeight(style.m_bold ? 75 : 50);
    if (style.m_pointSize > 0)
        font.setPointSize(style.m_pointSize);
    font.setStyle(style.m_italic ? QFont::StyleItalic : QFont::StyleNormal);
    font.setUnderline(style.m_underline);
    font.setStrikeOut(style.m_strikeOut);

    bool chosen = false;
    const QFont result = QFontDialog::getFont(&chosen, font, this, QString());
    if (!chosen)
        return;
    style.m_fontName = result.family().toUtf8().toStdString();
    style.m_bold = result.weight() > 57;
    style.m_pointSize = result.pointSize();
    style.m_italic = result.style() != QFont::StyleNormal;
    style.m_underline = result.underline();
    style.m_strikeOut = result.strikeOut();
    m_pSettingManager->setSubtitleSettings(style);
    showFamily(result.family());
}

// The default look; size, weight, slant, lines and the subtitle page's values stay.
void QSubtitleSettingDlg::onReset()
{
    if (!m_pSettingManager)
        return;
    SubtitleSettings style;
    m_pSettingManager->getSubtitleSettings(style);
    const SubtitleSettings defaults;
    style.m_fontColour = defaults.m_fontColour;
    style.m_shadowColour = defaults.m_shadowColour;
    style.m_outlineColour = defaults.m_outlineColour;
    style.m_shadowOffset = defaults.m_shadowOffset;
    style.m_outlineSize = defaults.m_outlineSize;
    style.m_spacingH = defaults.m_spacingH;
    style.m_spacingV = defaults.m_spacingV;
    style.m_fontName.clear();
    m_pSettingManager->setSubtitleSettings(style);
    loadingSetting();
}

void QSubtitleSettingDlg::keepOrRevert(bool keep)
{
    if (!m_pSettingManager)
        return;
    m_pSettingManager->setSaveFontSettting(keep);
    loadingSetting();
    emit emitFontSettingChange();
}

void QSubtitleSettingDlg::onOk()
{
    keepOrRevert(true);
}

void QSubtitleSettingDlg::onCancel()
{
    keepOrRevert(false);
}

void QSubtitleSettingDlg::onClose()
{
    keepOrRevert(false);
}

// Only the first showing loads: the settings dialog reloads this one itself.
void QSubtitleSettingDlg::showEvent(QShowEvent *event)
{
    QZRDialog::showEvent(event);
    if (m_bLoaded)
        return;
    m_bLoaded = true;
    loadingSetting();
}

bool QSubtitleSettingDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && filterDialogKeys(this, event))
        return true;
    return QDialog::eventFilter(watched, event);
}

void QSubtitleSettingDlg::resetControlLocation()
{
    const int W = width();
    const int H = height();
    ui->m_btnClose->move(13, 13);
    ui->m_btnMin->move(ui->m_btnClose->x() + ui->m_btnClose->width() + 8, 13);
    ui->m_btnMax->move(ui->m_btnMin->x() + ui->m_btnMin->width() + 8, 13);
    QZRBaseButton *cancel = ui->m_btnCancel;
    cancel->move(W - 28 - cancel->width(), H - 58 + (50 - cancel->height()) / 2);
    ui->m_btnOK->move(cancel->x() - 20 - ui->m_btnOK->width(), cancel->y());

    // Four rows: label, control, label, control; the last row sits a little lower.
    const QList<int> gaps{0, 24, 24, 29};
    QWidget *first[] = {ui->m_lblFontColor, ui->m_lblShadow, ui->m_lblOutline, ui->m_lblSpacingH};
    QWidget *second[] = {ui->m_btnTextColor, ui->m_btnShadowColor, ui->m_btnOutlineColor, ui->m_dspSpacingH};
    QWidget *third[] = {ui->m_lblFontName, ui->m_lblShadowOff, ui->m_lblOutlineSize, ui->m_lblSpacingV};
    QWidget *fourth[] = {ui->m_btnFont, ui->m_dspShadowOff, ui->m_dspOutlineSize, ui->m_dspSpacingV};
    const int secondX = ui->m_lblFontColor->geometry().right() + 10;
    const int fourthX = W - 48 - ui->m_dspShadowOff->width();
    const int thirdX = fourthX - 10 - ui->m_lblOutlineSize->width();
    for (int row = 0; row < 4; ++row) {
        const int labelY = row == 0 ? 57 : first[row - 1]->geometry().bottom() + gaps.at(row);
        const int controlY = row == 0 ? 57 : second[row - 1]->geometry().bottom() + gaps.at(row);
        first[row]->move(38, labelY);
        second[row]->move(secondX, controlY);
        third[row]->move(thirdX, controlY);
        fourth[row]->move(fourthX, controlY);
    }
    ui->m_btnReset->move(W - 48 - ui->m_btnReset->width(), ui->m_dspSpacingV->geometry().bottom() + 24);
}
