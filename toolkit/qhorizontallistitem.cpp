#include "toolkit/qhorizontallistitem.h"

#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "ui_qhorizontallistitem.h"

QHorizontalListItem::QHorizontalListItem(QWidget *parent)
    : QHorizontalBaseItem(parent)
    , ui(new Ui::QHorizontalListItem)
{
    ui->setupUi(this);
    setFixedWidth(72);
    initControls();
    setCoverImage(QIAnyUtil::getResourcePath() + "/images/Settings/normal.png");
}

QHorizontalListItem::~QHorizontalListItem()
{
    delete ui;
}

void QHorizontalListItem::initControls()
{
    QInitCtrlStyle::InitFont(ui->m_lblTitle, 11);
    QInitCtrlStyle::InitPalette(ui->m_lblTitle, QPalette::WindowText, Qt::white);
}

QString QHorizontalListItem::title() const
{
    return m_title;
}

void QHorizontalListItem::setCoverImage(QString path)
{
    if (!path.isEmpty() && m_frameImage.load(path)) {
        // One logical frame less 10, taken from the image so that a second frame image does
        // not shrink the cover again.
        QWidget *cover = ui->m_wdgCoverImage;
        cover->setFixedSize(m_frameImage.width() / 8 - 10, m_frameImage.height() / 2 - 10);
        ui->m_lblTitle->resize(cover->width() + 2, ui->m_lblTitle->height());
        ui->m_wdgImage->setFixedSize(cover->size());
        applyStateFrame();
    }
    update();
}

void QHorizontalListItem::setItem(QString picture, QString title)
{
    m_title = title;
    if (!picture.isEmpty() && m_picture.load(picture)) {
        ui->m_wdgImage->setBackgroundImage(m_picture, false);
        applyStateFrame();
    }
    QLabel *label = ui->m_lblTitle;
    label->setText(label->fontMetrics().elidedText(title, Qt::ElideRight, label->width()));
    label->setToolTip(title);
    updateControlsPosition();
    update();
}

void QHorizontalListItem::applyStateFrame()
{
    if (m_frameImage.isNull())
        return;
    const int state = getMouseState();
    const int frame = state >= Normal && state <= Selected ? state : 3;
    const int width = m_frameImage.width() / 4;
    ui->m_wdgCoverImage->setBackgroundImage(m_frameImage.copy(frame * width, 0, width, m_frameImage.height()), false);
}

void QHorizontalListItem::setMouseState(int state)
{
    QHorizontalBaseItem::setMouseState(state);
    applyStateFrame();
}

void QHorizontalListItem::resizeEvent(QResizeEvent *)
{
    updateControlsPosition();
}

void QHorizontalListItem::updateControlsPosition()
{
    QWidget *cover = ui->m_wdgCoverImage;
    QLabel *label = ui->m_lblTitle;
    cover->move((width() - cover->width()) / 2, (height() - 2 - cover->height() - label->height()) / 2);
    ui->m_wdgImage->move(cover->pos());
    label->move((width() - label->width()) / 2, cover->geometry().bottom() + 6);
}
