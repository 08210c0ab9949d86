#ifndef MEDIAINFODLG_H
#define MEDIAINFODLG_H

#include "toolkit/qzrdialogex.h"

#include <QSize>

class QMediaInfos;
class QZRScrollBar;

namespace Ui {
class MediaInfoDlg;
}

// The display size of a picture of the given pixel size shown at the display aspect (numerator as
// width, denominator as height).
QSize getScreenSize(QSize picture, QSize aspect);

// What the prober has read from the open medium, as a read-only tree: the path, a "General" group,
// and per program its video, audio, embedded subtitle and chapter groups. Escape does not close it;
// Ctrl+W and the close button do.
class MediaInfoDlg : public QZRDialogEx
{
    Q_OBJECT

public:
    explicit MediaInfoDlg(QWidget *parent = nullptr);
    ~MediaInfoDlg() override;

    // Runs the dialog modally over parent for the prober, with the player's dialog flag raised
    // meanwhile; the dialog is gone when it returns.
    static void showMediaInfo(QWidget *parent, QMediaInfos *infos);

    void setMediaInfos(QMediaInfos *infos);
    void loadData();
    void initControls();
    void resetControlLocation() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::MediaInfoDlg *ui;
    QMediaInfos *m_mediaInfos = nullptr;
    QZRScrollBar *m_scrollBar = nullptr;
};

#endif
