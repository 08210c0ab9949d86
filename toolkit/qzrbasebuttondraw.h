#ifndef QZRBASEBUTTONDRAW_H
#define QZRBASEBUTTONDRAW_H

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QAbstractButton;
class QEvent;
class QFocusEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QTimerEvent;

class QZRBaseButtonDrawPrivate;

// Painting and mouse-state logic of a skinned button: a four-frame image (normal, hover, pressed,
// disabled) with one text colour per frame, an optional icon and a count badge.
class QZRBaseButtonDraw
{
public:
    explicit QZRBaseButtonDraw(QAbstractButton *button);
    ~QZRBaseButtonDraw();
    QZRBaseButtonDraw(const QZRBaseButtonDraw &) = delete;
    QZRBaseButtonDraw &operator=(const QZRBaseButtonDraw &) = delete;

    virtual void focusInEvent(QFocusEvent *event);
    virtual void focusOutEvent(QFocusEvent *event);
    virtual void DrawBackground(QPainter &painter);
    virtual void DrawButtonText(QPainter &painter);
    virtual void DrawFocus(QPainter &painter);
    virtual void DrawIcon(QPainter &painter);
    virtual void DrawFlicker(QPainter &painter);
    virtual void DrawDigitalTag(QPainter &painter);

    bool setButtonImage(QString path, bool gridView);
    bool setButtonImage(QImage &image, bool gridView);
    void setButtonImage(QImage *image, bool gridView, bool copy);
    void setTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled);
    void setTextColor(QColor color);
    void setTextRect(QRect rect);
    QRect textRect() const;
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const;
    void setBtnIcon(QString path);
    void setBtnIcon(QImage image);
    void setIconRect(QRect rect);
    void setIconBtnMode(bool iconMode);
    bool isIconbtnMode() const;
    void setGridView(bool gridView);
    void setStaticState(bool isStatic);
    void setBtnState(int state);
    int getBtnState() const;
    void setTag(int tag);
    int getTag() const;
    void setDoneSign(int sign);
    int getDoneSign() const;
    void setEnterIsChangeMouse(bool change);
    bool getEnterIsChangeMouse() const;
    int getMouseMapValue() const;
    bool isCustomDraw() const;
    QColor currentDrawColor() const;

    void setTagPixelSize(int size);
    void setTagRect(QRect rect);
    void setTagBgImage(QString offPath, QString onPath);
    void setTagBgAlternateColor(QColor off, QColor on);
    void setTagTextAlternateColor(QColor off, QColor on);
    void setAlternateEffect(bool on, int interval);
    void addItemCount();
    void resetCount();
    int itmeCount() const;
    void startFlicker(int interval);
    void stopFlicker();

    bool mousePressEvent(QMouseEvent *event);
    bool mouseReleaseEvent(QMouseEvent *event);
    bool mouseMoveEvent(QMouseEvent *event);
    void enterEvent(QEvent *event);
    void leaveEvent(QEvent *event);
    void changeEvent(QEvent *event);
    void timerEvent(QTimerEvent *event);
    void paintEvent(QPaintEvent *event);

private:
    void setState(int state);
    // The frame a state shows (a checked, non-static button shows the pressed frame).
    int frameForState() const;
    void drawFrame(QPainter &painter, int frame);

    QZRBaseButtonDrawPrivate *d;
};

#endif
