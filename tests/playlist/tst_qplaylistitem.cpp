// The playlist row: duration texts, the elided name with its path tip, state colours, and hovering
// with the real cursor under the main window's and player window's flags.
#include "player/qmediaplaywindowflags.h"
#include "playlist/qplaylistitem.h"
#include "services/urlcatcher.h"
#include "shell/newmainwindowflags.h"
#include "storedlist.h"
#include "toolkit/qzrbasebutton.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

namespace {

// A loaded machine may take minutes for what usually takes a moment.
const int Long = 180000;
const unsigned long long Second = 1000000;
const QPoint Away(5, 5);

QLabel *label(QPlayListItem *row, const char *name)
{
    return row->findChild<QLabel *>(name);
}

QZRBaseButton *button(QPlayListItem *row, const char *name)
{
    return row->findChild<QZRBaseButton *>(name);
}

bool buttonsShown(QPlayListItem *row)
{
    return button(row, "m_btnDelete")->isVisible() && button(row, "m_btnFile")->isVisible()
        && !label(row, "m_lblTime")->isVisible();
}

bool buttonsHidden(QPlayListItem *row)
{
    return !button(row, "m_btnDelete")->isVisible() && !button(row, "m_btnFile")->isVisible()
        && label(row, "m_lblTime")->isVisible();
}

// Waits for ticks of the row's own hover timer, so it has looked at the cursor since.
bool ticks(QPlayListItem *row, int count)
{
    QSignalSpy timeouts(row->findChild<QTimer *>(), &QTimer::timeout);
    while (timeouts.count() < count)
        if (!timeouts.wait(120000))
            return false;
    return true;
}

bool twoTicks(QPlayListItem *row)
{
    return ticks(row, 2);
}

// Keeps Qt's own tool tips away, so every tip on screen is one a row showed itself.
class NativeTipFilter : public QObject
{
public:
    NativeTipFilter() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::ToolTip; }
};

QColor textColour(QLabel *label, QPalette::ColorGroup group)
{
    return label->palette().color(group, QPalette::WindowText);
}

}

class tst_QPlayListItem : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void countStringTime_data();
    void countStringTime();
    void labelsShowTheRecord();
    void stateColours_data();
    void stateColours();
    void hoverFollowsTheFlags_data();
    void hoverFollowsTheFlags();
    void selectedRowStaysSelected();
    void pathTipBelongsToItsRow();
    void hiddenRowsRest();
    void openFolderRevealsTheFile();

private:
    // A window with two rows, 40 pixels apart, shown; the cursor waits far away.
    void showRows();

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    QPlayListItem *m_rows[2] = {};
    PlayItemInfo m_items[2];
};

void tst_QPlayListItem::init()
{
    NewMainWindowFlags::m_bMouseInMainWindow = true;
    NewMainWindowFlags::m_bFullscreen = false;
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
    QCursor::setPos(Away);
    m_window.reset();
}

void tst_QPlayListItem::showRows()
{
    m_window.reset(new QWidget);
    m_window->setGeometry(100, 100, 321, 100);
    m_items[0] = makeItem(m_dir.filePath("first clip.mp4"), 90 * Second);
    m_items[1] = makeItem(m_dir.filePath("second clip.mp4"), 3723 * Second);
    for (int i = 0; i < 2; ++i) {
        m_rows[i] = new QPlayListItem(m_window.get());
        m_rows[i]->setGeometry(0, 40 * i, 321, 30);
        m_rows[i]->setItemInfo(&m_items[i]);
    }
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get(), Long));
}

void tst_QPlayListItem::countStringTime_data()
{
    QTest::addColumn<unsigned long long>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0ull << "00:00:00";
    QTest::newRow("59 s") << 59 * Second << "00:00:59";
    QTest::newRow("just below a minute") << 60 * Second - 1 << "00:00:59";
    QTest::newRow("1 h 2 min 3 s") << 3723000000ull << "01:02:03";
    QTest::newRow("10 h") << 36000 * Second << "10:00:00";
    QTest::newRow("100 h") << 360000 * Second << "100:00:00";
}

void tst_QPlayListItem::countStringTime()
{
    QFETCH(unsigned long long, time);
    QFETCH(QString, text);
    QCOMPARE(QPlayListItem::countStringTime(time), text);
}

