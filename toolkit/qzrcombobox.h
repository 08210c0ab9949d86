#ifndef QZRCOMBOBOX_H
#define QZRCOMBOBOX_H

#include "toolkit/qzrbaserectimagedraw.h"
#include "toolkit/qzrcomboboxitem.h"

#include <QComboBox>

class QZRBaseButton;
class QListWidget;
class QZRComboBoxPrivate;

// A combo box painted from a skin with a skinned arrow button. Once skinned, its popup rows are
// widgets of its own; list colours, width and border also go to Qt as style-sheet rules, each
// replacing the previous rule of its kind.
class QZRComboBox : public QComboBox, public QZRBaseRectImageDraw
{
    Q_OBJECT

public:
    explicit QZRComboBox(QWidget *parent = nullptr);
    ~QZRComboBox() override;

    void InitMacStyle();

    using QZRBaseRectImageDraw::setBackgroundImage;
    bool setBackgroundImage(QString path);
    void setButtonImage(QString path, bool keepSize);
    void setButtonKeepSize(bool keepSize);
    bool buttonKeepSize() const;
    void setBtnMargins(int left, int top, int right, int bottom);
    void setBtnMargins(QMargins margins);
    QZRBaseButton *arrowButton() const;

    void addItem(const QString &text, const QVariant &data = QVariant());
    void addItem(QImage *icon, const QString &text, const QVariant &data = QVariant());
    void insertItem(int index, QImage *icon, const QString &text, const QVariant &data = QVariant());
    void insertItem(int index, const QString &text, const QVariant &data = QVariant());
    void addItems(const QStringList &texts);
    void insertItems(int index, const QStringList &texts);
    void removeItem(int index);
    void setItemText(int index, const QString &text);
    QWidget *getItemWidgt(int index) const;
    bool IsValid(int index) const;
    void addSeparator();
    void setItemSeparator(int index, bool on);
    QListWidget *listWidget() const;

    void setItemHeight(int height);
    int itemHeight() const;
    void setItemWidth(int width);
    int itemWidth() const;
    void setItemBgColor(QColor color);
    void setItemHoverColor(QColor color);
    QColor itemHoverColor() const;
    void setItemSelectedColor(QColor color);
    void setItemBorder(int width, QColor color);
    void setItemSpacing(int spacing, QColor color);
    void setItemAlignment(Qt::Alignment alignment);
    void setSeparatorColor(QColor color);
    void setItemWidgtPos(QPoint pos);
    void resetItemWidgtPos();
    QPoint itemWidgtPos() const;
    void setItemIconRect(QRect rect);
    void setItemTextMargins(int left, int top, int right, int bottom);
    void resetItemTextMargins();
    void setFont(const QFont &font);
    void setItemFont(const QFont &font);
    void setTextColor(QColor color);
    void setTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled);
    void setItemTextColor(QColor color);
    void setItemTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled);
    void resetItemAttribute();
    void resetItemFont();
    void resetItemTextColor();
    void setPopupOffestPoint(QPoint offset);
    void setEditable(bool editable);

    static bool cutStyleString(QString &styleSheet, QString start, QString end);

    virtual void AddItemWidget(QZRComboBoxItem *item, int index);
    virtual void removeItemWidgt(QZRComboBoxItem *item);
    virtual void setShowText(QString text);

signals:
    void emitClicked();
    void emitShowPopup();

public slots:
    void drawTextChange(QString text);

protected slots:
    void showPopup() override;
    void hidePopup() override;

private slots:
    void changeEditColor(QString text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void ensureList();
    QZRComboBoxItem *row(int index) const;
    QList<QZRComboBoxItem *> rows() const;
    void replaceRule(const QString &start, const QString &end, const QString &rule);
    QString lineEditSheet() const;
    void layoutButton();
    void resetItemSize();
    int calcItemMaxWidth() const;
    void applyRowLook(QZRComboBoxItem *item) const;

    QZRComboBoxPrivate *d;
};

#endif
