// Edit fields and the spin box: the skin painter's state machine and icon placement, digits-only
// input, the unit symbol, and the spin box arrows with their press-and-hold repeat.
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrdoublespinbox.h"
#include "toolkit/qzrlineedit.h"
#include "toolkit/qzrlineeditex.h"

#include "controlimages.h"

#include <QValidator>
#include <QtTest>

using namespace ControlImages;

namespace {

const QRgb FrameColours[4] = {0xff303030, 0xff505050, 0xffc03040, 0xff202020};

QImage fourFrames()
{
    return frames(QSize(30, 30), {FrameColours[0], FrameColours[1], FrameColours[2], FrameColours[3]});
}

void enter(QWidget *widget)
{
    QEvent event(QEvent::Enter);
    QApplication::sendEvent(widget, &event);
}

// A plain widget that feeds its events to the skin painter, as the skinned controls do.
class SkinnedField : public QWidget, public QZRBaseRectImageDraw
{
public:
    SkinnedField() : QZRBaseRectImageDraw(this) {}

protected:
    void mousePressEvent(QMouseEvent *event) override { mousePressEventDraw(event); }
    void mouseReleaseEvent(QMouseEvent *event) override { mouseReleaseEventDraw(event); }
    void enterEvent(QEvent *event) override { enterEventDraw(event); }
    void leaveEvent(QEvent *event) override { leaveEventDraw(event); }
    void changeEvent(QEvent *event) override { changeEventDraw(event); }
    void paintEvent(QPaintEvent *event) override { QZRBaseRectImageDraw::paintEvent(event); }
};

}

class tst_QZRLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void digitsOnly_data();
    void digitsOnly();
    void typingDropsNonDigits();
    void skinAppliesStyleOnlyWhenFound();
    void iconPlacedOnceAndKept();
    void buttonModeFrames_data();
    void buttonModeFrames();
    void disabledPressStaysDisabled();
    void placeholderColourFollowsFocus();
    void symbolDrawnAtTheRight();
    void spinBoxArrowsLayout();
    void spinBoxArrowsStretched();
    void spinBoxWithoutArrows();
    void repeatWhileHeld_data();
    void repeatWhileHeld();

private:
    QTemporaryDir m_dir;
    QString m_up;
    QString m_down;
};

void tst_QZRLineEdit::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Four frames of 15x11 logical pixels each.
    m_up = save(m_dir, "up.png", frames(QSize(30, 22), {0xff808080, 0xffa0a0a0, 0xffc03040, 0xff404040}));
    m_down = save(m_dir, "down.png", frames(QSize(30, 22), {0xff808080, 0xffa0a0a0, 0xffc03040, 0xff404040}));
}

void tst_QZRLineEdit::digitsOnly_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");

    QTest::newRow("7") << "7" << int(QValidator::Acceptable);
    QTest::newRow("007") << "007" << int(QValidator::Acceptable);
    QTest::newRow("120") << "120" << int(QValidator::Acceptable);
    QTest::newRow("0") << "0" << int(QValidator::Intermediate);
    QTest::newRow("000") << "000" << int(QValidator::Intermediate);
    QTest::newRow("empty") << "" << int(QValidator::Intermediate);
    QTest::newRow("letter") << "a" << int(QValidator::Invalid);
    QTest::newRow("digits then letter") << "12a" << int(QValidator::Invalid);
    QTest::newRow("minus sign") << "-5" << int(QValidator::Invalid);
    QTest::newRow("plus sign") << "+5" << int(QValidator::Invalid);
    QTest::newRow("decimal point") << "1.5" << int(QValidator::Invalid);
    QTest::newRow("space") << "1 2" << int(QValidator::Invalid);
}

void tst_QZRLineEdit::digitsOnly()
{
    QFETCH(QString, input);
    QFETCH(int, state);

    QZRLineEdit edit;
    QVERIFY(!edit.validator());
    edit.onlyInputNumber();
    QVERIFY(edit.validator());
    int pos = 0;
    QCOMPARE(int(edit.validator()->validate(input, pos)), state);
}

