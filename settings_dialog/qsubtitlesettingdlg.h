#ifndef QSUBTITLESETTINGDLG_H
#define QSUBTITLESETTINGDLG_H

#include "toolkit/qzrdialog.h"

class QMediaSettingManager;
class Ui_QSubtitleSettingDlg;

// The "Font" dialog: the look of subtitle text, live in the hub's working style. "OK" keeps the
// style, "Cancel" and the close button go back to the saved one.
class QSubtitleSettingDlg : public QZRDialog
{
    Q_OBJECT

public:
    explicit QSubtitleSettingDlg(QWidget *parent = nullptr);
    ~QSubtitleSettingDlg() override;

    void setSettingManager(QMediaSettingManager *manager);
    void loadingSetting();

signals:
    // The style was kept or reverted as a whole: pages showing parts of it must reload.
    void emitFontSettingChange();

public slots:
    void onFont();
    void onColor();
    void valueChanged(double value);
    void onReset();
    void onOk();
    void onCancel();
    void onClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resetControlLocation() override;
    void showEvent(QShowEvent *event) override;

private:
    void initControls();
    // The font button names the family in that family, or "Default".
    void showFamily(const QString &family);
    void keepOrRevert(bool keep);

    Ui_QSubtitleSettingDlg *ui;
    bool m_bLoaded = false;
    QMediaSettingManager *m_pSettingManager = nullptr;
};

#endif
