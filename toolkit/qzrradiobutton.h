#ifndef QZRRADIOBUTTON_H
#define QZRRADIOBUTTON_H

#include "toolkit/qzrbaseboxdraw.h"
#include "toolkit/qzrbasebuttondraw.h"

#include <QRadioButton>

// A radio button drawn either as a check image beside its text, or (button mode) as a
// four-frame image button that toggles.
class QZRRadioButton : public QRadioButton, public QZRBaseBoxDraw, public QZRBaseButtonDraw
{
    Q_OBJECT

public:
    explicit QZRRadioButton(QWidget *parent = nullptr);

    void setCheckImage(QString first, QString second, bool buttonMode, bool twoFrames);
    void setBtnIcon(QString path);
    void setIconRect(QRect rect);
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const;
    void setTextRect(QRect rect);
    void adjustSize();
    bool isButtonMode() const;
    void seedClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_buttonMode = false;
};

#endif