// A long name is cut at the label's width with the label's own font; the tip is the whole path.
void tst_QPlayListItem::labelsShowTheRecord()
{
    QPlayListItem row;
    QCOMPARE(row.height(), 30);
    QCOMPARE(row.minimumHeight(), 30);
    QCOMPARE(row.maximumHeight(), 30);

    const QString name = "A rather long name of a holiday film that no row could ever show whole.mkv";
    PlayItemInfo item = makeItem(m_dir.filePath(name), 3723 * Second);
    row.setItemInfo(&item);
    QLabel *fileName = label(&row, "m_lblFileName");
    const QString elided = QFontMetrics(fileName->font()).elidedText(name, Qt::ElideRight, fileName->width());
    QCOMPARE(fileName->text(), elided);
    QVERIFY(elided.endsWith(QChar(0x2026)));
    QCOMPARE(fileName->font().family(), QString("Tahoma"));
    QCOMPARE(fileName->font().pixelSize(), 12);
    QCOMPARE(fileName->toolTip(), item.path);
    QCOMPARE(label(&row, "m_lblTime")->text(), QString("01:02:03"));
    QCOMPARE(row.getPlayItemInfo(), &item);
    QCOMPARE(row.getFileDir(), m_dir.path());
    QCOMPARE(row.getFileName(), name);

    // The host's duration reaches the row on refresh.
    item.Duration_ = 59 * Second;
    row.updateItemInfo();
    QCOMPARE(label(&row, "m_lblTime")->text(), QString("00:00:59"));

    PlayItemInfo shortItem = makeItem(m_dir.filePath("a.mp4"));
    row.setItemInfo(&shortItem);
    QCOMPARE(fileName->text(), QString("a.mp4"));
    QCOMPARE(label(&row, "m_lblTime")->text(), QString("00:00:00"));
}

void tst_QPlayListItem::stateColours_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QColor>("colour");
    const QColor marked(255, 31, 125);
    QTest::newRow("normal") << 0 << QColor(Qt::white);
    QTest::newRow("playing") << 1 << marked;
    QTest::newRow("paused") << 2 << marked;
    QTest::newRow("finished") << 3 << marked;
    QTest::newRow("unknown") << 7 << QColor(Qt::white);
}

void tst_QPlayListItem::stateColours()
{
    QFETCH(int, state);
    QFETCH(QColor, colour);
    QPlayListItem row;
    PlayItemInfo item = makeItem(m_dir.filePath("a.mp4"));
    row.setItemInfo(&item);
    row.setItemState(PlayListItemState(1));
    row.setItemState(PlayListItemState(state));
    QCOMPARE(int(row.getItemState()), state);
    for (const char *name : {"m_lblFileName", "m_lblTime"})
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QCOMPARE(textColour(label(&row, name), group), colour);
}

void tst_QPlayListItem::hoverFollowsTheFlags_data()
{
    QTest::addColumn<bool>("mouseInMainWindow");
    QTest::addColumn<bool>("fullscreen");
    QTest::addColumn<bool>("menuShown");
    QTest::addColumn<bool>("hovers");
    QTest::newRow("main window has the mouse") << true << false << false << true;
    QTest::newRow("mouse outside the main window") << false << false << false << false;
    QTest::newRow("full screen") << true << true << false << false;
    QTest::newRow("a menu is up") << true << false << true << false;
}

void tst_QPlayListItem::hoverFollowsTheFlags()
{
    QFETCH(bool, mouseInMainWindow);
    QFETCH(bool, fullscreen);
    QFETCH(bool, menuShown);
    QFETCH(bool, hovers);
    showRows();
    QPlayListItem *row = m_rows[1];
    QVERIFY(buttonsHidden(row));
    NewMainWindowFlags::m_bMouseInMainWindow = mouseInMainWindow;
    NewMainWindowFlags::m_bFullscreen = fullscreen;
    QMediaPlayWindowFlags::m_bWindowShowTop = menuShown;

    QCursor::setPos(row->mapToGlobal(QPoint(280, 15)));
    if (hovers) {
        QTRY_VERIFY_WITH_TIMEOUT(buttonsShown(row), Long);
        QCOMPARE(row->getMouseState(), int(QBaseItem::Hover));
    } else {
        QVERIFY(twoTicks(row));
        QVERIFY(buttonsHidden(row));
        QCOMPARE(row->getMouseState(), int(QBaseItem::Normal));
        // Entering still shows them, until the next tick finds hovering does not count.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(row, &enter);
        QVERIFY(buttonsShown(row));
        QCOMPARE(row->getMouseState(), int(QBaseItem::Hover));
        QVERIFY(twoTicks(row));
        QVERIFY(buttonsHidden(row));
        QCOMPARE(row->getMouseState(), int(QBaseItem::Normal));
    }
    QVERIFY(buttonsHidden(m_rows[0]));

    QCursor::setPos(Away);
    QTRY_VERIFY_WITH_TIMEOUT(buttonsHidden(row), Long);
    QCOMPARE(row->getMouseState(), int(QBaseItem::Normal));
}

