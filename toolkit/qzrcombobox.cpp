#include "toolkit/qzrcombobox.h"

#include "toolkit/qzrbasebutton.h"

#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

class QZRComboBoxPrivate
{
public:
    QZRBaseButton *button = nullptr;
    // Negative left and top are computed at the first layout.
    qint16 btnLeft = -1;
    qint16 btnTop = -1;
    qint16 btnRight = 0;
    qint16 btnBottom = 0;
    bool keepSize = true;
    QString styleSheet;
    int itemHeight = 19;
    int itemWidth = 0;
    int itemBorderWidth = 0;
    QComboBoxItemAttribute *attribute = new QComboBoxItemAttribute;
    QListWidget *list = nullptr;
    QRect itemIconRect;
    bool autoItemWidth = true;
    qint16 itemMargins[4] = {1, 1, 1, 1};
    bool itemFontPinned = false;
    QFont itemFont;
    bool itemColorsPinned = false;
    QColor itemColors[4] = {Qt::black, Qt::black, Qt::black, Qt::black};
    QPoint popupOffset;

    ~QZRComboBoxPrivate() { delete attribute; }
};

static const char *const BgColorRule = "QListView::item {background: ";
static const char *const HoverColorRule = "QListView::item:hover {background: ";
static const char *const SelectedColorRule = "QListView::item:selected{background-color: ";
static const char *const WidthRule = "QComboBox QAbstractItemView { min-height: 10px; min-width: ";
static const char *const BorderRule = "QComboBox QAbstractItemView{background-color:gray; border: ";

QZRComboBox::QZRComboBox(QWidget *parent)
    : QComboBox(parent)
    , QZRBaseRectImageDraw(this)
    , d(new QZRComboBoxPrivate)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setTextColor(QPalette().color(QPalette::Text));
    d->itemFont = font();
    connect(this, QOverload<const QString &>::of(&QComboBox::currentIndexChanged), this, &QZRComboBox::drawTextChange);
    d->styleSheet = styleSheet();
    InitMacStyle();
    connect(this, &QZRComboBox::emitShowPopup, this, &QZRComboBox::showPopup);
}

// The list belongs to the popup once it is installed as the view.
QZRComboBox::~QZRComboBox()
{
    delete d;
}

// Editable with an invisible line edit: the text is painted by the skin.
void QZRComboBox::InitMacStyle()
{
    setEditable(true);
    if (lineEdit())
        lineEdit()->hide();
}

bool QZRComboBox::setBackgroundImage(QString path)
{
    if (!QZRBaseRectImageDraw::setBackgroundImage(path))
        return false;
    d->styleSheet += "QComboBox {background-color:transparent;border:none}";
    d->styleSheet += "QComboBox QAbstractItemView{background-color:transparent;}";
    setStyleSheet(d->styleSheet);
    ensureList();
    return true;
}

void QZRComboBox::ensureList()
{
    if (d->list)
        return;
    d->list = new QListWidget;
    setModel(d->list->model());
    setView(d->list);
}

void QZRComboBox::setButtonImage(QString path, bool keepSize)
{
    delete d->button;
    d->button = nullptr;
    if (!QFile::exists(path))
        return;
    d->button = new QZRBaseButton(this);
    d->button->setButtonImage(path, true);
    d->button->show();
    connect(d->button, &QAbstractButton::clicked, this, &QZRComboBox::showPopup);
    connect(d->button, &QAbstractButton::clicked, this, &QZRComboBox::emitClicked);
    d->keepSize = keepSize;
}

void QZRComboBox::setButtonKeepSize(bool keepSize)
{
    d->keepSize = keepSize;
    layoutButton();
}

bool QZRComboBox::buttonKeepSize() const
{
    return d->keepSize;
}

void QZRComboBox::setBtnMargins(int left, int top, int right, int bottom)
{
    d->btnLeft = qint16(left);
    d->btnTop = qint16(top);
    d->btnRight = qint16(right);
    d->btnBottom = qint16(bottom);
    update();
    updateGeometry();
}

