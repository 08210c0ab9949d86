// The main window with nothing moving on it: idle, paused on a video and paused on a sound, once the
// pointer rests away from it, no timer of the window runs and nothing of it repaints; the controls
// come back when the pointer moves over it again.
#include "engine/playmetatypes.h"
#include "engine/zrqplayobject.h"
#include "player/playbtnwidget.h"
#include "player/qmediaplaywindow.h"
#include "shell/newmainwindow.h"

#include <QApplication>
#include <QCursor>
#include <QPropertyAnimation>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class tst_QuietWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nothingMovesNothingRuns_data();
    void nothingMovesNothingRuns();
    void pointerBringsTheControlsBack();
    void levelsOnlyWhileThePaneShows();

private:
    QTemporaryDir m_media;
};

namespace {

const int Long = 180000;
// The controls hide after about three seconds of rest; a window that never comes to rest fails here.
const int Rest = 60000;

// Paint events of any widget inside the watched window, its floating controls included.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->window() == m_window || m_window->isAncestorOf(widget) || widget->parentWidget() == m_window)
                painted << widget->metaObject()->className();
        }
        return false;
    }
    QStringList painted;

private:
    QWidget *m_window;
};

QStringList activeTimers(const QObject *root)
{
    QStringList active;
    for (const QTimer *timer : root->findChildren<QTimer *>())
        if (timer->isActive())
            active << QString("%1 of %2 (%3 ms)")
                          .arg(timer->objectName(), timer->parent()->metaObject()->className())
                          .arg(timer->interval());
    return active;
}

// About a second of the event loop going round, measured by a timer of the test's own.
void letTheLoopRun()
{
    int ticks = 0;
    QTimer witness;
    QObject::connect(&witness, &QTimer::timeout, [&] { ++ticks; });
    witness.start(100);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 10, Long);
}

bool makeMedium(const QString &path, const QStringList &inputs)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", QStringList{"-nostdin", "-loglevel", "error", "-y"} + inputs + QStringList{path});
    return ffmpeg.waitForFinished(Long) && ffmpeg.exitCode() == 0;
}

}

void tst_QuietWindow::initTestCase()
{
    registerPlayMetaTypes();
    QVERIFY(m_media.isValid());
    QVERIFY(makeMedium(m_media.filePath("clip.mp4"),
                       {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=20", "-f", "lavfi", "-i",
                        "sine=frequency=440:duration=20", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac",
                        "-shortest"}));
    QVERIFY(makeMedium(m_media.filePath("tone.flac"),
                       {"-f", "lavfi", "-i", "anoisesrc=color=pink:amplitude=0.3:duration=20", "-ac", "2"}));
}

void tst_QuietWindow::nothingMovesNothingRuns_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("idle") << QString();
    QTest::newRow("paused video") << "clip.mp4";
    QTest::newRow("paused sound") << "tone.flac";
}

void tst_QuietWindow::nothingMovesNothingRuns()
{
    QFETCH(QString, file);
    QCursor::setPos(0, 0);
    NewMainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, Long));
    QVERIFY(!window.geometry().contains(QCursor::pos()));
    auto *player = window.findChild<ZRQPlayObject *>();
    auto *playWindow = window.findChild<QMediaPlayWindow *>();
    QVERIFY(player && playWindow);
    if (!file.isEmpty()) {
        window.fileOpen(m_media.filePath(file));
        QTRY_VERIFY_WITH_TIMEOUT(player->isPlayer() && player->getCurrentPlayTime() > 0, Long);
        playWindow->setFocus();
        QTest::keyClick(playWindow, Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(player->isPause(), Long);
    }

    QTRY_VERIFY_WITH_TIMEOUT(window.findChildren<QPropertyAnimation *>().isEmpty(), Long);
    QTRY_COMPARE_WITH_TIMEOUT(activeTimers(&window), QStringList(), Rest);
    PaintCounter counter(&window);
    letTheLoopRun();
    QCOMPARE(counter.painted, QStringList());
    QCOMPARE(activeTimers(&window), QStringList());
}

void tst_QuietWindow::pointerBringsTheControlsBack()
{
    QCursor::setPos(0, 0);
    NewMainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, Long));
    window.activateWindow();
    auto *playWindow = window.findChild<QMediaPlayWindow *>();
    auto *bar = window.findChild<PlayBtnWidget *>();
    QVERIFY(playWindow && bar);
    QTRY_COMPARE_WITH_TIMEOUT(activeTimers(&window), QStringList(), Rest);
    QVERIFY(bar->isHidden());

    QCursor::setPos(playWindow->mapToGlobal(playWindow->rect().center()));
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), Long);
    // Left alone again, the bar hides and the timers rest.
    QTRY_VERIFY_WITH_TIMEOUT(bar->isHidden(), Long);
    QTRY_COMPARE_WITH_TIMEOUT(activeTimers(&window), QStringList(), Rest);
}

// A sound playing with the window out of sight makes no level blocks; back in sight, it does again.
void tst_QuietWindow::levelsOnlyWhileThePaneShows()
{
    QCursor::setPos(0, 0);
    NewMainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, Long));
    auto *player = window.findChild<ZRQPlayObject *>();
    QVERIFY(player);
    int blocks = 0;
    connect(player, &ZRQPlayObject::emitAudioData, this, [&](unsigned char *data, int) { blocks += data != nullptr; });
    window.fileOpen(m_media.filePath("tone.flac"));
    QTRY_VERIFY_WITH_TIMEOUT(blocks >= 5, Long);

    window.hide();
    const int hiddenAt = blocks;
    letTheLoopRun();
    QCOMPARE(blocks, hiddenAt);
    QVERIFY(player->isPlayer());

    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(blocks >= hiddenAt + 5, Long);
}

QTEST_MAIN(tst_QuietWindow)
#include "tst_quietwindow.moc"
