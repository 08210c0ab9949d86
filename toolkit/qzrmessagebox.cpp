#include "toolkit/qzrmessagebox.h"

#include "services/zrlogging.h"
#include "toolkit/qbaseimagedraw.h"
#include "toolkit/qprojectconfig.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrprojectpath.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QPainter>
#include <QPointer>
#include <algorithm>

void (*QZRMessageBox::s_optionCallback)(QZRMessageBoxOption *) = nullptr;

namespace {

const int CloseCode = 0x200000;

// Length of the character at pos, keeping a surrogate pair together.
int charLength(const QString &text, int pos)
{
    if (pos + 1 < text.size() && text.at(pos).isHighSurrogate() && text.at(pos + 1).isLowSurrogate())
        return 2;
    return 1;
}

}

QZRMessageBox::QZRMessageBox(QWidget *parent) : QZRDialog(parent)
{
    if (s_optionCallback)
        s_optionCallback(&m_option);
    QWidget::setPalette(m_option.palette);
    Init();
}

QZRMessageBox::~QZRMessageBox()
{
    delete m_btnClose;
    delete m_iconImage;
    releaseBtnList();
}

int QZRMessageBox::ShowMessage(QWidget *parent, QString title, QString message, QZRMessageBox::Icon icon,
                               QZRMessageBox::ButtonStyle style)
{
    // On the heap and guarded: a parent that dies during exec() takes the box with it.
    QPointer<QZRMessageBox> box = new QZRMessageBox(parent);
    if (!title.isEmpty())
        box->setTitle(title);
    if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box->setWindowFlags(box->windowFlags() | Qt::WindowStaysOnTopHint);
    box->m_buttonStyle = style;
    box->creatStyleButton();
    box->m_icon = icon;
    box->setMessage(message);
    const int code = box->exec();
    delete box;
    return code;
}

void QZRMessageBox::setOptionCallback(void (*callback)(QZRMessageBoxOption *))
{
    s_optionCallback = callback;
}

void QZRMessageBox::Init()
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    const QString projectName = QProjectConfig::getProjectConfig()->projectName();
    setWindowTitle(projectName);
    QString background = m_option.imagePath + "bg_msg.png";
    QZRProjectPath::formatPath(background);
    setBackgroundImage(background, false);
    const QMargins &margins = m_option.transparentMargins;
    setTitleRect(QRect(0, margins.top(), 0, 0));
    QBaseDrawWidget::setAlignment(Qt::AlignCenter);
    setMoveTopHeight(m_option.dlgTop + margins.top());
    setDlgTitle(projectName);
    setFont(m_option.titleFont);
    setStretchPolicy(StretchNone);
    const rectSize corner{58, 58};
    setGridViewInfo(corner, corner, corner, corner);
    InitMinSize();
    InitBtn();
}

void QZRMessageBox::InitMinSize()
{
    const QMargins &margins = m_option.transparentMargins;
    const int height = m_option.dlgTop + m_option.dlgBottom + margins.top() + margins.bottom() + 82;
    const int width = int(height * 1.618);
    m_minSize = QSize(width, height);
    resize(m_minSize);
    qCDebug(lcZRPlayer) << "message box minimum size" << width << height;
}

void QZRMessageBox::InitBtn()
{
    m_btnClose = new QZRBaseButton(this);
    QString path = m_option.imagePath + "btn_close.png";
    QZRProjectPath::formatPath(path);
    m_btnClose->setButtonImage(path, true);
    connect(m_btnClose, &QPushButton::clicked, this, &QZRMessageBox::OnBtnClose);
}

void QZRMessageBox::creatStyleButton()
{
    releaseBtnList();
    switch (m_buttonStyle) {
    case Ok:
        addButton(m_option.okText, 0x400);
        break;
    case Cancel:
        addButton(m_option.cancelText, 0x400000);
        break;
    case YesNo:
        addButton(m_option.yesText, 0x4000);
        addButton(m_option.noText, 0x10000);
        break;
    }
}

QZRBaseButton *QZRMessageBox::addButton(QString text, int code)
{
    QZRBaseButton *button = new QZRBaseButton(this);
    QString path = m_option.imagePath + "btn_common.png";
    QZRProjectPath::formatPath(path);
    button->setButtonImage(path, true);
    button->setTextColor(m_option.buttonNormalColor, m_option.buttonHoverColor, m_option.buttonPressedColor,
                         m_option.buttonDisabledColor);
    button->setFont(m_option.buttonFont);
    button->setText(text);
    button->setDoneSign(code);
    const int width = textWidth(QFontMetrics(m_option.buttonFont), text) + 20;
    button->resize(std::max(m_minButtonWidth, width), button->height());
    m_buttons.append(button);
    connect(button, &QPushButton::clicked, this, &QZRMessageBox::OnBtnDone);
    return button;
}

