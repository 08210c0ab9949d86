#include "toolkit/qzrbuttonextend.h"

#include <QPainter>
#include <QPainterPath>

QZRButtonExtend::QZRButtonExtend(QWidget *parent) : QZRBaseButton(parent)
{
}

bool QZRButtonExtend::setTagImg(QRect rect, QString path)
{
    m_tagRect = rect;
    m_bHasTag = !path.isEmpty();
    if (m_bHasTag)
        m_tagPixmap = QPixmap(path);
    update();
    return m_bHasTag;
}

bool QZRButtonExtend::setTagImg(QRect rect, QImage image)
{
    m_tagRect = rect;
    if (!image.isNull()) {
        m_bHasTag = true;
        m_tagPixmap = QPixmap::fromImage(image);
    }
    update();
    return m_bHasTag;
}

bool QZRButtonExtend::setTagImg(QRect rect, std::string bytes)
{
    m_tagRect = rect;
    QImage image;
    if (!bytes.empty()
        && image.loadFromData(reinterpret_cast<const uchar *>(bytes.data()), int(bytes.size()))) {
        m_bHasTag = true;
        m_tagPixmap = QPixmap::fromImage(image);
    }
    update();
    return m_bHasTag;
}

void QZRButtonExtend::setBackgroundColor(QColor color)
{
    m_bgColor = color;
}

void QZRButtonExtend::setIconColor(QColor color)
{
    m_iconColor = color;
    update();
}

void QZRButtonExtend::setIconColorRect(QRect rect)
{
    m_iconColorRect = rect;
    update();
}

void QZRButtonExtend::paintEvent(QPaintEvent *event)
{
    QZRBaseButton::paintEvent(event);
    QPainter painter(this);
    if (m_bHasTag) {
        painter.fillRect(rect(), m_bgColor);
        QRect target = m_tagRect;
        const int pw = m_tagPixmap.width(), ph = m_tagPixmap.height();
        if (ph > pw) {
            const int width = pw * m_tagRect.height() / ph;
            target = QRect(m_tagRect.x() + (m_tagRect.width() - width) / 2, m_tagRect.y(), width, m_tagRect.height());
        } else if (pw > ph) {
            const int height = ph * m_tagRect.width() / pw;
            target = QRect(m_tagRect.x(), m_tagRect.y() + (m_tagRect.height() - height) / 2, m_tagRect.width(), height);
        }
        if (!m_tagPixmap.isNull())
            painter.drawPixmap(target, m_tagPixmap);
    }
    if (m_iconColorRect.isValid()) {
        painter.fillRect(m_iconColorRect, m_iconColor);
        QPainterPath outline;
        outline.addRect(m_iconColorRect);
        painter.setPen(QColor(128, 128, 128));
        painter.drawPath(outline);
    }
}
