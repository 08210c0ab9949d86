#ifndef QSETTINGDLG_H
#define QSETTINGDLG_H

#include "engine/playtypes.h"
#include "toolkit/qzrdialogex.h"

class QAudioControlForm;
class QMediaSettingManager;
class QSubtitleForm;
class QSubtitleSettingDlg;
class QSynchrionizationForm;
class QVideoControlForm;
class QVideoEditTag;
class Ui_QSettingDlg;

// The playback settings dialog: a tag row over the video, audio, subtitle and synchronisation
// pages. The pages change the hub's working record live; "OK" keeps it, the close button goes
// back to the saved one and "Reset" puts defaults into both.
class QSettingDlg : public QZRDialogEx
{
    Q_OBJECT

public:
    explicit QSettingDlg(QWidget *parent = nullptr);
    ~QSettingDlg() override;

    void setSettingManager(QMediaSettingManager *manager);
    void setSubtitleSettingDlg(QSubtitleSettingDlg *dialog);
    void setSelectedTag(int index);
    void setFontSettingDlgTOTop(bool top);
    void updateFrom();

public slots:
    void selectedTag(int index);
    void updateSubtitleForm();
    void updateFillMode();
    void updateAspectRatio();
    void updateDeinterlace();
    void updateSync();

signals:
    void emitSettingChange();
    void emitAspectRatio(RatioType ratioType);
    void emitFillMode(int fillMode);
    void emitDeinterlace(int deinterlace);
    void emitSubtitleChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resetControlLocation() override;

private slots:
    void OnClose();
    void onOk();
    void onReset();
    void onSubtitleSetting();
    void onFontSettingChange();

private:
    void initDlg();
    QZRBaseButton *initTagButton(QString text, QString icon);
    // Every page shows the hub's working record again; the menus hear the video choices.
    void reloadAll();
    QList<QWidget *> pages() const;

    Ui_QSettingDlg *ui;
    QMediaSettingManager *m_pSettingManager = nullptr;
    QVideoEditTag *m_pTag = nullptr;
    QVideoControlForm *m_pVideoForm = nullptr;
    QAudioControlForm *m_pAudioForm = nullptr;
    QSubtitleForm *m_pSubtitleForm = nullptr;
    QSynchrionizationForm *m_pSyncForm = nullptr;
    QSubtitleSettingDlg *m_pSubtitleSettingDlg = nullptr;
    int m_nSelectedIndex = 0;
};

#endif
