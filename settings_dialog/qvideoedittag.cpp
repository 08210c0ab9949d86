#include "settings_dialog/qvideoedittag.h"

#include "services/qianyutil.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qzrbasebutton.h"
#include "ui_qvideoedittag.h"

QVideoEditTag::QVideoEditTag(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QVideoEditTag)
{
    ui->setupUi(this);
}

QVideoEditTag::~QVideoEditTag()
{
    delete ui;
}

void QVideoEditTag::initTagLook(QZRBaseButton *button)
{
    const QColor white(255, 255, 255);
    const QColor current(214, 42, 100);
    button->setButtonImage(QIAnyUtil::getResourcePath() + "/images/Common/tab_btn_bg_image.png", true);
    button->setTextColor(white, white, current, current);
    QInitCtrlStyle::InitFont(button, 12);
    button->setCheckable(true);
}

void QVideoEditTag::addTag(QZRBaseButton *button)
{
    button->setFixedHeight(height());
    m_buttons.append(button);
    ui->m_horizontalLayout->addWidget(button);
    connect(button, &QZRBaseButton::clicked, this, &QVideoEditTag::onButton, Qt::UniqueConnection);
}

void QVideoEditTag::addTag(QString text, QString icon, int width)
{
    QZRBaseButton *button = initButton(text);
    button->setBtnIcon(icon);
    button->setFixedWidth(width);
    button->setTextRect(QRect(0, 0, 0, 16));
    button->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    button->setIconBtnMode(true);
    addTag(button);
}

void QVideoEditTag::createTag(QStringList names)
{
    if (names.isEmpty())
        return;
    qDeleteAll(m_buttons);
    m_buttons.clear();
    m_currentButton = nullptr;
    m_tagNames = names;
    for (const QString &name : qAsConst(m_tagNames)) {
        QZRBaseButton *button = initButton(name);
        button->setTextRect(QRect(0, 0, 0, 16));
        addTag(button);
    }
}

QZRBaseButton *QVideoEditTag::initButton(QString text)
{
    QZRBaseButton *button = new QZRBaseButton(this);
    button->setText(text);
    initTagLook(button);
    connect(button, &QZRBaseButton::clicked, this, &QVideoEditTag::onButton, Qt::UniqueConnection);
    return button;
}

void QVideoEditTag::setSelectedTag(int index)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    for (int i = index; i < m_buttons.size(); ++i) {
        if (!m_buttons.at(i)->isHidden()) {
            m_buttons.at(i)->click();
            m_currentIndex = i;
            return;
        }
    }
    m_currentIndex = m_buttons.size();
}

void QVideoEditTag::setHiddenTag(int index)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    m_buttons.at(index)->setEnabled(false);
    m_buttons.at(index)->hide();
    if (m_currentIndex >= 0 && m_currentIndex < m_buttons.size())
        setSelectedTag(m_currentIndex);
}

void QVideoEditTag::onButton()
{
    QZRBaseButton *button = qobject_cast<QZRBaseButton *>(sender());
    if (m_currentButton) {
        m_currentButton->setChecked(false);
        m_currentButton->setEnabled(true);
    }
    m_currentButton = button;
    if (button) {
        button->setChecked(true);
        button->setEnabled(false);
    }
    emit emitSelectedTag(m_buttons.indexOf(button));
}

void QVideoEditTag::setBackgroundColor(QColor color)
{
    m_backgroundColor = color;
}
