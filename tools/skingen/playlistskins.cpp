#include "skinpainter.h"
#include "skinset.h"

#include <QPainter>
#include <QPainterPath>

using namespace SkinPainter;

namespace {

const QColor GlyphColours[4] = {QColor(200, 200, 200), Text, Accent, QColor(90, 90, 90)};
const QColor PadColours[4] = {QColor(0, 0, 0, 0), QColor(255, 255, 255, 24), QColor(0, 0, 0, 60), QColor(0, 0, 0, 0)};
const QColor IconColour(215, 215, 215);

using FrameGlyph = std::function<void(QPainter &, QSizeF, const QColor &)>;

QPen line(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Four frames of a flat glyph button: a faint pad behind the glyph on hover and press.
QImage glyphStrip(QSize frame, const FrameGlyph &glyph)
{
    return strip(frame, [&](QPainter &p, int i) {
        p.setPen(Qt::NoPen);
        p.setBrush(PadColours[i]);
        p.drawRoundedRect(QRectF(0, 0, frame.width(), frame.height()), 3, 3);
        glyph(p, QSizeF(frame), GlyphColours[i]);
    });
}

void cross(QPainter &p, QSizeF s, const QColor &c)
{
    p.setPen(line(c, 1.4));
    const qreal a = s.width() * 0.32, b = s.width() * 0.68;
    p.drawLine(QPointF(a, a), QPointF(b, b));
    p.drawLine(QPointF(a, b), QPointF(b, a));
}

void magnifier(QPainter &p, QSizeF s, const QColor &c)
{
    p.setPen(line(c, 1.3));
    p.setBrush(Qt::NoBrush);
    const qreal w = s.width();
    p.drawEllipse(QRectF(w * 0.2, w * 0.2, w * 0.42, w * 0.42));
    p.drawLine(QPointF(w * 0.56, w * 0.56), QPointF(w * 0.8, w * 0.8));
}

void plus(QPainter &p, QSizeF s, const QColor &c)
{
    p.setPen(line(c, 1.8));
    const qreal cx = s.width() / 2, cy = s.height() / 2, r = s.width() * 0.27;
    p.drawLine(QPointF(cx - r, cy), QPointF(cx + r, cy));
    p.drawLine(QPointF(cx, cy - r), QPointF(cx, cy + r));
}

void minus(QPainter &p, QSizeF s, const QColor &c)
{
    p.setPen(line(c, 1.8));
    const qreal cx = s.width() / 2, cy = s.height() / 2, r = s.width() * 0.27;
    p.drawLine(QPointF(cx - r, cy), QPointF(cx + r, cy));
}

void arrowHead(QPainter &p, QPointF tip, qreal dx, qreal dy)
{
    p.drawPolyline(QPolygonF({tip + QPointF(-dy - dx, dx - dy) * 2.5, tip, tip + QPointF(dy - dx, -dx - dy) * 2.5}));
}

// The mode icons, 24 by 24: list lines, a loop, a loop with a "1", crossed arrows.
QImage modeIcon(const std::function<void(QPainter &)> &paint)
{
    return draw(QSize(24, 24), [&](QPainter &p) {
        p.setPen(line(IconColour, 1.5));
        p.setBrush(Qt::NoBrush);
        paint(p);
    });
}

void listLines(QPainter &p)
{
    p.drawLine(QPointF(5, 7), QPointF(15, 7));
    p.drawLine(QPointF(5, 12), QPointF(15, 12));
    p.drawLine(QPointF(5, 17), QPointF(12, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(IconColour);
    p.drawPolygon(QPolygonF({QPointF(15, 14), QPointF(20, 17), QPointF(15, 20)}));
}

// Two rounded halves of a loop, each ending in an arrow: the usual "repeat" sign.
void loop(QPainter &p)
{
    QPainterPath top;
    top.moveTo(5, 13);
    top.lineTo(5, 10);
    top.quadTo(5, 7, 8, 7);
    top.lineTo(18.5, 7);
    QPainterPath bottom;
    bottom.moveTo(19, 11);
    bottom.lineTo(19, 14);
    bottom.quadTo(19, 17, 16, 17);
    bottom.lineTo(5.5, 17);
    p.drawPath(top);
    p.drawPath(bottom);
    arrowHead(p, QPointF(19, 7), 1, 0);
    arrowHead(p, QPointF(5, 17), -1, 0);
}

void loopWithOne(QPainter &p)
{
    loop(p);
    p.drawLine(QPointF(12, 10), QPointF(12, 14.5));
    p.drawLine(QPointF(12, 10), QPointF(10.8, 11));
}

void shuffle(QPainter &p)
{
    QPainterPath down;
    down.moveTo(4, 7);
    down.cubicTo(11, 7, 12, 17, 19, 17);
    QPainterPath up;
    up.moveTo(4, 17);
    up.cubicTo(11, 17, 12, 7, 19, 7);
    p.drawPath(down);
    p.drawPath(up);
    arrowHead(p, QPointF(19.5, 7), 1, 0);
    arrowHead(p, QPointF(19.5, 17), 1, 0);
}

// A tab on the panel's edge with a chevron: pointing left opens the list, right closes it.
QImage edgeTab(bool pointLeft)
{
    const QSize frame(15, 60);
    const QColor tabs[4] = {QColor(56, 56, 56, 200), Selection, QColor(40, 40, 40, 230), QColor(56, 56, 56, 120)};
    return strip(frame, [&](QPainter &p, int i) {
        p.setPen(Qt::NoPen);
        p.setBrush(tabs[i]);
        p.drawRoundedRect(QRectF(1, 0, 14, 60), 4, 4);
        p.setPen(line(GlyphColours[i], 1.6));
        const qreal tip = pointLeft ? 5.5 : 10.5, back = pointLeft ? 10.5 : 5.5;
        p.drawPolyline(QPolygonF({QPointF(back, 24), QPointF(tip, 30), QPointF(back, 36)}));
    });
}

}

void addPlaylistSkins(SkinSet &set)
{
    // Row buttons, shown while the mouse is over a row.
    set.push_back({"/images/PlayListDlg/btn_delete.png", [] { return glyphStrip(QSize(16, 16), cross); }});
    set.push_back({"/images/PlayListDlg/btn_search.png", [] { return glyphStrip(QSize(16, 16), magnifier); }});

    // The bottom bar: mode button, add and delete (its hidden play and pause buttons share the control bar's).
    set.push_back({"/images/PlayListDlg/btn_Play.png", [] {
        return glyphStrip(QSize(24, 24), [](QPainter &, QSizeF, const QColor &) {});
    }});
    set.push_back({"/images/PlayListDlg/btn_addfile.png", [] { return glyphStrip(QSize(24, 24), plus); }});
    set.push_back({"/images/PlayListDlg/btn_delete1.png", [] { return glyphStrip(QSize(24, 24), minus); }});

    // Play-mode icons drawn over the mode button.
    set.push_back({"/images/PlayListDlg/listPlay.png", [] { return modeIcon(listLines); }});
    set.push_back({"/images/PlayListDlg/listCyclePlay.png", [] { return modeIcon(loop); }});
    set.push_back({"/images/PlayListDlg/singleCyclePlay.png", [] { return modeIcon(loopWithOne); }});
    set.push_back({"/images/PlayListDlg/listRandomPlay.png", [] { return modeIcon(shuffle); }});

    // The overlay over the player window's edge: show and hide the playlist.
    set.push_back({"/images/btn_showList.png", [] { return edgeTab(true); }});
    set.push_back({"/images/btn_hideList.png", [] { return edgeTab(false); }});
}
