// A panel with every control of the toolkit in the house look, rendered in a real X server at
// double density. The picture goes to <build>/screenshots/controls.png, and also into the folder
// named by ZR_SCREENSHOT_DIR when that is set.
#include "toolkit/qbaseitem.h"
#include "toolkit/qhorizontallistfrom.h"
#include "toolkit/qhorizontallistitem.h"
#include "toolkit/qinitctrlstyle.h"
#include "toolkit/qscrollareaframeselection.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrcombobox.h"
#include "toolkit/qzrdoublespinbox.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrmenu.h"
#include "toolkit/qzrradiobutton.h"
#include "toolkit/qzrscrollbar.h"
#include "toolkit/qzrsliderex.h"
#include "screenshot.h"

#include <QActionGroup>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QColor Background(56, 56, 56);
const QColor Accent(253, 94, 105);

QLabel *caption(QWidget *parent, const QString &text, QPoint at)
{
    QLabel *label = new QLabel(parent);
    QInitCtrlStyle::InitLabel2(label, text, 12);
    label->move(at);
    label->adjustSize();
    return label;
}

// A cover picture: a soft two-colour gradient with a disc, 56 by 56 logical.
QString cover(const QTemporaryDir &dir, const QString &name, QColor from, QColor to)
{
    QImage image(112, 112, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 112, 112);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    p.fillRect(image.rect(), gradient);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawEllipse(QPointF(56, 56), 26, 26);
    p.end();
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

// A row of the playlist kind: a list item with a title and a duration.
QBaseItem *playlistRow(QWidget *parent, const QString &title, const QString &time, int state)
{
    QBaseItem *row = new QBaseItem(parent);
    row->setFixedHeight(26);
    row->setBackgroundColor(Background, QColor(66, 66, 66), QColor(73, 73, 73), Background);
    row->setMouseState(state);
    QLabel *name = new QLabel(title, row);
    QInitCtrlStyle::InitLabel2(name, title, 12);
    name->move(10, 5);
    name->resize(150, 16);
    QLabel *length = new QLabel(row);
    QInitCtrlStyle::InitLabel2(length, time, 11);
    length->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    length->setGeometry(160, 5, 46, 16);
    return row;
}

}

class tst_ControlsGallery : public QObject
{
    Q_OBJECT

private slots:
    void panel();
};

