#ifndef QZRDOUBLESPINBOX_H
#define QZRDOUBLESPINBOX_H

#include "toolkit/qzrbaserectimagedraw.h"

#include <QDoubleSpinBox>

class QZRBaseButton;
class QZRDoubleSpinBoxPrivate;

// A double spin box over a skin image, with skinned arrow buttons that repeat while held.
class QZRDoubleSpinBox : public QDoubleSpinBox, public QZRBaseRectImageDraw
{
    Q_OBJECT

public:
    explicit QZRDoubleSpinBox(QWidget *parent = nullptr);
    ~QZRDoubleSpinBox() override;

    using QZRBaseRectImageDraw::setBackgroundImage;
    bool setBackgroundImage(QString path);
    void setUpAndDownBtnImage(QString upPath, QString downPath, bool keepSize);
    void setBtnMargins(int left, int top, int right, int bottom);
    void setBtnMargins(QMargins margins);
    void setTextMargins(int left, int top, int right, int bottom);
    QZRBaseButton *upButton() const;
    QZRBaseButton *downButton() const;

signals:
    void emitStartEditing();

protected:
    void timerEvent(QTimerEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void pressBtn();
    void releseBtn();

private:
    void layoutButtons();
    void stopRepeat();

    QZRDoubleSpinBoxPrivate *d;
};

#endif