void QZRComboBox::setBtnMargins(QMargins margins)
{
    setBtnMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

QZRBaseButton *QZRComboBox::arrowButton() const
{
    return d->button;
}

QListWidget *QZRComboBox::listWidget() const
{
    return d->list;
}

void QZRComboBox::layoutButton()
{
    if (!d->button)
        return;
    const int W = width(), H = height();
    if (d->btnLeft < 0)
        d->btnLeft = qint16(W - d->button->width() - d->btnRight);
    if (d->btnTop < 0)
        d->btnTop = qint16((H - d->button->height() - d->btnBottom) / 2);
    if (d->keepSize)
        d->button->move(d->btnLeft, d->btnTop);
    else
        d->button->setGeometry(QRect(QPoint(d->btnLeft, d->btnTop), QPoint(W - 1 - d->btnRight, H - 1 - d->btnBottom)));
}

void QZRComboBox::addItem(const QString &text, const QVariant &data)
{
    if (isCustomDraw())
        addItem(nullptr, text, data);
    else
        QComboBox::insertItem(count(), QIcon(), text, data);
}

void QZRComboBox::addItem(QImage *icon, const QString &text, const QVariant &data)
{
    ensureList();
    insertItem(d->list->count(), icon, text, data);
}

void QZRComboBox::insertItem(int index, QImage *icon, const QString &text, const QVariant &data)
{
    ensureList();
    QListWidgetItem *item = new QListWidgetItem(d->list);
    QZRComboBoxItem *row = new QZRComboBoxItem(nullptr, item);
    applyRowLook(row);
    if (d->itemWidth == 0)
        d->itemWidth = width();
    item->setData(Qt::SizeHintRole, QSize(d->itemWidth, d->itemHeight));
    if (icon) {
        row->setRectIcon(*icon);
        row->setIconRect(d->itemIconRect);
    }
    item->setData(Qt::DisplayRole, text);
    item->setData(Qt::UserRole, data);
    d->list->takeItem(d->list->count() - 1);
    d->list->insertItem(index, item);
    d->list->setItemWidget(item, row);
    AddItemWidget(row, index);
    if (d->list->count() == 1)
        drawTextChange(text);
}

void QZRComboBox::insertItem(int index, const QString &text, const QVariant &data)
{
    if (isCustomDraw())
        insertItem(index, nullptr, text, data);
    else
        QComboBox::insertItem(index, QIcon(), text, data);
}

void QZRComboBox::addItems(const QStringList &texts)
{
    if (!isCustomDraw()) {
        QComboBox::insertItems(count(), texts);
        return;
    }
    for (const QString &text : texts)
        addItem(text, QVariant());
}

void QZRComboBox::insertItems(int index, const QStringList &texts)
{
    if (!isCustomDraw()) {
        QComboBox::insertItems(index, texts);
        return;
    }
    for (const QString &text : texts)
        insertItem(index++, text, QVariant());
}

void QZRComboBox::removeItem(int index)
{
    if (!isCustomDraw() || !d->list) {
        QComboBox::removeItem(index);
        return;
    }
    QListWidgetItem *item = d->list->item(index);
    if (!item)
        return;
    QZRComboBoxItem *row = qobject_cast<QZRComboBoxItem *>(d->list->itemWidget(item));
    removeItemWidgt(row);
    delete row;
    delete item;
}

void QZRComboBox::setItemText(int index, const QString &text)
{
    QComboBox::setItemText(index, text);
    if (!isCustomDraw() || !IsValid(index))
        return;
    d->list->item(index)->setData(Qt::DisplayRole, text);
    if (index == currentIndex())
        drawTextChange(text);
}

QZRComboBoxItem *QZRComboBox::row(int index) const
{
    if (!IsValid(index))
        return nullptr;
    return qobject_cast<QZRComboBoxItem *>(d->list->itemWidget(d->list->item(index)));
}

QList<QZRComboBoxItem *> QZRComboBox::rows() const
{
    QList<QZRComboBoxItem *> all;
    for (int i = 0; d->list && i < d->list->count(); ++i)
        if (QZRComboBoxItem *item = row(i))
            all << item;
    return all;
}

QWidget *QZRComboBox::getItemWidgt(int index) const
{
    QZRComboBoxItem *item = row(index);
    return item ? item->itemWidget() : nullptr;
}

bool QZRComboBox::IsValid(int index) const
{
    return d->list && index >= 0 && index < d->list->count();
}

void QZRComboBox::addSeparator()
{
    if (!d->list || d->list->count() == 0)
        return;
    setItemSeparator(d->list->count() - 1, true);
}

void QZRComboBox::setItemSeparator(int index, bool on)
{
    if (QZRComboBoxItem *item = row(index))
        item->setSeparatorHeight(on ? 1 : 0);
}

void QZRComboBox::AddItemWidget(QZRComboBoxItem *, int)
{
}

void QZRComboBox::removeItemWidgt(QZRComboBoxItem *)
{
}

void QZRComboBox::setShowText(QString text)
{
    setToolTip(text);
    setDrawText(text);
}

void QZRComboBox::drawTextChange(QString text)
{
    setShowText(text);
}

bool QZRComboBox::cutStyleString(QString &styleSheet, QString start, QString end)
{
    const int from = styleSheet.indexOf(start);
    if (from < 0)
        return false;
    const int to = styleSheet.indexOf(end, from + start.size());
    styleSheet.remove(from, to < 0 ? styleSheet.size() - from : to + end.size() - from);
    return true;
}

void QZRComboBox::replaceRule(const QString &start, const QString &end, const QString &rule)
{
    cutStyleString(d->styleSheet, start, end);
    d->styleSheet += rule;
    setStyleSheet(d->styleSheet);
}

void QZRComboBox::setItemHeight(int height)
{
    d->itemHeight = height;
    resetItemAttribute();
}

int QZRComboBox::itemHeight() const
{
    return d->itemHeight;
}

int QZRComboBox::itemWidth() const
{
    return d->itemWidth;
}

void QZRComboBox::setItemWidth(int width)
{
    d->autoItemWidth = false;
    d->itemWidth = width;
    replaceRule(WidthRule, "px}", QString(WidthRule) + QString::number(width) + "px}");
    if (d->list && isCustomDraw())
        d->list->setAttribute(Qt::WA_MouseTracking, false);
}

void QZRComboBox::setItemBgColor(QColor color)
{
    if (d->attribute->m_bgColor != color) {
        d->attribute->m_bgColor = color;
        resetItemAttribute();
    }
    replaceRule(BgColorRule, ";}", QString(BgColorRule) + color.name() + ";}");
}

void QZRComboBox::setItemHoverColor(QColor color)
{
    if (d->attribute->m_hoverColor != color) {
        d->attribute->m_hoverColor = color;
        d->attribute->m_hoverColorMode = true;
        resetItemAttribute();
    }
    replaceRule(HoverColorRule, ";}", QString(HoverColorRule) + color.name() + ";}");
}

QColor QZRComboBox::itemHoverColor() const
{
    return d->attribute->m_hoverColor;
}

void QZRComboBox::setItemSelectedColor(QColor color)
{
    if (d->attribute->m_selectedColor != color) {
        d->attribute->m_selectedColor = color;
        resetItemAttribute();
    }
    replaceRule(SelectedColorRule, ";}", QString(SelectedColorRule) + color.name() + ";}");
}

void QZRComboBox::setItemBorder(int width, QColor color)
{
    d->itemBorderWidth = width;
    replaceRule(BorderRule, "}", QString(BorderRule) + QString("%1px solid %2}").arg(width).arg(color.name()));
    if (d->list && isCustomDraw())
        d->list->setAttribute(Qt::WA_MouseTracking, false);
}

void QZRComboBox::setItemSpacing(int spacing, QColor color)
{
    if (d->attribute->m_spacing == spacing && d->attribute->m_spacingColor == color)
        return;
    d->attribute->m_spacing = spacing;
    d->attribute->m_spacingColor = color;
    resetItemAttribute();
}

void QZRComboBox::setItemAlignment(Qt::Alignment alignment)
{
    if (d->attribute->m_alignment == alignment)
        return;
    d->attribute->m_alignment = alignment;
    resetItemAttribute();
}

void QZRComboBox::setSeparatorColor(QColor color)
{
    if (d->attribute->m_separatorColor == color)
        return;
    d->attribute->m_separatorColor = color;
    resetItemAttribute();
}

void QZRComboBox::setItemWidgtPos(QPoint pos)
{
    d->attribute->m_widgetPos = pos;
    resetItemAttribute();
}

void QZRComboBox::resetItemWidgtPos()
{
    setItemWidgtPos(QPoint(-1, -1));
}

QPoint QZRComboBox::itemWidgtPos() const
{
    return d->attribute->m_widgetPos;
}

void QZRComboBox::setItemIconRect(QRect rect)
{
    d->itemIconRect = rect;
    for (QZRComboBoxItem *item : rows())
        item->setIconRect(rect);
}

void QZRComboBox::setItemTextMargins(int left, int top, int right, int bottom)
{
    d->itemMargins[0] = qint16(left);
    d->itemMargins[1] = qint16(top);
    d->itemMargins[2] = qint16(right);
    d->itemMargins[3] = qint16(bottom);
    for (QZRComboBoxItem *item : rows())
        item->setDrawTextMargins(left, top, right, bottom);
}

void QZRComboBox::resetItemTextMargins()
{
    setItemTextMargins(1, 1, 1, 1);
}

void QZRComboBox::setFont(const QFont &font)
{
    QWidget::setFont(font);
    if (d->itemFontPinned)
        return;
    d->itemFont = font;
    resetItemFont();
}

void QZRComboBox::setItemFont(const QFont &font)
{
    d->itemFontPinned = true;
    d->itemFont = font;
    resetItemFont();
}

QString QZRComboBox::lineEditSheet() const
{
    return QString("QLineEdit {background-color:transparent;border:none;color:%1}").arg(d->itemColors[0].name());
}

void QZRComboBox::setTextColor(QColor color)
{
    QZRBaseRectImageDraw::setTextColor(color);
    if (lineEdit())
        lineEdit()->setStyleSheet(lineEditSheet());
}

void QZRComboBox::setTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled)
{
    QZRBaseRectImageDraw::setTextColor(normal, hover, pressed, disabled);
    if (!d->itemColorsPinned) {
        d->itemColors[0] = normal;
        d->itemColors[1] = hover;
        d->itemColors[2] = pressed;
        d->itemColors[3] = disabled;
        resetItemTextColor();
    }
    if (lineEdit())
        lineEdit()->setStyleSheet(lineEditSheet());
}

