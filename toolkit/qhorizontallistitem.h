#ifndef QHORIZONTALLISTITEM_H
#define QHORIZONTALLISTITEM_H

#include "toolkit/qhorizontalbaseitem.h"

#include <QImage>

namespace Ui {
class QHorizontalListItem;
}

// A cover item: a picture with a state frame laid over it and its elided title underneath.
class QHorizontalListItem : public QHorizontalBaseItem
{
    Q_OBJECT

public:
    explicit QHorizontalListItem(QWidget *parent = nullptr);
    ~QHorizontalListItem() override;

    void initControls();
    void setCoverImage(QString path);
    void setItem(QString picture, QString title);
    // The state frame follows every change, from the mouse handlers of the base as well.
    void setMouseState(int state) override;
    QString title() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyStateFrame();
    void updateControlsPosition();

    Ui::QHorizontalListItem *ui;
    QImage m_frameImage;
    QImage m_picture;
    QString m_title;
};

#endif
