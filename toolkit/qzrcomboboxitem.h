#ifndef QZRCOMBOBOXITEM_H
#define QZRCOMBOBOXITEM_H

#include "toolkit/qzrbaserectimagedraw.h"

#include <QColor>
#include <QPoint>
#include <QWidget>

class QListWidgetItem;

// The look of a combo box popup row.
class QComboBoxItemAttribute
{
public:
    QComboBoxItemAttribute();
    QComboBoxItemAttribute(const QComboBoxItemAttribute &other) = default;
    QComboBoxItemAttribute &operator=(const QComboBoxItemAttribute &other) = default;

    QColor m_bgColor;
    QColor m_hoverColor;
    QColor m_selectedColor;
    int m_spacing;
    QColor m_spacingColor;
    Qt::Alignment m_alignment;
    bool m_hoverColorMode;
    // A negative coordinate places the row's extra widget automatically on that axis.
    QPoint m_widgetPos;
    QColor m_separatorColor;
};

// One row of a skinned combo box popup, painted from its own copy of the row look.
class QZRComboBoxItem : public QWidget, public QZRBaseRectImageDraw
{
    Q_OBJECT

public:
    QZRComboBoxItem(QWidget *parent, QListWidgetItem *item);
    ~QZRComboBoxItem() override;

    void setItemAttribute(const QComboBoxItemAttribute &attribute);
    QComboBoxItemAttribute *itemAttribute() const;
    QListWidgetItem *listItem() const;
    void setItemWidget(QWidget *widget);
    QWidget *itemWidget() const;
    void setSeparatorHeight(int height);
    int separatorHeight() const;
    // Width the row needs to show its text in the given font.
    int calcItemWidth(const QFont &font) const;
    int index() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QListWidgetItem *m_item;
    QComboBoxItemAttribute *m_attribute;
    bool m_hovered = false;
    QWidget *m_widget = nullptr;
    int m_separatorHeight = 0;
};

#endif
