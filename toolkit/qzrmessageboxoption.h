#ifndef QZRMESSAGEBOXOPTION_H
#define QZRMESSAGEBOXOPTION_H

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPalette>
#include <QPoint>
#include <QString>

// The look of a message box: texts, fonts, colours, spacings and the image folder.
// Defaults come from the project configuration.
class QZRMessageBoxOption
{
public:
    QZRMessageBoxOption();

    QString okText = QStringLiteral("OK");
    QString cancelText = QStringLiteral("Cancel");
    QString yesText = QStringLiteral("Yes");
    QString noText = QStringLiteral("No");
    QFont buttonFont;
    QColor buttonNormalColor = Qt::black;
    QColor buttonHoverColor = Qt::black;
    QColor buttonPressedColor = Qt::black;
    QColor buttonDisabledColor = Qt::black;
    // Space between the last button and the right margin, counted on both sides of the row.
    int buttonMargin = 20;
    int buttonSpacing = 15;
    QPalette palette;
    QFont titleFont;
    QFont messageFont;
    // Heights of the title band and of the button band.
    int dlgTop;
    int dlgBottom;
    // The shadow border of the background image.
    QMargins transparentMargins;
    QPoint closeBtnOffset;
    bool closeBtnEnabled = true;
    // A value of 1 or more replaces the computed size (never below the minimum size).
    int fixedWidth = -1;
    int fixedHeight = -1;
    // Pixels by which the icon is drawn higher than centred.
    int iconLift = 0;
    QString imagePath;
};

#endif
