#ifndef QHORIZONTALBASEITEM_H
#define QHORIZONTALBASEITEM_H

#include "toolkit/qbaseitem.h"

// An item laid out side by side with others: normal, hover and selected looks and the list
// click rules; a selected item keeps its look while hovered.
class QHorizontalBaseItem : public QWidget
{
    Q_OBJECT

public:
    enum QMouseState { Normal = 0, Hover = 1, Selected = 2 };

    explicit QHorizontalBaseItem(QWidget *parent = nullptr);

    virtual void setMouseState(int state);
    int getMouseState() const;
    void setBackgroundColor(QColor color);
    void setBackgroundColor(QColor normalColor, QColor overColor, QColor trackingColor, QColor disableColor);

signals:
    void emitMousePress();
    void emitMouseCtrlPress();
    void emitMouseShiftPress();
    void emitShowTreeMenu();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QItemStateLook m_look;
};

#endif
