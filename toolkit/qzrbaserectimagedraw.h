#ifndef QZRBASERECTIMAGEDRAW_H
#define QZRBASERECTIMAGEDRAW_H

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QString>

class QEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QWidget;

class QZRBaseRectImageDrawPrivate;

// Painting of an edit-like control: a nine-sliced background skin (or four state frames in button
// mode), an icon and an elided text, with a small normal/hover/pressed/disabled state machine that
// the owning control feeds from its own event handlers.
class QZRBaseRectImageDraw
{
public:
    explicit QZRBaseRectImageDraw(QWidget *widget);
    ~QZRBaseRectImageDraw();
    QZRBaseRectImageDraw(const QZRBaseRectImageDraw &) = delete;
    QZRBaseRectImageDraw &operator=(const QZRBaseRectImageDraw &) = delete;

    virtual void drawBackgroundImage(QPainter &painter);
    virtual void drawIcon(QPainter &painter);
    virtual void drawRectText(QPainter &painter);

    bool setBackgroundImage(QString path);
    bool setBackgroundImage(QImage image);
    bool setRectIcon(QString path);
    bool setRectIcon(QImage image);
    void setIconRect(QRect rect);
    QRect iconRect() const;
    void setDrawText(QString text);
    QString drawText() const;
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const;
    void setTextDrawable(bool drawable);
    bool isTextDrawable() const;
    void setDrawTextMargins(int left, int top, int right, int bottom);
    void setDrawTextMargins(QMargins margins);
    QMargins drawTextMargins() const;
    void setTextColor(QColor color);
    void setTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled);
    void setCheckState(bool checked);
    void setBtnMode(bool on);
    bool isBtnMode() const;
    void setIconBtnMode(bool on);
    bool IsIconBtnMode() const;
    bool isCustomDraw() const;
    int drawState() const;

    void paintEvent(QPaintEvent *event);
    bool mousePressEventDraw(QMouseEvent *event);
    void mouseReleaseEventDraw(QMouseEvent *event);
    void enterEventDraw(QEvent *event);
    void leaveEventDraw(QEvent *event);
    void changeEventDraw(QEvent *event);
    void resetBtnState();
    QColor drawTextColor();

private:
    bool disabled() const;
    // The frame of a four-frame image the current state shows.
    int frameIndex() const;

    QZRBaseRectImageDrawPrivate *d;
};

#endif
