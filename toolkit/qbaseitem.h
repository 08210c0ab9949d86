#ifndef QBASEITEM_H
#define QBASEITEM_H

#include <QColor>
#include <QMouseEvent>
#include <QWidget>

class QPainter;

// The mouse state of a list item and its fill per state.
struct QItemStateLook
{
    int state = 0;
    QColor normal;
    QColor over;
    QColor tracking;
    QColor disable;

    explicit QItemStateLook(QColor color) : normal(color), over(color), tracking(color), disable(color) {}
    void setColors(QColor normalColor, QColor overColor, QColor trackingColor, QColor disableColor);
    // Fills the rectangle for the state; a selected item is filled only when asked to.
    void paint(QPainter &painter, const QRect &rect, bool fillSelected) const;
};

// A list row with a normal, hover and selected look and the click rules of a multi-selection
// list, reported as signals.
class QBaseItem : public QWidget
{
    Q_OBJECT

public:
    enum QMouseState { Normal = 0, Hover = 1, Selected = 2 };

    explicit QBaseItem(QWidget *parent = nullptr);

    void setMouseState(int state);
    int getMouseState() const;

    // The click rules shared by list items. The modifiers must match exactly, so Shift together
    // with Ctrl counts as a plain click. The state changes first, then the press signal (or its
    // Ctrl or Shift form), then the context menu request.
    template <class Item>
    static void pressItem(Item *item, int state, QMouseEvent *event);

signals:
    void emitMousePress();
    void emitMouseRelease();
    void emitMouseDoubleClick();
    void emitMouseCtrlPress();
    void emitMouseShiftPress();
    void emitShowTreeMenu();

public slots:
    void setBackgroundColor(QColor color);
    void setBackgroundColor(QColor normalColor, QColor overColor, QColor trackingColor, QColor disableColor);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    const QItemStateLook &look() const { return m_look; }

private:
    // The tracking colour is kept for callers; a selected row is left unfilled.
    QItemStateLook m_look;
};

template <class Item>
void QBaseItem::pressItem(Item *item, int state, QMouseEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->button() == Qt::RightButton) {
        if (state != Selected) {
            item->setMouseState(Selected);
            emit item->emitMousePress();
        }
        emit item->emitShowTreeMenu();
    } else if (event->button() == Qt::LeftButton) {
        if (modifiers == Qt::ShiftModifier) {
            emit item->emitMouseShiftPress();
        } else if (modifiers == Qt::ControlModifier) {
            item->setMouseState(state == Selected ? Normal : Selected);
            emit item->emitMouseCtrlPress();
        } else {
            item->setMouseState(Selected);
            emit item->emitMousePress();
        }
    }
}

#endif
