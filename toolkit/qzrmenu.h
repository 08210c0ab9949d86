#ifndef QZRMENU_H
#define QZRMENU_H

#include "toolkit/qzrmenustyle.h"

#include <QMenu>

// A frameless, translucent popup menu painted entirely by its own menu style.
class QZRMenu : public QMenu
{
    Q_OBJECT

public:
    explicit QZRMenu(QWidget *parent = nullptr);
    explicit QZRMenu(const QString &title, QWidget *parent = nullptr);
    ~QZRMenu() override;

    void InitMenu();

    QAction *addMenu(QZRMenu *menu);
    QZRMenu *addMenu(const QString &title);
    QZRMenu *addMenu(const QIcon &icon, const QString &title);

    void setStyleAttribute(QZRMenuStyleAttribute *attribute);
    QZRMenuStyleAttribute *styleAttribute() const;

    void setFrameWidth(int width);
    void setFrameColor(QColor color);
    void setAreaColor(QColor color);
    void setSeparatorColor(QColor color);
    void setItemColor(QColor color);
    void setItemTextColor(QColor color);
    void setItemSelectColor(QColor color);
    void setItemTextSelectColor(QColor color);
    void setItemEabledColor(QColor color);
    void setItemTextEabledColor(QColor color);
    void setItemWidth(int width);
    void setItemHeight(int height);
    void setRadioImage(QString path);
    void setCheckStateImage(QString checkedPath, QString uncheckedPath);
    void setBackgroundImage(QString path, bool gridView);

protected:
    bool event(QEvent *event) override;

private:
    QZRMenuStyle *m_style = nullptr;
};

#endif
