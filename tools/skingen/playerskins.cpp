#include "skinpainter.h"
#include "skinset.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

using namespace SkinPainter;

namespace {

const QColor GlyphNormal(210, 210, 210);
const QColor GlyphDisabled(90, 90, 90);
const QColor Track(255, 255, 255, 56);

// The four glyph colours of a bar button: normal, hover, pressed, disabled.
QColor glyphColour(int frame)
{
    const QColor colours[4] = {GlyphNormal, Text, Accent, GlyphDisabled};
    return colours[frame];
}

// Glyphs are drawn in a 24 by 24 box, filled with one colour.
using Drawing = std::function<void(QPainter &, const QColor &)>;

// A transparent button of glyphs; hover and press light a soft rounded backdrop.
QImage glyphStrip(QSize frame, const Drawing &glyph)
{
    return strip(frame, [&](QPainter &p, int i) {
        if (i == 1 || i == 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, i == 1 ? 22 : 12));
            p.drawRoundedRect(QRectF(0.5, 0.5, frame.width() - 1, frame.height() - 1), 4, 4);
        }
        p.scale(frame.width() / 24.0, frame.height() / 24.0);
        glyph(p, glyphColour(i));
    });
}

void fillPolygon(QPainter &p, const QColor &c, const QPolygonF &polygon)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(polygon);
}

void fillRect(QPainter &p, const QColor &c, const QRectF &rect, qreal radius = 0.8)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(rect, radius, radius);
}

QPen line(const QColor &c, qreal width = 1.6)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Triangle pointing right (or left) inside the given box.
QPolygonF triangle(const QRectF &box, bool right)
{
    if (right)
        return QPolygonF({box.topLeft(), QPointF(box.right(), box.center().y()), box.bottomLeft()});
    return QPolygonF({box.topRight(), QPointF(box.left(), box.center().y()), box.bottomRight()});
}

// The play and pause buttons: a larger accent disc with the glyph in white.
QImage discStrip(int side, const Drawing &glyph)
{
    return strip(QSize(side, side), [&](QPainter &p, int i) {
        const QColor fills[4] = {Accent, Accent.lighter(112), Accent.darker(120), QColor(80, 80, 80)};
        p.setPen(Qt::NoPen);
        p.setBrush(fills[i]);
        p.drawEllipse(QRectF(1, 1, side - 2, side - 2));
        p.scale(side / 24.0, side / 24.0);
        glyph(p, i == 3 ? QColor(150, 150, 150) : Text);
    });
}

void playGlyph(QPainter &p, const QColor &c)
{
    fillPolygon(p, c, triangle(QRectF(9.5, 7, 7.5, 10), true));
}

void pauseGlyph(QPainter &p, const QColor &c)
{
    fillRect(p, c, QRectF(8, 7, 2.8, 10));
    fillRect(p, c, QRectF(13.2, 7, 2.8, 10));
}

void stopGlyph(QPainter &p, const QColor &c)
{
    fillRect(p, c, QRectF(7.5, 7.5, 9, 9), 1.2);
}

void frameBackGlyph(QPainter &p, const QColor &c)
{
    fillPolygon(p, c, triangle(QRectF(5, 8, 6.5, 8), false));
    fillPolygon(p, c, triangle(QRectF(11.5, 8, 6.5, 8), false));
}

void frameForwardGlyph(QPainter &p, const QColor &c)
{
    fillPolygon(p, c, triangle(QRectF(6, 8, 6.5, 8), true));
    fillPolygon(p, c, triangle(QRectF(12.5, 8, 6.5, 8), true));
}

void previousGlyph(QPainter &p, const QColor &c)
{
    fillRect(p, c, QRectF(6.5, 7.5, 2, 9), 0.5);
    fillPolygon(p, c, triangle(QRectF(9, 7.5, 8.5, 9), false));
}

void nextGlyph(QPainter &p, const QColor &c)
{
    fillPolygon(p, c, triangle(QRectF(6.5, 7.5, 8.5, 9), true));
    fillRect(p, c, QRectF(15.5, 7.5, 2, 9), 0.5);
}

void cameraGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c, 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath body;
    body.addRoundedRect(QRectF(4.5, 8, 15, 10.5), 2, 2);
    body.addRect(QRectF(9, 6, 6, 2));
    p.drawPath(body.simplified());
    p.drawEllipse(QPointF(12, 13.2), 3, 3);
}

void speakerGlyph(QPainter &p, const QColor &c)
{
    fillPolygon(p, c, QPolygonF({QPointF(4.5, 9.5), QPointF(8, 9.5), QPointF(12.5, 5.5), QPointF(12.5, 18.5),
                                 QPointF(8, 14.5), QPointF(4.5, 14.5)}));
}

void volumeOnGlyph(QPainter &p, const QColor &c)
{
    speakerGlyph(p, c);
    p.setPen(line(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(10.5, 9, 6, 6), -60 * 16, 120 * 16);
    p.drawArc(QRectF(9, 6, 11, 12), -60 * 16, 120 * 16);
}

void volumeOffGlyph(QPainter &p, const QColor &c)
{
    speakerGlyph(p, c);
    p.setPen(line(c, 1.6));
    p.drawLine(QPointF(15, 9.5), QPointF(20, 14.5));
    p.drawLine(QPointF(15, 14.5), QPointF(20, 9.5));
}

// Four corner marks, pointing out of the box or into it.
void cornersGlyph(QPainter &p, const QColor &c, bool outward)
{
    p.setPen(line(c, 1.7));
    p.setBrush(Qt::NoBrush);
    const qreal a = 6, b = 18, l = 4;
    const QPointF corners[4] = {{a, a}, {b, a}, {b, b}, {a, b}};
    for (const QPointF &corner : corners) {
        const qreal dx = corner.x() < 12 ? 1 : -1;
        const qreal dy = corner.y() < 12 ? 1 : -1;
        const QPointF tip = outward ? corner : corner + QPointF(dx * l, dy * l);
        const qreal sx = outward ? dx : -dx, sy = outward ? dy : -dy;
        p.drawPolyline(QPolygonF({tip + QPointF(sx * l, 0), tip, tip + QPointF(0, sy * l)}));
    }
}

void settingGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c, 2.2));
    for (int k = 0; k < 8; ++k) {
        const qreal angle = k * M_PI / 4;
        p.drawLine(QPointF(12 + 6 * qCos(angle), 12 + 6 * qSin(angle)),
                   QPointF(12 + 7.5 * qCos(angle), 12 + 7.5 * qSin(angle)));
    }
    p.setPen(line(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 5, 5);
    p.drawEllipse(QPointF(12, 12), 1.8, 1.8);
}

void trackGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c, 1.6));
    for (qreal y : {7.5, 12.0, 16.5})
        p.drawLine(QPointF(9.5, y), QPointF(18.5, y));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (qreal y : {7.5, 12.0, 16.5})
        p.drawEllipse(QPointF(6, y), 1.3, 1.3);
}

void scaleGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5, 7, 14, 10), 1.5, 1.5);
    p.drawLine(QPointF(8, 14), QPointF(16, 10));
}

void widthHeightGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5, 7, 14, 10), 1.5, 1.5);
    p.drawLine(QPointF(8, 12), QPointF(16, 12));
    p.drawPolyline(QPolygonF({QPointF(10, 10), QPointF(8, 12), QPointF(10, 14)}));
    p.drawPolyline(QPolygonF({QPointF(14, 10), QPointF(16, 12), QPointF(14, 14)}));
}

// The narrow drop-down beside the snapshot button: a small chevron.
QImage snapshotMenuStrip()
{
    const QSize frame(12, 24);
    return strip(frame, [&](QPainter &p, int i) {
        p.setPen(line(glyphColour(i), 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3.5, 11), QPointF(6, 13.5), QPointF(8.5, 11)}));
    });
}

