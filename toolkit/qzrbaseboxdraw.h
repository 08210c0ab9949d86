#ifndef QZRBASEBOXDRAW_H
#define QZRBASEBOXDRAW_H

#include <QImage>
#include <QRect>
#include <QString>
#include <QVariant>

class QAbstractButton;
class QPaintEvent;
class QPainter;

class QZRBaseBoxDrawPrivate;

// Painting of a check box or radio button: a check image per state (optionally with a disabled
// frame beside the normal one), an optional icon and the elided text.
class QZRBaseBoxDraw
{
public:
    enum enumBoxType { CheckBox = 0, RadioButton = 1 };

    QZRBaseBoxDraw(QAbstractButton *button, enumBoxType type);
    ~QZRBaseBoxDraw();
    QZRBaseBoxDraw(const QZRBaseBoxDraw &) = delete;
    QZRBaseBoxDraw &operator=(const QZRBaseBoxDraw &) = delete;

    virtual void DrawCheckImage(QPainter &painter);
    virtual void DrawIconImage(QPainter &painter);
    virtual void DrawCheckText(QPainter &painter);

    void setCheckImage(QString checkedPath, QString uncheckedPath, QString partialPath, bool unused, bool twoFrames);
    void setCheckImage(QImage *checked, QImage *unchecked, QImage *partial, bool unused, bool twoFrames, bool copy);
    bool setBtnIcon(QString path);
    void setIconRect(QRect rect);
    void setTextRect(QRect rect);
    QRect checkRect() const;
    QRect textRect() const;
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const;
    void setBgFillMode(bool fill);
    void setData(const QVariant &data);
    QVariant getData() const;
    bool isCustomDraw() const;
    void adjustSize();
    void paintEvent(QPaintEvent *event);

private:
    QImage *imageForState() const;
    void freeImages();

    QZRBaseBoxDrawPrivate *d;
};

#endif
