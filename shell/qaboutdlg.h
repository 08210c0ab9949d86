#ifndef QABOUTDLG_H
#define QABOUTDLG_H

#include "toolkit/qzrdialogex.h"

#include <QPixmap>

class QLabel;
class Ui_QAboutDlg;

// The About box: the program's name, version, the maker's home page and copyright beside its icon.
// Escape does not close it; Ctrl+W and the close button do.
class QAboutDlg : public QZRDialogEx
{
    Q_OBJECT

public:
    explicit QAboutDlg(QWidget *parent = nullptr);
    ~QAboutDlg() override;

    // Runs the box modally over owner (centred on it when it is a skinned window), with the player's
    // dialog flag raised meanwhile.
    static void showAbout(QWidget *owner);

public slots:
    void OnClickHome(QString link);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resetControlLocation() override;

private:
    void Init();
    void InitCtrl();
    void setLabelStyle(QLabel &label);

    Ui_QAboutDlg *ui;
    QPixmap m_icon;
};

#endif