// A round thumb for the progress slider: white, ringed in the accent colour under the mouse.
QImage progressThumbStrip()
{
    const int side = 12;
    return strip(QSize(side, side), [&](QPainter &p, int i) {
        if (i == 1 || i == 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(Accent.red(), Accent.green(), Accent.blue(), i == 1 ? 110 : 170));
            p.drawEllipse(QRectF(0, 0, side, side));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(i == 3 ? QColor(120, 120, 120) : Text);
        p.drawEllipse(QRectF(2.5, 2.5, side - 5, side - 5));
    });
}

// The control bar's translucent panel, nine-grid with 20-pixel corners.
QImage barBackground()
{
    const QSize size(60, 60);
    return draw(size, [&](QPainter &p) {
        p.setPen(QPen(QColor(255, 255, 255, 30), 1));
        p.setBrush(QColor(22, 22, 24, 215));
        p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 10, 10);
    });
}

// The open-media button of the idle cover, drawn nine-grid under its text.
QImage openFileStrip()
{
    const QSize frame(60, 30);
    return strip(frame, [&](QPainter &p, int i) {
        const QColor fills[4] = {QColor(40, 40, 42), QColor(56, 56, 58), QColor(30, 30, 32), QColor(34, 34, 34)};
        const QColor borders[4] = {QColor(90, 90, 90), Accent, Accent.darker(130), QColor(60, 60, 60)};
        p.setPen(QPen(borders[i], 1));
        p.setBrush(fills[i]);
        p.drawRoundedRect(QRectF(0.5, 0.5, frame.width() - 1, frame.height() - 1), 6, 6);
    });
}

