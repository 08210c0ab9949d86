#include "toolkit/qbasedrawwidget.h"

#include "toolkit/qbaseimagedraw.h"
#include "toolkit/zrmacosinterface.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QDialog>
#include <QFile>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

class QBaseDrawWidgetPrivate
{
public:
    QImage background;
    QImage logo;
    QColor backgroundColor = QColor(100, 100, 100, 100);
    int moveTopHeight = 40;
    bool dragging = false;
    QPoint pressOffset;
    QRect normalGeometry;
    QBaseDrawWidget::CursorAndState cursor = QBaseDrawWidget::CursorNone;
    QBaseDrawWidget::enumStretchPolicy policy = QBaseDrawWidget::StretchAll;
    QBaseDrawWidget::dlgType type = QBaseDrawWidget::MainWindow;
    int stretchWidth = 4;
    bool maximised = false;
    int grabX = 0;
    int grabY = 0;
    QWidget *widget = nullptr;
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
    rectSize corners[4];
    QRect logoRect = QRect(0, 0, 0, 0);
    QString title;
    QRect titleRect;
    Qt::Alignment titleAlignment = Qt::AlignLeft;
    int moveCorrectHeight = -1;

    bool canStretch() const { return policy & QBaseDrawWidget::StretchAll; }
};

namespace {

QImage doubleDensity(const QImage &image)
{
    QImage copy = image;
    copy.setDevicePixelRatio(2.0);
    return copy;
}

// An image file, or a null image when it is missing or does not decode.
QImage loadSkin(const QString &path)
{
    return QFile::exists(path) ? QImage(path) : QImage();
}

QPoint globalPos(const QMouseEvent *event)
{
    const QPointF pos = event->screenPos();
    return QPoint(int(std::lround(pos.x())), int(std::lround(pos.y())));
}

QRect screenRect()
{
    return QApplication::desktop()->screenGeometry(-1);
}

QRect availableRect()
{
    return QApplication::desktop()->availableGeometry(-1);
}

}

QBaseDrawWidget::QBaseDrawWidget(QWidget *widget, dlgType type) : d(new QBaseDrawWidgetPrivate)
{
    d->type = type;
    d->widget = widget;
    d->policy = type == Widget ? StretchNone : StretchAll;
    if (widget)
        widget->setAttribute(Qt::WA_MouseTracking);
    if (type == Dialog) {
        d->policy = StretchAll;
        if (widget)
            widget->setAttribute(Qt::WA_Hover);
    }
}

QBaseDrawWidget::~QBaseDrawWidget()
{
    delete d;
}

void QBaseDrawWidget::resetControlLocation()
{
}

void QBaseDrawWidget::setStretchPolicy(QBaseDrawWidget::enumStretchPolicy policy)
{
    d->policy = policy;
    if (d->type == Dialog && d->widget)
        d->widget->setAttribute(Qt::WA_Hover, d->canStretch());
}

void QBaseDrawWidget::setDrawWidget(QWidget *widget)
{
    d->widget = widget;
}

QWidget *QBaseDrawWidget::DrawWiget() const
{
    return d->widget;
}

void QBaseDrawWidget::setMoveTopHeight(int height)
{
    d->moveTopHeight = height;
}

void QBaseDrawWidget::setStretchWidth(int width)
{
    d->stretchWidth = width;
}

int QBaseDrawWidget::stretchWidth() const
{
    return d->stretchWidth;
}

void QBaseDrawWidget::setMoveChangeCorrect(int height)
{
    d->moveCorrectHeight = height;
}

void QBaseDrawWidget::setTransparentW(int width)
{
    setTransparentW(width, width, width, width);
}

void QBaseDrawWidget::setTransparentW(int left, int top, int right, int bottom)
{
    d->marginLeft = left;
    d->marginTop = top;
    d->marginRight = right;
    d->marginBottom = bottom;
}

QMargins QBaseDrawWidget::getTransparentMg() const
{
    return QMargins(d->marginLeft, d->marginTop, d->marginRight, d->marginBottom);
}

void QBaseDrawWidget::setBackgroundImage(QString path, bool gridView)
{
    if (!d->widget)
        return;
    // A file that does not decode counts as missing: it must not shrink the window to nothing.
    const QImage image = loadSkin(path);
    if (!image.isNull())
        setBackgroundImage(image, gridView);
}

void QBaseDrawWidget::setBackgroundImage(QImage image, bool gridView)
{
    if (!d->widget || image.isNull())
        return;
    d->background = doubleDensity(image);
    const QSize logical(image.width() / 2, image.height() / 2);
    d->widget->resize(logical);
    if (gridView)
        d->widget->setMinimumSize(logical);
    d->policy = gridView ? StretchAll : StretchNone;
    const rectSize corner{image.width() / 6, image.height() / 6};
    for (rectSize &size : d->corners)
        size = corner;
    d->widget->update();
}

