// The one-call house look: nothing happens for a null control; a control gets the dark skins,
// white text, grey disabled text and the Tahoma font.
#include "toolkit/qinitctrlstyle.h"

#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseslider.h"
#include "toolkit/qzrbuttonextend.h"
#include "toolkit/qzrcombobox.h"
#include "toolkit/qzrdoublespinbox.h"
#include "toolkit/qzrlineeditex.h"
#include "toolkit/qzrmenu.h"
#include "toolkit/qzrradiobutton.h"
#include "toolkit/qzrscrollbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

namespace {

const QColor White(255, 255, 255);
const QColor Grey(102, 102, 102);

void checkFont(QWidget &widget, int pixelSize)
{
    QCOMPARE(widget.font().family(), QString("Tahoma"));
    QCOMPARE(widget.font().pixelSize(), pixelSize);
}

}

class tst_QInitCtrlStyle : public QObject
{
    Q_OBJECT

private slots:
    void nullControlsAreIgnored_data();
    void nullControlsAreIgnored();
    void palette();
    void label();
    void buttons();
    void lineEdits();
    void spinBox();
    void sliders_data();
    void sliders();
    void menu();
    void scrollBar();
    void radioButton();
    void filledRadioCoversTheButton_data();
    void filledRadioCoversTheButton();
    void comboBox();
};

void tst_QInitCtrlStyle::nullControlsAreIgnored_data()
{
    QTest::addColumn<int>("operation");
    const char *names[] = {"InitPalette", "InitFont", "InitFontFamily", "InitLabel2", "InitZRButton", "InitZRButtonEx",
                           "InitQZRLineEdit", "InitQZRLineEditEx", "InitQZRDoubleSpinBox", "InitQZRSlider",
                           "InitZrMenu", "InitQZRScrollBar", "InitQZRRadioButton", "InitZRCombox"};
    for (int i = 0; i < int(sizeof(names) / sizeof(names[0])); ++i)
        QTest::newRow(names[i]) << i;
}