// The idle picture: a thin ring around an accent play triangle.
QImage playIcon()
{
    const QSize size(100, 100);
    return draw(size, [&](QPainter &p) {
        p.setPen(QPen(QColor(70, 70, 72), 2.5));
        p.setBrush(QColor(18, 18, 20));
        p.drawEllipse(QRectF(3, 3, 94, 94));
        p.setPen(QPen(Accent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Accent);
        p.drawPolygon(QPolygonF({QPointF(41, 32), QPointF(70, 50), QPointF(41, 68)}));
    });
}

// The picture under the level bars: a dark panel with faint guide lines and a note in the middle.
QImage audioBackground()
{
    const QSize size(390, 230);
    return draw(size, [&](QPainter &p) {
        QLinearGradient shade(0, 0, 0, size.height());
        shade.setColorAt(0, QColor(28, 28, 31));
        shade.setColorAt(1, QColor(16, 16, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), 8, 8);
        p.setPen(QPen(QColor(255, 255, 255, 10), 1));
        for (int y = 40; y < size.height(); y += 40)
            p.drawLine(QPointF(8, y + 0.5), QPointF(size.width() - 8, y + 0.5));
        const QColor note(255, 255, 255, 26);
        p.setPen(Qt::NoPen);
        p.setBrush(note);
        p.drawEllipse(QPointF(180, 140), 14, 10.5);
        p.drawEllipse(QPointF(224, 128), 14, 10.5);
        p.drawRect(QRectF(191, 80, 4, 60));
        p.drawRect(QRectF(235, 68, 4, 60));
        p.drawPolygon(QPolygonF({QPointF(191, 80), QPointF(239, 68), QPointF(239, 80), QPointF(191, 92)}));
    });
}

// The background of small dialogs and notices: a title band of 30 inside the 50-pixel corners.
QImage dialogBackground()
{
    const QSize size(120, 120);
    return draw(size, [&](QPainter &p) {
        QPainterPath outline;
        outline.addRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 7, 7);
        p.setClipPath(outline);
        p.fillRect(QRectF(0, 0, size.width(), size.height()), Background);
        p.fillRect(QRectF(0, 0, size.width(), 30), Background.darker(115));
        p.setPen(QPen(Selection, 1));
        p.drawLine(QPointF(0, 30.5), QPointF(size.width(), 30.5));
        p.setClipping(false);
        p.setPen(QPen(QColor(86, 86, 86), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(outline);
    });
}

}

void addPlayerSkins(SkinSet &set)
{
    // Control bar buttons.
    set.push_back({"/images/PlayerImage/btn_play.png", [] { return discStrip(32, playGlyph); }});
    set.push_back({"/images/PlayerImage/btn_Pause.png", [] { return discStrip(32, pauseGlyph); }});
    set.push_back({"/images/PlayerImage/btn_stop.png", [] { return glyphStrip(QSize(24, 24), stopGlyph); }});
    set.push_back({"/images/PlayerImage/btn_back.png", [] { return glyphStrip(QSize(24, 24), frameBackGlyph); }});
    set.push_back({"/images/PlayerImage/btn_fast.png", [] { return glyphStrip(QSize(24, 24), frameForwardGlyph); }});
    set.push_back({"/images/PlayerImage/btn_previous.png", [] { return glyphStrip(QSize(24, 24), previousGlyph); }});
    set.push_back({"/images/PlayerImage/btn_next.png", [] { return glyphStrip(QSize(24, 24), nextGlyph); }});
    set.push_back({"/images/PlayerImage/btn_snapshoot.png", [] { return glyphStrip(QSize(24, 24), cameraGlyph); }});
    set.push_back({"/images/PlayerImage/btn_snapshot_menu.png", snapshotMenuStrip});
    set.push_back({"/images/PlayerImage/btn_volume_on.png", [] { return glyphStrip(QSize(24, 24), volumeOnGlyph); }});
    set.push_back({"/images/PlayerImage/btn_volume_off.png", [] { return glyphStrip(QSize(24, 24), volumeOffGlyph); }});
    set.push_back({"/images/PlayerImage/btn_Full_Screen.png", [] {
        return glyphStrip(QSize(24, 24), [](QPainter &p, const QColor &c) { cornersGlyph(p, c, true); });
    }});
    set.push_back({"/images/PlayerImage/btn_back_Screen.png", [] {
        return glyphStrip(QSize(24, 24), [](QPainter &p, const QColor &c) { cornersGlyph(p, c, false); });
    }});
    set.push_back({"/images/PlayerImage/btn_setting.png", [] { return glyphStrip(QSize(24, 24), settingGlyph); }});
    set.push_back({"/images/PlayerImage/btn_track.png", [] { return glyphStrip(QSize(24, 24), trackGlyph); }});
    set.push_back({"/images/PlayerImage/btn_size_scale.png", [] { return glyphStrip(QSize(24, 24), scaleGlyph); }});
    set.push_back({"/images/PlayerImage/btn_size_wh.png", [] { return glyphStrip(QSize(24, 24), widthHeightGlyph); }});

    // Progress and volume sliders: bars as thick as their caps are long, a square thumb.
    set.push_back({"/images/PlayerImage/slider_play_image.png", progressThumbStrip});
    set.push_back({"/images/PlayerImage/slider_play_bottom.png", [] { return panel(QSize(24, 4), Track, 2); }});
    set.push_back({"/images/PlayerImage/slider_play_top.png", [] { return panel(QSize(24, 4), Accent, 2); }});
    set.push_back({"/images/PlayerImage/volume_bottom.png", [] { return panel(QSize(24, 4), Track, 2); }});
    set.push_back({"/images/PlayerImage/volume_top.png", [] { return panel(QSize(24, 4), Text, 2); }});
    set.push_back({"/images/PlayerImage/btn_background.png", barBackground});

    // Idle cover and audio pane.
    set.push_back({"/images/PlayerImage/btn_openFIle.png", openFileStrip});
    set.push_back({"/images/playIcon.png", playIcon});
    set.push_back({"/images/PlayerImage/bg_audio.png", audioBackground});

    // Loading dialog and fading notice; the loading dialog names the lower-case "common" folder.
    set.push_back({"/images/bg_1.png", dialogBackground});
    set.push_back({"/images/btn_common.png", [] {
        return buttonStrip(QSize(75, 24), {Selection, Selection.lighter(125), Accent, Background}, 4);
    }});
    set.push_back({"/images/common/slider_bottom.png", [] { return panel(QSize(24, 4), QColor(36, 36, 36), 2); }});
    set.push_back({"/images/common/slider_top.png", [] { return panel(QSize(24, 4), Accent, 2); }});
}
