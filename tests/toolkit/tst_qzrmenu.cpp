// Menus and their style: where check dots, check images, icons, shortcuts and sub-menu
// triangles are painted, the item size rule, and keyboard navigation in an open menu.
#include "toolkit/qzrmenu.h"

#include "controlimages.h"

#include <QActionGroup>
#include <QStyleOptionMenuItem>
#include <QtTest>

using namespace ControlImages;

namespace {

const QColor Item(56, 56, 56);
const QColor Text(255, 255, 255);
const QColor Highlight(73, 73, 73);
const QColor DisabledFill(30, 30, 90);

void darkLook(QZRMenu &menu)
{
    menu.setFrameWidth(1);
    menu.setFrameColor(Qt::black);
    menu.setAreaColor(Item);
    menu.setItemColor(Item);
    menu.setItemTextColor(Text);
    menu.setItemSelectColor(Highlight);
    menu.setItemTextSelectColor(Text);
    menu.setItemEabledColor(DisabledFill);
    menu.setItemTextEabledColor(QColor(102, 102, 102));
    menu.setSeparatorColor(Qt::black);
}

QPixmap solid(QColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return pixmap;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 && qAbs(a.blue() - b.blue()) < 8;
}

}

class tst_QZRMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowAndStyle();
    void mergedColors();
    void itemSizeRule();
    void checkMarks();
    void iconColumn();
    void shortcutAfterTab();
    void subMenuTriangle();
    void highlightAndDisabled();
    void keyboardNavigation_data();
    void keyboardNavigation();

private:
    QTemporaryDir m_dir;
};

void tst_QZRMenu::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_QZRMenu::windowAndStyle()
{
    QZRMenu menu("Title");
    QCOMPARE(menu.title(), QString("Title"));
    QCOMPARE(int(menu.windowFlags()), int(Qt::Popup | Qt::FramelessWindowHint));
    QVERIFY(menu.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(qobject_cast<QZRMenuStyle *>(menu.style()));
    QCOMPARE(menu.style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &menu), 3);
    menu.setFrameWidth(1);
    QCOMPARE(menu.style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &menu), 1);
    QCOMPARE(menu.style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, &menu), 0);
    QCOMPARE(menu.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &menu), 15);

    QZRMenu *sub = menu.addMenu("Sub");
    QCOMPARE(sub->parent(), &menu);
    QVERIFY(menu.actions().contains(sub->menuAction()));

    menu.setRadioImage(m_dir.filePath("absent.png"));
    QVERIFY(menu.styleAttribute()->m_radioImage.isNull());
    menu.setCheckStateImage(save(m_dir, "on.png", frames(QSize(24, 24), {0xffff0000})), m_dir.filePath("absent.png"));
    QCOMPARE(menu.styleAttribute()->m_checkedImage.devicePixelRatio(), 2.0);
    QVERIFY(menu.styleAttribute()->m_uncheckedImage.isNull());
}

void tst_QZRMenu::mergedColors()
{
    QCOMPARE(QZRMenuStyle::mergedColors(QColor(100, 0, 255, 40), QColor(0, 200, 55), 50), QColor(50, 100, 154, 40));
    QCOMPARE(QZRMenuStyle::mergedColors(QColor(99, 99, 99), QColor(1, 1, 1), 33), QColor(32, 32, 32));
}

void tst_QZRMenu::itemSizeRule()
{
    QZRMenuStyle style;
    QStyleOptionMenuItem option;
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = "Open File";
    option.fontMetrics = QFontMetrics(QApplication::font());
    option.maxIconWidth = 0;
    option.menuHasCheckableItems = false;
    const QSize contents(80, 16);
    QProxyStyle base;
    QCOMPARE(style.sizeFromContents(QStyle::CT_MenuItem, &option, contents, nullptr),
             base.sizeFromContents(QStyle::CT_MenuItem, &option, contents, nullptr));

    style.attribute()->m_itemHeight = 24;
    QCOMPARE(style.sizeFromContents(QStyle::CT_MenuItem, &option, contents, nullptr), QSize(80 + 52, 24));
    option.text = "Open File\tCtrl+O";
    option.maxIconWidth = 19;
    option.menuHasCheckableItems = true;
    QCOMPARE(style.sizeFromContents(QStyle::CT_MenuItem, &option, contents, nullptr), QSize(80 + 32 + 25 + 1 + 52 + 2, 24));

    style.attribute()->m_itemHeight = -1;
    style.attribute()->m_itemWidth = 200;
    QCOMPARE(style.sizeFromContents(QStyle::CT_MenuItem, &option, contents, nullptr),
             QSize(200, option.fontMetrics.height() + 8));
    option.menuItemType = QStyleOptionMenuItem::Separator;
    QCOMPARE(style.sizeFromContents(QStyle::CT_MenuItem, &option, contents, nullptr), QSize(200, 2));
}

// Exclusive items show a dot when checked, other checkable items their check image.
void tst_QZRMenu::checkMarks()
{
    QZRMenu menu;
    darkLook(menu);
    menu.setItemHeight(24);
    menu.setCheckStateImage(save(m_dir, "on.png", frames(QSize(24, 24), {0xffff0000})),
                            save(m_dir, "off.png", frames(QSize(24, 24), {0xff0000ff})));
    QActionGroup group(&menu);
    QAction *radioOn = menu.addAction("Radio on");
    QAction *radioOff = menu.addAction("Radio off");
    for (QAction *action : {radioOn, radioOff}) {
        action->setCheckable(true);
        group.addAction(action);
    }
    radioOn->setChecked(true);
    QAction *checkOn = menu.addAction("Check on");
    QAction *checkOff = menu.addAction("Check off");
    checkOn->setCheckable(true);
    checkOff->setCheckable(true);
    checkOn->setChecked(true);
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    const QImage image = menu.grab().toImage();
    const auto at = [&](QAction *action, int dx, int dy) {
        const QRect r = menu.actionGeometry(action);
        return image.pixelColor(r.left() + dx, (r.top() + r.bottom()) / 2 + dy);
    };
    QCOMPARE(at(radioOn, 13, 0), Text);
    QCOMPARE(at(radioOn, 9, 0), Item);
    QCOMPARE(at(radioOff, 13, 0), Item);
    QCOMPARE(at(checkOn, 14, 1), QColor(255, 0, 0));
    QCOMPARE(at(checkOff, 14, 1), QColor(0, 0, 255));
    menu.close();
}

