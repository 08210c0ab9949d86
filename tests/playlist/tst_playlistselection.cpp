// Working with the rows of the playlist panel in a real X server: presses with and without
// modifiers, Control+A, double-click, the rubber band, and the context menus opened for real.
#include "player/qmediaplaywindowflags.h"
#include "playlist/qplaylistbtnwidget.h"
#include "playlist/qplaylistdlg.h"
#include "playlist/qplaylistitem.h"
#include "playlistlog.h"
#include "services/urlcatcher.h"
#include "storedlist.h"
#include "toolkit/qzrbasebutton.h"

#include <QApplication>
#include <QMenu>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList Names = {"a.mp4", "b.mp4", "c.mp4", "d.mp4"};

// "S" for a selected row, "N" for any other, in row order.
QString states(const QList<QPlayListItem *> &rows)
{
    QString text;
    for (QPlayListItem *row : rows)
        text += row->getMouseState() == QBaseItem::Selected ? 'S' : 'N';
    return text;
}

QMenu *openMenu()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

// The menu's entries as shown, "-" for a separator, "!" before a disabled entry.
QStringList entries(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << (action->isSeparator() ? QString("-") : (action->isEnabled() ? "" : "!") + action->text());
    return texts;
}

}

class tst_PlayListSelection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void presses_data();
    void presses();
    void controlADeletesOnlyTheLastPressedRow();
    void doubleClickAndRowRequests();
    void rubberBand_data();
    void rubberBand();
    void rowMenu_data();
    void rowMenu();
    void emptyPanelMenu();
    void menuActionsOnThePressedRow();

private:
    // Presses a row for real: "2" plain, "c2" with Control, "s2" with Shift, "r2" right.
    void press(const QString &step);
    void closeMenu();
    QString clickMenuEntry(const QString &text);

    QTemporaryDir m_dir;
    QPlayListDlg *m_panel = nullptr;
    PlayListLog *m_log = nullptr;
    QList<QPlayListItem *> m_rows;
};

void tst_PlayListSelection::init()
{
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
    m_panel = new QPlayListDlg;
    m_log = new PlayListLog(m_panel);
    for (const QString &name : Names) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        m_panel->addFileInfoToPlayList(makeItem(file.fileName(), 1000000));
    }
    m_panel->setGeometry(100, 100, 321, 625);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel));
    m_rows = m_panel->findChildren<QPlayListItem *>();
    QCOMPARE(m_rows.size(), Names.size());
    std::sort(m_rows.begin(), m_rows.end(), [](QPlayListItem *a, QPlayListItem *b) { return a->y() < b->y(); });
    QTRY_VERIFY(m_rows.last()->y() > m_rows.first()->y());
}

void tst_PlayListSelection::cleanup()
{
    closeMenu();
    delete m_log;
    delete m_panel;
    m_rows.clear();
}

void tst_PlayListSelection::press(const QString &step)
{
    Qt::MouseButton button = Qt::LeftButton;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    if (step.startsWith('c'))
        modifiers = Qt::ControlModifier;
    else if (step.startsWith('s'))
        modifiers = Qt::ShiftModifier;
    else if (step.startsWith('r'))
        button = Qt::RightButton;
    QPlayListItem *row = m_rows.at(step.right(1).toInt());
    QTest::mouseClick(row, button, modifiers, QPoint(40, 15));
    if (button == Qt::RightButton)
        closeMenu();
}

void tst_PlayListSelection::closeMenu()
{
    if (QMenu *menu = openMenu()) {
        menu->close();
        QTRY_VERIFY(!openMenu());
    }
}

// Clicks the entry of the open menu as the user would; the log's new entries.
QString tst_PlayListSelection::clickMenuEntry(const QString &text)
{
    QMenu *menu = openMenu();
    if (!menu)
        return "(no menu)";
    for (QAction *action : menu->actions()) {
        if (action->text() == text) {
            const int before = m_log->entries.size();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            if (!QTest::qWaitFor([] { return !openMenu(); }))
                return "(menu stays)";
            return m_log->entries.mid(before).join(' ');
        }
    }
    return "(no entry)";
}

