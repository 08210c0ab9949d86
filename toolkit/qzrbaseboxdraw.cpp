#include "toolkit/qzrbaseboxdraw.h"

#include "toolkit/qbaseimagedraw.h"
#include "toolkit/skinimage.h"

#include <QCheckBox>
#include <QPainter>
#include <QtMath>

class QZRBaseBoxDrawPrivate
{
public:
    QImage *checked = nullptr;
    QImage *unchecked = nullptr;
    QImage *partial = nullptr;
    QImage *icon = nullptr;
    QRect iconRect;
    QRect checkRect;
    QRect textRect;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QAbstractButton *widget = nullptr;
    QZRBaseBoxDraw::enumBoxType type = QZRBaseBoxDraw::CheckBox;
    bool twoFrames = true;
    bool owned = false;
    QVariant data;
    bool bgFill = false;
};

QZRBaseBoxDraw::QZRBaseBoxDraw(QAbstractButton *button, enumBoxType type)
    : d(new QZRBaseBoxDrawPrivate)
{
    d->widget = button;
    d->type = type;
}

QZRBaseBoxDraw::~QZRBaseBoxDraw()
{
    freeImages();
    delete d->icon;
    delete d;
}

// Owned images are deleted; borrowed ones are only forgotten. Either way nothing freed is drawn.
void QZRBaseBoxDraw::freeImages()
{
    if (d->owned) {
        delete d->checked;
        delete d->unchecked;
        delete d->partial;
    }
    d->checked = d->unchecked = d->partial = nullptr;
    d->owned = false;
}

void QZRBaseBoxDraw::setCheckImage(QString checkedPath, QString uncheckedPath, QString partialPath, bool unused,
                                   bool twoFrames)
{
    QImage checked = loadSkinImage(checkedPath);
    if (checked.isNull())
        return;
    QImage unchecked = loadSkinImage(uncheckedPath);
    QImage partial = loadSkinImage(partialPath);
    setCheckImage(&checked, &unchecked, partialPath.isEmpty() ? nullptr : &partial, unused, twoFrames, true);
}

void QZRBaseBoxDraw::setCheckImage(QImage *checked, QImage *unchecked, QImage *partial, bool, bool twoFrames, bool copy)
{
    if (!d->widget)
        return;
    if (d->owned || (checked && unchecked))
        freeImages();
    if (checked && unchecked) {
        if (copy) {
            d->checked = new QImage(*checked);
            d->unchecked = new QImage(*unchecked);
            d->partial = partial ? new QImage(*partial) : nullptr;
        } else {
            d->checked = checked;
            d->unchecked = unchecked;
            d->partial = partial;
        }
        d->owned = copy;
    }
    if (!d->checked)
        return;
    for (QImage *image : {d->checked, d->unchecked, d->partial})
        if (image)
            image->setDevicePixelRatio(2.0);
    d->twoFrames = twoFrames;
    const int frames = twoFrames ? 2 : 1;
    const int checkWidth = d->checked->width() / frames / 2;
    d->checkRect.setLeft(0);
    d->checkRect.setRight(checkWidth - 1);
    d->checkRect.setHeight(d->checked->height() / 2);
    if (d->widget->height() < d->checkRect.height())
        d->widget->resize(d->widget->width(), d->checkRect.height());
    d->textRect.setLeft(checkWidth + 5);
    d->textRect.setRight(checkWidth + 4);
    d->widget->update();
}

bool QZRBaseBoxDraw::setBtnIcon(QString path)
{
    if (QImage *icon = newSkinImage(path)) {
        delete d->icon;
        d->icon = icon;
    }
    return false;
}

void QZRBaseBoxDraw::setIconRect(QRect rect)
{
    d->iconRect = rect;
}

void QZRBaseBoxDraw::setTextRect(QRect rect)
{
    d->textRect = rect;
}

QRect QZRBaseBoxDraw::checkRect() const
{
    return d->checkRect;
}

QRect QZRBaseBoxDraw::textRect() const
{
    return d->textRect;
}

void QZRBaseBoxDraw::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
}

Qt::Alignment QZRBaseBoxDraw::alignment() const
{
    return d->alignment;
}

