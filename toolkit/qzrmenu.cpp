#include "toolkit/qzrmenu.h"

#include "toolkit/skinimage.h"

#include <QKeyEvent>

QZRMenu::QZRMenu(QWidget *parent)
    : QMenu(parent)
{
    InitMenu();
}

QZRMenu::QZRMenu(const QString &title, QWidget *parent)
    : QMenu(title, parent)
{
    InitMenu();
}

QZRMenu::~QZRMenu()
{
    setStyle(nullptr);
    delete m_style;
}

void QZRMenu::InitMenu()
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    QZRMenuStyle *old = m_style;
    m_style = new QZRMenuStyle;
    setStyle(m_style);
    delete old;
}

QAction *QZRMenu::addMenu(QZRMenu *menu)
{
    return QMenu::addMenu(menu);
}

QZRMenu *QZRMenu::addMenu(const QString &title)
{
    QZRMenu *menu = new QZRMenu(title, this);
    addAction(menu->menuAction());
    return menu;
}

QZRMenu *QZRMenu::addMenu(const QIcon &icon, const QString &title)
{
    QZRMenu *menu = new QZRMenu(title, this);
    menu->setIcon(icon);
    addAction(menu->menuAction());
    return menu;
}

void QZRMenu::setStyleAttribute(QZRMenuStyleAttribute *attribute)
{
    if (attribute)
        *m_style->attribute() = *attribute;
}

QZRMenuStyleAttribute *QZRMenu::styleAttribute() const
{
    return m_style->attribute();
}

void QZRMenu::setFrameWidth(int width)
{
    m_style->attribute()->m_frameWidth = width;
}

void QZRMenu::setFrameColor(QColor color)
{
    m_style->attribute()->m_frameColor = color;
}

void QZRMenu::setAreaColor(QColor color)
{
    m_style->attribute()->m_areaColor = color;
}

void QZRMenu::setSeparatorColor(QColor color)
{
    m_style->attribute()->m_separatorColor = color;
}

void QZRMenu::setItemColor(QColor color)
{
    m_style->attribute()->m_itemColor = color;
}

void QZRMenu::setItemTextColor(QColor color)
{
    m_style->attribute()->m_itemTextColor = color;
}

void QZRMenu::setItemSelectColor(QColor color)
{
    m_style->attribute()->m_itemSelectColor = color;
}

void QZRMenu::setItemTextSelectColor(QColor color)
{
    m_style->attribute()->m_itemTextSelectColor = color;
}

void QZRMenu::setItemEabledColor(QColor color)
{
    m_style->attribute()->m_itemEabledColor = color;
}

void QZRMenu::setItemTextEabledColor(QColor color)
{
    m_style->attribute()->m_itemTextEabledColor = color;
}

void QZRMenu::setItemWidth(int width)
{
    m_style->attribute()->m_itemWidth = width;
}

void QZRMenu::setItemHeight(int height)
{
    m_style->attribute()->m_itemHeight = height;
}

void QZRMenu::setRadioImage(QString path)
{
    m_style->attribute()->m_radioImage = loadSkinImage(path);
}

void QZRMenu::setCheckStateImage(QString checkedPath, QString uncheckedPath)
{
    m_style->attribute()->m_uncheckedImage = loadSkinImage(uncheckedPath);
    m_style->attribute()->m_checkedImage = loadSkinImage(checkedPath);
}

void QZRMenu::setBackgroundImage(QString path, bool gridView)
{
    Q_UNUSED(gridView);
    m_style->attribute()->m_backgroundImage = QImage(path);
    update();
}

// QMenu's own event handling is bypassed; the widget dispatch still reaches the menu's handlers.
// Navigation keys are claimed here so that application shortcuts on the same keys do not take
// them from an open menu.
bool QZRMenu::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeyEvent *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Enter:
        case Qt::Key_Return:
        case Qt::Key_Escape:
            event->accept();
            return true;
        default:
            break;
        }
    }
    return QWidget::event(event);
}