void QZRComboBox::setItemTextColor(QColor color)
{
    setItemTextColor(color, color, color, color);
}

void QZRComboBox::setItemTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled)
{
    d->itemColorsPinned = true;
    d->itemColors[0] = normal;
    d->itemColors[1] = hover;
    d->itemColors[2] = pressed;
    d->itemColors[3] = disabled;
    resetItemTextColor();
}

void QZRComboBox::applyRowLook(QZRComboBoxItem *item) const
{
    item->setItemAttribute(*d->attribute);
    item->setDrawTextMargins(d->itemMargins[0], d->itemMargins[1], d->itemMargins[2], d->itemMargins[3]);
    item->setFont(d->itemFont);
    item->QZRBaseRectImageDraw::setTextColor(d->itemColors[0], d->itemColors[1], d->itemColors[2], d->itemColors[3]);
}

void QZRComboBox::resetItemAttribute()
{
    for (QZRComboBoxItem *item : rows())
        item->setItemAttribute(*d->attribute);
}

void QZRComboBox::resetItemFont()
{
    for (QZRComboBoxItem *item : rows())
        item->setFont(d->itemFont);
}

void QZRComboBox::resetItemTextColor()
{
    for (QZRComboBoxItem *item : rows()) {
        item->QZRBaseRectImageDraw::setTextColor(d->itemColors[0], d->itemColors[1], d->itemColors[2], d->itemColors[3]);
        item->update();
    }
}