void tst_QInitCtrlStyle::nullControlsAreIgnored()
{
    QFETCH(int, operation);
    switch (operation) {
    case 0: QInitCtrlStyle::InitPalette(nullptr, QPalette::Text, White); break;
    case 1: QInitCtrlStyle::InitFont(nullptr, 12); break;
    case 2: QInitCtrlStyle::InitFontFamily(nullptr, "Tahoma", 12); break;
    case 3: QInitCtrlStyle::InitLabel2(nullptr, "text", 12); break;
    case 4: QInitCtrlStyle::InitZRButton(nullptr, 80, 26); break;
    case 5: QInitCtrlStyle::InitZRButtonEx(nullptr, 80, 26); break;
    case 6: QInitCtrlStyle::InitQZRLineEdit(nullptr); break;
    case 7: QInitCtrlStyle::InitQZRLineEditEx(nullptr); break;
    case 8: QInitCtrlStyle::InitQZRDoubleSpinBox(nullptr); break;
    case 9: QInitCtrlStyle::InitQZRSlider(nullptr, QZRBaseProgress::Horizontal); break;
    case 10: QInitCtrlStyle::InitZrMenu(nullptr); break;
    case 11: QInitCtrlStyle::InitQZRScrollBar(nullptr); break;
    case 12: QInitCtrlStyle::InitQZRRadioButton(nullptr, true); break;
    case 13: QInitCtrlStyle::InitZRCombox(nullptr, 100, 24, QString()); break;
    }
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

// The disabled grey is set first, so a WindowText colour replaces it as well.
void tst_QInitCtrlStyle::palette()
{
    QWidget text;
    QInitCtrlStyle::InitPalette(&text, QPalette::Text, White);
    QCOMPARE(text.palette().color(QPalette::Disabled, QPalette::WindowText), Grey);
    QCOMPARE(text.palette().color(QPalette::Disabled, QPalette::Text), White);
    QCOMPARE(text.palette().color(QPalette::Active, QPalette::Text), White);

    QWidget window;
    QInitCtrlStyle::InitPalette(&window, QPalette::WindowText, White);
    QCOMPARE(window.palette().color(QPalette::Disabled, QPalette::WindowText), White);
    QCOMPARE(window.palette().color(QPalette::Inactive, QPalette::WindowText), White);
}

void tst_QInitCtrlStyle::label()
{
    QLabel label;
    QInitCtrlStyle::InitLabel2(&label, "Volume", 11);
    QCOMPARE(label.text(), QString("Volume"));
    checkFont(label, 11);
    QCOMPARE(label.palette().color(QPalette::WindowText), White);
}

void tst_QInitCtrlStyle::buttons()
{
    QZRBaseButton button;
    QInitCtrlStyle::InitZRButton(&button, 70, 24);
    QVERIFY(button.isCustomDraw());
    QCOMPARE(button.size(), QSize(70, 24));
    QCOMPARE(button.currentDrawColor(), White);
    checkFont(button, 12);

    QZRButtonExtend extend;
    QInitCtrlStyle::InitZRButtonEx(&extend, 62, 22);
    QCOMPARE(extend.textRect(), QRect(QPoint(19, 0), QPoint(61, 21)));
    QCOMPARE(extend.size(), QSize(62, 22));
}

void tst_QInitCtrlStyle::lineEdits()
{
    QZRLineEditEx edit;
    QInitCtrlStyle::InitQZRLineEditEx(&edit);
    QVERIFY(edit.isCustomDraw());
    QVERIFY(edit.validator());
    QCOMPARE(edit.alignment(), Qt::AlignCenter);
    checkFont(edit, 12);
    QCOMPARE(edit.palette().color(QPalette::Text), White);
    QCOMPARE(edit.symbolFont().family(), QString("Tahoma"));
    QCOMPARE(edit.symbolFont().pixelSize(), 12);
}

void tst_QInitCtrlStyle::spinBox()
{
    QZRDoubleSpinBox spin;
    QInitCtrlStyle::InitQZRDoubleSpinBox(&spin);
    QVERIFY(spin.isCustomDraw());
    QVERIFY(spin.upButton());
    QVERIFY(spin.downButton());
    QCOMPARE(spin.findChild<QLineEdit *>()->textMargins(), QMargins(3, 0, 0, 0));
    QCOMPARE(spin.palette().color(QPalette::Text), White);
}

void tst_QInitCtrlStyle::sliders_data()
{
    QTest::addColumn<int>("policy");
    QTest::addColumn<bool>("skinned");
    QTest::newRow("horizontal") << int(QZRBaseProgress::Horizontal) << true;
    QTest::newRow("vertical") << int(QZRBaseProgress::Vertical) << true;
    QTest::newRow("ring") << int(QZRBaseProgress::Ring) << false;
}

void tst_QInitCtrlStyle::sliders()
{
    QFETCH(int, policy);
    QFETCH(bool, skinned);

    QZRBaseSlider slider;
    slider.resize(policy == QZRBaseProgress::Vertical ? 20 : 200, policy == QZRBaseProgress::Vertical ? 200 : 20);
    QInitCtrlStyle::InitQZRSlider(&slider, QZRBaseProgress::ProgressPolicy(policy));
    QCOMPARE(slider.progressPolicy(), skinned ? QZRBaseProgress::ProgressPolicy(policy) : QZRBaseProgress::Horizontal);
    QCOMPARE(slider.getButton() != nullptr, skinned);
    QVERIFY(slider.format().isEmpty());
    if (skinned) {
        // Square thumbs: the offsets are raised to half the thumb.
        const QSize thumb = slider.getButton()->size();
        QCOMPARE(thumb.width(), thumb.height());
        QCOMPARE(slider.getTLOffset(), thumb.width() / 2);
        QCOMPARE(slider.getRBOffset(), thumb.width() / 2);
    } else {
        QCOMPARE(slider.getTLOffset(), 0);
    }
}

void tst_QInitCtrlStyle::menu()
{
    QZRMenu menu;
    QInitCtrlStyle::InitZrMenu(&menu);
    const QZRMenuStyleAttribute *a = menu.styleAttribute();
    QCOMPARE(a->m_frameWidth, 1);
    QCOMPARE(a->m_frameColor, QColor(Qt::black));
    QCOMPARE(a->m_areaColor, QColor(56, 56, 56));
    QCOMPARE(a->m_itemColor, QColor(56, 56, 56));
    QCOMPARE(a->m_itemTextColor, White);
    QCOMPARE(a->m_itemSelectColor, QColor(73, 73, 73));
    QCOMPARE(a->m_itemTextSelectColor, White);
    QCOMPARE(a->m_itemTextEabledColor, Grey);
    QCOMPARE(a->m_itemEabledColor, QColor(56, 56, 56));
    QCOMPARE(a->m_separatorColor, QColor(Qt::black));
    QVERIFY(!a->m_checkedImage.isNull());
    QVERIFY(!a->m_uncheckedImage.isNull());
    QVERIFY(a->m_checkedImage.width() / 2 <= 14);
    checkFont(menu, 12);
}

void tst_QInitCtrlStyle::scrollBar()
{
    QZRScrollBar bar(Qt::Vertical);
    QInitCtrlStyle::InitQZRScrollBar(&bar);
    const QZRScrollBarStyleAttribute a = bar.styleAttribute();
    QCOMPARE(a.m_grooveColor, QColor(31, 31, 31));
    QCOMPARE(a.m_trackColor, QColor(31, 31, 31));
    QVERIFY(a.m_trackAlwaysShown);
    QCOMPARE(a.m_endColor, QColor(60, 60, 60));
    QCOMPARE(a.m_fourthColor, QColor(31, 31, 31));
    QCOMPARE(a.m_handleHoverColor, QColor(60, 60, 60));
    QCOMPARE(a.m_handleMargin, 1);
    QCOMPARE(a.m_extent, 11);
    QCOMPARE(a.m_cornerRadius, -1);
    QCOMPARE(a.m_fifthColor, QColor(240, 240, 240));
}

void tst_QInitCtrlStyle::radioButton()
{
    QZRRadioButton radio;
    QInitCtrlStyle::InitQZRRadioButton(&radio, false);
    QVERIFY(!radio.isButtonMode());
    QVERIFY(radio.QZRBaseBoxDraw::isCustomDraw());
    checkFont(radio, 12);
    QCOMPARE(radio.palette().color(QPalette::Active, QPalette::WindowText), White);
    QCOMPARE(radio.palette().color(QPalette::Inactive, QPalette::WindowText), White);
    QCOMPARE(radio.palette().color(QPalette::Disabled, QPalette::WindowText), Grey);
}

void tst_QInitCtrlStyle::filledRadioCoversTheButton_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("checked");
    for (const QSize size : {QSize(60, 24), QSize(92, 24), QSize(24, 24)}) {
        const QString name = QString("%1x%2").arg(size.width()).arg(size.height());
        QTest::newRow(qPrintable(name + " checked")) << size << true;
        QTest::newRow(qPrintable(name + " unchecked")) << size << false;
    }
}

