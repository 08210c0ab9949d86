// The skinned combo box: style rules replaced in place, the arrow layout, custom rows with their
// sizes, colours and fonts, and the plain behaviour without a skin.
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrcombobox.h"

#include "controlimages.h"

#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace ControlImages;

class tst_QZRComboBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cutStyleString_data();
    void cutStyleString();
    void repeatedSettersKeepOneRule_data();
    void repeatedSettersKeepOneRule();
    void arrowPosition();
    void missingSkinKeepsPlainItems();
    void firstRowShownAtOnce();
    void rowSizesWithSpacing();
    void rowColours();
    void itemFontPinned();
    void removeAndRename();
    void releaseOpensPopup();

private:
    QString skin() const { return m_skin; }
    QZRComboBoxItem *row(QZRComboBox &combo, int index);

    QTemporaryDir m_dir;
    QString m_skin;
    QString m_arrow;
};

void tst_QZRComboBox::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_skin = save(m_dir, "combo.png", frames(QSize(40, 40), {0xff303030, 0xff404040, 0xff505050, 0xff202020}));
    // Four frames of 17 by 12 logical pixels.
    m_arrow = save(m_dir, "arrow.png", frames(QSize(34, 24), {0xffa0a0a0, 0xffc0c0c0, 0xffe0e0e0, 0xff606060}));
}

QZRComboBoxItem *tst_QZRComboBox::row(QZRComboBox &combo, int index)
{
    QListWidget *list = combo.listWidget();
    return qobject_cast<QZRComboBoxItem *>(list->itemWidget(list->item(index)));
}

void tst_QZRComboBox::cutStyleString_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QString>("result");

    QTest::newRow("middle rule") << "A{x:1;}B {y: 2;}C{z:3;}" << "B {y: " << ";}" << true << "A{x:1;}C{z:3;}";
    QTest::newRow("absent") << "A{x:1;}" << "B {y: " << ";}" << false << "A{x:1;}";
    QTest::newRow("first occurrence only") << "B {y: 1;}B {y: 2;}" << "B {y: " << ";}" << true << "B {y: 2;}";
    QTest::newRow("end after the start") << "x;}B {y: 2;}" << "B {y: " << ";}" << true << "x;}";
}

void tst_QZRComboBox::cutStyleString()
{
    QFETCH(QString, sheet);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, cut);
    QFETCH(QString, result);

    QCOMPARE(QZRComboBox::cutStyleString(sheet, start, end), cut);
    QCOMPARE(sheet, result);
}

void tst_QZRComboBox::repeatedSettersKeepOneRule_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("last");

    QTest::newRow("background") << "bg" << 0 << "QListView::item {background: " << "QListView::item {background: #0000ff;}";
    QTest::newRow("hover") << "hover" << 0 << "QListView::item:hover {background: "
                           << "QListView::item:hover {background: #0000ff;}";
    QTest::newRow("selected") << "selected" << 0 << "QListView::item:selected{background-color: "
                              << "QListView::item:selected{background-color: #0000ff;}";
    QTest::newRow("width") << "width" << 150 << "QComboBox QAbstractItemView { min-height: 10px; min-width: "
                           << "QComboBox QAbstractItemView { min-height: 10px; min-width: 150px}";
    QTest::newRow("border") << "border" << 2 << "QComboBox QAbstractItemView{background-color:gray; border: "
                            << "QComboBox QAbstractItemView{background-color:gray; border: 2px solid #0000ff}";
}

// Each setter is called three times, with another kind of rule in between.
void tst_QZRComboBox::repeatedSettersKeepOneRule()
{
    QFETCH(QString, setter);
    QFETCH(int, number);
    QFETCH(QString, start);
    QFETCH(QString, last);

    QZRComboBox combo;
    QVERIFY(combo.setBackgroundImage(skin()));
    const auto apply = [&](QColor colour, int value) {
        if (setter == "bg")
            combo.setItemBgColor(colour);
        else if (setter == "hover")
            combo.setItemHoverColor(colour);
        else if (setter == "selected")
            combo.setItemSelectedColor(colour);
        else if (setter == "width")
            combo.setItemWidth(value);
        else
            combo.setItemBorder(value, colour);
    };
    apply(Qt::red, 120);
    combo.setItemHeight(30);
    combo.setItemBgColor(Qt::green);
    apply(Qt::blue, 170);
    apply(Qt::blue, number);

    const QString sheet = combo.styleSheet();
    QCOMPARE(sheet.count(start), 1);
    QVERIFY2(sheet.contains(last), qPrintable(sheet));
    QVERIFY(sheet.startsWith("QComboBox {background-color:transparent;border:none}"));
}

void tst_QZRComboBox::arrowPosition()
{
    QZRComboBox combo;
    combo.setButtonImage(m_arrow, true);
    QVERIFY(combo.arrowButton());
    QCOMPARE(combo.arrowButton()->size(), QSize(17, 12));
    combo.resize(100, 24);
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QCOMPARE(combo.arrowButton()->pos(), QPoint(83, 6));

    combo.setButtonImage(m_dir.filePath("absent.png"), true);
    QVERIFY(!combo.arrowButton());
}

void tst_QZRComboBox::missingSkinKeepsPlainItems()
{
    QZRComboBox combo;
    QVERIFY(!combo.setBackgroundImage(m_dir.filePath("absent.png")));
    QVERIFY(combo.styleSheet().isEmpty());
    combo.addItems({"one", "two"});
    combo.insertItem(0, "zero");
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.itemText(0), QString("zero"));
    QVERIFY(!combo.listWidget());
    QVERIFY(combo.lineEdit() && combo.lineEdit()->isHidden());
    QVERIFY(!combo.grab().isNull());
}