void QZRBaseBoxDraw::setBgFillMode(bool fill)
{
    d->bgFill = fill;
}

void QZRBaseBoxDraw::setData(const QVariant &data)
{
    d->data = data;
}

QVariant QZRBaseBoxDraw::getData() const
{
    return d->data;
}

bool QZRBaseBoxDraw::isCustomDraw() const
{
    return d->checked != nullptr;
}

void QZRBaseBoxDraw::adjustSize()
{
    if (!d->widget)
        return;
    const QString text = d->widget->text();
    // Rounded up, so that the text is not elided where glyphs have fractional widths.
    const QFontMetricsF metrics(d->widget->font());
    int width = d->checkRect.width();
    if (!text.isEmpty())
        width += qCeil(metrics.horizontalAdvance(text)) + 5;
    d->widget->resize(width, qMax(d->checkRect.height(), qCeil(metrics.height())));
    d->textRect.setRight(d->textRect.left() - 1);
}

void QZRBaseBoxDraw::paintEvent(QPaintEvent *)
{
    if (!d->widget)
        return;
    QPainter painter(d->widget);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawCheckImage(painter);
    DrawIconImage(painter);
    DrawCheckText(painter);
}

// A partially checked box without its own image draws no check image.
QImage *QZRBaseBoxDraw::imageForState() const
{
    if (d->type == RadioButton)
        return d->widget->isChecked() ? d->checked : d->unchecked;
    if (d->type != CheckBox)
        return d->checked;
    const QCheckBox *box = qobject_cast<const QCheckBox *>(d->widget);
    const Qt::CheckState state = box ? box->checkState() : (d->widget->isChecked() ? Qt::Checked : Qt::Unchecked);
    if (state == Qt::Unchecked)
        return d->unchecked;
    if (state == Qt::PartiallyChecked)
        return d->partial;
    return d->checked;
}

void QZRBaseBoxDraw::DrawCheckImage(QPainter &painter)
{
    if (!d->widget)
        return;
    QImage *image = imageForState();
    if (!image || image->isNull())
        return;
    QRect rect = d->checkRect;
    if (rect.top() < 1)
        rect.moveTop((d->widget->height() - rect.height()) / 2);
    QImage frame = *image;
    if (d->twoFrames) {
        const int half = image->width() / 2;
        frame = image->copy(d->widget->isEnabled() ? 0 : half, 0, half, image->height());
        frame.setDevicePixelRatio(2.0);
    }
    if (d->bgFill)
        QBaseImageDraw::drawBtnImageBg(painter, QRect(0, 0, d->widget->width(), d->widget->height()), frame, true);
    else
        QBaseImageDraw::drawImage(painter, rect, QRect(0, 0, frame.width() / 2, frame.height() / 2), frame);
}

void QZRBaseBoxDraw::DrawIconImage(QPainter &painter)
{
    if (!d->icon)
        return;
    if (d->iconRect.width() == 0)
        d->iconRect.setRight(d->iconRect.left() + d->icon->width() / 2 - 1);
    if (d->iconRect.height() == 0)
        d->iconRect.setBottom(d->iconRect.top() + d->icon->height() / 2 - 1);
    QBaseImageDraw::drawImage(painter, d->iconRect, QRect(0, 0, d->icon->width() / 2, d->icon->height() / 2), *d->icon);
}

void QZRBaseBoxDraw::DrawCheckText(QPainter &painter)
{
    const QString text = d->widget ? d->widget->text() : QString();
    if (text.isEmpty())
        return;
    const QFont saved = painter.font();
    painter.setFont(d->widget->font());
    painter.setPen(d->widget->palette().color(QPalette::WindowText));
    if (d->textRect.width() == 0)
        d->textRect.setRight(d->widget->width() - 1);
    if (d->textRect.height() == 0)
        d->textRect.setBottom(d->widget->height() - 1);
    const QString elided = QFontMetrics(d->widget->font()).elidedText(text, Qt::ElideRight, d->textRect.width());
    painter.drawText(d->textRect, int(d->alignment), elided);
    painter.setFont(saved);
}
