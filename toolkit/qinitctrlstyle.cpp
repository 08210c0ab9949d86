#include "toolkit/qinitctrlstyle.h"

#include "services/qianyutil.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrbuttonextend.h"
#include "toolkit/qzrcombobox.h"
#include "toolkit/qzrdoublespinbox.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrmenu.h"
#include "toolkit/qzrradiobutton.h"
#include "toolkit/qzrscrollbar.h"

#include <QLabel>

namespace {

const QColor White(255, 255, 255);
const QColor DisabledGrey(102, 102, 102);
const QColor Dark(56, 56, 56);
const QColor Selected(73, 73, 73);

QString resource(const char *relative)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(relative);
}

}

void QInitCtrlStyle::InitPalette(QWidget *widget, QPalette::ColorRole role, QColor color)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, DisabledGrey);
    palette.setBrush(role, QBrush(color));
    widget->setPalette(palette);
}

void QInitCtrlStyle::InitFont(QWidget *widget, int pixelSize)
{
    InitFontFamily(widget, "Tahoma", pixelSize);
}

void QInitCtrlStyle::InitFontFamily(QWidget *widget, QString family, int pixelSize)
{
    if (!widget)
        return;
    QFont font = widget->font();
    font.setFamily(family);
    font.setPixelSize(pixelSize);
    widget->setFont(font);
}

void QInitCtrlStyle::InitLabel2(QLabel *label, QString text, int pixelSize)
{
    if (!label)
        return;
    InitFont(label, pixelSize);
    label->setText(text);
    InitPalette(label, QPalette::WindowText, White);
}

void QInitCtrlStyle::InitZRButton(QZRBaseButton *button, int width, int height)
{
    if (!button)
        return;
    button->setButtonImage(resource("/images/Common/btn_common.png"), true);
    button->setTextColor(White, White, White, QColor(73, 79, 89));
    button->resize(width, height);
    InitFont(button, 12);
}

void QInitCtrlStyle::InitZRButtonEx(QZRButtonExtend *button, int width, int height)
{
    if (!button)
        return;
    InitZRButton(button, width, height);
    button->setIconColorRect(QRect(QPoint(5, 3), QPoint(20, 18)));
    button->setTextRect(QRect(QPoint(19, 0), QPoint(61, 21)));
}

void QInitCtrlStyle::InitQZRLineEdit(QZRLineEdit *edit)
{
    if (!edit)
        return;
    edit->setBackgroundImage(resource("/images/Common/edit_background.png"));
    edit->onlyInputNumber();
    edit->setAlignment(Qt::AlignCenter);
    InitFont(edit, 12);
    InitPalette(edit, QPalette::Text, White);
}

void QInitCtrlStyle::InitQZRLineEditEx(QZRLineEditEx *edit)
{
    if (!edit)
        return;
    InitQZRLineEdit(edit);
    QFont font = edit->font();
    font.setFamily("Tahoma");
    font.setPixelSize(12);
    edit->setSymbolFont(font);
}

void QInitCtrlStyle::InitQZRDoubleSpinBox(QZRDoubleSpinBox *spinBox)
{
    if (!spinBox)
        return;
    spinBox->setBackgroundImage(resource("/images/Common/edit_background.png"));
    spinBox->setUpAndDownBtnImage(resource("/images/Settings/spinBox_up.png"),
                                  resource("/images/Settings/spinBox_down.png"), true);
    spinBox->setTextMargins(3, 0, 0, 0);
    InitPalette(spinBox, QPalette::Text, White);
}

void QInitCtrlStyle::InitQZRSlider(QZRBaseSlider *slider, QZRBaseProgress::ProgressPolicy policy)
{
    if (!slider)
        return;
    if (policy == QZRBaseProgress::Horizontal) {
        slider->setProgressPolicy(policy);
        slider->setBottomImage(resource("/images/Common/slider_bottom.png"));
        slider->setTopImage(resource("/images/Common/slider_top.png"));
        slider->setBtnImage(resource("/images/Common/slider_image.png"));
    } else if (policy == QZRBaseProgress::Vertical) {
        slider->setProgressPolicy(policy);
        slider->setBottomImage(resource("/images/Common/slider_v_bottom.png"));
        slider->setTopImage(resource("/images/Common/slider_v_top.png"));
        slider->setBtnImage(resource("/images/Common/slider_v_image.png"));
    }
    slider->setOffset(0, 0);
    slider->setBtnOffset(0);
    slider->setFormat(QString());
}

void QInitCtrlStyle::InitZrMenu(QZRMenu *menu)
{
    if (!menu)
        return;
    menu->setFrameWidth(1);
    menu->setFrameColor(Qt::black);
    menu->setAreaColor(Dark);
    menu->setItemColor(Dark);
    menu->setItemTextColor(White);
    menu->setItemSelectColor(Selected);
    menu->setItemTextSelectColor(White);
    menu->setItemTextEabledColor(DisabledGrey);
    menu->setItemEabledColor(Dark);
    menu->setSeparatorColor(Qt::black);
    menu->setCheckStateImage(resource("/images/Common/btn_check_on.png"), resource("/images/Common/btn_check_off.png"));
    InitFont(menu, 12);
}

void QInitCtrlStyle::InitQZRScrollBar(QZRScrollBar *scrollBar)
{
    if (!scrollBar)
        return;
    const QColor deep(31, 31, 31);
    const QColor handle(60, 60, 60);
    QZRScrollBarStyleAttribute attribute;
    attribute.m_grooveColor = deep;
    attribute.m_trackColor = deep;
    attribute.m_trackAlwaysShown = true;
    attribute.m_endColor = handle;
    attribute.m_secondColor = deep;
    attribute.m_thirdColor = deep;
    attribute.m_fourthColor = deep;
    attribute.m_handleColor = handle;
    attribute.m_handlePressedColor = handle;
    attribute.m_handleHoverColor = handle;
    attribute.m_handleMargin = 1;
    scrollBar->setStyleAttribute(attribute);
}

void QInitCtrlStyle::InitQZRRadioButton(QZRRadioButton *button, bool fill)
{
    if (!button)
        return;
    button->setCheckImage(resource("/images/common/Edit_selections_yes.png"),
                          resource("/images/common/Edit_selections_no.png"), false, false);
    button->setBgFillMode(fill);
    InitFont(button, 12);
    QPalette palette = button->palette();
    palette.setColor(QPalette::WindowText, White);
    palette.setColor(QPalette::Active, QPalette::WindowText, White);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, DisabledGrey);
    button->setPalette(palette);
}

void QInitCtrlStyle::InitZRCombox(QZRComboBox *combo, int width, int height, QString background)
{
    if (!combo)
        return;
    combo->setBackgroundImage(background.isEmpty() ? resource("/images/common/cmb_common.png") : background);
    combo->setButtonImage(resource("/images/common/btn_arrow.png"), true);
    combo->setBtnMode(true);
    combo->setBtnMargins(width - 17, -1, 0, 0);
    combo->setDrawTextMargins(5, 0, 17, 1);
    combo->resize(width, height);
    combo->setTextColor(White);
    combo->setItemHeight(22);
    combo->setItemBorder(1, Qt::black);
    combo->setItemBgColor(Dark);
    combo->setItemSelectedColor(Selected);
    combo->setItemTextColor(White);
    QFont itemFont = combo->font();
    itemFont.setPixelSize(12);
    combo->setItemFont(itemFont);
    InitFont(combo, 12);
    InitPalette(combo, QPalette::WindowText, White);
}