void QZRMessageBox::releaseBtnList()
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
}

void QZRMessageBox::setTitle(QString title)
{
    setDlgTitle(title);
}

QString QZRMessageBox::getTitle() const
{
    return getDlgTitle();
}

void QZRMessageBox::setMessage(QString message)
{
    m_strMessage = message;
    calcTextSize(message);
}

QString QZRMessageBox::getMessage() const
{
    return m_strMessage;
}

void QZRMessageBox::setMessageIcon(QZRMessageBox::Icon icon)
{
    m_icon = icon;
}

QZRMessageBox::Icon QZRMessageBox::getMessageIcon() const
{
    return m_icon;
}

void QZRMessageBox::setButtonStyle(QZRMessageBox::ButtonStyle style)
{
    m_buttonStyle = style;
    creatStyleButton();
}

void QZRMessageBox::setTitleFont(QFont &font)
{
    m_option.titleFont = font;
}

void QZRMessageBox::setMessageFont(QFont &font)
{
    m_option.messageFont = font;
}

QFont QZRMessageBox::messageFont() const
{
    return m_option.messageFont;
}

void QZRMessageBox::setButtonColor(QColor normal, QColor hover, QColor pressed, QColor disabled)
{
    m_option.buttonNormalColor = normal;
    m_option.buttonHoverColor = hover;
    m_option.buttonPressedColor = pressed;
    m_option.buttonDisabledColor = disabled;
}

void QZRMessageBox::setPalette(QPalette const &palette)
{
    m_option.palette = palette;
    QWidget::setPalette(palette);
}

void QZRMessageBox::setMessageBoxOption(QZRMessageBoxOption option)
{
    m_option = option;
    QWidget::setPalette(m_option.palette);
}

QZRMessageBoxOption QZRMessageBox::getMessageBoxOption() const
{
    return m_option;
}

QRect QZRMessageBox::getIconRect() const
{
    return m_iconRect;
}

QRect QZRMessageBox::getTextRect() const
{
    return m_textRect;
}

QRect QZRMessageBox::getBtnRect() const
{
    const QMargins &margins = m_option.transparentMargins;
    return QRect(QPoint(margins.left(), height() - margins.bottom() - m_option.dlgBottom),
                 QPoint(width() - 1 - margins.right(), height() - margins.bottom() - 1));
}

void QZRMessageBox::OnBtnClose()
{
    done(CloseCode);
}

void QZRMessageBox::OnBtnDone()
{
    if (auto *button = qobject_cast<QZRBaseButton *>(sender()))
        done(button->getDoneSign());
}

int QZRMessageBox::textWidth(const QFontMetrics &metrics, const QString &text) const
{
    return metrics.boundingRect(QRect(), Qt::TextSingleLine, text).width();
}

void QZRMessageBox::calcTextSize(QString text)
{
    m_strWrapped = text;
    m_textSize = QSize(0, 0);
    if (text.isEmpty())
        return;

    QStringList wrapped;
    for (const QString &paragraph : text.split('\n'))
        wrapped << splitStringline(paragraph);
    m_strWrapped = wrapped.join('\n');

    const QFontMetrics metrics(m_option.messageFont);
    int width = 0, height = 0;
    for (const QString &line : m_strWrapped.split('\n')) {
        const QRect bounds = metrics.boundingRect(QRect(), Qt::TextSingleLine, line);
        width = std::max(width, bounds.width());
        height += bounds.height();
    }
    m_textSize = QSize(width, height);
}

QString QZRMessageBox::splitStringline(QString line) const
{
    const QFontMetrics metrics(m_option.messageFont);
    const int M = m_maxLineWidth;
    QStringList words = line.split(' ');
    QStringList lines;
    // One line per pass: a word too wide for a line of its own is cut where it stops fitting,
    // otherwise words are added while they fit.
    while (!words.isEmpty()) {
        QString current = words.takeFirst();
        int fit = 0;
        while (fit < current.size()) {
            const int next = fit + charLength(current, fit);
            if (textWidth(metrics, current.left(next)) > M)
                break;
            fit = next;
        }
        if (fit < current.size()) {
            if (fit == 0)
                fit = charLength(current, 0);
            lines << current.left(fit);
            const QString rest = current.mid(fit);
            if (!rest.isEmpty())
                words.prepend(rest);
            continue;
        }
        while (!words.isEmpty()) {
            const QString candidate = current + ' ' + words.first();
            if (textWidth(metrics, candidate) > M)
                break;
            current = candidate;
            words.removeFirst();
        }
        lines << current;
    }
    return lines.join('\n');
}