void tst_QZRMenu::iconColumn()
{
    QZRMenu menu;
    darkLook(menu);
    menu.setItemHeight(24);
    QAction *withIcon = menu.addAction(QIcon(solid(Qt::green)), "Snapshot");
    QAction *plain = menu.addAction("Plain");
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const QImage image = menu.grab().toImage();
    const QRect r = menu.actionGeometry(withIcon);
    const int mid = (r.top() + r.bottom()) / 2;
    QCOMPARE(image.pixelColor(r.left() + 14, mid), QColor(Qt::green));
    QCOMPARE(image.pixelColor(r.left() + 2, mid), Item);
    const QRect p = menu.actionGeometry(plain);
    QCOMPARE(image.pixelColor(p.left() + 14, (p.top() + p.bottom()) / 2), Item);
    menu.close();
}

// The part after the tab ends 14 pixels before the item's right edge.
void tst_QZRMenu::shortcutAfterTab()
{
    QZRMenu menu;
    darkLook(menu);
    menu.setItemHeight(24);
    QAction *action = menu.addAction("\tF5");
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const QImage image = menu.grab().toImage();
    const QRect r = menu.actionGeometry(action);
    const int shortcutWidth = QFontMetrics(menu.font()).horizontalAdvance("F5");
    int left = image.width(), right = -1;
    for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (qGray(image.pixel(x, y)) > 150) {
                left = qMin(left, x);
                right = qMax(right, x);
            }
    QVERIFY2(right >= 0, "no shortcut drawn");
    QVERIFY2(left >= r.right() - 14 - shortcutWidth - 1, qPrintable(QString("%1 %2").arg(left).arg(r.right())));
    QVERIFY2(right <= r.right() - 14 + 1, qPrintable(QString("%1 %2").arg(right).arg(r.right())));
    menu.close();
}

void tst_QZRMenu::subMenuTriangle()
{
    QZRMenu menu;
    darkLook(menu);
    menu.setItemHeight(24);
    QZRMenu sub("More");
    QAction *action = menu.addMenu(&sub);
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const QImage image = menu.grab().toImage();
    const QRect r = menu.actionGeometry(action);
    QCOMPARE(r.height(), 24);
    // A 10 by 10 square ending 3 pixels in from the right, pointing right.
    QCOMPARE(image.pixelColor(r.right() - 11, r.top() + 12), Text);
    QCOMPARE(image.pixelColor(r.right() - 13, r.top() + 12), Item);
    QCOMPARE(image.pixelColor(r.right() - 1, r.top() + 12), Item);
    QCOMPARE(image.pixelColor(r.right() - 3, r.top() + 8), Item);
    menu.close();
}

void tst_QZRMenu::highlightAndDisabled()
{
    QZRMenu menu;
    darkLook(menu);
    menu.setItemHeight(24);
    QAction *active = menu.addAction("Active");
    QAction *disabled = menu.addAction("Disabled");
    disabled->setEnabled(false);
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    menu.setActiveAction(active);
    const QImage image = menu.grab().toImage();
    const QRect a = menu.actionGeometry(active);
    const QRect d = menu.actionGeometry(disabled);
    QCOMPARE(image.pixelColor(a.right() - 4, a.top() + 4), Highlight);
    QCOMPARE(image.pixelColor(d.right() - 4, d.top() + 4), DisabledFill);
    bool greyText = false;
    for (int x = d.left(); x < d.right() && !greyText; ++x)
        for (int y = d.top(); y <= d.bottom() && !greyText; ++y)
            greyText = near(image.pixelColor(x, y), QColor(102, 102, 102));
    QVERIFY(greyText);
    menu.close();
}

void tst_QZRMenu::keyboardNavigation_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("triggered");

    QTest::newRow("down, return") << QList<int>{Qt::Key_Down, Qt::Key_Return} << 0;
    QTest::newRow("down twice, return") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << 1;
    QTest::newRow("down three times, up, enter") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Enter} << 1;
}

// The application's own shortcuts on the same keys must not take them from an open menu.
void tst_QZRMenu::keyboardNavigation()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, triggered);

    QWidget window;
    int stolen = 0;
    for (int key : {int(Qt::Key_Up), int(Qt::Key_Down), int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        QAction *shortcut = new QAction(&window);
        shortcut->setShortcut(QKeySequence(key));
        shortcut->setShortcutContext(Qt::ApplicationShortcut);
        connect(shortcut, &QAction::triggered, [&stolen] { ++stolen; });
        window.addAction(shortcut);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QZRMenu menu(&window);
    QList<QAction *> actions;
    for (const char *text : {"First", "Second", "Third"})
        actions << menu.addAction(text);
    QSignalSpy spy(&menu, &QMenu::triggered);
    menu.popup(window.mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    for (int key : keys)
        QTest::keyClick(&menu, Qt::Key(key));
    QCOMPARE(stolen, 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QAction *>(), actions.at(triggered));
    QTRY_VERIFY(!menu.isVisible());
}

QTEST_MAIN(tst_QZRMenu)
#include "tst_qzrmenu.moc"
