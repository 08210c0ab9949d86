#include "skinpainter.h"
#include "skinset.h"

#include <QPainter>
#include <QPainterPath>

using namespace SkinPainter;

namespace {

const QColor Field(38, 38, 38);
const QColor FieldBorder(84, 84, 84);
const QColor Track(30, 30, 30);
const QColor Ring(150, 150, 150);
const QColor ChoiceBorder(110, 110, 110);
const QColor ChosenFill(110, 38, 45);

// A bar of the given logical size with fully rounded ends, so the caps (as long as the bar is
// thick) hold the whole curve.
QImage bar(QSize size, const QColor &fill)
{
    return draw(size, [&](QPainter &p) {
        const qreal radius = qMin(size.width(), size.height()) / 2.0;
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), radius, radius);
    });
}

// A square thumb: a white disc, lighter when hovered, tinted when pressed, grey when disabled.
QImage thumbStrip(int side)
{
    return strip(QSize(side, side), [&](QPainter &p, int i) {
        const QColor fills[4] = {Text, QColor(255, 236, 238), QColor(255, 214, 218), QColor(120, 120, 120)};
        if (i == 1 || i == 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(Accent.red(), Accent.green(), Accent.blue(), 90));
            p.drawEllipse(QRectF(0, 0, side, side));
        }
        p.setPen(QPen(QColor(0, 0, 0, 60), 0.5));
        p.setBrush(fills[i]);
        p.drawEllipse(QRectF(2, 2, side - 4, side - 4));
    });
}

// A four-frame field background for nine-grid drawing: border brightens on hover, turns the
// accent colour when pressed and fades when disabled.
QImage fieldStrip(QSize frame)
{
    return strip(frame, [&](QPainter &p, int i) {
        const QColor borders[4] = {FieldBorder, FieldBorder.lighter(135), Accent, QColor(64, 64, 64)};
        const QColor fills[4] = {Field, Field.lighter(115), Field, QColor(48, 48, 48)};
        p.setPen(QPen(borders[i], 1));
        p.setBrush(fills[i]);
        p.drawRoundedRect(QRectF(0.5, 0.5, frame.width() - 1, frame.height() - 1), 3, 3);
    });
}

// A downward or upward chevron in four frames, centred in the frame.
QImage chevronStrip(QSize frame, bool up)
{
    return strip(frame, [&](QPainter &p, int i) {
        const QColor colours[4] = {QColor(200, 200, 200), Text, Accent, QColor(90, 90, 90)};
        const qreal cx = frame.width() / 2.0, cy = frame.height() / 2.0;
        const qreal w = 3.5, h = up ? -2 : 2;
        p.setPen(QPen(colours[i], 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(cx - w, cy - h), QPointF(cx, cy + h), QPointF(cx + w, cy - h)}));
    });
}

QImage radio(bool checked)
{
    return draw(QSize(14, 14), [&](QPainter &p) {
        p.setPen(QPen(checked ? Accent : Ring, 1.2));
        p.setBrush(Field);
        p.drawEllipse(QRectF(1.1, 1.1, 11.8, 11.8));
        if (checked) {
            p.setPen(Qt::NoPen);
            p.setBrush(Accent);
            p.drawEllipse(QRectF(4, 4, 6, 6));
        }
    });
}

// The settings pages' choice buttons: a rounded field drawn as a nine-grid behind the text, the chosen
// one tinted and edged in the accent colour. The curve of each corner lies inside a third of the image.
QImage choice(bool checked)
{
    return draw(QSize(14, 14), [&](QPainter &p) {
        p.setPen(QPen(checked ? Accent : ChoiceBorder, 1));
        p.setBrush(checked ? ChosenFill : Field);
        p.drawRoundedRect(QRectF(0.5, 0.5, 13, 13), 3, 3);
    });
}

QImage checkBox(bool checked)
{
    return draw(QSize(12, 12), [&](QPainter &p) {
        if (checked) {
            p.setPen(Qt::NoPen);
            p.setBrush(Accent);
            p.drawRoundedRect(QRectF(0, 0, 12, 12), 2.5, 2.5);
            checkGlyph(p, 12);
        } else {
            p.setPen(QPen(Ring, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(0.5, 0.5, 11, 11), 2.5, 2.5);
        }
    });
}

// The frame laid over a list cover: transparent inside, its border marking normal, hover,
// selected and disabled.
QImage coverFrameStrip()
{
    const QSize frame(66, 66);
    return strip(frame, [&](QPainter &p, int i) {
        const QColor borders[4] = {QColor(90, 90, 90), QColor(170, 170, 170), Accent, QColor(60, 60, 60)};
        const qreal width = i == 2 ? 3 : 2;
        p.setPen(QPen(borders[i], width));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(width / 2, width / 2, frame.width() - width, frame.height() - width), 4, 4);
    });
}

}

void addControlSkins(SkinSet &set)
{
    // Sliders: tracks and fills as thick as their caps are long, square thumbs.
    set.push_back({"/images/Common/slider_bottom.png", [] { return bar(QSize(24, 4), Track); }});
    set.push_back({"/images/Common/slider_top.png", [] { return bar(QSize(24, 4), Accent); }});
    set.push_back({"/images/Common/slider_image.png", [] { return thumbStrip(12); }});
    set.push_back({"/images/Common/slider_v_bottom.png", [] { return bar(QSize(4, 24), Track); }});
    set.push_back({"/images/Common/slider_v_top.png", [] { return bar(QSize(4, 24), Accent); }});
    set.push_back({"/images/Common/slider_v_image.png", [] { return thumbStrip(12); }});

    // Edit fields and spin box arrows.
    set.push_back({"/images/Common/edit_background.png", [] { return panel(QSize(30, 24), Field, 3, FieldBorder); }});
    set.push_back({"/images/Settings/spinBox_up.png", [] { return chevronStrip(QSize(15, 11), true); }});
    set.push_back({"/images/Settings/spinBox_down.png", [] { return chevronStrip(QSize(15, 11), false); }});

    // Combo box background and arrow.
    set.push_back({"/images/common/cmb_common.png", [] { return fieldStrip(QSize(30, 24)); }});
    set.push_back({"/images/common/btn_arrow.png", [] { return chevronStrip(QSize(17, 12), false); }});

    // Choice buttons and menu check marks.
    set.push_back({"/images/common/Edit_selections_yes.png", [] { return choice(true); }});
    set.push_back({"/images/common/Edit_selections_no.png", [] { return choice(false); }});
    // The track menu's radio mark, in a folder of its own spelling.
    set.push_back({"/image/common/btn_check_on.png", [] { return radio(true); }});
    set.push_back({"/images/Common/btn_check_on.png", [] { return checkBox(true); }});
    set.push_back({"/images/Common/btn_check_off.png", [] { return checkBox(false); }});

    // The state frame over list covers.
    set.push_back({"/images/Settings/normal.png", coverFrameStrip});
}
