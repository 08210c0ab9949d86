#ifndef QVIDEOCONTROLFORM_H
#define QVIDEOCONTROLFORM_H

#include "engine/playtypes.h"

#include <QSize>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QMediaSettingManager;
class QZRBaseSlider;
class QZRLineEditEx;
class QZRRadioButton;
class Ui_QVideoControlForm;

// The picture page: brightness, contrast, saturation and hue, the aspect, fill and deinterlace
// choices, and turning and mirroring. Every change goes straight to the hub's working record.
class QVideoControlForm : public QWidget
{
    Q_OBJECT

public:
    explicit QVideoControlForm(QWidget *parent = nullptr);
    ~QVideoControlForm() override;

    void setSettingManager(QMediaSettingManager *manager);
    void loadingSetting();
    void updateFillMode();
    void updateAspectRatio();
    void updateDeinterlace();
    void aspectRatioChange();
    void panScanChange();
    void deintChange();

    void initSlider(QZRBaseSlider *slider);
    void initLineEdit(QZRLineEditEx *edit);
    void initLabel(QLabel *label);
    void initQZRRadioButton(QZRRadioButton *button);

signals:
    void emitAspectRatio(RatioType ratioType);
    void emitFillMode(int fillMode);
    void emitDeinterlace(int deinterlace);
    void emitScreenSize(QSize size);

public slots:
    void progressValue(double value);
    void textEdited(QString text);
    void onRadioButton();
    void onButton();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct EffectRow;
    QList<EffectRow> effectRows() const;
    void initControls();
    void checkRadio(QButtonGroup *group, int value);

    Ui_QVideoControlForm *ui;
    QMediaSettingManager *m_pSettingManager = nullptr;
    QButtonGroup *m_pAspectGroup = nullptr;
    QButtonGroup *m_pFillModeGroup = nullptr;
    QButtonGroup *m_pDeinterlaceGroup = nullptr;
};

#endif
