#include "toolkit/qzrbasebuttondraw.h"

#include "toolkit/qbaseimagedraw.h"
#include "toolkit/skinimage.h"

#include <QAbstractButton>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <cmath>

class QZRBaseButtonDrawPrivate
{
public:
    QImage *image = nullptr;
    QImage *icon = nullptr;
    QRect iconRect;
    bool iconMode = false;
    int state = 0;
    bool isStatic = false;
    bool textRectSet = false;
    QRect textRect;
    QColor currentColor = Qt::black;
    int mousePos = 0;
    bool gridView = true;
    int tag = 0;
    QColor colors[4] = {Qt::black, Qt::black, Qt::black, Qt::black};
    Qt::Alignment alignment = Qt::AlignCenter;
    bool hasFocus = false;
    bool hovered = false;
    QAbstractButton *button = nullptr;
    int badgePixelSize = 11;
    int badgeCount = 0;
    bool imageOwned = false;
    QRect badgeRect = QRect(QPoint(-1, -1), QPoint(18, 18));
    QString badgeImages[2];
    QColor badgeColors[2] = {QColor(255, 120, 0), QColor(255, 120, 0)};
    QColor badgeTextColors[2] = {Qt::white, Qt::white};
    int alternateTimer = 0;
    bool alternateEffect = false;
    int alternateInterval = 0;
    bool alternatePhase = false;
    bool flickerOn = false;
    int flickerTimer = 0;
    int flickerInterval = 0;
    bool flickerPhase = false;
    bool enterSetsCursor = true;
    int doneSign = 0;

    void freeImage()
    {
        if (imageOwned)
            delete image;
        image = nullptr;
        imageOwned = false;
    }
    bool disabled() const { return button->testAttribute(Qt::WA_Disabled); }
    int badgePhase() const { return alternateEffect && alternatePhase ? 1 : 0; }
};

namespace {

// Frame i of a four-frame strip, at double density.
QImage frameOf(const QImage &strip, int index)
{
    const int width = strip.width() / 4;
    QImage frame = strip.copy(index * width, 0, width, strip.height());
    frame.setDevicePixelRatio(2.0);
    return frame;
}

}

QZRBaseButtonDraw::QZRBaseButtonDraw(QAbstractButton *button) : d(new QZRBaseButtonDrawPrivate)
{
    d->button = button;
    d->textRect = button->rect();
}

QZRBaseButtonDraw::~QZRBaseButtonDraw()
{
    d->freeImage();
    delete d->icon;
    delete d;
}

bool QZRBaseButtonDraw::setButtonImage(QString path, bool gridView)
{
    if (!QFile::exists(path))
        return false;
    // A file that does not decode is treated as missing, so the button keeps its size.
    QImage image(path);
    if (image.isNull())
        return false;
    setButtonImage(&image, gridView, true);
    return true;
}

bool QZRBaseButtonDraw::setButtonImage(QImage &image, bool gridView)
{
    setButtonImage(&image, gridView, true);
    return true;
}

void QZRBaseButtonDraw::setButtonImage(QImage *image, bool gridView, bool copy)
{
    d->freeImage();
    if (!image || image->isNull())
        return;
    d->image = copy ? new QImage(*image) : image;
    d->imageOwned = copy;
    d->image->setDevicePixelRatio(2.0);
    d->button->resize(d->image->width() / 8, d->image->height() / 2);
    d->gridView = gridView;
    d->textRect = d->button->rect();
}

void QZRBaseButtonDraw::setTextColor(QColor normal, QColor hover, QColor pressed, QColor disabled)
{
    d->colors[0] = normal;
    d->colors[1] = hover;
    d->colors[2] = pressed;
    d->colors[3] = disabled;
    d->currentColor = normal;
}

void QZRBaseButtonDraw::setTextColor(QColor color)
{
    setTextColor(color, color, color, color);
}

void QZRBaseButtonDraw::setTextRect(QRect rect)
{
    d->textRect = rect;
    d->textRectSet = true;
    d->button->update();
}

QRect QZRBaseButtonDraw::textRect() const
{
    return d->textRect;
}

void QZRBaseButtonDraw::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
}

Qt::Alignment QZRBaseButtonDraw::alignment() const
{
    return d->alignment;
}

void QZRBaseButtonDraw::setBtnIcon(QString path)
{
    setBtnIcon(QImage(path));
}

void QZRBaseButtonDraw::setBtnIcon(QImage image)
{
    delete d->icon;
    d->icon = new QImage(image);
    d->icon->setDevicePixelRatio(2.0);
    d->button->update();
}

void QZRBaseButtonDraw::setIconRect(QRect rect)
{
    d->iconRect = rect;
    d->button->update();
}

void QZRBaseButtonDraw::setIconBtnMode(bool iconMode)
{
    d->iconMode = iconMode;
}

bool QZRBaseButtonDraw::isIconbtnMode() const
{
    return d->iconMode;
}

void QZRBaseButtonDraw::setGridView(bool gridView)
{
    d->gridView = gridView;
    d->button->update();
}

void QZRBaseButtonDraw::setStaticState(bool isStatic)
{
    d->isStatic = isStatic;
}