void tst_QZRLineEdit::typingDropsNonDigits()
{
    QZRLineEdit edit;
    edit.onlyInputNumber();
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, "a1-b2+0x");
    QCOMPARE(edit.text(), QString("120"));
    QVERIFY(edit.hasAcceptableInput());
    edit.setText(QString());
    QTest::keyClicks(&edit, "00");
    QVERIFY(!edit.hasAcceptableInput());
}

void tst_QZRLineEdit::skinAppliesStyleOnlyWhenFound()
{
    QZRLineEdit edit;
    QVERIFY(!edit.setBackgroundImage(m_dir.filePath("absent.png")));
    QVERIFY(!edit.isCustomDraw());
    QVERIFY(edit.styleSheet().isEmpty());

    QVERIFY(edit.setBackgroundImage(save(m_dir, "field.png", frames(QSize(30, 30), {0xff262626}))));
    QVERIFY(edit.isCustomDraw());
    QCOMPARE(edit.styleSheet(), QString("QLineEdit {background-color:transparent;border:none; padding: 0px 0px 1px -2px}"));
    QCOMPARE(edit.textMargins(), QMargins(3, 0, 2, 0));
}

// The default icon rectangle centres the icon once; a later resize keeps it where it was.
void tst_QZRLineEdit::iconPlacedOnceAndKept()
{
    QZRLineEdit edit;
    edit.resize(100, 24);
    edit.setBackgroundImage(save(m_dir, "field.png", frames(QSize(30, 30), {0xff262626})));
    QVERIFY(edit.setRectIcon(frames(QSize(40, 20), {0xff00ff00})));
    QCOMPARE(pixel(edit, QPoint(10, 12)), QColor(0, 255, 0));
    QCOMPARE(edit.iconRect(), QRect(0, 7, 20, 10));
    edit.resize(100, 40);
    edit.grab();
    QCOMPARE(edit.iconRect(), QRect(0, 7, 20, 10));
    QVERIFY(!edit.setRectIcon(QImage()));
}

void tst_QZRLineEdit::buttonModeFrames_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("hover");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("frame");

    QTest::newRow("normal") << false << false << true << 0;
    QTest::newRow("hover") << false << true << true << 1;
    QTest::newRow("checked and hovered") << true << true << true << 2;
    QTest::newRow("disabled") << false << false << false << 3;
}

void tst_QZRLineEdit::buttonModeFrames()
{
    QFETCH(bool, checked);
    QFETCH(bool, hover);
    QFETCH(bool, enabled);
    QFETCH(int, frame);

    const QColor colours[4] = {Qt::white, Qt::yellow, Qt::red, Qt::gray};
    SkinnedField edit;
    edit.resize(60, 24);
    edit.setBackgroundImage(fourFrames());
    edit.setBtnMode(true);
    edit.setTextColor(colours[0], colours[1], colours[2], colours[3]);
    edit.setEnabled(enabled);
    edit.setCheckState(checked);
    if (hover)
        enter(&edit);
    QCOMPARE(pixel(edit, QPoint(30, 12)).rgb(), FrameColours[frame]);
    QCOMPARE(edit.drawTextColor(), colours[frame]);
}

void tst_QZRLineEdit::disabledPressStaysDisabled()
{
    SkinnedField edit;
    edit.setBackgroundImage(fourFrames());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(edit.mousePressEventDraw(&press));
    QCOMPARE(edit.drawState(), 2);
    QVERIFY(!edit.mousePressEventDraw(&press));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    edit.mouseReleaseEventDraw(&release);
    QCOMPARE(edit.drawState(), 0);

    edit.setEnabled(false);
    QCOMPARE(edit.drawState(), 3);
    QVERIFY(!edit.mousePressEventDraw(&press));
    QCOMPARE(edit.drawState(), 3);
    enter(&edit);
    QCOMPARE(edit.drawState(), 3);
    edit.setEnabled(true);
    QCOMPARE(edit.drawState(), 0);
}

void tst_QZRLineEdit::placeholderColourFollowsFocus()
{
    QWidget window;
    QZRLineEdit edit(&window);
    QLineEdit other(&window);
    other.move(0, 40);
    // White text set the way the style helpers set it, through the plain widget palette.
    QPalette white = edit.palette();
    white.setColor(QPalette::Text, Qt::white);
    static_cast<QWidget &>(edit).setPalette(white);
    edit.setPlaceholderText("Seconds");
    edit.setPlaceholderTextColor(QColor(120, 120, 120), true);
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(120, 120, 120));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    edit.setFocus();
    QTRY_VERIFY(edit.hasFocus());
    QVERIFY(edit.placeholderText().isEmpty());
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(Qt::white));

    other.setFocus();
    QTRY_VERIFY(!edit.hasFocus());
    QCOMPARE(edit.placeholderText(), QString("Seconds"));
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(120, 120, 120));
}

