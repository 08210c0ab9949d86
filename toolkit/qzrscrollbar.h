#ifndef QZRSCROLLBAR_H
#define QZRSCROLLBAR_H

#include "toolkit/qzrscrollbarstyle.h"

#include <QScrollBar>

// A frameless, translucent scroll bar painted by its own flat style.
class QZRScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit QZRScrollBar(QWidget *parent = nullptr);
    QZRScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);
    ~QZRScrollBar() override;

    void setOrientation(Qt::Orientation orientation);
    void InitScrollBar();
    void setStyleAttribute(QZRScrollBarStyleAttribute attribute);
    QZRScrollBarStyleAttribute styleAttribute() const;

private:
    void applyThickness();

    QZRScrollBarStyle *m_style = nullptr;
};

#endif
