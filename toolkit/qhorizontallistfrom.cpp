#include "toolkit/qhorizontallistfrom.h"

#include "toolkit/qhorizontallistitem.h"
#include "ui_qhorizontallistfrom.h"

#include <QPainter>

QHorizontalListFrom::QHorizontalListFrom(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::QHorizontalListFrom)
    , m_backgroundColor(74, 74, 74)
{
    ui->setupUi(this);
    initControls();
}

QHorizontalListFrom::~QHorizontalListFrom()
{
    qDeleteAll(m_items);
    delete ui;
}

void QHorizontalListFrom::initControls()
{
    setLayout(ui->m_mainLayout);
    setAttribute(Qt::WA_MouseTracking);
    ui->m_scrollArea->setAttribute(Qt::WA_MouseTracking);
    ui->m_scrollAreaWidget->setAttribute(Qt::WA_MouseTracking);
    ui->m_scrollArea->setFrameStyle(0);
    ui->m_scrollAreaWidget->setLayout(ui->m_contentLayout);
    ui->m_listLayout->setSpacing(0);
    ui->m_listLayout->setContentsMargins(2, 1, 2, 1);
}

void QHorizontalListFrom::addListItem(QString picture, QString title)
{
    QHorizontalListItem *item = new QHorizontalListItem(ui->m_scrollAreaWidget);
    connect(item, &QHorizontalBaseItem::emitMousePress, this, &QHorizontalListFrom::itemMousePress);
    item->setItem(picture, title);
    ui->m_listLayout->addWidget(item);
    m_items.append(item);
}

// The strip is empty afterwards, so nothing is current any more.
void QHorizontalListFrom::clear()
{
    qDeleteAll(m_items);
    m_items.clear();
    m_currentItem = nullptr;
    m_currentIndex = -1;
}

QList<QHorizontalListItem *> QHorizontalListFrom::items() const
{
    return m_items;
}

void QHorizontalListFrom::setBackgroundColor(QColor color)
{
    m_backgroundColor = color;
    QPalette palette;
    palette.setColor(QPalette::Window, color);
    ui->m_scrollArea->setPalette(palette);
    for (QHorizontalListItem *item : qAsConst(m_items))
        item->setBackgroundColor(color);
    update();
}

void QHorizontalListFrom::setHorizontalScrollBar(QScrollBar *scrollBar)
{
    ui->m_scrollArea->setHorizontalScrollBar(scrollBar);
}

void QHorizontalListFrom::setVerticalScrollBar(QScrollBar *scrollBar)
{
    ui->m_scrollArea->setVerticalScrollBar(scrollBar);
}

QScrollArea *QHorizontalListFrom::getScrollArea() const
{
    return ui->m_scrollArea;
}

void QHorizontalListFrom::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    m_currentItem = m_items.at(index);
    for (QHorizontalListItem *item : qAsConst(m_items))
        item->setMouseState(item == m_currentItem ? QHorizontalBaseItem::Selected : QHorizontalBaseItem::Normal);
    m_currentIndex = index;
}

int QHorizontalListFrom::getCurrentIndex() const
{
    return m_currentIndex;
}

void QHorizontalListFrom::clearSelectState()
{
    for (QHorizontalListItem *item : qAsConst(m_items))
        if (item->getMouseState() != QHorizontalBaseItem::Normal)
            item->setMouseState(QHorizontalBaseItem::Normal);
    m_currentItem = nullptr;
    m_currentIndex = -1;
}

// A click makes the item current; the stored index follows it so that it names the selection.
void QHorizontalListFrom::itemMousePress()
{
    QHorizontalListItem *clicked = qobject_cast<QHorizontalListItem *>(sender());
    for (QHorizontalListItem *item : qAsConst(m_items))
        if (item != clicked)
            item->setMouseState(QHorizontalBaseItem::Normal);
    if (clicked == m_currentItem)
        return;
    m_currentItem = clicked;
    m_currentIndex = m_items.indexOf(clicked);
    emit currentIndexChanged(m_currentIndex);
}

void QHorizontalListFrom::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
}
