// The control bar: its controls and skins, the layout of the strip at any width, the clicks that
// leave it as signals, the slots that set what it shows, and Escape.
#include "player/playbtnwidget.h"
#include "services/qianyutil.h"
#include "toolkit/qzrbuttonext.h"
#include "toolkit/qzrsliderex.h"

#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QtTest>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(QMouseEvent *)

class tst_PlayBtnWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window();
    void buttons_data();
    void buttons();
    void sliders();
    void layout_data();
    void layout();
    void resizeKeepsTheProgressValue();
    void playThenPause();
    void muteThenUnmute();
    void relayedClicks_data();
    void relayedClicks();
    void setProcessValue_data();
    void setProcessValue();
    void pressAndRelease_data();
    void pressAndRelease();
    void volumeDrag();
    void displaySlots_data();
    void displaySlots();
    void scaleButtons();
    void timeTexts();
    void mouseRelays();
    void escapeLeavesTheBarOpen();
    void menu();

private:
    template <class T = QWidget>
    T *child(const char *name) const
    {
        return m_bar->findChild<T *>(QLatin1String(name));
    }
    QZRButtonExt *button(const char *name) const { return child<QZRButtonExt>(name); }

    std::unique_ptr<PlayBtnWidget> m_bar;
};

namespace {

// Every signal of the bar, so that a test can tell that only the expected one fired.
const char *const Signals[] = {
    "emitBtnPlay()", "emitBtnPause()", "emitBtnStop()", "emitBtnBack()", "emitBtnFast()", "emitBtnPreVideo()",
    "emitBtnNextVideo()", "emitBtnSnapshoot()", "emitBtnSnapshotMenu()", "emitBtnVolume(bool)",
    "emitBtnFullScreen()", "emitExitFullScreen()", "emitBtnSetting()", "emitBtnTrack()", "emitKeepVideoScale(bool)",
    "sendProgressValue(double)", "sendVolumeValue(double)", "emitSliderPress()", "emitSliderRelease()",
};

class SignalLog
{
public:
    explicit SignalLog(QObject *bar)
    {
        for (const char *signature : Signals)
            m_spies.emplace_back(new QSignalSpy(bar, QByteArray("2") + signature));
    }
    // "name xN" for every signal that fired.
    QStringList fired() const
    {
        QStringList list;
        for (const auto &spy : m_spies)
            if (spy->count())
                list << QString("%1 x%2").arg(QString::fromLatin1(spy->signal()), QString::number(spy->count()));
        return list;
    }
    QSignalSpy &spy(const char *signature) const
    {
        for (const auto &spy : m_spies)
            if (spy->signal() == QByteArray(signature))
                return *spy;
        qFatal("no spy for %s", signature);
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

QImage skin(const QString &path)
{
    return QImage(QIAnyUtil::getResourcePath() + path);
}

int rightOf(const QWidget *w)
{
    return w->geometry().right();
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

}

void tst_PlayBtnWidget::initTestCase()
{
    qRegisterMetaType<QMouseEvent *>();
}

void tst_PlayBtnWidget::init()
{
    m_bar.reset(new PlayBtnWidget);
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
    m_bar->resize(800, 60);
}

void tst_PlayBtnWidget::cleanup()
{
    m_bar.reset();
}

void tst_PlayBtnWidget::window()
{
    QCOMPARE(int(m_bar->windowFlags()), 0x40803);
    QVERIFY(m_bar->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(m_bar->testAttribute(Qt::WA_MouseTracking));
    QCOMPARE(m_bar->focusPolicy(), Qt::NoFocus);
    // The bar cannot be dragged or resized by the mouse.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), m_bar->mapToGlobal(QPoint(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_bar.get(), &press);
    const QPoint before = m_bar->pos();
    QMouseEvent move(QEvent::MouseMove, QPointF(45, 25), m_bar->mapToGlobal(QPoint(45, 25)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_bar.get(), &move);
    QCOMPARE(m_bar->pos(), before);
    QCOMPARE(m_bar->size(), QSize(800, 60));
}

void tst_PlayBtnWidget::buttons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("shown");
    const struct
    {
        const char *name, *tip, *path;
        bool shown;
    } rows[] = {
        {"m_btnPause", "Pause", "/images/PlayerImage/btn_Pause.png", false},
        {"m_btnPlay", "Play", "/images/PlayerImage/btn_play.png", true},
        {"m_btnBack", "Previous frame", "/images/PlayerImage/btn_back.png", true},
        {"m_btnFast", "Next frame", "/images/PlayerImage/btn_fast.png", true},
        {"m_btnPreVideo", "Previous file", "/images/PlayerImage/btn_previous.png", true},
        {"m_btnNextVideo", "Next file", "/images/PlayerImage/btn_next.png", true},
        {"m_btnSnapshoot", "Snapshot", "/images/PlayerImage/btn_snapshoot.png", true},
        {"m_btnMute", "Volume off", "/images/PlayerImage/btn_volume_off.png", false},
        {"m_btnVolume", "Volume on", "/images/PlayerImage/btn_volume_on.png", true},
        {"m_btnNormalScreen", "Restore", "/images/PlayerImage/btn_back_Screen.png", false},
        {"m_btnFullScreen", "Full screen", "/images/PlayerImage/btn_Full_Screen.png", true},
        {"m_btnScale", "", "/images/PlayerImage/btn_size_scale.png", false},
        {"m_btnWHSize", "", "/images/PlayerImage/btn_size_wh.png", false},
        {"m_btnTrack", "Track", "/images/PlayerImage/btn_track.png", true},
        {"m_btnStop", "Stop", "/images/PlayerImage/btn_stop.png", true},
        {"m_btnSetttings", "Settings", "/images/PlayerImage/btn_setting.png", true},
        {"m_btnSnapshotMenu", "Snapshot menu", "/images/PlayerImage/btn_snapshot_menu.png", true},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.name << row.tip << row.path << row.shown;
}

void tst_PlayBtnWidget::buttons()
{
    QFETCH(QString, name);
    QFETCH(QString, tip);
    QFETCH(QString, path);
    QFETCH(bool, shown);
    QZRButtonExt *b = button(name.toLatin1().constData());
    QVERIFY(b);
    QCOMPARE(b->toolTip(), tip);
    QCOMPARE(b->isVisible(), shown);
    QVERIFY(b->text().isEmpty());
    QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    // The four-frame skin gives the button one frame at half the pixel size.
    const QImage image = skin(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(b->size(), QSize(image.width() / 8, image.height() / 2));
}

void tst_PlayBtnWidget::sliders()
{
    auto *progress = child<QZRSliderEx>("m_videoProSlider");
    auto *volume = child<QZRBaseSlider>("m_volumeSlider");
    QCOMPARE(progress->value(), 0.0);
    QCOMPARE(progress->maximum(), 100.0);
    QCOMPARE(progress->getTLOffset(), 7);
    QCOMPARE(progress->getRBOffset(), 7);
    QVERIFY(progress->format().isEmpty());
    QVERIFY(progress->getButton());
    const QImage thumb = skin("/images/PlayerImage/slider_play_image.png");
    QCOMPARE(progress->getButton()->size(), QSize(thumb.width() / 8, thumb.height() / 2));
    QCOMPARE(volume->size(), QSize(50, 10));
    QCOMPARE(volume->value(), 0.0);
    QVERIFY(volume->format().isEmpty());
    QVERIFY(child<QSlider>("m_videoProSlider_2")->isHidden());
    QVERIFY(child<QLabel>("m_timeLabel")->isHidden());
}

void tst_PlayBtnWidget::layout_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("narrow");
    QTest::newRow("544: toward the settings button") << 544 << true;
    QTest::newRow("545: about the middle") << 545 << false;
    QTest::newRow("400") << 400 << true;
    QTest::newRow("1240") << 1240 << false;
}

void tst_PlayBtnWidget::layout()
{
    QFETCH(int, width);
    QFETCH(bool, narrow);
    m_bar->resize(width, 60);
    QCOMPARE(m_bar->width(), width);
    const int W = width;
    auto top = [](QWidget *w) { return (50 - w->height()) / 2; };

    QWidget *full = button("m_btnFullScreen");
    QCOMPARE(full->pos(), QPoint(W - 10 - full->width(), top(full)));
    QWidget *normal = button("m_btnNormalScreen");
    QCOMPARE(normal->pos(), QPoint(W - 10 - normal->width(), top(full)));
    QWidget *track = button("m_btnTrack");
    QCOMPARE(track->pos(), QPoint(full->x() - 10 - track->width(), top(track)));
    QWidget *settings = button("m_btnSetttings");
    QCOMPARE(settings->pos(), QPoint(track->x() - 10 - settings->width(), top(settings)));

    // The centre group, from the real widths of its ten controls.
    const char *const group[] = {"m_btnSnapshoot", "m_btnSnapshotMenu", "m_btnPreVideo", "m_btnBack",
                                 "m_btnPlay",      "m_btnStop",         "m_btnFast",     "m_btnNextVideo",
                                 "m_btnMute",      "m_volumeSlider"};
    int S = 0;
    for (const char *name : group)
        S += child(name)->width();
    QVERIFY(S > 100);
    const int x0 = narrow ? settings->x() - 147 - S : (W - 145 - S) / 2 + 5;
    QWidget *snapshot = button("m_btnSnapshoot");
    QCOMPARE(snapshot->pos(), QPoint(x0, top(snapshot)));

    // The menu button overlaps the snapshot button by one column.
    QWidget *menu = button("m_btnSnapshotMenu");
    QCOMPARE(menu->pos(), QPoint(snapshot->x() + snapshot->width() - 1, top(snapshot)));
    QCOMPARE(snapshot->geometry().intersected(menu->geometry()).width(), 1);

    // Then each control 20 pixels after the previous one; the pairs share their places.
    const char *const chain[] = {"m_btnSnapshotMenu", "m_btnPreVideo", "m_btnBack", "m_btnPlay",
                                 "m_btnStop",         "m_btnFast",     "m_btnNextVideo", "m_btnVolume"};
    for (size_t i = 1; i < std::size(chain); ++i) {
        QWidget *previous = child(chain[i - 1]);
        QWidget *current = child(chain[i]);
        QCOMPARE(current->pos(), QPoint(rightOf(previous) + 20, top(current)));
    }
    QCOMPARE(button("m_btnPause")->pos(), QPoint(button("m_btnPlay")->x(), top(button("m_btnPause"))));
    QCOMPARE(button("m_btnMute")->pos(), QPoint(button("m_btnVolume")->x(), top(button("m_btnMute"))));
    QWidget *volume = child("m_volumeSlider");
    QCOMPARE(volume->pos(), QPoint(rightOf(button("m_btnVolume")) + 5, top(volume)));

    // The progress row under the buttons, between the two time labels.
    QWidget *progress = child("m_videoProSlider");
    QWidget *start = child("m_lblStartTime");
    QWidget *end = child("m_lblEndTime");
    QCOMPARE(progress->geometry(), QRect(start->width() + 15, button("m_btnPlay")->geometry().bottom() + 5,
                                         W - 30 - end->width() - start->width(), 14));
    QCOMPARE(child("m_videoProSlider_2")->geometry(), progress->geometry());
    QCOMPARE(start->pos(), QPoint(10, progress->y()));
    QCOMPARE(end->pos(), QPoint(W - 10 - end->width(), progress->y()));
    QCOMPARE(progress->x() - rightOf(start) - 1, 5);
    QCOMPARE(end->x() - rightOf(progress) - 1, 5);
}

void tst_PlayBtnWidget::resizeKeepsTheProgressValue()
{
    m_bar->setProcessValue(0.42);
    auto *progress = child<QZRSliderEx>("m_videoProSlider");
    const int widthBefore = progress->width();
    m_bar->resize(1000, 60);
    QCOMPARE(progress->width(), widthBefore + 200);
    QCOMPARE(progress->value(), 42.0);
    m_bar->hide();
    m_bar->show();
    QCOMPARE(progress->value(), 42.0);
}

void tst_PlayBtnWidget::playThenPause()
{
    SignalLog log(m_bar.get());
    click(button("m_btnPlay"));
    QCOMPARE(log.fired(), QStringList{"emitBtnPlay() x1"});
    QVERIFY(button("m_btnPause")->isVisible());
    QVERIFY(button("m_btnPlay")->isHidden());
    QVERIFY(m_bar->getBtnPalyHide());

    click(button("m_btnPause"));
    QCOMPARE(log.fired(), QStringList({"emitBtnPlay() x1", "emitBtnPause() x1"}));
    QVERIFY(button("m_btnPlay")->isVisible());
    QVERIFY(button("m_btnPause")->isHidden());
}

void tst_PlayBtnWidget::muteThenUnmute()
{
    SignalLog log(m_bar.get());
    QSignalSpy &volume = log.spy("emitBtnVolume(bool)");
    click(button("m_btnVolume"));
    QCOMPARE(volume.count(), 1);
    QCOMPARE(volume.takeFirst().at(0).toBool(), true);
    QVERIFY(m_bar->IsMute());
    QVERIFY(button("m_btnMute")->isVisible());

    click(button("m_btnMute"));
    QCOMPARE(volume.count(), 1);
    QCOMPARE(volume.takeFirst().at(0).toBool(), false);
    QVERIFY(!m_bar->IsMute());
    QVERIFY(button("m_btnVolume")->isVisible());
    QCOMPARE(log.fired(), QStringList());
}

void tst_PlayBtnWidget::relayedClicks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fired");
    QTest::newRow("previous frame") << "m_btnBack" << "emitBtnBack() x1";
    QTest::newRow("next frame") << "m_btnFast" << "emitBtnFast() x1";
    QTest::newRow("previous file") << "m_btnPreVideo" << "emitBtnPreVideo() x1";
    QTest::newRow("next file") << "m_btnNextVideo" << "emitBtnNextVideo() x1";
    QTest::newRow("snapshot") << "m_btnSnapshoot" << "emitBtnSnapshoot() x1";
    QTest::newRow("snapshot menu") << "m_btnSnapshotMenu" << "emitBtnSnapshotMenu() x1";
    QTest::newRow("full screen") << "m_btnFullScreen" << "emitBtnFullScreen() x1";
    QTest::newRow("restore") << "m_btnNormalScreen" << "emitExitFullScreen() x1";
    QTest::newRow("settings") << "m_btnSetttings" << "emitBtnSetting() x1";
    QTest::newRow("track") << "m_btnTrack" << "emitBtnTrack() x1";
    QTest::newRow("stop") << "m_btnStop" << "emitBtnStop() x1";
}

void tst_PlayBtnWidget::relayedClicks()
{
    QFETCH(QString, name);
    QFETCH(QString, fired);
    m_bar->setFullScreen(name == "m_btnNormalScreen");
    QZRButtonExt *b = button(name.toLatin1().constData());
    QVERIFY(b->isVisible());
    SignalLog log(m_bar.get());
    click(b);
    QCOMPARE(log.fired(), QStringList{fired});
    // The full-screen pair is switched only from outside.
    QCOMPARE(b->isVisible(), true);
}

void tst_PlayBtnWidget::setProcessValue_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<double>("shown");
    QTest::addColumn<int>("mirrored");
    QTest::newRow("0.5") << 0.5 << 50.0 << 50;
    QTest::newRow("0.999") << 0.999 << 99.9 << 99;
    QTest::newRow("0") << 0.0 << 0.0 << 0;
    QTest::newRow("end: the plain slider stops at its maximum") << 1.0 << 100.0 << 99;
}

void tst_PlayBtnWidget::setProcessValue()
{
    QFETCH(double, fraction);
    QFETCH(double, shown);
    QFETCH(int, mirrored);
    SignalLog log(m_bar.get());
    m_bar->setProcessValue(fraction);
    QCOMPARE(child<QZRSliderEx>("m_videoProSlider")->value(), shown);
    QCOMPARE(child<QSlider>("m_videoProSlider_2")->value(), mirrored);
    QCOMPARE(log.fired(), QStringList());
}

void tst_PlayBtnWidget::pressAndRelease_data()
{
    QTest::addColumn<bool>("pulling");
    QTest::newRow("pulling off") << false;
    QTest::newRow("pulling on") << true;
}

void tst_PlayBtnWidget::pressAndRelease()
{
    QFETCH(bool, pulling);
    m_bar->setProcessEnabledChange(pulling);
    m_bar->setProcessValue(0.2);
    auto *progress = child<QZRSliderEx>("m_videoProSlider");
    const int length = progress->width() - 14;
    const QPoint at(7 + length * 8 / 10, progress->height() / 2);

    SignalLog log(m_bar.get());
    QTest::mousePress(progress, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(log.spy("emitSliderPress()").count(), 1);
    QTest::mouseRelease(progress, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(log.spy("emitSliderRelease()").count(), 1);
    if (!pulling) {
        QCOMPARE(progress->value(), 20.0);
        QCOMPARE(log.fired(), QStringList({"emitSliderPress() x1", "emitSliderRelease() x1"}));
        return;
    }
    QCOMPARE(log.fired(),
             QStringList({"sendProgressValue(double) x1", "emitSliderPress() x1", "emitSliderRelease() x1"}));
    const double sent = log.spy("sendProgressValue(double)").first().at(0).toDouble();
    QVERIFY2(qAbs(sent - 0.8) < 0.01, qPrintable(QString::number(sent)));
    QCOMPARE(progress->value(), sent * 100.0);
}

void tst_PlayBtnWidget::volumeDrag()
{
    m_bar->setVolume(40.0);
    auto *volume = child<QZRBaseSlider>("m_volumeSlider");
    QCOMPARE(volume->value(), 40.0);
    SignalLog log(m_bar.get());
    QTest::mousePress(volume, Qt::LeftButton, Qt::NoModifier, QPoint(volume->width() - volume->getRBOffset(), 5));
    QCOMPARE(log.spy("sendVolumeValue(double)").count(), 1);
    QCOMPARE(log.spy("sendVolumeValue(double)").first().at(0).toDouble(), 1.0);
    // The volume slider is no progress slider: no seek signals.
    QCOMPARE(log.spy("emitSliderPress()").count(), 0);
}

void tst_PlayBtnWidget::displaySlots_data()
{
    QTest::addColumn<QString>("operation");
    // Which of play, pause, volume, mute, full screen and restore show afterwards.
    QTest::addColumn<QString>("shown");
    QTest::newRow("after construction") << "" << "play volume full";
    QTest::newRow("begin play") << "VideoBeginPlay(true)" << "pause volume full";
    QTest::newRow("begin play, no argument") << "VideoBeginPlay()" << "pause volume full";
    QTest::newRow("paused") << "VideoBeginPlay(false)" << "play volume full";
    QTest::newRow("finished") << "VideoFinished()" << "play volume full";
    QTest::newRow("stopped") << "OnBtnStop()" << "play volume full";
    QTest::newRow("muted") << "setMute(true)" << "pause mute full";
    QTest::newRow("full screen") << "setFullScreen(true)" << "pause volume normal";
    QTest::newRow("full-screen toggle") << "OnBtnFullScreen()" << "pause volume normal";
    QTest::newRow("toggle with the screen buttons off") << "setBtnScreenEnable(false) OnBtnFullScreen()"
                                                      << "pause volume full";
    QTest::newRow("about hidden") << "setHiddenAbout(true)" << "play volume full";
}

void tst_PlayBtnWidget::displaySlots()
{
    QFETCH(QString, operation);
    QFETCH(QString, shown);
    const QMap<QString, std::function<void()>> operations{
        {"VideoBeginPlay(true)", [this] { m_bar->VideoBeginPlay(true); }},
        {"VideoBeginPlay()", [this] { m_bar->VideoBeginPlay(); }},
        {"VideoBeginPlay(false)", [this] { m_bar->VideoBeginPlay(false); }},
        {"VideoFinished()", [this] { m_bar->VideoFinished(); }},
        {"OnBtnStop()", [this] { m_bar->OnBtnStop(); }},
        {"setMute(true)", [this] { m_bar->setMute(true); }},
        {"setFullScreen(true)", [this] { m_bar->setFullScreen(true); }},
        {"OnBtnFullScreen()", [this] { m_bar->OnBtnFullScreen(); }},
        {"setBtnScreenEnable(false)", [this] { m_bar->setBtnScreenEnable(false); }},
        {"setHiddenAbout(true)", [this] { m_bar->setHiddenAbout(true); }},
    };
    // Every row but the first starts from a playing bar.
    if (!operation.isEmpty())
        m_bar->VideoBeginPlay(true);
    SignalLog log(m_bar.get());
    for (const QString &step : operation.split(' ', Qt::SkipEmptyParts))
        operations.value(step)();
    const std::pair<const char *, const char *> members[] = {
        {"play", "m_btnPlay"}, {"pause", "m_btnPause"},     {"volume", "m_btnVolume"},
        {"mute", "m_btnMute"}, {"full", "m_btnFullScreen"}, {"normal", "m_btnNormalScreen"}};
    QStringList visible;
    for (const auto &[name, member] : members)
        if (button(member)->isVisible())
            visible << name;
    QCOMPARE(visible.join(' '), shown);
    QCOMPARE(log.fired(), operation == "OnBtnStop()" ? QStringList{"emitBtnStop() x1"} : QStringList());
}

void tst_PlayBtnWidget::scaleButtons()
{
    QZRButtonExt *scale = button("m_btnScale");
    QZRButtonExt *wh = button("m_btnWHSize");
    QVERIFY(scale->isCheckable() && wh->isCheckable());
    m_bar->setScaleShow(true);
    QVERIFY(scale->isVisible() && wh->isVisible());

    SignalLog log(m_bar.get());
    QSignalSpy &keep = log.spy("emitKeepVideoScale(bool)");
    click(scale);
    QCOMPARE(keep.count(), 1);
    QCOMPARE(keep.takeFirst().at(0).toBool(), true);
    QVERIFY(scale->isChecked() && !scale->isEnabled());
    QVERIFY(!wh->isChecked() && wh->isEnabled());
    click(wh);
    QCOMPARE(keep.count(), 1);
    QCOMPARE(keep.takeFirst().at(0).toBool(), false);
    QVERIFY(!scale->isChecked() && scale->isEnabled());
    QVERIFY(wh->isChecked() && !wh->isEnabled());

    m_bar->setKeepVideoScale(true);
    QVERIFY(scale->isChecked() && !scale->isEnabled() && !wh->isChecked() && wh->isEnabled());
    QCOMPARE(keep.count(), 0);
    m_bar->setScaleShow(false);
    QVERIFY(scale->isHidden() && wh->isHidden());

    m_bar->setBtnEnable(false, true);
    QVERIFY(!button("m_btnPreVideo")->isEnabled());
    QVERIFY(button("m_btnNextVideo")->isEnabled());
}

void tst_PlayBtnWidget::timeTexts()
{
    auto *start = child<QLabel>("m_lblStartTime");
    auto *end = child<QLabel>("m_lblEndTime");
    QCOMPARE(start->text(), QString("00:00:00"));
    QCOMPARE(end->text(), QString("00:00:00"));
    QCOMPARE(start->font().family(), QString("Tahoma"));
    QCOMPARE(start->font().pixelSize(), 11);
    QCOMPARE(start->palette().color(QPalette::WindowText), QColor(255, 255, 255));

    // A longer text resizes its label at once; the slider follows at the next resize.
    const int narrow = end->width();
    m_bar->setEndTime("123:45:06");
    QCOMPARE(end->text(), QString("123:45:06"));
    QVERIFY(end->width() > narrow);
    m_bar->setStartTime("00:01:02");
    QCOMPARE(start->text(), QString("00:01:02"));
    m_bar->resize(801, 60);
    QCOMPARE(child("m_videoProSlider")->width(), 801 - 30 - end->width() - start->width());

    m_bar->setTimeLabel("01:00:00 / 02:00:00");
    QCOMPARE(child<QLabel>("m_timeLabel")->text(), QString("01:00:00 / 02:00:00"));
    QVERIFY(child("m_timeLabel")->isHidden());
}

void tst_PlayBtnWidget::mouseRelays()
{
    QSignalSpy enter(m_bar.get(), &PlayBtnWidget::emitEnterEvent);
    QSignalSpy leave(m_bar.get(), &PlayBtnWidget::emitLeaveEvent);
    QSignalSpy moves(m_bar.get(), &PlayBtnWidget::emitMouseMoveEvent);
    QEnterEvent in(QPointF(5, 5), QPointF(5, 5), m_bar->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(m_bar.get(), &in);
    QCOMPARE(enter.count(), 1);
    QTest::mouseMove(m_bar.get(), QPoint(6, 5));
    QTRY_VERIFY(moves.count() >= 1);
    QEvent out(QEvent::Leave);
    QApplication::sendEvent(m_bar.get(), &out);
    QCOMPARE(leave.count(), 1);
}

void tst_PlayBtnWidget::escapeLeavesTheBarOpen()
{
    QSignalSpy rejected(m_bar.get(), &QDialog::rejected);
    QTest::keyClick(m_bar.get(), Qt::Key_Escape);
    QTest::keyClick(button("m_btnPlay"), Qt::Key_Escape);
    QVERIFY(m_bar->isVisible());
    QCOMPARE(rejected.count(), 0);
    // Other keys pass.
    QTest::keyClick(m_bar.get(), Qt::Key_A);
    QVERIFY(m_bar->isVisible());
}

void tst_PlayBtnWidget::menu()
{
    m_bar->OnBtnSnapSetting();
    QMenu *popup = m_bar->findChild<QMenu *>();
    QVERIFY(popup);
    QTRY_VERIFY(popup->isVisible());
    QStringList texts;
    for (QAction *action : popup->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"Open Floder", "Settings"}));
    SignalLog log(m_bar.get());
    popup->actions().first()->trigger();
    popup->actions().last()->trigger();
    QCOMPARE(log.fired(), QStringList());
    popup->hide();
}

QTEST_MAIN(tst_PlayBtnWidget)
#include "tst_playbtnwidget.moc"