void tst_QZRComboBox::firstRowShownAtOnce()
{
    QZRComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(skin()));
    combo.addItem("First", 1);
    QCOMPARE(combo.drawText(), QString("First"));
    QCOMPARE(combo.toolTip(), QString("First"));
    combo.addItem("Second", 2);
    QCOMPARE(combo.drawText(), QString("First"));
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.itemData(1).toInt(), 2);
    QVERIFY(row(combo, 1));
    QCOMPARE(combo.listWidget()->item(1)->sizeHint(), QSize(120, 19));

    combo.setCurrentIndex(1);
    QCOMPARE(combo.drawText(), QString("Second"));
}

void tst_QZRComboBox::rowSizesWithSpacing()
{
    QZRComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(skin()));
    combo.setItemHeight(22);
    combo.addItems({"a", "b", "c"});
    combo.setItemSpacing(4, Qt::black);
    static_cast<QComboBox &>(combo).showPopup();
    QListWidget *list = combo.listWidget();
    QCOMPARE(list->item(0)->sizeHint().height(), 24);
    QCOMPARE(list->item(1)->sizeHint().height(), 26);
    QCOMPARE(list->item(2)->sizeHint().height(), 24);
    static_cast<QComboBox &>(combo).hidePopup();

    combo.addSeparator();
    QCOMPARE(row(combo, 2)->separatorHeight(), 1);
    combo.setItemSeparator(0, true);
    static_cast<QComboBox &>(combo).showPopup();
    QCOMPARE(list->item(0)->sizeHint().height(), 25);
    QCOMPARE(list->item(2)->sizeHint().height(), 25);
    static_cast<QComboBox &>(combo).hidePopup();
}

// Without a hover colour a hovered row takes the selected colour; with one, the hovered row
// takes it and the current row the selected colour.
void tst_QZRComboBox::rowColours()
{
    QZRComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(skin()));
    combo.setItemBgColor(QColor(56, 56, 56));
    combo.setItemSelectedColor(QColor(73, 73, 73));
    combo.addItems({"a", "b"});
    combo.listWidget()->setCurrentRow(0);
    QZRComboBoxItem *first = row(combo, 0);
    QZRComboBoxItem *second = row(combo, 1);
    first->resize(120, 20);
    second->resize(120, 20);
    const QPoint inside(100, 10);
    QCOMPARE(pixel(*second, inside), QColor(56, 56, 56));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(second, &enter);
    QCOMPARE(pixel(*second, inside), QColor(73, 73, 73));
    QCOMPARE(pixel(*first, inside), QColor(56, 56, 56));

    combo.setItemHoverColor(QColor(90, 20, 20));
    QVERIFY(first->itemAttribute()->m_hoverColorMode);
    QCOMPARE(pixel(*second, inside), QColor(90, 20, 20));
    QCOMPARE(pixel(*first, inside), QColor(73, 73, 73));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(second, &leave);
    QCOMPARE(pixel(*second, inside), QColor(56, 56, 56));
}

void tst_QZRComboBox::itemFontPinned()
{
    QZRComboBox combo;
    QVERIFY(combo.setBackgroundImage(skin()));
    combo.addItem("a");
    QFont widgetFont = combo.font();
    widgetFont.setPixelSize(17);
    combo.setFont(widgetFont);
    QCOMPARE(row(combo, 0)->font().pixelSize(), 17);

    QFont itemFont = combo.font();
    itemFont.setPixelSize(12);
    combo.setItemFont(itemFont);
    widgetFont.setPixelSize(20);
    combo.setFont(widgetFont);
    QCOMPARE(combo.font().pixelSize(), 20);
    QCOMPARE(row(combo, 0)->font().pixelSize(), 12);
    combo.addItem("b");
    QCOMPARE(row(combo, 1)->font().pixelSize(), 12);
}

void tst_QZRComboBox::removeAndRename()
{
    QZRComboBox combo;
    QVERIFY(combo.setBackgroundImage(skin()));
    combo.addItems({"a", "b", "c"});
    combo.removeItem(1);
    combo.removeItem(7);
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.itemText(1), QString("c"));
    QVERIFY(!combo.IsValid(2));
    QVERIFY(!combo.getItemWidgt(5));
    QWidget extra;
    row(combo, 1)->setItemWidget(&extra);
    QCOMPARE(combo.getItemWidgt(1), &extra);
    QVERIFY(!combo.getItemWidgt(0));

    combo.setCurrentIndex(0);
    combo.setItemText(0, "renamed");
    QCOMPARE(combo.drawText(), QString("renamed"));
    QCOMPARE(combo.listWidget()->item(0)->text(), QString("renamed"));
}

void tst_QZRComboBox::releaseOpensPopup()
{
    QZRComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(skin()));
    combo.addItems({"a", "b"});
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QSignalSpy clicked(&combo, &QZRComboBox::emitClicked);
    QTest::mouseClick(&combo, Qt::LeftButton, Qt::NoModifier, QPoint(20, 12));
    QCOMPARE(clicked.count(), 1);
    QTRY_VERIFY(combo.view()->isVisible());
    static_cast<QComboBox &>(combo).hidePopup();
}

QTEST_MAIN(tst_QZRComboBox)
#include "tst_qzrcombobox.moc"
