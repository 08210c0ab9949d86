// List item bases: the click rules with exact modifiers, hover and selection looks, the
// horizontal cover list with its single selection, and rubber-band selection with auto-scroll.
#include "toolkit/qbaseitem.h"
#include "toolkit/qhorizontalbaseitem.h"
#include "toolkit/qhorizontallistfrom.h"
#include "toolkit/qhorizontallistitem.h"
#include "toolkit/qscrollareaframeselection.h"
#include "toolkit/qzrwidget.h"

#include "controlimages.h"

#include <QLabel>
#include <QScrollBar>
#include <QtTest>

using namespace ControlImages;

namespace {

// Records the signals of an item, in order, as short names.
template <class Item>
QStringList *record(Item *item)
{
    auto *log = new QStringList;
    QObject::connect(item, &Item::emitMousePress, [log] { *log << "press"; });
    QObject::connect(item, &Item::emitMouseCtrlPress, [log] { *log << "ctrl"; });
    QObject::connect(item, &Item::emitMouseShiftPress, [log] { *log << "shift"; });
    QObject::connect(item, &Item::emitShowTreeMenu, [log] { *log << "menu"; });
    return log;
}

void send(QWidget *widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}

}

class tst_QBaseItem : public QObject
{
    Q_OBJECT

private slots:
    void clickRules_data();
    void clickRules();
    void hoverAndLooks();
    void releaseAndDoubleClick();
    void coverItem();
    void listSelection();
    void listClearForgetsCurrent();
    void rubberBand();

private:
    template <class Item>
    void checkClick(int state, int button, int modifiers, int expectedState, const QString &signalsOut);
};

void tst_QBaseItem::clickRules_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("expectedState");
    QTest::addColumn<QString>("signalsOut");

    const int left = Qt::LeftButton, right = Qt::RightButton;
    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    QTest::newRow("plain click") << 0 << left << none << 2 << "press";
    QTest::newRow("plain click on selected") << 2 << left << none << 2 << "press";
    QTest::newRow("shift click keeps state") << 0 << left << shift << 0 << "shift";
    QTest::newRow("ctrl click selects") << 0 << left << ctrl << 2 << "ctrl";
    QTest::newRow("ctrl click on selected deselects") << 2 << left << ctrl << 0 << "ctrl";
    QTest::newRow("shift and ctrl is a plain click") << 0 << left << (shift | ctrl) << 2 << "press";
    QTest::newRow("alt click is a plain click") << 1 << left << int(Qt::AltModifier) << 2 << "press";
    QTest::newRow("right click selects, then menu") << 0 << right << none << 2 << "press,menu";
    QTest::newRow("right click on selected: menu only") << 2 << right << none << 2 << "menu";
    QTest::newRow("shift right click") << 1 << right << shift << 2 << "press,menu";
    QTest::newRow("ctrl right click on selected") << 2 << right << ctrl << 2 << "menu";
    QTest::newRow("middle button does nothing") << 0 << int(Qt::MiddleButton) << none << 0 << "";
}

template <class Item>
void tst_QBaseItem::checkClick(int state, int button, int modifiers, int expectedState, const QString &signalsOut)
{
    Item item;
    item.resize(100, 20);
    item.setMouseState(state);
    QScopedPointer<QStringList> log(record(&item));
    QTest::mousePress(&item, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers), QPoint(10, 10));
    QCOMPARE(item.getMouseState(), expectedState);
    QCOMPARE(log->join(","), signalsOut);
}

void tst_QBaseItem::clickRules()
{
    QFETCH(int, state);
    QFETCH(int, button);
    QFETCH(int, modifiers);
    QFETCH(int, expectedState);
    QFETCH(QString, signalsOut);

    checkClick<QBaseItem>(state, button, modifiers, expectedState, signalsOut);
    checkClick<QHorizontalBaseItem>(state, button, modifiers, expectedState, signalsOut);
    checkClick<QHorizontalListItem>(state, button, modifiers, expectedState, signalsOut);
}

