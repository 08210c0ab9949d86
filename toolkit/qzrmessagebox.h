#ifndef QZRMESSAGEBOX_H
#define QZRMESSAGEBOX_H

#include "toolkit/qzrdialog.h"
#include "toolkit/qzrmessageboxoption.h"

#include <QList>

class QZRBaseButton;

// The toolkit's modal message box: a skinned frameless dialog with a title, an optional icon, a
// message wrapped to a fixed pixel width, image buttons at the bottom right and a close button.
class QZRMessageBox : public QZRDialog
{
    Q_OBJECT

public:
    enum Icon { Warning = 1, NoIcon = 2, Success = 3, Error = 4, Help = 5 };
    enum ButtonStyle { Ok = 1, Cancel = 2, YesNo = 4 };

    explicit QZRMessageBox(QWidget *parent = nullptr);
    ~QZRMessageBox() override;

    // Runs a box modally and returns the code of the button that closed it (QMessageBox's
    // standard-button values; 0x200000 for the close button).
    static int ShowMessage(QWidget *parent, QString title, QString message, QZRMessageBox::Icon icon = Warning,
                           QZRMessageBox::ButtonStyle style = Ok);
    // Every box made afterwards passes its option through the hook before using it.
    static void setOptionCallback(void (*callback)(QZRMessageBoxOption *));

    void Init();
    void InitMinSize();
    void InitBtn();
    void creatStyleButton();
    QZRBaseButton *addButton(QString text, int code);

    void setTitle(QString title);
    QString getTitle() const;
    void setMessage(QString message);
    QString getMessage() const;
    void setMessageIcon(QZRMessageBox::Icon icon);
    QZRMessageBox::Icon getMessageIcon() const;
    void setButtonStyle(QZRMessageBox::ButtonStyle style);
    void setTitleFont(QFont &font);
    void setMessageFont(QFont &font);
    QFont messageFont() const;
    void setButtonColor(QColor normal, QColor hover, QColor pressed, QColor disabled);
    void setPalette(QPalette const &palette);
    void setMessageBoxOption(QZRMessageBoxOption option);
    QZRMessageBoxOption getMessageBoxOption() const;

    QRect getIconRect() const;
    QRect getTextRect() const;
    QRect getBtnRect() const;
    void releaseBtnList();

    // The line with "\n" inserted so that no line is wider than the maximum line width.
    QString splitStringline(QString line) const;

public slots:
    void OnBtnClose();
    void OnBtnDone();

protected:
    virtual void drawIcon(QPainter *painter);
    virtual void drawMessage(QPainter *painter);
    void resetControlLocation() override;

    void paintEvent(QPaintEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void InitIcon();
    void calcTextSize(QString text);
    void calcBoxRect();
    int textWidth(const QFontMetrics &metrics, const QString &text) const;

    QZRMessageBoxOption m_option;
    QImage *m_iconImage = nullptr;
    Icon m_icon = Icon(0);
    QRect m_iconRect;
    QString m_strMessage;
    QString m_strWrapped;
    QSize m_textSize = QSize(-1, -1);
    QRect m_textRect;
    int m_textInset = 0;
    QZRBaseButton *m_btnClose = nullptr;
    QList<QZRBaseButton *> m_buttons;
    ButtonStyle m_buttonStyle = Ok;
    int m_minButtonWidth = 80;
    int m_maxLineWidth = 500;
    QSize m_minSize;
    bool m_bPositioned = false;

    static void (*s_optionCallback)(QZRMessageBoxOption *);
};

#endif
