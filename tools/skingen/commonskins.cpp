#include "skinpainter.h"
#include "skinset.h"

using namespace SkinPainter;

void addCommonSkins(SkinSet &set)
{
    set.push_back({"/images/Common/btn_common.png", [] {
        return buttonStrip(QSize(80, 26), {QColor(78, 78, 78), QColor(98, 98, 98), Accent, QColor(64, 64, 64)}, 3);
    }});
}
