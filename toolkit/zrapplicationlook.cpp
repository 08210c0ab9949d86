#include "toolkit/zrapplicationlook.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace {

const char *const InterfaceFamily = "Liberation Sans";

QPalette housePalette()
{
    const QColor text(255, 255, 255);
    const QColor window(56, 56, 56);
    const QColor field(38, 38, 38);
    const QColor selection(73, 73, 73);
    const QColor disabledText(102, 102, 102);

    QPalette palette(window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, text);
    palette.setColor(QPalette::Base, field);
    palette.setColor(QPalette::AlternateBase, QColor(46, 46, 46));
    palette.setColor(QPalette::Button, selection);
    palette.setColor(QPalette::Light, QColor(96, 96, 96));
    palette.setColor(QPalette::Midlight, QColor(76, 76, 76));
    palette.setColor(QPalette::Mid, QColor(44, 44, 44));
    palette.setColor(QPalette::Dark, QColor(30, 30, 30));
    palette.setColor(QPalette::Shadow, QColor(16, 16, 16));
    palette.setColor(QPalette::Highlight, selection);
    palette.setColor(QPalette::HighlightedText, text);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    // The accent lightened so that a link on the window colour still reads.
    palette.setColor(QPalette::Link, QColor(255, 150, 157));
    palette.setColor(QPalette::LinkVisited, QColor(255, 150, 157));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

}

void ZrApplicationLook::install()
{
    // Substitutions are looked up by the family name in lower case.
    for (const char *family : {"tahoma", "helvetica neue"})
        QFont::insertSubstitution(QString::fromLatin1(family), QString::fromLatin1(InterfaceFamily));
    QApplication::setPalette(housePalette());
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}
