#ifndef QINITCTRLSTYLE_H
#define QINITCTRLSTYLE_H

#include "toolkit/qzrbaseprogress.h"

#include <QColor>
#include <QPalette>
#include <QString>

class QLabel;
class QWidget;
class QZRBaseButton;
class QZRBaseSlider;
class QZRButtonExtend;
class QZRComboBox;
class QZRDoubleSpinBox;
class QZRLineEdit;
class QZRLineEditEx;
class QZRMenu;
class QZRRadioButton;
class QZRScrollBar;

// One-call house look for the toolkit's controls: dark skins, white text, grey disabled text and
// "Tahoma" at a pixel size. Every call ignores a null control.
class QInitCtrlStyle
{
public:
    QInitCtrlStyle() {}

    static void InitPalette(QWidget *widget, QPalette::ColorRole role, QColor color);
    static void InitFont(QWidget *widget, int pixelSize);
    static void InitFontFamily(QWidget *widget, QString family, int pixelSize);
    static void InitLabel2(QLabel *label, QString text, int pixelSize);
    static void InitZRButton(QZRBaseButton *button, int width, int height);
    static void InitZRButtonEx(QZRButtonExtend *button, int width, int height);
    static void InitQZRLineEdit(QZRLineEdit *edit);
    static void InitQZRLineEditEx(QZRLineEditEx *edit);
    static void InitQZRDoubleSpinBox(QZRDoubleSpinBox *spinBox);
    static void InitQZRSlider(QZRBaseSlider *slider, QZRBaseProgress::ProgressPolicy policy);
    static void InitZrMenu(QZRMenu *menu);
    static void InitQZRScrollBar(QZRScrollBar *scrollBar);
    static void InitQZRRadioButton(QZRRadioButton *button, bool fill);
    static void InitZRCombox(QZRComboBox *combo, int width, int height, QString background);
};

#endif
