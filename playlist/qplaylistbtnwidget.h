#ifndef QPLAYLISTBTNWIDGET_H
#define QPLAYLISTBTNWIDGET_H

#include "engine/playtypes.h"

#include <QWidget>

class Ui_QPlayListBtnWidget;

// The bar at the bottom of the playlist: a play-mode button that cycles the modes and shows the
// current one, an add and a delete button. The play and pause buttons stay hidden.
class QPlayListBtnWidget : public QWidget
{
    Q_OBJECT

public:
    explicit QPlayListBtnWidget(QWidget *parent = nullptr);
    ~QPlayListBtnWidget() override;

    // Shows the mode on the mode button; emits nothing.
    void setPlayModel(PlayModel playMode);
    void setPlayState(bool playing);

signals:
    void emitPlay();
    void emitDeleteFile();
    void emitAddFile();
    void emitPlayModel(PlayModel playMode);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void onPlayModel();

private:
    void initControls();
    void showPlayModel();

    Ui_QPlayListBtnWidget *ui;
    PlayModel m_playModel = PlayModel_SinglePlay;
};

#endif
