#ifndef QZRBUTTONEXTEND_H
#define QZRBUTTONEXTEND_H

#include "toolkit/qzrbasebutton.h"

#include <QPixmap>
#include <string>

// A skinned button that can show a picture tag over a background colour and a colour patch.
class QZRButtonExtend : public QZRBaseButton
{
    Q_OBJECT

public:
    explicit QZRButtonExtend(QWidget *parent = nullptr);

    bool setTagImg(QRect rect, QString path);
    bool setTagImg(QRect rect, QImage image);
    bool setTagImg(QRect rect, std::string bytes);
    void setBackgroundColor(QColor color);
    void setIconColor(QColor color);
    void setIconColorRect(QRect rect);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_bHasTag = false;
    QPixmap m_tagPixmap;
    QRect m_tagRect;
    QColor m_bgColor = QColor(255, 0, 0);
    QColor m_iconColor = QColor(0, 0, 0);
    QRect m_iconColorRect;
};

#endif