void tst_QZRLineEdit::symbolDrawnAtTheRight()
{
    QZRLineEditEx edit;
    edit.resize(80, 24);
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    edit.setPalette(palette);
    edit.setFrame(false);
    edit.setSymbol("%");
    QFont font("DejaVu Sans");
    font.setPixelSize(14);
    edit.setSymbolFont(font);
    const QImage image = edit.grab().toImage();
    int left = image.width(), right = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) > 128) {
                left = qMin(left, x);
                right = qMax(right, x);
            }
    QVERIFY2(right >= 70 && right <= 78, qPrintable(QString::number(right)));
    QVERIFY2(left >= 60, qPrintable(QString::number(left)));
}

void tst_QZRLineEdit::spinBoxArrowsLayout()
{
    QZRDoubleSpinBox spin;
    spin.resize(80, 30);
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    QVERIFY(spin.upButton());
    QCOMPARE(spin.upButton()->size(), QSize(15, 11));
    spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&spin));
    QCOMPARE(spin.upButton()->pos(), QPoint(65, 0));
    QCOMPARE(spin.downButton()->pos(), QPoint(65, 19));
    // The left margin is computed once.
    spin.resize(120, 30);
    QTRY_COMPARE(spin.downButton()->pos(), QPoint(65, 19));
}

void tst_QZRLineEdit::spinBoxArrowsStretched()
{
    QZRDoubleSpinBox spin;
    spin.resize(80, 30);
    spin.setBtnMargins(60, 2, 1, 2);
    spin.setUpAndDownBtnImage(m_up, m_down, false);
    spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&spin));
    QCOMPARE(spin.upButton()->geometry(), QRect(QPoint(60, 2), QPoint(78, 14)));
    QCOMPARE(spin.downButton()->geometry(), QRect(60, 15, 19, 13));
}

void tst_QZRLineEdit::spinBoxWithoutArrows()
{
    QZRDoubleSpinBox spin;
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    QVERIFY(spin.upButton());
    spin.setUpAndDownBtnImage(m_dir.filePath("absent.png"), m_down, true);
    QVERIFY(!spin.upButton());
    QVERIFY(!spin.downButton());
    QVERIFY(!spin.setBackgroundImage(m_dir.filePath("absent.png")));
    QVERIFY(spin.styleSheet().isEmpty());
    QVERIFY(!spin.grab().isNull());
}

void tst_QZRLineEdit::repeatWhileHeld_data()
{
    QTest::addColumn<QString>("stop");
    QTest::newRow("released") << "released";
    QTest::newRow("arrow hidden") << "arrow hidden";
    QTest::newRow("spin box hidden") << "spin box hidden";
    QTest::newRow("arrow disabled") << "arrow disabled";
    QTest::newRow("spin box disabled") << "spin box disabled";
}

// Holding an arrow steps in its direction after a delay; whatever ends the hold stops it.
void tst_QZRLineEdit::repeatWhileHeld()
{
    QFETCH(QString, stop);

    QZRDoubleSpinBox spin;
    spin.setRange(-1000, 1000);
    spin.setDecimals(0);
    spin.resize(80, 30);
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&spin));

    QZRBaseButton *down = spin.downButton();
    QTest::mousePress(down, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(spin.value(), 0.0);
    QTRY_VERIFY_WITH_TIMEOUT(spin.value() <= -3, 10000);

    if (stop == "released")
        QTest::mouseRelease(down, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    else if (stop == "arrow hidden")
        down->hide();
    else if (stop == "spin box hidden")
        spin.hide();
    else if (stop == "arrow disabled")
        down->setEnabled(false);
    else
        spin.setEnabled(false);

    const double stopped = spin.value();
    QTest::qWait(600);
    QCOMPARE(spin.value(), stopped);
}

QTEST_MAIN(tst_QZRLineEdit)
#include "tst_qzrlineedit.moc"
