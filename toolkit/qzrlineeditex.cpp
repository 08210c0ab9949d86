#include "toolkit/qzrlineeditex.h"

#include <QPainter>

QZRLineEditEx::QZRLineEditEx(QWidget *parent)
    : QZRLineEdit(parent)
    , m_symbolColor(255, 0, 0)
    , m_symbolAlignment(Qt::AlignRight | Qt::AlignVCenter)
{
    m_symbolFont.setFamily("Tahoma");
    m_symbolFont.setPixelSize(11);
}

void QZRLineEditEx::setSymbol(QString symbol)
{
    m_symbol = symbol;
}

void QZRLineEditEx::setSymbolColor(QColor color)
{
    m_symbolColor = color;
}

void QZRLineEditEx::setSymbolFont(QFont font)
{
    m_symbolFont = font;
}

QFont QZRLineEditEx::symbolFont() const
{
    return m_symbolFont;
}

void QZRLineEditEx::setSymbolAlignment(Qt::Alignment alignment)
{
    m_symbolAlignment = alignment;
}

void QZRLineEditEx::setSymbolDrawTextMargins(int left, int top, int right, int bottom)
{
    m_symbolLeft = qint16(left);
    m_symbolTop = qint16(top);
    m_symbolRight = qint16(right);
    m_symbolBottom = qint16(bottom);
}

void QZRLineEditEx::paintEvent(QPaintEvent *event)
{
    QZRLineEdit::paintEvent(event);
    QPainter painter(this);
    const QFont saved = painter.font();
    painter.setFont(m_symbolFont);
    m_symbolRect = QRect(QPoint(m_symbolLeft, m_symbolTop),
                         QPoint(width() - 1 - m_symbolRight, height() - 1 - m_symbolBottom));
    painter.drawText(m_symbolRect, int(m_symbolAlignment), m_symbol);
    painter.setFont(saved);
}

void QZRLineEditEx::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    update();
}
