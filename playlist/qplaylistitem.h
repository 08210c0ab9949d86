#ifndef QPLAYLISTITEM_H
#define QPLAYLISTITEM_H

#include "engine/playiteminfo.h"
#include "engine/playtypes.h"
#include "toolkit/qbaseitem.h"

#include <QString>

class QTimer;
class Ui_QPlayListItem;

// One playlist row: the file name and the duration, and while the mouse is over it a delete and
// an open-folder button in place of the duration. The text colour shows the play state.
class QPlayListItem : public QBaseItem
{
    Q_OBJECT

public:
    explicit QPlayListItem(QWidget *parent = nullptr);
    ~QPlayListItem() override;

    // The record stays the panel's; the row only points at it.
    void setItemInfo(PlayItemInfo *playItemInfo);
    void updateItemInfo();
    PlayItemInfo *getPlayItemInfo() const;
    QString getFileDir() const;
    QString getFileName() const;

    void setItemState(PlayListItemState state);
    PlayListItemState getItemState() const;

    // "hh:mm:ss" of a duration in microseconds; ten hours and more keep all their digits.
    static QString countStringTime(unsigned long long time);

public slots:
    void onFile();

signals:
    void emitDelete();
    // Play and pause asked on this row; the panel answers them, nothing on the row sends them yet.
    void emitPlay();
    void emitPause();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void mouseEnterTimer();

private:
    void initControls();
    void fillLabels();
    void showButtons(bool show);
    // Hovering counts only while the main window has the mouse and no full screen or menu is up.
    static bool hoverAllowed();

    Ui_QPlayListItem *ui;
    PlayListItemState m_itemState = PlayListItemState_Normal;
    PlayItemInfo *m_playItemInfo = nullptr;
    QString m_filePath;
    QString m_fileDir;
    QString m_fileName;
    QTimer *m_hoverTimer;
    bool m_bShowToolTip = false;
};

#endif