void QZRMessageBox::calcBoxRect()
{
    const QMargins &m = m_option.transparentMargins;
    const int dT = m_option.dlgTop, dB = m_option.dlgBottom;
    const int tw = m_textSize.width() < 0 ? 0 : m_textSize.width();
    const int th = m_textSize.height() < 0 ? 0 : m_textSize.height();

    m_textInset = 20;
    int textColumn = tw + 40;
    int iconColumn = 0;
    if (m_iconImage) {
        iconColumn = m_iconImage->width() / 2 + 40;
        textColumn = tw + 20;
        m_textInset = 0;
    }

    int buttonRow = m.left() + m.right() + 2 * m_option.buttonMargin;
    for (const QZRBaseButton *button : qAsConst(m_buttons))
        buttonRow += button->width();
    if (m_buttons.size() > 1)
        buttonRow += m_option.buttonSpacing * (m_buttons.size() - 1);

    const int width = m_option.fixedWidth >= 1
                          ? std::max(m_option.fixedWidth, m_minSize.width())
                          : std::max({m.left() + iconColumn + textColumn + m.right(), m_minSize.width(), buttonRow});
    const int height = m_option.fixedHeight >= 1
                           ? std::max(m_option.fixedHeight, m_minSize.height())
                           : std::max(th + 40 + dT + dB + m.top() + m.bottom(), m_minSize.height());

    const int y = (height - 40 - th - (m.top() + dT + dB + m.bottom())) / 2 + m.top() + dT;
    m_iconRect = QRect(m.left(), y, iconColumn, th + 40);
    m_textRect = QRect(m.left() + iconColumn, y, textColumn, th + 40);
    resize(width, height);
}

void QZRMessageBox::resetControlLocation()
{
    const QMargins &m = m_option.transparentMargins;
    if (m_btnClose) {
        m_btnClose->move(m.left() + m_option.closeBtnOffset.x() + 8, m.top() + m_option.closeBtnOffset.y() + 5);
        m_btnClose->setEnabled(m_option.closeBtnEnabled);
    }
    const int dB = m_option.dlgBottom;
    int x = width() - m.right() - m_option.buttonMargin + m_option.buttonSpacing;
    for (int i = m_buttons.size() - 1; i >= 0; --i) {
        QZRBaseButton *button = m_buttons.at(i);
        x -= button->width() + m_option.buttonSpacing;
        button->move(x, height() - dB - m.bottom() + (dB - button->height()) / 2);
    }
}

void QZRMessageBox::InitIcon()
{
    delete m_iconImage;
    m_iconImage = nullptr;
    const char *file = nullptr;
    switch (m_icon) {
    case Warning:
        file = "warning.png";
        break;
    case Success:
        file = "Success.png";
        break;
    case Error:
        file = "error.png";
        break;
    case Help:
        file = "help.png";
        break;
    default:
        return;
    }
    QString path = m_option.imagePath + file;
    QZRProjectPath::formatPath(path);
    m_iconImage = new QImage(path);
    m_iconImage->setDevicePixelRatio(2.0);
}

void QZRMessageBox::paintEvent(QPaintEvent *e)
{
    QZRDialog::paintEvent(e);
    QPainter painter(this);
    drawIcon(&painter);
    drawMessage(&painter);
}

void QZRMessageBox::drawIcon(QPainter *painter)
{
    if (!m_iconImage)
        return;
    const int w = m_iconImage->width() / 2, h = m_iconImage->height() / 2;
    const QRect target(m_iconRect.x() + (m_iconRect.width() - w) / 2,
                       m_iconRect.y() + (m_iconRect.height() - h) / 2 - m_option.iconLift, w, h);
    painter->save();
    QBaseImageDraw::drawImage(*painter, target, QRect(0, 0, w, h), *m_iconImage);
    painter->restore();
}

void QZRMessageBox::drawMessage(QPainter *painter)
{
    if (m_strWrapped.isEmpty())
        return;
    const QRect rect(m_textRect.x() + m_textInset, m_textRect.y() + (m_textRect.height() - m_textSize.height()) / 2,
                     m_textSize.width(), m_textSize.height());
    painter->save();
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->setFont(m_option.messageFont);
    painter->setPen(palette().color(QPalette::Text));
    painter->drawText(rect, Qt::TextWrapAnywhere, m_strWrapped);
    painter->restore();
}

void QZRMessageBox::showEvent(QShowEvent *e)
{
    InitIcon();
    calcBoxRect();
    if (!m_bPositioned) {
        m_bPositioned = true;
        QWidget *parent = parentWidget();
        if (!parent) {
            const QRect screen = QApplication::desktop()->screenGeometry(-1);
            move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
        } else {
            const QPoint origin = parent->mapToGlobal(QPoint(0, 0));
            int x = origin.x() + (parent->width() - width()) / 2;
            int y = origin.y() + (parent->height() - height()) / 2;
            move(x < 1 ? 50 : x, y < 1 ? 50 : y);
        }
    }
    QZRDialog::showEvent(e);
}
