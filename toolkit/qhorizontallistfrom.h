#ifndef QHORIZONTALLISTFROM_H
#define QHORIZONTALLISTFROM_H

#include <QColor>
#include <QList>
#include <QWidget>

class QScrollArea;
class QScrollBar;
class QHorizontalListItem;

namespace Ui {
class QHorizontalListFrom;
}

// A horizontally scrolling strip of cover items with single selection.
class QHorizontalListFrom : public QWidget
{
    Q_OBJECT

public:
    explicit QHorizontalListFrom(QWidget *parent = nullptr);
    ~QHorizontalListFrom() override;

    void addListItem(QString picture, QString title);
    void clear();
    void setBackgroundColor(QColor color);
    void setHorizontalScrollBar(QScrollBar *scrollBar);
    void setVerticalScrollBar(QScrollBar *scrollBar);
    QScrollArea *getScrollArea() const;
    void setCurrentIndex(int index);
    int getCurrentIndex() const;
    void clearSelectState();
    QList<QHorizontalListItem *> items() const;

signals:
    void currentIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void itemMousePress();

private:
    void initControls();

    Ui::QHorizontalListFrom *ui;
    QColor m_backgroundColor;
    QList<QHorizontalListItem *> m_items;
    QHorizontalListItem *m_currentItem = nullptr;
    int m_currentIndex = -1;
};

#endif
