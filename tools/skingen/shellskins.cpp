#include "skinpainter.h"
#include "skinset.h"

#include <QPainter>

using namespace SkinPainter;

namespace {

// Three bars, for the main window's menu button.
void menuGlyph(QPainter &p, qreal side)
{
    minusGlyph(p, side);
    for (qreal y : {0.32, 0.68})
        p.drawLine(QPointF(side * 0.28, side * y), QPointF(side * 0.72, side * y));
}

}

void addShellSkins(SkinSet &set)
{
    // The main window: a title band of 26 and a bottom edge of 5 inside its 50-pixel corners.
    set.push_back({"/images/background.png", [] {
                       return bandedPanel(QSize(120, 120), 26, Background.darker(125), 5, Background.darker(125));
                   }});
    set.push_back({"/images/btn_menu.png", [] { return roundButtonStrip(21, Selection.lighter(130), menuGlyph); }});
}