// A selected row shows hover when the pointer enters it; a selected horizontal item stays
// selected and is the only one filled with its selected colour.
void tst_QBaseItem::hoverAndLooks()
{
    const QColor normal(10, 10, 10), over(20, 20, 20), tracking(30, 30, 30), disabled(40, 40, 40);
    QWidget behind;
    behind.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(200, 0, 0));
    behind.setPalette(palette);
    behind.resize(100, 40);
    QBaseItem row(&behind);
    QHorizontalBaseItem cell(&behind);
    cell.move(0, 20);
    for (QWidget *w : {static_cast<QWidget *>(&row), static_cast<QWidget *>(&cell)})
        w->resize(100, 20);
    row.setBackgroundColor(normal, over, tracking, disabled);
    cell.setBackgroundColor(normal, over, tracking, disabled);

    const auto colourAt = [&](QPoint p) { return behind.grab().toImage().pixelColor(p); };
    QCOMPARE(colourAt(QPoint(50, 10)), normal);
    send(&row, QEvent::Enter);
    send(&cell, QEvent::Enter);
    QCOMPARE(colourAt(QPoint(50, 10)), over);
    QCOMPARE(colourAt(QPoint(50, 30)), over);
    send(&row, QEvent::Leave);
    send(&cell, QEvent::Leave);
    QCOMPARE(row.getMouseState(), 0);
    QCOMPARE(cell.getMouseState(), 0);

    row.setMouseState(2);
    cell.setMouseState(2);
    QCOMPARE(colourAt(QPoint(50, 10)), QColor(200, 0, 0));
    QCOMPARE(colourAt(QPoint(50, 30)), tracking);
    send(&row, QEvent::Enter);
    send(&cell, QEvent::Enter);
    QCOMPARE(row.getMouseState(), 1);
    QCOMPARE(cell.getMouseState(), 2);

    row.setMouseState(3);
    cell.setMouseState(3);
    QCOMPARE(colourAt(QPoint(50, 10)), disabled);
    send(&cell, QEvent::Enter);
    QCOMPARE(cell.getMouseState(), 1);
}

void tst_QBaseItem::releaseAndDoubleClick()
{
    QBaseItem row;
    QSignalSpy released(&row, &QBaseItem::emitMouseRelease);
    QSignalSpy doubleClicked(&row, &QBaseItem::emitMouseDoubleClick);
    QTest::mouseClick(&row, Qt::LeftButton);
    QCOMPARE(released.count(), 1);
    QCOMPARE(doubleClicked.count(), 0);
    QTest::mouseDClick(&row, Qt::LeftButton);
    QCOMPARE(doubleClicked.count(), 1);
}

// The state frame comes from a four-frame strip; the cover and picture are one frame less 10.
void tst_QBaseItem::coverItem()
{
    QTemporaryDir dir;
    QHorizontalListItem item;
    QCOMPARE(item.width(), 72);
    QZRWidget *cover = item.findChild<QZRWidget *>("m_wdgCoverImage");
    QZRWidget *picture = item.findChild<QZRWidget *>("m_wdgImage");
    QLabel *title = item.findChild<QLabel *>("m_lblTitle");
    QVERIFY(cover && picture && title);
    QCOMPARE(title->font().pixelSize(), 11);

    item.setCoverImage(save(dir, "frame.png", frames(QSize(120, 120), {0xff808080, 0xffc0c0c0, 0xffff0000, 0xff404040})));
    QCOMPARE(cover->size(), QSize(50, 50));
    QCOMPARE(picture->size(), QSize(50, 50));
    QCOMPARE(title->width(), 52);

    const QString longTitle = "A rather long preset name";
    item.setItem(save(dir, "picture.png", frames(QSize(40, 40), {0xff00ff00})), longTitle);
    QCOMPARE(item.title(), longTitle);
    QCOMPARE(title->toolTip(), longTitle);
    QVERIFY(title->text() != longTitle);
    QVERIFY(title->text().endsWith(QChar(0x2026)));
    item.resize(72, 90);
    item.show();
    QVERIFY(QTest::qWaitForWindowExposed(&item));
    QCOMPARE(cover->pos(), QPoint(11, (90 - 2 - 50 - title->height()) / 2));
    QCOMPARE(picture->pos(), cover->pos());
    QCOMPARE(title->pos(), QPoint(10, cover->geometry().bottom() + 6));

    // The same frame again keeps the size; a missing frame file leaves the item as it was.
    item.setCoverImage(dir.filePath("frame.png"));
    QCOMPARE(cover->size(), QSize(50, 50));
    item.setCoverImage(dir.filePath("absent.png"));
    QCOMPARE(cover->size(), QSize(50, 50));
}