// The anchor shows through a last Shift press on the fourth row; the last-pressed row through
// the bar's play request.
void tst_PlayListSelection::presses_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("lastPressed");
    QTest::addColumn<QString>("shiftToLast");

    QTest::newRow("plain press") << "1" << "NSNN" << "b.mp4" << "NSSS";
    QTest::newRow("plain press clears the others") << "c0 c2 1" << "NSNN" << "b.mp4" << "NSSS";
    QTest::newRow("control adds a row") << "0 c2" << "SNSN" << "c.mp4" << "NNSS";
    QTest::newRow("control takes a row back") << "0 c2 c2" << "SNNN" << "c.mp4" << "NNSS";
    QTest::newRow("shift without an anchor starts at the first row") << "s2" << "SSSN" << "c.mp4" << "SSSS";
    QTest::newRow("shift after a press") << "3 s1" << "NSSS" << "b.mp4" << "NNNS";
    QTest::newRow("shift keeps the anchor") << "1 s3 s0" << "SSNN" << "a.mp4" << "NSSS";
    QTest::newRow("right press on an unselected row") << "0 r2" << "NNSN" << "c.mp4" << "NNSS";
    QTest::newRow("right press on a selected row") << "0 c2 r0" << "SNSN" << "c.mp4" << "NNSS";
}

void tst_PlayListSelection::presses()
{
    QFETCH(QString, steps);
    QFETCH(QString, selected);
    QFETCH(QString, lastPressed);
    QFETCH(QString, shiftToLast);

    for (const QString &step : steps.split(' '))
        press(step);
    QCOMPARE(states(m_rows), selected);

    m_panel->findChild<QPlayListBtnWidget *>()->findChild<QZRBaseButton *>("m_btnPlay")->click();
    QCOMPARE(m_log->entries, QStringList({"play:" + lastPressed}));

    press("s3");
    QCOMPARE(states(m_rows), shiftToLast);
}

void tst_PlayListSelection::controlADeletesOnlyTheLastPressedRow()
{
    // The keys go where the window sends them: the scroll area, which takes focus on a click,
    // passes them on to the panel.
    m_panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_panel));
    press("1");
    press("c3");
    QTRY_VERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(states(m_rows), QString("SSSS"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(states(m_rows), QString("SSSS"));

    QTest::mouseClick(m_panel->findChild<QPlayListBtnWidget *>()->findChild<QZRBaseButton *>("m_btnDelete"),
                      Qt::LeftButton);
    QStringList left;
    for (const PlayItemInfo *item : *m_panel->getPlayItemInfoList())
        left << item->Filename;
    QCOMPARE(left, QStringList({"a.mp4", "b.mp4", "c.mp4"}));
}

void tst_PlayListSelection::doubleClickAndRowRequests()
{
    QTest::mouseDClick(m_rows.at(2), Qt::LeftButton, {}, QPoint(40, 15));
    QCOMPARE(m_log->entries, QStringList({"play:c.mp4"}));

    // The double-clicked row is the current one: its own play request resumes it.
    emit m_rows.at(2)->emitPlay();
    emit m_rows.at(0)->emitPlay();
    emit m_rows.at(0)->emitPause();
    QCOMPARE(m_log->entries, QStringList({"play:c.mp4", "resume", "play:a.mp4", "pause"}));

    // A row's own play request leaves the current row as it was.
    emit m_rows.at(2)->emitPlay();
    QCOMPARE(m_log->entries.last(), QString("resume"));
}

// Points are given as (row, offset from its top); row -1 is above the list, row 4 below it.
void tst_PlayListSelection::rubberBand_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("startOffset");
    QTest::addColumn<int>("endRow");
    QTest::addColumn<int>("endOffset");
    QTest::addColumn<QString>("selected");

    QTest::newRow("down over three rows") << 0 << 15 << 2 << 15 << "SSSN";
    QTest::newRow("up from the third row") << 2 << 15 << 1 << 15 << "NSSN";
    QTest::newRow("inside one row") << 3 << 5 << 3 << 20 << "NNNS";
    QTest::newRow("ending on a top edge") << -1 << 0 << 1 << 0 << "SNNN";
    QTest::newRow("below the rows") << 4 << 10 << 4 << 40 << "NNNN";
}

void tst_PlayListSelection::rubberBand()
{
    QFETCH(int, startRow);
    QFETCH(int, startOffset);
    QFETCH(int, endRow);
    QFETCH(int, endOffset);
    QFETCH(QString, selected);

    const auto y = [this](int row, int offset) {
        if (row < 0)
            return m_rows.first()->y() - 5 + offset;
        if (row >= m_rows.size())
            return m_rows.last()->geometry().bottom() + 5 + offset;
        return m_rows.at(row)->y() + offset;
    };
    press("c1");
    QVERIFY(QMetaObject::invokeMethod(m_panel, "selectPtChange", Q_ARG(QPoint, QPoint(30, y(startRow, startOffset))),
                                      Q_ARG(QPoint, QPoint(60, y(endRow, endOffset)))));
    QCOMPARE(states(m_rows), selected);
}