void QBaseDrawWidget::changeBackgroundImage(QImage image)
{
    d->background = doubleDensity(image);
}

void QBaseDrawWidget::setGridViewInfo(rectSize topLeft, rectSize topRight, rectSize bottomLeft, rectSize bottomRight)
{
    d->corners[0] = topLeft;
    d->corners[1] = topRight;
    d->corners[2] = bottomLeft;
    d->corners[3] = bottomRight;
    if (d->widget)
        d->widget->update();
}

void QBaseDrawWidget::setBackgrounColor(QColor color)
{
    d->backgroundColor = color;
    if (d->widget)
        d->widget->update();
}

QColor QBaseDrawWidget::getBackgrounColor() const
{
    return d->backgroundColor;
}

void QBaseDrawWidget::setLogoImage(QString path)
{
    d->logo = QImage();
    const QImage image = loadSkin(path);
    if (image.isNull())
        return;
    d->logo = doubleDensity(image);
    d->logoRect.setSize(QSize(image.width() / 2, image.height() / 2));
    if (d->widget)
        d->widget->update();
}

void QBaseDrawWidget::setLogoImage(QImage image)
{
    d->logo = doubleDensity(image);
    if (!image.isNull())
        d->logoRect.setSize(QSize(image.width() / 2, image.height() / 2));
    if (d->widget)
        d->widget->update();
}

void QBaseDrawWidget::setLogoRect(QRect rect)
{
    d->logoRect = rect;
}

void QBaseDrawWidget::setTitleRect(QRect rect)
{
    d->titleRect = rect;
}

void QBaseDrawWidget::setAlignment(Qt::Alignment alignment)
{
    d->titleAlignment = alignment;
    if (d->widget)
        d->widget->update();
}

Qt::Alignment QBaseDrawWidget::alignment() const
{
    return d->titleAlignment;
}

void QBaseDrawWidget::setDlgTitle(QString title)
{
    d->title = title;
    if (d->widget)
        d->widget->update();
}

QString QBaseDrawWidget::getDlgTitle() const
{
    return d->title;
}

bool QBaseDrawWidget::isMaxSize() const
{
    return d->maximised;
}

QBaseDrawWidget::CursorAndState QBaseDrawWidget::cursorAndState() const
{
    return d->cursor;
}

void QBaseDrawWidget::CenterDlg(QDialog &dialog)
{
    if (!d->widget)
        return;
    const QPoint origin = d->widget->mapToGlobal(QPoint(0, 0));
    int x = origin.x() + (d->widget->width() - dialog.width()) / 2;
    int y = origin.y() + (d->widget->height() - dialog.height()) / 2;
    if (x < 1)
        x = 50;
    if (y < 1)
        y = 50;
    dialog.move(x, y);
}

bool QBaseDrawWidget::event(QEvent *event)
{
    if (d->widget && d->type != Widget && event->type() == QEvent::HoverMove && !d->dragging && !d->maximised
        && d->canStretch()) {
        const QPointF pos = static_cast<QHoverEvent *>(event)->posF();
        QWidget *child = d->widget->childAt(QPoint(int(std::lround(pos.x())), int(std::lround(pos.y()))));
        if (child && !child->isHidden() && child->objectName() != QLatin1String("centralWidget"))
            d->widget->unsetCursor();
    }
    return false;
}

void QBaseDrawWidget::paintEvent(QPaintEvent *)
{
    if (!d->widget)
        return;
    QPainter painter(d->widget);
    const int W = d->widget->width();
    const int H = d->widget->height();
    if (d->background.isNull()) {
        painter.fillRect(QRect(0, 0, W, H), d->backgroundColor);
    } else {
        QImage &image = d->background;
        const int iw = image.width() / 2;
        const int ih = image.height() / 2;
        const auto [w1, h1] = d->corners[0];
        const auto [w2, h2] = d->corners[1];
        const auto [w3, h3] = d->corners[2];
        const auto [w4, h4] = d->corners[3];
        QBaseImageDraw::drawImage(painter, QRect(0, 0, w1, h1), QRect(0, 0, w1, h1), image);
        QBaseImageDraw::drawImage(painter, QRect(W - w2, 0, w2, h2), QRect(iw - w2, 0, w2, h2), image);
        if (W - w1 - w2 > 0)
            QBaseImageDraw::drawImage(painter, QRect(w1, 0, W - w1 - w2, h2), QRect(w1, 0, iw - w1 - w2, h2), image);
        QBaseImageDraw::drawImage(painter, QRect(0, H - h3, w3, h3), QRect(0, ih - h3, w3, h3), image);
        QBaseImageDraw::drawImage(painter, QRect(W - w4, H - h4, w4, h4), QRect(iw - w4, ih - h4, w4, h4), image);
        if (W - w3 - w4 > 0)
            QBaseImageDraw::drawImage(painter, QRect(w3, H - h3, W - w3 - w4, h4), QRect(w3, ih - h4, iw - w3 - w4, h4),
                                      image);
        if (H - h1 - h3 > 0)
            QBaseImageDraw::drawImage(painter, QRect(0, h1, w1, H - h1 - h3), QRect(0, h1, w1, ih - h1 - h3), image);
        if (H - h2 - h4 > 0)
            QBaseImageDraw::drawImage(painter, QRect(W - w2, h2, w2, H - h2 - h4), QRect(iw - w2, h2, w2, ih - h2 - h4),
                                      image);
        const QRect centreTarget(w1, h1, W - w1 - w2, H - h1 - h3);
        const QRect centreSource(w1, h1, iw - w1 - w2, ih - h1 - h3);
        if (centreTarget.width() > 0 && centreTarget.height() > 0 && centreSource.width() > 0
            && centreSource.height() > 0)
            QBaseImageDraw::drawImage(painter, centreTarget, centreSource, image);
    }
    DrawLogo(painter);
    DrawWgtText(painter);
}