void tst_QPlayListItem::selectedRowStaysSelected()
{
    showRows();
    QPlayListItem *row = m_rows[0];
    QTest::mouseClick(row, Qt::LeftButton, Qt::NoModifier, QPoint(150, 15));
    QCOMPARE(row->getMouseState(), int(QBaseItem::Selected));
    QCursor::setPos(Away);
    QVERIFY(twoTicks(row));

    QCursor::setPos(row->mapToGlobal(QPoint(280, 15)));
    QTRY_VERIFY_WITH_TIMEOUT(buttonsShown(row), Long);
    QCOMPARE(row->getMouseState(), int(QBaseItem::Selected));
    QCursor::setPos(Away);
    QTRY_VERIFY_WITH_TIMEOUT(buttonsHidden(row), Long);
    QCOMPARE(row->getMouseState(), int(QBaseItem::Selected));

    // The selection shows: the row is filled with the selection colour, a normal row is not.
    const QImage picture = m_window->grab().toImage();
    const qreal ratio = picture.devicePixelRatio();
    QCOMPARE(picture.pixelColor(QPoint(5, 5) * ratio), QColor(60, 60, 60));
    QCOMPARE(picture.pixelColor(QPoint(5, 45) * ratio), QColor(35, 35, 35));
}

// The tip over a row's name stays while another row's timer runs (longer than a tip takes to
// fade); it goes with the cursor.
void tst_QPlayListItem::pathTipBelongsToItsRow()
{
    NativeTipFilter noNativeTips;
    showRows();
    // From the lower row to the upper one: the row left behind ticks after the new one.
    for (int shown : {1, 0}) {
        QCursor::setPos(m_rows[shown]->mapToGlobal(QPoint(30, 15)));
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible() && QToolTip::text() == m_items[shown].path, Long);
        QVERIFY(ticks(m_rows[1 - shown], 8));
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), m_items[shown].path);
    }
    QCursor::setPos(Away);
    QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), Long);
}

// A row off screen wakes nothing; shown again, it follows the cursor as before.
void tst_QPlayListItem::hiddenRowsRest()
{
    showRows();
    QTimer *hoverTimer = m_rows[1]->findChild<QTimer *>();
    QVERIFY(hoverTimer->isActive());
    m_window->hide();
    QVERIFY(!hoverTimer->isActive());
    QVERIFY(!m_rows[0]->findChild<QTimer *>()->isActive());

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get(), Long));
    QCursor::setPos(m_rows[1]->mapToGlobal(QPoint(280, 15)));
    QTRY_VERIFY_WITH_TIMEOUT(buttonsShown(m_rows[1]), Long);
}

void tst_QPlayListItem::openFolderRevealsTheFile()
{
    UrlCatcher catcher;
    showRows();
    QPlayListItem *row = m_rows[0];
    QCursor::setPos(row->mapToGlobal(QPoint(280, 15)));
    QTRY_VERIFY_WITH_TIMEOUT(buttonsShown(row), Long);
    QSignalSpy deleted(row, &QPlayListItem::emitDelete);
    QTest::mouseClick(button(row, "m_btnFile"), Qt::LeftButton);
    QCOMPARE(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(m_dir.path())}));
    QCOMPARE(deleted.count(), 0);
    QTest::mouseClick(button(row, "m_btnDelete"), Qt::LeftButton);
    QCOMPARE(deleted.count(), 1);
}

QTEST_MAIN(tst_QPlayListItem)
#include "tst_qplaylistitem.moc"
