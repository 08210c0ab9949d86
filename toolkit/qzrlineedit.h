#ifndef QZRLINEEDIT_H
#define QZRLINEEDIT_H

#include "toolkit/qzrbaserectimagedraw.h"

#include <QLineEdit>

class QZRLineEditPrivate;

// A line edit over a skin image, with an optional placeholder colour and digits-only input.
class QZRLineEdit : public QLineEdit, public QZRBaseRectImageDraw
{
    Q_OBJECT

public:
    explicit QZRLineEdit(QWidget *parent = nullptr);
    ~QZRLineEdit() override;

    using QZRBaseRectImageDraw::setBackgroundImage;
    bool setBackgroundImage(QString path);
    void onlyInputNumber();
    void setAlignment(Qt::Alignment alignment);
    using QLineEdit::alignment;
    void setPalette(const QPalette &palette);
    void setPlaceholderText(const QString &text);
    void setPlaceholderTextColor(QColor color, bool on);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setTextRole(const QColor &color);

    QZRLineEditPrivate *d;
};

#endif
