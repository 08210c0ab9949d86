#include "skinpainter.h"
#include "skinset.h"

#include <QPainter>

using namespace SkinPainter;

namespace {

// A branch mark of the information tree: a small white triangle pointing right (closed) or down (open).
QImage branchMark(bool open)
{
    return draw(QSize(10, 10), [open](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Text);
        if (open)
            p.drawPolygon(QPolygonF({QPointF(1.5, 3), QPointF(8.5, 3), QPointF(5, 7.5)}));
        else
            p.drawPolygon(QPolygonF({QPointF(3, 1.5), QPointF(7.5, 5), QPointF(3, 8.5)}));
    });
}

}

void addMediaInfoSkins(SkinSet &set)
{
    // The tree's branch marks: "mark_open" is drawn at a closed branch, "mark_close" at an open one.
    set.push_back({"/images/Common/mark_open.png", [] { return branchMark(false); }});
    set.push_back({"/images/Common/mark_close.png", [] { return branchMark(true); }});
}