void tst_QBaseItem::listSelection()
{
    QHorizontalListFrom list;
    list.resize(400, 120);
    for (const char *name : {"Rock", "Pop", "Jazz"})
        list.addListItem(QString(), name);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QList<QHorizontalListItem *> items = list.items();
    QCOMPARE(items.size(), 3);
    QCOMPARE(list.getCurrentIndex(), -1);

    QSignalSpy changed(&list, &QHorizontalListFrom::currentIndexChanged);
    QTest::mouseClick(items[1], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 1);
    QCOMPARE(list.getCurrentIndex(), 1);
    QTest::mouseClick(items[1], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(changed.count(), 1);
    QTest::mouseClick(items[2], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toInt(), 2);
    QCOMPARE(items[1]->getMouseState(), 0);
    QCOMPARE(items[2]->getMouseState(), 2);

    list.setCurrentIndex(0);
    QCOMPARE(list.getCurrentIndex(), 0);
    QCOMPARE(items[0]->getMouseState(), 2);
    QCOMPARE(items[2]->getMouseState(), 0);
    list.setCurrentIndex(3);
    list.setCurrentIndex(-1);
    QCOMPARE(list.getCurrentIndex(), 0);
    QCOMPARE(changed.count(), 2);

    list.clearSelectState();
    QCOMPARE(list.getCurrentIndex(), -1);
    QCOMPARE(items[0]->getMouseState(), 0);
}

void tst_QBaseItem::listClearForgetsCurrent()
{
    QHorizontalListFrom list;
    list.addListItem(QString(), "One");
    list.addListItem(QString(), "Two");
    list.setCurrentIndex(1);
    list.clear();
    QVERIFY(list.items().isEmpty());
    QCOMPARE(list.getCurrentIndex(), -1);

    list.addListItem(QString(), "Again");
    QSignalSpy changed(&list, &QHorizontalListFrom::currentIndexChanged);
    QTest::mouseClick(list.items().at(0), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(list.getCurrentIndex(), 0);
}

// Near the top edge the area scrolls up by 20 every 100 ms; in the middle it stops. End points
// are reported in content coordinates and held inside the area.
void tst_QBaseItem::rubberBand()
{
    QScrollAreaFrameSelection area;
    area.setFrameStyle(0);
    area.resize(200, 200);
    QWidget *content = new QWidget;
    content->setFixedSize(180, 1000);
    area.setWidget(content);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QScrollBar *bar = area.verticalScrollBar();
    QVERIFY(bar->isVisible());
    bar->setValue(400);

    QSignalSpy points(&area, &QScrollAreaFrameSelection::emitSelectPtChange);
    QWidget *viewport = area.viewport();
    QCursor::setPos(area.mapToGlobal(QPoint(50, 100)));
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(50, 100));
    QVERIFY(area.isSelecting());
    QCOMPARE(points.count(), 1);
    QCOMPARE(points.at(0).at(0).toPoint(), QPoint(50, 500));
    QCOMPARE(points.at(0).at(1).toPoint(), QPoint(50, 500));

    move(viewport, QPoint(60, 10));
    QCOMPARE(points.last().at(1).toPoint(), QPoint(60, 410));
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() <= 340, 10000);
    QCOMPARE(bar->value() % 20, 0);
    QCOMPARE(points.last().at(0).toPoint(), QPoint(50, 500));
    QCOMPARE(points.last().at(1).toPoint(), QPoint(60, bar->value() + 10));

    move(viewport, QPoint(60, 100));
    const int stopped = bar->value();
    QTest::qWait(400);
    QCOMPARE(bar->value(), stopped);

    // Below the area: held at its height, and scrolling down.
    move(viewport, QPoint(70, 260));
    QCOMPARE(points.last().at(1).toPoint(), QPoint(70, stopped + 200));
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= stopped + 40, 10000);

    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(70, 260));
    QVERIFY(!area.isSelecting());
    const int released = bar->value();
    QTest::qWait(300);
    QCOMPARE(bar->value(), released);
}

QTEST_MAIN(tst_QBaseItem)
#include "tst_qbaseitem.moc"