void tst_PlayListSelection::rowMenu_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("first");

    QTest::newRow("normal") << int(PlayListItemState_Normal) << "Play";
    QTest::newRow("playing") << int(PlayListItemState_Playing) << "Pause";
    QTest::newRow("paused") << int(PlayListItemState_Paused) << "Play";
    QTest::newRow("finished") << int(PlayListItemState_Finished) << "Play";
}

void tst_PlayListSelection::rowMenu()
{
    QFETCH(int, state);
    QFETCH(QString, first);

    m_panel->setSelectedPlayItem(m_rows.at(1)->getPlayItemInfo(), PlayListItemState(state));
    QTest::mouseClick(m_rows.at(1), Qt::RightButton, {}, QPoint(40, 15));
    QTRY_VERIFY(openMenu());
    QVERIFY(QMediaPlayWindowFlags::m_bWindowShowTop);
    QCOMPARE(entries(openMenu()), QStringList({first, "-", "Add File", "Add Folder", "-", "Delete", "Delete All",
                                               "Clear Invalid File ", "-", "Play Mode ", "-", "Open Item Folder"}));
    closeMenu();
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
}

void tst_PlayListSelection::emptyPanelMenu()
{
    QTest::mouseClick(m_rows.at(2), Qt::RightButton, {}, QPoint(40, 15));
    QTRY_VERIFY(openMenu());
    QCOMPARE(clickMenuEntry("Delete All"), QString());
    QVERIFY(m_panel->getPlayItemInfoList()->isEmpty());
    QVERIFY(!m_panel->findChild<QScrollArea *>()->isVisible());

    QTest::mouseClick(m_panel, Qt::LeftButton, {}, QPoint(100, 200));
    QVERIFY(!openMenu());
    QTest::mouseClick(m_panel, Qt::RightButton, {}, QPoint(100, 200));
    QTRY_VERIFY(openMenu());
    QVERIFY(QMediaPlayWindowFlags::m_bWindowShowTop);
    QCOMPARE(entries(openMenu()), QStringList({"!Play", "-", "Add File", "Add Folder", "-", "!Delete", "Delete All",
                                               "Clear Invalid File ", "-", "Play Mode ", "-", "!Open Item Folder"}));
    closeMenu();
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
}

// The menu acts on the last-pressed row; "Play" on the row already playing resumes it.
void tst_PlayListSelection::menuActionsOnThePressedRow()
{
    UrlCatcher catcher;
    press("1");
    m_panel->setSelectedPlayItem(m_rows.at(1)->getPlayItemInfo(), PlayListItemState_Playing);

    QTest::mouseClick(m_rows.at(1), Qt::RightButton, {}, QPoint(40, 15));
    QTRY_VERIFY(openMenu());
    QCOMPARE(clickMenuEntry("Pause"), QString("pause"));
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);

    m_panel->setSelectedPlayItem(m_rows.at(1)->getPlayItemInfo(), PlayListItemState_Paused);
    QTest::mouseClick(m_rows.at(1), Qt::RightButton, {}, QPoint(40, 15));
    QTRY_VERIFY(openMenu());
    QCOMPARE(clickMenuEntry("Play"), QString("resume"));

    QTest::mouseClick(m_rows.at(3), Qt::RightButton, {}, QPoint(40, 15));
    QTRY_VERIFY(openMenu());
    QCOMPARE(clickMenuEntry("Play"), QString("play:d.mp4"));

    QTest::mouseClick(m_rows.at(0), Qt::RightButton, {}, QPoint(40, 15));
    QTRY_VERIFY(openMenu());
    QCOMPARE(clickMenuEntry("Open Item Folder"), QString());
    QCOMPARE(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(m_dir.path())}));

    // The current row goes by the menu: the host hears of it first.
    QTest::mouseClick(m_rows.at(3), Qt::RightButton, {}, QPoint(40, 15));
    QTRY_VERIFY(openMenu());
    QCOMPARE(clickMenuEntry("Delete"), QString("deleteCurrent:d.mp4"));
    QCOMPARE(m_panel->getPlayItemInfoList()->size(), 3);
}

QTEST_MAIN(tst_PlayListSelection)
#include "tst_playlistselection.moc"
