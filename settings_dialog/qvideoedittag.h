#ifndef QVIDEOEDITTAG_H
#define QVIDEOEDITTAG_H

#include <QColor>
#include <QList>
#include <QStringList>
#include <QWidget>

class QZRBaseButton;
class Ui_QVideoEditTag;

// The row of tag buttons above the settings pages, centred at the top. The current tag is
// checked and disabled, so choosing it again sends nothing.
class QVideoEditTag : public QWidget
{
    Q_OBJECT

public:
    explicit QVideoEditTag(QWidget *parent = nullptr);
    ~QVideoEditTag() override;

    void addTag(QZRBaseButton *button);
    void addTag(QString text, QString icon, int width);
    void createTag(QStringList names);
    void setSelectedTag(int index);
    void setHiddenTag(int index);
    void setBackgroundColor(QColor color);

    // The skin, text colours, font and check behaviour every tag button has.
    static void initTagLook(QZRBaseButton *button);

signals:
    void emitSelectedTag(int index);

public slots:
    void onButton();

private:
    QZRBaseButton *initButton(QString text);

    Ui_QVideoEditTag *ui;
    int m_currentIndex = 0;
    QStringList m_tagNames;
    QList<QZRBaseButton *> m_buttons;
    QZRBaseButton *m_currentButton = nullptr;
    QColor m_backgroundColor = QColor(255, 0, 0);
};

#endif
