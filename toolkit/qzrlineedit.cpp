#include "toolkit/qzrlineedit.h"

#include <QRegExpValidator>

class QZRLineEditPrivate
{
public:
    QColor placeholderColor;
    QColor normalColor;
    bool placeholderMode = false;
    QString placeholderText;
};

QZRLineEdit::QZRLineEdit(QWidget *parent)
    : QLineEdit(parent)
    , QZRBaseRectImageDraw(this)
    , d(new QZRLineEditPrivate)
{
    d->normalColor = palette().color(QPalette::Text);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setAcceptDrops(false);
}

QZRLineEdit::~QZRLineEdit()
{
    delete d;
}

bool QZRLineEdit::setBackgroundImage(QString path)
{
    if (!QZRBaseRectImageDraw::setBackgroundImage(path))
        return false;
    setStyleSheet("QLineEdit {background-color:transparent;border:none; padding: 0px 0px 1px -2px}");
    setTextMargins(3, 0, 2, 0);
    return true;
}

void QZRLineEdit::onlyInputNumber()
{
    setValidator(new QRegExpValidator(QRegExp("^[0-9]*[1-9][0-9]*$", Qt::CaseSensitive), this));
}

void QZRLineEdit::setAlignment(Qt::Alignment alignment)
{
    QLineEdit::setAlignment(alignment);
}

void QZRLineEdit::setPalette(const QPalette &palette)
{
    QWidget::setPalette(palette);
    d->normalColor = palette.color(QPalette::Text);
}

void QZRLineEdit::setPlaceholderText(const QString &text)
{
    QLineEdit::setPlaceholderText(text);
    d->placeholderText = text;
}

void QZRLineEdit::setTextRole(const QColor &color)
{
    QPalette p = palette();
    p.setBrush(QPalette::Text, color);
    QWidget::setPalette(p);
}

// Switching the mode on takes the text colour the field has now as its normal colour, so a
// colour set through the plain widget palette is what focused typing shows.
void QZRLineEdit::setPlaceholderTextColor(QColor color, bool on)
{
    if (on && !d->placeholderMode)
        d->normalColor = palette().color(QPalette::Text);
    d->placeholderColor = color;
    d->placeholderMode = on;
    if (on && text().isEmpty()) {
        QLineEdit::setPlaceholderText(d->placeholderText);
        setTextRole(color);
    }
}

void QZRLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (d->placeholderMode) {
        QLineEdit::setPlaceholderText(QString());
        setTextRole(d->normalColor);
    }
}

void QZRLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (d->placeholderMode && text().isEmpty()) {
        QLineEdit::setPlaceholderText(d->placeholderText);
        setTextRole(d->placeholderColor);
    }
}

void QZRLineEdit::paintEvent(QPaintEvent *event)
{
    QZRBaseRectImageDraw::paintEvent(event);
    QLineEdit::paintEvent(event);
}
