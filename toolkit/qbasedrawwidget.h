#ifndef QBASEDRAWWIDGET_H
#define QBASEDRAWWIDGET_H

#include <QImage>
#include <QMargins>
#include <QRect>
#include <QString>

class QDialog;
class QEvent;
class QFocusEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QWidget;

// A width and a height: the corner sizes of a nine-grid background.
struct rectSize
{
    int width = 0;
    int height = 0;
};

class QBaseDrawWidgetPrivate;

// Chrome of a frameless window: skinned background, logo and title, moving by the top band,
// resizing by the edges and maximising on a double click. The host widget forwards its events.
class QBaseDrawWidget
{
public:
    enum dlgType { MainWindow = 0, Dialog = 1, Widget = 2 };
    enum enumStretchPolicy { StretchNone = 0, StretchHorizontal = 1, StretchVertical = 2, StretchAll = 3 };
    enum CursorAndState {
        CursorNone = 0,
        CursorLeft = 1,
        CursorTopLeft = 2,
        CursorTop = 3,
        CursorTopRight = 4,
        CursorRight = 5,
        CursorBottomRight = 6,
        CursorBottom = 7,
        CursorBottomLeft = 8
    };

    QBaseDrawWidget(QWidget *widget, dlgType type);
    ~QBaseDrawWidget();
    QBaseDrawWidget(const QBaseDrawWidget &) = delete;
    QBaseDrawWidget &operator=(const QBaseDrawWidget &) = delete;

    virtual void resetControlLocation();
    virtual void OnBtnMax();
    virtual void setCursorType(QBaseDrawWidget::CursorAndState state);
    virtual void setCursorAndState(QMouseEvent *event);
    virtual void setFrameGeomtry(QMouseEvent *event);
    virtual void DrawLogo(QPainter &painter);
    virtual void DrawWgtText(QPainter &painter);

    void setStretchPolicy(QBaseDrawWidget::enumStretchPolicy policy);
    void setDrawWidget(QWidget *widget);
    QWidget *DrawWiget() const;
    void setMoveTopHeight(int height);
    void setStretchWidth(int width);
    int stretchWidth() const;
    void setMoveChangeCorrect(int height);

    void setTransparentW(int width);
    void setTransparentW(int left, int top, int right, int bottom);
    QMargins getTransparentMg() const;

    void setBackgroundImage(QString path, bool gridView);
    void setBackgroundImage(QImage image, bool gridView);
    void changeBackgroundImage(QImage image);
    void setGridViewInfo(rectSize topLeft, rectSize topRight, rectSize bottomLeft, rectSize bottomRight);
    void setBackgrounColor(QColor color);
    QColor getBackgrounColor() const;

    void setLogoImage(QString path);
    void setLogoImage(QImage image);
    void setLogoRect(QRect rect);
    void setTitleRect(QRect rect);
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const;
    void setDlgTitle(QString title);
    QString getDlgTitle() const;

    bool isMaxSize() const;
    QBaseDrawWidget::CursorAndState cursorAndState() const;
    void CenterDlg(QDialog &dialog);

    bool event(QEvent *event);
    void paintEvent(QPaintEvent *event);
    void mousePressEvent(QMouseEvent *event);
    void mouseMoveEvent(QMouseEvent *event);
    void mouseReleaseEvent(QMouseEvent *event);
    void mouseDoubleClickEvent(QMouseEvent *event);
    void focusOutEvent(QFocusEvent *event);

private:
    QBaseDrawWidgetPrivate *d;
};

#endif