void QBaseDrawWidget::DrawLogo(QPainter &painter)
{
    if (d->logo.isNull())
        return;
    QRect &rect = d->logoRect;
    if (rect.width() == 0)
        rect.setWidth(d->logo.width() / 2);
    if (rect.height() == 0)
        rect.setHeight(d->logo.height() / 2);
    if (d->widget) {
        if (rect.x() == -1)
            rect.moveLeft((d->widget->width() - rect.width()) / 2);
        if (rect.y() == -1)
            rect.moveTop((d->widget->height() - rect.height()) / 2);
    }
    QBaseImageDraw::drawImage(painter, rect, QRect(0, 0, d->logo.width() / 2, d->logo.height() / 2), d->logo);
}

void QBaseDrawWidget::DrawWgtText(QPainter &painter)
{
    if (!d->widget || d->title.isEmpty())
        return;
    int x = d->titleRect.x();
    int y = d->titleRect.y();
    int w = d->titleRect.width();
    int h = d->titleRect.height();
    if (x == 0)
        x = d->marginLeft;
    if (y == 0)
        y = d->marginTop;
    if (w == 0)
        w = d->widget->width() - x - d->marginRight;
    if (h == 0)
        h = 20;

    const QFont oldFont = painter.font();
    painter.setFont(d->widget->font());
    painter.setPen(d->widget->palette().color(QPalette::WindowText));
    const QString text = QFontMetrics(d->widget->font()).elidedText(d->title, Qt::ElideRight, w);
    painter.drawText(QRect(x, y, w, h), int(d->titleAlignment), text);
    painter.setFont(oldFont);
}

void QBaseDrawWidget::mousePressEvent(QMouseEvent *event)
{
    if (!d->widget)
        return;
    QPoint corner = d->widget->pos();
    if (d->type != Widget) {
        const int frameBottom = ZrMacosInterface::getWindowPos(d->widget).y();
        corner.setY(screenRect().height() - frameBottom - d->widget->height());
    }
    d->pressOffset = globalPos(event) - corner;
    if (event->button() == Qt::LeftButton)
        d->dragging = true;
}

void QBaseDrawWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!d->widget || d->type == Widget)
        return;
    if (!d->dragging && !d->maximised && d->canStretch()) {
        QWidget *child = d->widget->childAt(event->pos());
        if (child && child->objectName() != QLatin1String("centralWidget"))
            d->widget->unsetCursor();
        else
            setCursorAndState(event);
    } else if (d->cursor != CursorNone) {
        setFrameGeomtry(event);
        return;
    }
    if (d->dragging && d->pressOffset.y() < d->moveTopHeight && !d->maximised)
        d->widget->move(globalPos(event) - d->pressOffset);
}

