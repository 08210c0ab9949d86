#ifndef QMEDIAELEMENTWINDOW_H
#define QMEDIAELEMENTWINDOW_H

#include <QRect>
#include <QWidget>

#include <memory>

class QMouseEvent;
class Ui_QMediaElementWindow;

// The black pane that holds the picture element and reports its mouse events.
// The frame calls come from the decoder's thread and are passed straight on.
class QMediaElementWindow : public QWidget
{
    Q_OBJECT

public:
    explicit QMediaElementWindow(QWidget *parent = nullptr);
    ~QMediaElementWindow() override;

    // Fits the picture element to the pane at the aspect width:height, centred.
    void setVideoElementSize(int width, int height);
    // Shows the picture element at width x height pixels, clipped to the pane and centred.
    void setVideoSize(int width, int height);
    void SetOpenGl(bool openGl);
    bool showImage(unsigned char *data, unsigned int width, unsigned int height, unsigned int stride);
    bool showYUVImage(unsigned char **planes, int width, int height, int *strides);
    // Pictures the picture element has shown, and those it refused for want of room or memory.
    void frameCounts(long long *shown, long long *dropped) const;
    void reshape();
    WId getVideoElementWid();
    QRect getVideoElementRect() const;

public slots:
    void setVisible(bool visible) override;

signals:
    void emitMouseDoubleClickEvent(QMouseEvent *event);
    void emitMouseMoveEvent(QMouseEvent *event);
    void emitMousePressEvent(QMouseEvent *event);
    void emitMouseReleaseEvent(QMouseEvent *event);
    void emitVideoElementSizeChange(QRect rect);
    // The picture element refused a frame for want of room and has room again.
    void emitFrameDropped();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void placeVideoElement(int width, int height);

    std::unique_ptr<Ui_QMediaElementWindow> ui;
    int m_videoWidth = 0;
    int m_videoHeight = 0;
};

#endif
