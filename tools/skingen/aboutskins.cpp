#include "skinpainter.h"
#include "skinset.h"

#include <QLinearGradient>
#include <QPainter>

using namespace SkinPainter;

namespace {

// The program's icon, 600 by 600 pixels: a rounded tile with a film strip and a play triangle.
QImage programIcon()
{
    const qreal side = 300;
    return draw(QSize(300, 300), [&](QPainter &p) {
        QLinearGradient shade(0, 0, 0, side);
        shade.setColorAt(0, Accent.lighter(110));
        shade.setColorAt(1, Accent.darker(135));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(QRectF(12, 12, side - 24, side - 24), 64, 64);

        p.setBrush(QColor(255, 255, 255, 48));
        for (int i = 0; i < 6; ++i) {
            p.drawRoundedRect(QRectF(40 + i * 39, 36, 24, 16), 4, 4);
            p.drawRoundedRect(QRectF(40 + i * 39, side - 52, 24, 16), 4, 4);
        }

        p.setBrush(Text);
        p.setPen(QPen(Text, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(QPolygonF({QPointF(118, 96), QPointF(206, 150), QPointF(118, 204)}));
    });
}

}

void addAboutSkins(SkinSet &set)
{
    set.push_back({"/images/icon600x600.png", programIcon});
}
