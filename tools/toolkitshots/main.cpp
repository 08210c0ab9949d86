// Renders message boxes with each icon and a skinned dialog in the program's look, each on a dark
// backdrop, into the folder given on the command line.
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrdialogex.h"
#include "toolkit/qzrmessagebox.h"
#include "toolkit/zrapplicationlook.h"

#include "services/qianyutil.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>
#include <cstdio>

namespace {

const QColor White(255, 255, 255);
const QColor Disabled(102, 102, 102);

QFont houseFont(int pixelSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    return font;
}

// A dialog of the kind the player's windows derive from: house colour, title-bar buttons,
// a line of text and two skinned buttons.
class SampleDialog : public QZRDialogEx
{
public:
    SampleDialog()
    {
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        setBackgrounColor(QColor(56, 56, 56));
        setFont(houseFont(12));
        QPalette palette = this->palette();
        palette.setColor(QPalette::WindowText, White);
        setPalette(palette);
        setDlgTitle(QStringLiteral("Snapshot Settings"));
        setTitleRect(QRect(0, 10, 0, 20));
        QBaseDrawWidget::setAlignment(Qt::AlignCenter);
        const QString images = QIAnyUtil::getResourcePath() + "/images/";
        addCloseBtn(images + "btn_close.png", true);
        addMinBtn(images + "btn_min.png", true);
        addMaxBtn(images + "btn_max.png", true);
        resize(420, 210);

        const QString strip = images + "Common/btn_common.png";
        for (const char *text : {"Cancel", "Save"}) {
            auto *button = new QZRBaseButton(this);
            button->setButtonImage(strip, true);
            button->setTextColor(White, White, White, Disabled);
            button->setFont(houseFont(12));
            button->setText(QString::fromLatin1(text));
            m_buttons << button;
        }
    }

protected:
    void resetControlLocation() override
    {
        int x = width() - 20;
        for (int i = m_buttons.size() - 1; i >= 0; --i) {
            x -= m_buttons[i]->width();
            m_buttons[i]->move(x, height() - 20 - m_buttons[i]->height());
            x -= 12;
        }
    }
    void paintEvent(QPaintEvent *e) override
    {
        QZRDialogEx::paintEvent(e);
        QPainter painter(this);
        painter.setPen(QColor(73, 73, 73));
        painter.drawLine(0, 40, width(), 40);
        painter.setPen(White);
        painter.setFont(houseFont(13));
        painter.drawText(QRect(24, 60, width() - 48, 80), Qt::AlignLeft | Qt::TextWordWrap,
                         QStringLiteral("Snapshots are saved as PNG files in the Screenshots folder of your "
                                        "documents."));
    }

private:
    QList<QZRBaseButton *> m_buttons;
};

// Shows the window, waits until it is on screen and writes it over a backdrop.
bool shoot(QWidget &window, const QString &file)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(100);
    const QPixmap shot = window.grab();
    const int margin = 24;
    QImage out(shot.size() / shot.devicePixelRatio() + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
    out.fill(QColor(28, 28, 30));
    QPainter painter(&out);
    painter.drawPixmap(margin, margin, shot);
    painter.end();
    window.hide();
    return out.save(file, "PNG");
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: toolkitshots <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    ZrApplicationLook::install();

    struct Shot
    {
        const char *file;
        QZRMessageBox::Icon icon;
        QZRMessageBox::ButtonStyle style;
        const char *title;
        const char *message;
    };
    const Shot shots[] = {
        {"messagebox_warning.png", QZRMessageBox::Warning, QZRMessageBox::Ok, "ZRPlayer", "The play file does not exist!"},
        {"messagebox_success.png", QZRMessageBox::Success, QZRMessageBox::Ok, "Snapshot",
         "Snapshot successfully!\nThe picture was saved in your Screenshots folder."},
        {"messagebox_error.png", QZRMessageBox::Error, QZRMessageBox::Cancel, "ZRPlayer",
         "File playback failed! The file may be damaged, or its format is not supported by this player."},
        {"messagebox_help.png", QZRMessageBox::Help, QZRMessageBox::YesNo, "Play History",
         "Do you want to clear the play history?"},
    };

    int failures = 0;
    for (const Shot &shot : shots) {
        QZRMessageBox box;
        box.setTitle(QString::fromUtf8(shot.title));
        box.setButtonStyle(shot.style);
        box.setMessageIcon(shot.icon);
        box.setMessage(QString::fromUtf8(shot.message));
        if (!shoot(box, folder + "/" + shot.file))
            ++failures;
    }
    SampleDialog dialog;
    if (!shoot(dialog, folder + "/skinned_dialog.png"))
        ++failures;
    return failures == 0 ? 0 : 1;
}
