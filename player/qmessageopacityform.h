#ifndef QMESSAGEOPACITYFORM_H
#define QMESSAGEOPACITYFORM_H

#include "toolkit/qzrdialog.h"

class QTimer;
class Ui_QMessageOpacityForm;

// A small skinned notice at the top right of the desktop: fully opaque for a second, then fading
// out in 50 ms steps until it closes. While the mouse rests on it, it stays.
class QMessageOpacityForm : public QZRDialog
{
    Q_OBJECT

public:
    explicit QMessageOpacityForm(QWidget *parent = nullptr);
    ~QMessageOpacityForm() override;

    void setMessageText(QString text);
    void setMessageText(QString text, int x, int y);
    void startOpacity();
    void setShowlink(int x, int y, bool show);
    void setCheckShow(bool show);
    void setIsOpacity(bool opacity);
    void setXmlSetting();

signals:
    void NoShowMsgDlg();

private slots:
    void onTimer();
    void onClose();
    void openUrl(QString link);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resetControlLocation() override;

private:
    void initControls();
    void placeText(const QString &text, int x, int y);

    Ui_QMessageOpacityForm *ui;
    QTimer *m_pOpacityTimer = nullptr;
    bool m_bIsOpacity = true;
};

#endif