void QZRBaseButtonDraw::setBtnState(int state)
{
    d->state = state;
}

int QZRBaseButtonDraw::getBtnState() const
{
    return d->state;
}

void QZRBaseButtonDraw::setTag(int tag)
{
    d->tag = tag;
}

int QZRBaseButtonDraw::getTag() const
{
    return d->tag;
}

void QZRBaseButtonDraw::setDoneSign(int sign)
{
    d->doneSign = sign;
}

int QZRBaseButtonDraw::getDoneSign() const
{
    return d->doneSign;
}

void QZRBaseButtonDraw::setEnterIsChangeMouse(bool change)
{
    d->enterSetsCursor = change;
}

bool QZRBaseButtonDraw::getEnterIsChangeMouse() const
{
    return d->enterSetsCursor;
}

int QZRBaseButtonDraw::getMouseMapValue() const
{
    return d->mousePos;
}

bool QZRBaseButtonDraw::isCustomDraw() const
{
    return d->image != nullptr;
}

QColor QZRBaseButtonDraw::currentDrawColor() const
{
    return d->currentColor;
}

void QZRBaseButtonDraw::setTagPixelSize(int size)
{
    d->badgePixelSize = size;
}

void QZRBaseButtonDraw::setTagRect(QRect rect)
{
    d->badgeRect = rect;
}

void QZRBaseButtonDraw::setTagBgImage(QString offPath, QString onPath)
{
    d->badgeImages[0] = offPath;
    d->badgeImages[1] = onPath;
}

void QZRBaseButtonDraw::setTagBgAlternateColor(QColor off, QColor on)
{
    d->badgeColors[0] = off;
    d->badgeColors[1] = on;
}

void QZRBaseButtonDraw::setTagTextAlternateColor(QColor off, QColor on)
{
    d->badgeTextColors[0] = off;
    d->badgeTextColors[1] = on;
}

void QZRBaseButtonDraw::setAlternateEffect(bool on, int interval)
{
    d->alternateEffect = on;
    d->alternateInterval = interval;
}

void QZRBaseButtonDraw::addItemCount()
{
    ++d->badgeCount;
    if (d->alternateEffect) {
        if (d->alternateTimer)
            d->button->killTimer(d->alternateTimer);
        d->alternateTimer = d->button->startTimer(d->alternateInterval, Qt::CoarseTimer);
    }
    d->button->update();
}

void QZRBaseButtonDraw::resetCount()
{
    d->badgeCount = 0;
    if (d->alternateTimer)
        d->button->killTimer(d->alternateTimer);
    d->alternateTimer = 0;
    d->button->update();
}

int QZRBaseButtonDraw::itmeCount() const
{
    return d->badgeCount;
}

void QZRBaseButtonDraw::startFlicker(int interval)
{
    d->flickerOn = true;
    d->flickerInterval = interval;
    if (d->flickerTimer)
        d->button->killTimer(d->flickerTimer);
    d->flickerTimer = d->button->startTimer(interval, Qt::CoarseTimer);
}

void QZRBaseButtonDraw::stopFlicker()
{
    d->flickerOn = false;
    if (d->flickerTimer)
        d->button->killTimer(d->flickerTimer);
    d->flickerTimer = 0;
}

void QZRBaseButtonDraw::setState(int state)
{
    if (d->state == state)
        return;
    d->state = state;
    d->button->update();
}

bool QZRBaseButtonDraw::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    d->mousePos = int(std::floor(event->screenPos().x() + 0.5)) - d->button->mapToGlobal(QPoint(0, 0)).x();
    if (d->disabled()) {
        d->state = 3;
        return false;
    }
    setState(2);
    return true;
}

bool QZRBaseButtonDraw::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || d->isStatic)
        return false;
    if (d->disabled()) {
        d->state = 3;
        return false;
    }
    if (d->state == 2)
        setState(d->button->isChecked() ? 1 : 0);
    return true;
}

bool QZRBaseButtonDraw::mouseMoveEvent(QMouseEvent *)
{
    return d->state == 2;
}

void QZRBaseButtonDraw::enterEvent(QEvent *)
{
    if (d->isStatic)
        return;
    if (d->disabled()) {
        d->state = 3;
        return;
    }
    d->hovered = true;
    setState(1);
}

void QZRBaseButtonDraw::leaveEvent(QEvent *)
{
    if (d->isStatic)
        return;
    if (d->disabled()) {
        d->state = 3;
        return;
    }
    d->hovered = false;
    if (d->state == 1)
        setState(0);
}

void QZRBaseButtonDraw::changeEvent(QEvent *event)
{
    if (!d->isStatic && event->type() == QEvent::EnabledChange)
        d->state = d->disabled() ? 3 : 0;
}

void QZRBaseButtonDraw::timerEvent(QTimerEvent *event)
{
    if (d->alternateTimer && event->timerId() == d->alternateTimer) {
        d->alternatePhase = !d->alternatePhase;
        d->button->update();
    } else if (d->flickerTimer && event->timerId() == d->flickerTimer) {
        d->flickerPhase = !d->flickerPhase;
        d->button->update();
    }
}