void QZRComboBox::setPopupOffestPoint(QPoint offset)
{
    d->popupOffset = offset;
}

void QZRComboBox::setEditable(bool editable)
{
    QComboBox::setEditable(editable);
    QLineEdit *edit = lineEdit();
    if (!edit)
        return;
    edit->show();
    edit->setStyleSheet(lineEditSheet());
    connect(edit, &QLineEdit::textChanged, this, &QZRComboBox::changeEditColor, Qt::UniqueConnection);
}

void QZRComboBox::changeEditColor(QString)
{
    if (QWidget *edit = qobject_cast<QWidget *>(sender()))
        edit->setStyleSheet(lineEditSheet());
}

int QZRComboBox::calcItemMaxWidth() const
{
    int widest = width() - 2 * d->itemBorderWidth;
    for (QZRComboBoxItem *item : rows())
        widest = qMax(widest, item->calcItemWidth(d->itemFont));
    return widest;
}

void QZRComboBox::resetItemSize()
{
    if (!d->list)
        return;
    if (d->itemWidth == 0)
        d->itemWidth = width();
    if (d->autoItemWidth) {
        setItemWidth(calcItemMaxWidth());
        d->autoItemWidth = true;
    }
    const int n = d->list->count();
    const int s = d->attribute->m_spacing;
    for (int i = 0; i < n; ++i) {
        QZRComboBoxItem *item = row(i);
        const int separator = item ? item->separatorHeight() : 0;
        const int extra = (i > 0 && s > 1 ? s / 2 : 0) + (i < n - 1 ? (s + 1) / 2 : 0) + separator;
        d->list->item(i)->setData(Qt::SizeHintRole, QSize(d->itemWidth, d->itemHeight + extra));
        if (item)
            item->setFixedWidth(d->itemWidth);
    }
}

