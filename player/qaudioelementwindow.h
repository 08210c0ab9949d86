#ifndef QAUDIOELEMENTWINDOW_H
#define QAUDIOELEMENTWINDOW_H

#include <QWidget>

class QAudioDataWidget;
class Ui_QAudioElementWindow;

// The pane shown in place of the video while an audio-only medium plays: a fixed panel of level
// bars in its centre. Mouse moves, presses and double clicks leave it as signals.
class QAudioElementWindow : public QWidget
{
    Q_OBJECT

public:
    explicit QAudioElementWindow(QWidget *parent = nullptr);
    ~QAudioElementWindow() override;

signals:
    void emitMouseMoveEvent(QMouseEvent *event);
    void emitMousePressEvent(QMouseEvent *event);
    void emitMouseDoubleClickEvent(QMouseEvent *event);
    // The pane came into sight (also when its window is restored) or went out of it.
    void emitShown(bool shown);

public slots:
    void setAudioData(unsigned char *data, int sps);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void initControls();

    Ui_QAudioElementWindow *ui;
    QAudioDataWidget *m_pAudioDataWidget = nullptr;
};

#endif