void QZRBaseButtonDraw::focusInEvent(QFocusEvent *)
{
    d->hasFocus = true;
}

void QZRBaseButtonDraw::focusOutEvent(QFocusEvent *)
{
    d->hasFocus = false;
}

void QZRBaseButtonDraw::paintEvent(QPaintEvent *)
{
    QPainter painter(d->button);
    DrawBackground(painter);
    DrawFlicker(painter);
    DrawButtonText(painter);
    DrawFocus(painter);
    DrawIcon(painter);
    DrawDigitalTag(painter);
}

int QZRBaseButtonDraw::frameForState() const
{
    if (!d->isStatic && d->button->isChecked())
        return 2;
    return d->state;
}

void QZRBaseButtonDraw::drawFrame(QPainter &painter, int frame)
{
    QImage image = frameOf(*d->image, frame);
    QBaseImageDraw::drawBtnImageBg(painter, QRect(0, 0, d->button->width(), d->button->height()), image,
                                   d->gridView);
}

void QZRBaseButtonDraw::DrawBackground(QPainter &painter)
{
    if (!d->image)
        return;
    const int frame = frameForState();
    if (frame < 0 || frame > 3) {
        painter.drawImage(QPoint(0, 0), *d->image);
        return;
    }
    d->currentColor = d->colors[frame];
    drawFrame(painter, frame);
}

void QZRBaseButtonDraw::DrawFlicker(QPainter &painter)
{
    if (!d->flickerOn || !d->image)
        return;
    drawFrame(painter, d->flickerPhase ? 1 : 2);
}

void QZRBaseButtonDraw::DrawButtonText(QPainter &painter)
{
    const QString text = d->button->text();
    if (text.isEmpty())
        return;
    const QFont oldFont = painter.font();
    painter.setFont(d->button->font());
    painter.setPen(d->currentColor);
    const QFontMetrics metrics(d->button->font());
    if (!d->textRectSet) {
        const QRect rect = d->button->rect();
        painter.drawText(rect, int(d->alignment), metrics.elidedText(text, Qt::ElideRight, rect.width()));
    } else {
        QRect &rect = d->textRect;
        if (rect.width() == 0)
            rect.setRight(rect.left() + d->button->width() - d->iconRect.right() - 2);
        if (rect.height() == 0)
            rect.setBottom(d->button->height() - 1);
        painter.drawText(rect, int(d->alignment), metrics.elidedText(text, Qt::ElideRight, rect.width()));
    }
    painter.setFont(oldFont);
}

void QZRBaseButtonDraw::DrawFocus(QPainter &)
{
}

void QZRBaseButtonDraw::DrawIcon(QPainter &painter)
{
    if (!d->icon)
        return;
    QImage icon = *d->icon;
    if (d->iconMode) {
        const int frame = frameForState();
        icon = frameOf(*d->icon, frame >= 0 && frame <= 3 ? frame : 0);
    }
    QRect &rect = d->iconRect;
    const int width = rect.width() < 1 ? icon.width() / 2 : rect.width();
    const int height = rect.height() < 1 ? icon.height() / 2 : rect.height();
    if (rect.x() == -1)
        rect.moveLeft((d->button->width() - width) / 2);
    rect.setRight(rect.x() + width - 1);
    if (rect.y() == -1)
        rect.moveTop((d->button->height() - height) / 2);
    rect.setBottom(rect.y() + height - 1);

    if (icon.isNull())
        return;
    QImage scaled = icon.scaled(2 * width, 2 * height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(2.0);
    painter.drawImage(rect.topLeft(), scaled);
}

void QZRBaseButtonDraw::DrawDigitalTag(QPainter &painter)
{
    if (d->badgeCount <= 0)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const int x = d->badgeRect.x() == -1 ? d->button->width() - (d->badgeRect.right() + 2) : d->badgeRect.x();
    const int y = d->badgeRect.y() == -1 ? 0 : d->badgeRect.y();
    const QRect badge(QPoint(x, y), d->badgeRect.size());
    const int phase = d->badgePhase();

    if (d->badgeImages[0].isEmpty() && d->badgeImages[1].isEmpty()) {
        painter.setPen(QPen(QBrush(d->badgeColors[phase]), 1.0));
        painter.setBrush(d->badgeColors[phase]);
        painter.drawEllipse(badge);
    } else {
        QImage image = sharedSkinImage(d->badgeImages[phase]);
        if (!image.isNull())
            QBaseImageDraw::drawImage(painter, badge, QRect(0, 0, image.width() / 2, image.height() / 2), image);
    }

    QFont font = painter.font();
    font.setFamily(QStringLiteral("Tahoma"));
    QString text;
    if (d->badgeCount < 100) {
        text = QString::number(d->badgeCount);
        font.setPixelSize(d->badgePixelSize);
    } else {
        text = QStringLiteral("99+");
        font.setPixelSize(d->badgePixelSize - 2);
    }
    painter.setFont(font);
    painter.setPen(d->badgeTextColors[phase]);
    painter.drawText(badge, int(Qt::AlignCenter), text);
}