void QZRComboBox::showPopup()
{
    resetBtnState();
    resetItemSize();
    QComboBox::showPopup();
    if (lineEdit())
        lineEdit()->setStyleSheet(lineEditSheet());
    if (!d->popupOffset.isNull()) {
        if (QFrame *frame = findChild<QFrame *>()) {
            const QPoint top = mapToGlobal(QPoint(0, 0));
            frame->move(frame->x() + d->popupOffset.x(), top.y() + height());
        }
    }
    if (d->list)
        d->list->scrollToTop();
}

void QZRComboBox::hidePopup()
{
    if (d->list)
        d->list->scrollToTop();
    QComboBox::hidePopup();
}

void QZRComboBox::mousePressEvent(QMouseEvent *event)
{
    if (d->button && isEditable()) {
        emit emitClicked();
        return;
    }
    mousePressEventDraw(event);
    QComboBox::mousePressEvent(event);
    emit emitClicked();
}

void QZRComboBox::mouseReleaseEvent(QMouseEvent *event)
{
    mouseReleaseEventDraw(event);
    QComboBox::mouseReleaseEvent(event);
    if (lineEdit() && lineEdit()->isHidden())
        emit emitShowPopup();
}

void QZRComboBox::enterEvent(QEvent *event)
{
    enterEventDraw(event);
    QComboBox::enterEvent(event);
}

void QZRComboBox::leaveEvent(QEvent *event)
{
    leaveEventDraw(event);
    QComboBox::leaveEvent(event);
}

void QZRComboBox::changeEvent(QEvent *event)
{
    changeEventDraw(event);
    QComboBox::changeEvent(event);
}

void QZRComboBox::showEvent(QShowEvent *event)
{
    QComboBox::showEvent(event);
    layoutButton();
}

void QZRComboBox::resizeEvent(QResizeEvent *event)
{
    QComboBox::resizeEvent(event);
    layoutButton();
}

void QZRComboBox::paintEvent(QPaintEvent *event)
{
    if (!isCustomDraw()) {
        QComboBox::paintEvent(event);
        return;
    }
    const int W = width(), H = height();
    QLineEdit *edit = lineEdit();
    setTextDrawable(edit ? edit->isHidden() : !isEditable());
    QMargins margins = drawTextMargins();
    if (d->button && d->button->x() > W / 2 && W - d->button->x() > margins.right()) {
        margins.setRight(W - d->button->x());
        setDrawTextMargins(margins);
    }
    if (isEditable() && edit && edit->x() != margins.left()) {
        edit->setGeometry(QRect(QPoint(margins.left(), margins.top()),
                                QPoint(W - 1 - margins.right(), H - 1 - margins.bottom())));
        edit->setStyleSheet(lineEditSheet());
    }
    QZRBaseRectImageDraw::paintEvent(event);
}
