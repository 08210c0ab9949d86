#include "skinpainter.h"
#include "skinset.h"

#include <QPainter>
#include <QtMath>

using namespace SkinPainter;

namespace {

const QColor Current(214, 42, 100);
const QColor Grey(120, 120, 120);
const QColor Header(46, 46, 46);

// The settings dialog: a darker band behind the title and the tag row down to y 59, and one behind
// the buttons in the last 48 pixels; both sit inside the 100-pixel corners.
QImage tabBackground()
{
    return bandedPanel(QSize(220, 220), 59, Header, 48, Header);
}

// A tag: its text stands in the top 16 pixels; hover lights the strip behind it, the current tag
// (checked, shown in the pressed frame) is underlined in the tag colour.
QImage tabButton()
{
    const QSize frame(120, 30);
    return strip(frame, [&](QPainter &p, int i) {
        p.setPen(Qt::NoPen);
        if (i == 1) {
            p.setBrush(QColor(255, 255, 255, 24));
            p.drawRoundedRect(QRectF(1, 0, frame.width() - 2, 20), 3, 3);
        } else if (i == 2) {
            p.setBrush(QColor(255, 255, 255, 12));
            p.drawRoundedRect(QRectF(1, 0, frame.width() - 2, 20), 3, 3);
            p.setBrush(Current);
            p.drawRoundedRect(QRectF(6, 20, frame.width() - 12, 2), 1, 1);
        }
    });
}

using IconGlyph = std::function<void(QPainter &, const QColor &)>;

// A 14-pixel tag icon in four frames: white, white, the current tag's colour, grey.
QImage tagIcon(const IconGlyph &glyph)
{
    return strip(QSize(14, 14), [&](QPainter &p, int i) {
        const QColor colours[4] = {Text, Text, Current, Grey};
        glyph(p, colours[i]);
    });
}

QPen line(const QColor &colour, qreal width = 1.2)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void screenGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 2.5, 12, 9), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({QPointF(5.5, 4.8), QPointF(9.5, 7), QPointF(5.5, 9.2)}));
}

void speakerGlyph(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({QPointF(1, 5), QPointF(3.5, 5), QPointF(7, 2), QPointF(7, 12), QPointF(3.5, 9),
                             QPointF(1, 9)}));
    p.setPen(line(c));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 4.5, 5, 5), -50 * 16, 100 * 16);
    p.drawArc(QRectF(4, 2, 9, 10), -50 * 16, 100 * 16);
}

void captionGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 2.5, 12, 9), 1.5, 1.5);
    p.drawLine(QPointF(3.5, 7.5), QPointF(8, 7.5));
    p.drawLine(QPointF(9.5, 7.5), QPointF(10.5, 7.5));
    p.drawLine(QPointF(3.5, 9.5), QPointF(5, 9.5));
    p.drawLine(QPointF(6.5, 9.5), QPointF(10.5, 9.5));
}

void clockGlyph(QPainter &p, const QColor &c)
{
    p.setPen(line(c));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    p.drawPolyline(QPolygonF({QPointF(7, 3.8), QPointF(7, 7), QPointF(9.5, 8.5)}));
}

// A picture button with a white glyph drawn on a 24-pixel square in its middle.
QImage glyphButton(QSize frame, const std::function<void(QPainter &)> &glyph)
{
    return strip(frame, [&](QPainter &p, int i) {
        const QColor fills[4] = {QColor(78, 78, 78), QColor(98, 98, 98), Accent, QColor(64, 64, 64)};
        p.setPen(Qt::NoPen);
        p.setBrush(fills[i]);
        p.drawRoundedRect(QRectF(0, 0, frame.width(), frame.height()), 3, 3);
        p.save();
        p.translate((frame.width() - 24) / 2.0, (frame.height() - 24) / 2.0);
        p.setOpacity(i == 3 ? 0.4 : 1.0);
        glyph(p);
        p.restore();
    });
}

// A quarter-turn arrow around the middle, its head at the top; clockwise or not.
void turnGlyph(QPainter &p, bool clockwise)
{
    if (!clockwise) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    p.setPen(line(Text, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 6, 12, 12), 90 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Text);
    p.drawPolygon(QPolygonF({QPointF(12, 3.5), QPointF(16, 6), QPointF(12, 8.5)}));
}

