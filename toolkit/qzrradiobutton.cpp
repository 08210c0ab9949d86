#include "toolkit/qzrradiobutton.h"

#include <QMouseEvent>

QZRRadioButton::QZRRadioButton(QWidget *parent)
    : QRadioButton(parent)
    , QZRBaseBoxDraw(this, QZRBaseBoxDraw::RadioButton)
    , QZRBaseButtonDraw(this)
{
}

void QZRRadioButton::setCheckImage(QString first, QString second, bool buttonMode, bool twoFrames)
{
    m_buttonMode = buttonMode;
    if (buttonMode)
        QZRBaseButtonDraw::setButtonImage(first, true);
    else
        QZRBaseBoxDraw::setCheckImage(first, second, QString(), false, twoFrames);
    update();
}

bool QZRRadioButton::isButtonMode() const
{
    return m_buttonMode;
}

void QZRRadioButton::setBtnIcon(QString path)
{
    if (m_buttonMode)
        QZRBaseButtonDraw::setBtnIcon(path);
    else
        QZRBaseBoxDraw::setBtnIcon(path);
}

void QZRRadioButton::setIconRect(QRect rect)
{
    if (m_buttonMode)
        QZRBaseButtonDraw::setIconRect(rect);
    else
        QZRBaseBoxDraw::setIconRect(rect);
}

void QZRRadioButton::setAlignment(Qt::Alignment alignment)
{
    if (m_buttonMode)
        QZRBaseButtonDraw::setAlignment(alignment);
    else
        QZRBaseBoxDraw::setAlignment(alignment);
}

Qt::Alignment QZRRadioButton::alignment() const
{
    return m_buttonMode ? QZRBaseButtonDraw::alignment() : QZRBaseBoxDraw::alignment();
}

void QZRRadioButton::setTextRect(QRect rect)
{
    if (m_buttonMode)
        QZRBaseButtonDraw::setTextRect(rect);
    else
        QZRBaseBoxDraw::setTextRect(rect);
}

void QZRRadioButton::adjustSize()
{
    if (m_buttonMode)
        return;
    if (QZRBaseBoxDraw::isCustomDraw())
        QZRBaseBoxDraw::adjustSize();
    else
        QWidget::adjustSize();
}

void QZRRadioButton::seedClick()
{
    click();
}

void QZRRadioButton::mousePressEvent(QMouseEvent *event)
{
    if (m_buttonMode) {
        QZRBaseButtonDraw::mousePressEvent(event);
        setChecked(!isChecked());
    }
    QAbstractButton::mousePressEvent(event);
}

void QZRRadioButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_buttonMode)
        QZRBaseButtonDraw::mouseReleaseEvent(event);
    QAbstractButton::mouseReleaseEvent(event);
}

void QZRRadioButton::focusInEvent(QFocusEvent *event)
{
    QRadioButton::focusInEvent(event);
    QZRBaseButtonDraw::focusInEvent(event);
}

void QZRRadioButton::focusOutEvent(QFocusEvent *event)
{
    QRadioButton::focusOutEvent(event);
    QZRBaseButtonDraw::focusOutEvent(event);
}

void QZRRadioButton::enterEvent(QEvent *event)
{
    if (m_buttonMode)
        QZRBaseButtonDraw::enterEvent(event);
    QWidget::enterEvent(event);
}

void QZRRadioButton::leaveEvent(QEvent *event)
{
    if (m_buttonMode)
        QZRBaseButtonDraw::leaveEvent(event);
    QWidget::leaveEvent(event);
}

void QZRRadioButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (m_buttonMode)
        QZRBaseButtonDraw::changeEvent(event);
    update();
}

void QZRRadioButton::paintEvent(QPaintEvent *event)
{
    if (m_buttonMode && QZRBaseButtonDraw::isCustomDraw())
        QZRBaseButtonDraw::paintEvent(event);
    else if (!m_buttonMode && QZRBaseBoxDraw::isCustomDraw())
        QZRBaseBoxDraw::paintEvent(event);
    else
        QRadioButton::paintEvent(event);
}