// The choice buttons of the settings pages: the skin drawn behind the text is one even field inside
// one outline along the button's own edges, in either state, so the state can never look offset.
void tst_QInitCtrlStyle::filledRadioCoversTheButton()
{
    QFETCH(QSize, size);
    QFETCH(bool, checked);
    QZRRadioButton radio;
    QInitCtrlStyle::InitQZRRadioButton(&radio, true);
    radio.resize(size);
    radio.setAutoExclusive(false);
    radio.setChecked(checked);
    const QImage image = radio.grab().toImage();
    const int w = image.width(), h = image.height();

    const QRgb inside = image.pixel(w / 2, h / 2);
    QCOMPARE(qAlpha(inside), 255);
    for (int y = 3; y < h - 3; ++y)
        for (int x = 3; x < w - 3; ++x)
            QVERIFY2(image.pixel(x, y) == inside, qPrintable(QString("(%1, %2)").arg(x).arg(y)));
    const QRgb outline = image.pixel(0, h / 2);
    QVERIFY(outline != inside);
    for (const QPoint edge : {QPoint(w - 1, h / 2), QPoint(w / 2, 0), QPoint(w / 2, h - 1)})
        QCOMPARE(image.pixel(edge), outline);

    radio.setChecked(!checked);
    QVERIFY(radio.grab().toImage().pixel(w / 2, h / 2) != inside);
}

void tst_QInitCtrlStyle::comboBox()
{
    QZRComboBox combo;
    QInitCtrlStyle::InitZRCombox(&combo, 120, 24, QString());
    QVERIFY(combo.isCustomDraw());
    QVERIFY(combo.isBtnMode());
    QVERIFY(combo.arrowButton());
    QVERIFY(combo.listWidget());
    QCOMPARE(combo.size(), QSize(120, 24));
    QCOMPARE(combo.drawTextMargins(), QMargins(5, 0, 17, 1));
    QCOMPARE(combo.itemHeight(), 22);
    checkFont(combo, 12);
    QCOMPARE(combo.palette().color(QPalette::WindowText), White);
    const QString sheet = combo.styleSheet();
    QVERIFY(sheet.contains("QListView::item {background: #383838;}"));
    QVERIFY(sheet.contains("QListView::item:selected{background-color: #494949;}"));
    QVERIFY(sheet.contains("border: 1px solid #000000}"));

    combo.addItem("Subtitle");
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QCOMPARE(combo.arrowButton()->x(), 103);
    QCOMPARE(combo.lineEdit()->styleSheet(), QString("QLineEdit {background-color:transparent;border:none;color:#ffffff}"));
}

QTEST_MAIN(tst_QInitCtrlStyle)
#include "tst_qinitctrlstyle.moc"