// Two triangles mirrored about a dashed axis; vertical axis for a left-right flip.
void flipGlyph(QPainter &p, bool vertical)
{
    if (!vertical) {
        p.translate(24, 0);
        p.rotate(90);
    }
    p.setPen(QPen(Text, 1, Qt::DashLine));
    p.drawLine(QPointF(12, 4), QPointF(12, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(Text);
    p.drawPolygon(QPolygonF({QPointF(10, 6), QPointF(10, 18), QPointF(4, 18)}));
    p.setBrush(Qt::NoBrush);
    p.setPen(line(Text));
    p.drawPolygon(QPolygonF({QPointF(14, 6), QPointF(14, 18), QPointF(20, 18)}));
}

void anticlockwiseGlyph(QPainter &p) { turnGlyph(p, false); }
void clockwiseGlyph(QPainter &p) { turnGlyph(p, true); }
void leftRightGlyph(QPainter &p) { flipGlyph(p, true); }
void upDownGlyph(QPainter &p) { flipGlyph(p, false); }

// An open folder with a plus: adds a file.
void folderGlyph(QPainter &p)
{
    p.setPen(line(Text, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(5, 17), QPointF(5, 7), QPointF(9.5, 7), QPointF(11, 8.5), QPointF(17, 8.5),
                              QPointF(17, 11)}));
    p.drawLine(QPointF(5, 17), QPointF(13, 17));
    p.drawLine(QPointF(17, 13), QPointF(17, 20));
    p.drawLine(QPointF(13.5, 16.5), QPointF(20.5, 16.5));
}

// A capital A over a rule: the font.
void letterGlyph(QPainter &p)
{
    p.setPen(line(Text, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(7, 17), QPointF(12, 5), QPointF(17, 17)}));
    p.drawLine(QPointF(9, 12.8), QPointF(15, 12.8));
    p.drawLine(QPointF(5, 20), QPointF(19, 20));
}

// A sound-effect cover: the preset's curve as ten bars about a middle line, up for a boost.
QImage presetCover(const std::array<double, 10> &gains)
{
    const QSize size(56, 56);
    return draw(size, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(66, 66, 66));
        p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), 4, 4);
        const qreal middle = 28;
        p.setPen(QPen(QColor(110, 110, 110), 0.5));
        p.drawLine(QPointF(5, middle), QPointF(51, middle));
        p.setPen(Qt::NoPen);
        for (int band = 0; band < 10; ++band) {
            const qreal x = 6 + band * 4.6;
            const qreal height = qMax(1.0, qAbs(gains[band]) * 2);
            const qreal top = gains[band] >= 0 ? middle - height : middle;
            p.setBrush(gains[band] >= 0 ? Accent : QColor(150, 150, 150));
            p.drawRoundedRect(QRectF(x, top, 3, height), 1, 1);
        }
    });
}

}

void addSettingsSkins(SkinSet &set)
{
    // The dialog frame and its tag row.
    set.push_back({"/images/tab_background.png", tabBackground});
    set.push_back({"/images/Common/tab_btn_bg_image.png", tabButton});
    set.push_back({"/images/Settings/video_icon.png", [] { return tagIcon(screenGlyph); }});
    set.push_back({"/images/Settings/audio_icon.png", [] { return tagIcon(speakerGlyph); }});
    set.push_back({"/images/Settings/subtitle_icon.png", [] { return tagIcon(captionGlyph); }});
    set.push_back({"/images/Settings/syon_icon.png", [] { return tagIcon(clockGlyph); }});

    // Turning and mirroring on the video page.
    set.push_back({"/images/Settings/btn_Rotate_L_90.png", [] { return glyphButton(QSize(36, 23), anticlockwiseGlyph); }});
    set.push_back({"/images/Settings/btn_Rotate_R_90.png", [] { return glyphButton(QSize(36, 23), clockwiseGlyph); }});
    set.push_back({"/images/Settings/btn_Flip_H.png", [] { return glyphButton(QSize(36, 23), leftRightGlyph); }});
    set.push_back({"/images/Settings/btn_Flip_V.png", [] { return glyphButton(QSize(36, 23), upDownGlyph); }});

    // The subtitle page's file and font buttons (the style dialog's background is the loading dialog's).
    set.push_back({"/images/Settings/btn_family.png", [] { return glyphButton(QSize(24, 24), folderGlyph); }});
    set.push_back({"/images/Settings/bnt_font.png", [] { return glyphButton(QSize(24, 24), letterGlyph); }});

    // Sound-effect covers, each showing its curve.
    const QList<QPair<QString, std::array<double, 10>>> presets{
        {"Normal", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"FullBass", {6, 6, 6, 3, 3, 0, -3, -6, -6, -6}},
        {"FullTreBle", {6, 6, 6, -2, 1.5, 6, 8, 8, 8, 8}},
        {"LargeHall", {6, 6, 3, 3, 0, -3, -3, -3, 0, 0}},
        {"Pop", {-1.5, 1, 2, 2, 1, -1.5, -2, -2, -2, -2}},
        {"Rock", {4, 2, -4, -5, -2, 2, 5, 6, 6, 6}},
        {"Classical", {0, 0, 0, 0, 0, 0, -4, -4, -4, -6}},
        {"Party", {10, 4, 0, 0, 0, 0, 0, 0, 4, 4}},
        {"Dance", {6, 3, 1, 0, 0, -3, -4, -4, 0, 0}},
        {"Ska", {-1, -3, -2, 0, 2, 3, 4, 5, 6, 6}},
    };
    for (const auto &preset : presets) {
        const std::array<double, 10> gains = preset.second;
        set.push_back({"/images/AudioEffects/" + preset.first + ".png", [gains] { return presetCover(gains); }});
    }
}
