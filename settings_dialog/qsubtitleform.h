#ifndef QSUBTITLEFORM_H
#define QSUBTITLEFORM_H

#include <QWidget>

class QLabel;
class QMediaSettingManager;
class QZRBaseSlider;
class QZRLineEdit;
class QZRRadioButton;
class QZRScrollBar;
class Ui_QSubtitleForm;

// The subtitle page: the track list with external files, and the position, margin, scale and
// transparency of the text. Every change goes straight to the hub's working record.
class QSubtitleForm : public QWidget
{
    Q_OBJECT

public:
    explicit QSubtitleForm(QWidget *parent = nullptr);
    ~QSubtitleForm() override;

    void setSettingManager(QMediaSettingManager *manager);
    void loadingSetting();
    void updateSubtitleSelect();
    void changeUpdate();

    void initLabel(QLabel *label);
    void initSlider(QZRBaseSlider *slider);
    void initLineEdit(QZRLineEdit *edit);
    void initQZRRadioButton(QZRRadioButton *button);

signals:
    void emitSubtitleChange();
    void emitSubtitleSetting();

public slots:
    void progressValue(double value);
    void textEdited(QString text);
    void subtitleSelectedChanged(int index);
    void onRadioButton();
    void onSetFamily();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void initControls();
    void applyScale(int scale);

    Ui_QSubtitleForm *ui;
    QMediaSettingManager *m_pSettingManager = nullptr;
    QZRScrollBar *m_pScrollBar = nullptr;
};

#endif
