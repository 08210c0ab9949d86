#ifndef QSYNCHRIONIZATIONFORM_H
#define QSYNCHRIONIZATIONFORM_H

#include <QWidget>

class QLabel;
class QMediaSettingManager;
class QZRBaseSlider;
class QZRLineEditEx;
class Ui_QSynchrionizationForm;

// The synchronisation page: the audio delay and the subtitle delay, each -10..10 s on a slider and
// in an edit, sent at once to the hub's working record.
class QSynchrionizationForm : public QWidget
{
    Q_OBJECT

public:
    explicit QSynchrionizationForm(QWidget *parent = nullptr);
    ~QSynchrionizationForm() override;

    void setSettingManager(QMediaSettingManager *manager);
    void loadingSetting();

    void initSlider(QZRBaseSlider *slider);
    void initLabel(QLabel *label);

public slots:
    void progressValue(double value);
    void textEdited(QString text);
    void editingFinished();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void initControls();
    void initLineEdit(QZRLineEditEx *edit, int decimals);
    // Stores a delay that differs from the hub's and sends it.
    void applySubtitleDelay(double delay);
    void applyAudioDelay(double delay);

    Ui_QSynchrionizationForm *ui;
    QMediaSettingManager *m_pSettingManager = nullptr;
};

#endif