void tst_ControlsGallery::panel()
{
    QTemporaryDir dir;
    QWidget panel;
    panel.setFixedSize(640, 430);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, Background);
    panel.setPalette(palette);
    panel.setAutoFillBackground(true);

    // Sliders and a progress bar.
    caption(&panel, "Volume", QPoint(20, 18));
    QZRSliderEx volume(&panel);
    volume.setGeometry(90, 16, 200, 20);
    QInitCtrlStyle::InitQZRSlider(&volume, QZRBaseProgress::Horizontal);
    volume.setValue(65);
    caption(&panel, "Progress", QPoint(20, 50));
    QZRBaseProgress progress(&panel);
    progress.setGeometry(90, 48, 200, 18);
    QPalette bar = progress.palette();
    bar.setColor(QPalette::Window, QColor(34, 34, 34));
    bar.setColor(QPalette::Highlight, Accent);
    bar.setColor(QPalette::WindowText, Qt::white);
    progress.setPalette(bar);
    QInitCtrlStyle::InitFont(&progress, 11);
    progress.setDecimals(0);
    progress.setValue(40);
    QZRBaseSlider balance(&panel);
    balance.setGeometry(600, 40, 20, 172);
    QInitCtrlStyle::InitQZRSlider(&balance, QZRBaseProgress::Vertical);
    balance.setValue(30);

    // Radio buttons.
    caption(&panel, "Deinterlace", QPoint(20, 84));
    QZRRadioButton autoMode(&panel);
    QZRRadioButton always(&panel);
    QZRRadioButton never(&panel);
    autoMode.setText("Automatic");
    always.setText("Always");
    never.setText("Never");
    int x = 110;
    for (QZRRadioButton *radio : {&autoMode, &always, &never}) {
        QInitCtrlStyle::InitQZRRadioButton(radio, false);
        radio->move(x, 84);
        radio->adjustSize();
        x += radio->width() + 14;
    }
    autoMode.setChecked(true);
    never.setEnabled(false);

    // Edit fields.
    caption(&panel, "Brightness", QPoint(20, 118));
    QZRLineEditEx brightness(&panel);
    QInitCtrlStyle::InitQZRLineEditEx(&brightness);
    brightness.setGeometry(110, 114, 64, 24);
    brightness.setSymbol("%");
    brightness.setSymbolDrawTextMargins(1, 1, 6, 1);
    brightness.setText("75");
    caption(&panel, "Delay", QPoint(190, 118));
    QZRDoubleSpinBox delay(&panel);
    delay.setGeometry(230, 114, 62, 24);
    QInitCtrlStyle::InitQZRDoubleSpinBox(&delay);
    delay.setSuffix(" s");
    delay.setValue(1.5);

    // Combo box and a button.
    caption(&panel, "Subtitle", QPoint(20, 154));
    QZRComboBox subtitles(&panel);
    subtitles.move(110, 150);
    QInitCtrlStyle::InitZRCombox(&subtitles, 180, 24, QString());
    subtitles.addItems({"English (SRT)", "Français", "Off"});
    QZRBaseButton apply(&panel);
    apply.setText("Apply");
    QInitCtrlStyle::InitZRButton(&apply, 80, 26);
    apply.move(210, 190);

    // A playlist-like list with the flat scroll bar.
    caption(&panel, "Playlist", QPoint(350, 18));
    caption(&panel, "Balance", QPoint(585, 18));
    QScrollAreaFrameSelection list(&panel);
    list.setGeometry(350, 40, 230, 172);
    list.setFrameStyle(0);
    QZRScrollBar *scroll = new QZRScrollBar(Qt::Vertical);
    QInitCtrlStyle::InitQZRScrollBar(scroll);
    list.setVerticalScrollBar(scroll);
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QWidget *rows = new QWidget;
    QVBoxLayout *layout = new QVBoxLayout(rows);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QStringList titles = {"Morning Walk.mp4", "City Lights.mkv", "Harbour.mov", "Interview.avi",
                                "Rain Study.webm", "Nightfall.mp4", "Credits.mkv", "Bonus.mp4"};
    for (int i = 0; i < titles.size(); ++i)
        layout->addWidget(playlistRow(rows, titles[i], QString("0%1:%2").arg(i + 1).arg(10 + 7 * i), i == 1 ? 1 : 0));
    list.setWidget(rows);
    list.setWidgetResizable(true);

    // The cover strip of presets.
    caption(&panel, "Equaliser presets", QPoint(20, 236));
    QHorizontalListFrom presets(&panel);
    presets.setGeometry(20, 258, 600, 110);
    presets.setBackgroundColor(QColor(44, 44, 44));
    QZRScrollBar *strip = new QZRScrollBar(Qt::Horizontal);
    QInitCtrlStyle::InitQZRScrollBar(strip);
    presets.setHorizontalScrollBar(strip);
    const QList<QPair<QColor, QColor>> colours = {{QColor(253, 94, 105), QColor(120, 40, 60)},
                                                  {QColor(80, 150, 230), QColor(30, 50, 110)},
                                                  {QColor(90, 200, 140), QColor(20, 90, 70)},
                                                  {QColor(240, 180, 70), QColor(130, 70, 20)},
                                                  {QColor(170, 120, 230), QColor(60, 40, 110)},
                                                  {QColor(160, 160, 160), QColor(60, 60, 60)}};
    const QStringList names = {"Rock", "Classical", "Jazz", "Pop", "Electronic", "Flat"};
    for (int i = 0; i < names.size(); ++i)
        presets.addListItem(cover(dir, names[i] + ".png", colours[i].first, colours[i].second), names[i]);
    presets.setCurrentIndex(0);

    caption(&panel, "Scroll bar, thin", QPoint(20, 392));
    QZRScrollBar thin(Qt::Horizontal, &panel);
    QZRScrollBarStyleAttribute thinLook;
    thinLook.m_grooveColor = thinLook.m_endColor = QColor(31, 31, 31);
    thinLook.m_handleColor = QColor(110, 110, 110);
    thin.setStyleAttribute(thinLook);
    thin.setGeometry(130, 396, 160, 10);
    thin.setRange(0, 100);
    thin.setPageStep(30);
    thin.setValue(20);

    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    presets.items().at(2)->setMouseState(1);
    QTest::qWait(200);

    // A context menu beside the panel.
    QZRMenu menu;
    QInitCtrlStyle::InitZrMenu(&menu);
    // A dark etch under disabled text where the platform style etches it.
    QPalette etch = menu.palette();
    etch.setColor(QPalette::Light, QColor(40, 40, 40));
    menu.setPalette(etch);
    menu.setItemHeight(24);
    menu.addAction("Open File...\tCtrl+O");
    menu.addAction("Open Folder...");
    menu.addSeparator();
    QZRMenu aspect("Aspect Ratio");
    QInitCtrlStyle::InitZrMenu(&aspect);
    QActionGroup ratios(&aspect);
    for (const char *name : {"Original", "16:9", "4:3"}) {
        QAction *action = aspect.addAction(name);
        action->setCheckable(true);
        ratios.addAction(action);
    }
    ratios.actions().first()->setChecked(true);
    QAction *aspectAction = menu.addMenu(&aspect);
    QAction *onTop = menu.addAction("Always on Top");
    onTop->setCheckable(true);
    onTop->setChecked(true);
    QAction *snapshot = menu.addAction("Snapshot\tCtrl+S");
    QAction *disabled = menu.addAction("Media Information");
    disabled->setEnabled(false);
    menu.popup(panel.mapToGlobal(QPoint(panel.width() + 20, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    menu.setActiveAction(snapshot);
    Q_UNUSED(aspectAction);
    QTest::qWait(100);

    const QPixmap panelShot = panel.grab();
    const QPixmap menuShot = menu.grab();
    const qreal ratio = panelShot.devicePixelRatio();
    QImage shot(QSize(panel.width() + menu.width() + 40, qMax(panel.height(), menu.height() + 20)) * ratio,
                QImage::Format_ARGB32);
    shot.setDevicePixelRatio(ratio);
    shot.fill(QColor(38, 38, 38));
    {
        QPainter p(&shot);
        p.drawPixmap(0, 0, panelShot);
        p.drawPixmap(panel.width() + 20, 20, menuShot);
    }

    // The skins are really there: the selected preset's accent frame and the slider's fill.
    const QImage image = panel.grab().toImage();
    const QPoint fill = volume.geometry().topLeft() + QPoint(40, volume.height() / 2);
    QCOMPARE(image.pixelColor(fill * ratio), Accent);
    QVERIFY(image.pixelColor(QPoint(5, 5) * ratio) == Background);

    QVERIFY(keepScreenshot(shot, "controls.png"));
    menu.close();
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    tst_ControlsGallery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_controlsgallery.moc"
