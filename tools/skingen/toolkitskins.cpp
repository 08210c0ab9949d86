#include "skinpainter.h"
#include "skinset.h"

#include <QPainter>

using namespace SkinPainter;

namespace {

const QColor Warning(240, 168, 48);
const QColor Success(72, 184, 112);
const QColor Help(74, 144, 226);
const QColor Neutral(120, 120, 120);

// The message box background: a title band of 22 and a button band of 50 inside 58-pixel corners,
// so both bands stay put when the nine-grid stretches.
QImage messageBoxBackground()
{
    return bandedPanel(QSize(180, 180), 22, Background.darker(115), 50, Background.darker(108));
}

}

void addToolkitSkins(SkinSet &set)
{
    // Title-bar buttons of windows and dialogs, 20 pixels apart.
    set.push_back({"/images/btn_close.png", [] { return roundButtonStrip(14, Accent, crossGlyph); }});
    set.push_back({"/images/btn_min.png", [] { return roundButtonStrip(14, Neutral, minusGlyph); }});
    set.push_back({"/images/btn_max.png", [] { return roundButtonStrip(14, Neutral, squareGlyph); }});
    set.push_back({"/images/btn_normal.png", [] { return roundButtonStrip(14, Neutral, restoreGlyph); }});

    // The message box.
    set.push_back({"/pic/bg_msg.png", messageBoxBackground});
    set.push_back({"/pic/btn_close.png", [] { return roundButtonStrip(12, Accent, crossGlyph); }});
    set.push_back({"/pic/btn_common.png", [] {
        return buttonStrip(QSize(80, 26), {Accent, Accent.lighter(112), Accent.darker(120), Selection}, 4);
    }});
    set.push_back({"/pic/warning.png", [] { return roundIcon(40, Warning, exclamationGlyph); }});
    set.push_back({"/pic/Success.png", [] { return roundIcon(40, Success, checkGlyph); }});
    set.push_back({"/pic/error.png", [] { return roundIcon(40, Accent, crossGlyph); }});
    set.push_back({"/pic/help.png", [] { return roundIcon(40, Help, questionGlyph); }});
}
