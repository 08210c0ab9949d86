#ifndef QZRLINEEDITEX_H
#define QZRLINEEDITEX_H

#include "toolkit/qzrlineedit.h"

#include <QFont>

// A line edit that draws a unit symbol, such as "%", inside the field.
class QZRLineEditEx : public QZRLineEdit
{
    Q_OBJECT

public:
    explicit QZRLineEditEx(QWidget *parent = nullptr);

    void setSymbol(QString symbol);
    void setSymbolColor(QColor color);
    void setSymbolFont(QFont font);
    void setSymbolAlignment(Qt::Alignment alignment);
    void setSymbolDrawTextMargins(int left, int top, int right, int bottom);
    QFont symbolFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QString m_symbol;
    // Kept for callers; the symbol is drawn in the field's text colour.
    QColor m_symbolColor;
    QFont m_symbolFont;
    Qt::Alignment m_symbolAlignment;
    QRect m_symbolRect;
    qint16 m_symbolLeft = 1;
    qint16 m_symbolTop = 1;
    qint16 m_symbolRight = 1;
    qint16 m_symbolBottom = 1;
};

#endif
