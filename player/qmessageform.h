#ifndef QMESSAGEFORM_H
#define QMESSAGEFORM_H

#include "toolkit/qzrdialog.h"

class QTimer;
class Ui_QMessageForm;

// A line of large yellow text floating over the player window; it hides itself 2.4 seconds after
// it was shown. Callers show a message by hide(), setMeassge(), show(): hiding restarts the display
// time and clears the text.
class QMessageForm : public QZRDialog
{
    Q_OBJECT

public:
    explicit QMessageForm(QWidget *parent = nullptr);
    ~QMessageForm() override;

    void startTimer();

public slots:
    void setMeassge(QString string);

private slots:
    void messageTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resetControlLocation() override;

private:
    void initControls();

    Ui_QMessageForm *ui;
    QTimer *m_pMessageTimer = nullptr;
    int m_nTickCount = 0;
};

#endif