void QBaseDrawWidget::setCursorAndState(QMouseEvent *event)
{
    if (!d->widget)
        return;
    const QRect geometry = d->widget->geometry();
    const int left = geometry.left(), top = geometry.top();
    const int right = geometry.right(), bottom = geometry.bottom();
    const QPoint pos = globalPos(event);
    const int gx = pos.x(), gy = pos.y();
    const int s = d->stretchWidth;
    const int mL = d->marginLeft, mR = d->marginRight, mT = d->marginTop, mB = d->marginBottom;

    const bool inLeft = mL + left <= gx && gx <= left + mL + s;
    const bool inRight = right - mR - s <= gx && gx <= right - mR;
    const bool inTop = top + mT <= gy && gy <= top + mT + s;
    const bool inBottom = bottom - mB - s <= gy && gy <= bottom - mB;
    const bool sides = d->policy & StretchHorizontal;
    const bool ends = d->policy & StretchVertical;

    CursorAndState state = CursorNone;
    if (inLeft && sides) {
        if (ends && inTop) {
            state = CursorTopLeft;
            d->grabX = gx - left;
            d->grabY = gy - top;
        } else if (ends && gy >= bottom - s - mB) {
            state = CursorBottomLeft;
            d->grabX = gx - left;
            d->grabY = bottom - gy;
        } else {
            state = CursorLeft;
            d->grabX = gx - left;
        }
    } else if (inRight && sides) {
        if (ends && inTop) {
            state = CursorTopRight;
            d->grabX = right - gx;
            d->grabY = gy - top;
        } else if (ends && gy >= bottom - s - mB) {
            state = CursorBottomRight;
            d->grabX = right - gx;
            d->grabY = bottom - gy;
        } else {
            state = CursorRight;
            d->grabX = right - gx;
        }
    } else if (inTop && ends) {
        state = CursorTop;
        d->grabY = gy - top;
    } else if (inBottom && ends) {
        state = CursorBottom;
        d->grabY = bottom - gy;
    }
    setCursorType(state);
}

void QBaseDrawWidget::setCursorType(QBaseDrawWidget::CursorAndState state)
{
    if (!d->widget)
        return;
    d->cursor = state;
    switch (state) {
    case CursorLeft:
    case CursorRight:
        d->widget->setCursor(Qt::SizeHorCursor);
        break;
    case CursorTop:
    case CursorBottom:
        d->widget->setCursor(Qt::SizeVerCursor);
        break;
    case CursorTopLeft:
    case CursorBottomRight:
        d->widget->setCursor(Qt::SizeFDiagCursor);
        break;
    case CursorTopRight:
    case CursorBottomLeft:
        d->widget->setCursor(Qt::SizeBDiagCursor);
        break;
    default:
        d->widget->unsetCursor();
        break;
    }
}

void QBaseDrawWidget::setFrameGeomtry(QMouseEvent *event)
{
    if (!d->widget)
        return;
    QRect geometry = d->widget->geometry();
    const QPoint pos = globalPos(event);
    const QSize minimum = d->widget->minimumSize();
    const int screenWidth = screenRect().width();
    const int availableHeight = availableRect().height();
    const int code = d->cursor;

    if (code == CursorLeft || code == CursorTopLeft || code == CursorBottomLeft) {
        const int left = pos.x() - d->grabX;
        const int width = geometry.right() - left;
        if (width > minimum.width() && width < screenWidth - 4)
            geometry.setLeft(left);
    }
    if (code == CursorTopRight || code == CursorRight || code == CursorBottomRight) {
        const int right = pos.x() + d->grabX;
        const int width = right - geometry.left();
        if (width > minimum.width() && width < screenWidth - 4)
            geometry.setRight(right);
    }
    if (code == CursorTopLeft || code == CursorTop || code == CursorTopRight) {
        const int top = pos.y() - d->grabY;
        const int height = geometry.bottom() - top;
        if (height > minimum.height() && height < availableHeight)
            geometry.setTop(top);
    }
    if (code == CursorBottomRight || code == CursorBottom || code == CursorBottomLeft) {
        const int bottom = pos.y() + d->grabY;
        const int height = bottom - geometry.top();
        if (height > minimum.height() && height < availableHeight)
            geometry.setBottom(bottom);
    }
    d->widget->setGeometry(geometry);
    d->widget->update();
}

void QBaseDrawWidget::mouseReleaseEvent(QMouseEvent *)
{
    d->dragging = false;
    if (!d->widget)
        return;
    const int band = d->moveCorrectHeight != -1 ? d->moveCorrectHeight : d->moveTopHeight;
    const int bottom = availableRect().bottom();
    if (d->widget->y() + band > bottom)
        d->widget->move(d->widget->x(), bottom - band);
}

void QBaseDrawWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!d->widget)
        return;
    if (d->type == Widget) {
        event->accept();
        return;
    }
    if (d->policy == StretchAll)
        OnBtnMax();
}

void QBaseDrawWidget::focusOutEvent(QFocusEvent *)
{
    if (d->widget)
        d->dragging = false;
}

void QBaseDrawWidget::OnBtnMax()
{
    if (!d->widget)
        return;
    if (!d->maximised) {
        d->normalGeometry = d->widget->geometry();
        d->widget->setGeometry(-d->marginLeft, -d->marginTop,
                               screenRect().width() + d->marginLeft + d->marginRight,
                               availableRect().height() + d->marginTop + d->marginBottom);
    } else {
        d->widget->setGeometry(d->normalGeometry);
    }
    d->maximised = !d->maximised;
    d->cursor = CursorNone;
    setCursorType(CursorNone);
}
