// Check boxes and radio buttons: check images per state, the disabled frame, button mode, and
// images that are replaced or missing.
#include "toolkit/qzrbaseboxdraw.h"
#include "toolkit/qzrradiobutton.h"

#include "controlimages.h"

#include <QCheckBox>
#include <QtTest>

using namespace ControlImages;

namespace {

const QRgb CheckedOn = 0xffd02020;
const QRgb CheckedOff = 0xff601010;
const QRgb UncheckedOn = 0xff2040d0;
const QRgb UncheckedOff = 0xff102060;
const QRgb PartialOn = 0xff20c040;

// Two frames of 18x18 pixels: the enabled look and the disabled look.
QImage twoFrames(QRgb enabled, QRgb disabled)
{
    return frames(QSize(18, 18), {enabled, disabled});
}

// A check box painted by the box painter.
class SkinnedCheckBox : public QCheckBox, public QZRBaseBoxDraw
{
public:
    explicit SkinnedCheckBox(enumBoxType type = CheckBox) : QZRBaseBoxDraw(this, type) {}

protected:
    void paintEvent(QPaintEvent *event) override { QZRBaseBoxDraw::paintEvent(event); }
};

// The colour in the middle of the 9x9 check cell, centred in a 20 high widget.
QRgb checkColour(QWidget &widget)
{
    return widget.grab().toImage().pixel(4, 9);
}

}

class tst_QZRRadioButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checkImageGeometry();
    void checkImagePerState_data();
    void checkImagePerState();
    void singleFrameIgnoresDisabled();
    void missingCheckedImageKeepsPlatformLook();
    void replacedOwnedImagesAreNeverDrawn();
    void partialState_data();
    void partialState();
    void otherBoxTypeShowsChecked();
    void buttonModePressChecksAtOnce();
    void buttonModeFrames();
    void adjustSizeFitsText();

private:
    QTemporaryDir m_dir;
    QString m_checked;
    QString m_unchecked;
};

void tst_QZRRadioButton::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_checked = save(m_dir, "checked.png", twoFrames(CheckedOn, CheckedOff));
    m_unchecked = save(m_dir, "unchecked.png", twoFrames(UncheckedOn, UncheckedOff));
}

void tst_QZRRadioButton::checkImageGeometry()
{
    QZRRadioButton radio;
    radio.resize(100, 4);
    radio.setCheckImage(m_checked, m_unchecked, false, true);
    QVERIFY(radio.QZRBaseBoxDraw::isCustomDraw());
    QCOMPARE(radio.checkRect(), QRect(0, 0, 9, 9));
    QCOMPARE(radio.QZRBaseBoxDraw::textRect().left(), 14);
    QCOMPARE(radio.height(), 9);
}

void tst_QZRRadioButton::checkImagePerState_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QRgb>("colour");

    QTest::newRow("checked") << true << true << CheckedOn;
    QTest::newRow("unchecked") << false << true << UncheckedOn;
    QTest::newRow("checked, disabled") << true << false << CheckedOff;
    QTest::newRow("unchecked, disabled") << false << false << UncheckedOff;
}

void tst_QZRRadioButton::checkImagePerState()
{
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(QRgb, colour);

    QZRRadioButton radio;
    radio.resize(100, 20);
    radio.setText("Option");
    radio.setCheckImage(m_checked, m_unchecked, false, true);
    radio.setChecked(checked);
    radio.setEnabled(enabled);
    QCOMPARE(checkColour(radio), colour);
}

void tst_QZRRadioButton::singleFrameIgnoresDisabled()
{
    QZRRadioButton radio;
    radio.resize(100, 20);
    radio.setCheckImage(save(m_dir, "single.png", frames(QSize(18, 18), {CheckedOn})), m_unchecked, false, false);
    QCOMPARE(radio.checkRect(), QRect(0, 0, 9, 9));
    radio.setChecked(true);
    radio.setEnabled(false);
    QCOMPARE(checkColour(radio), CheckedOn);
}

void tst_QZRRadioButton::missingCheckedImageKeepsPlatformLook()
{
    QZRRadioButton radio;
    radio.resize(100, 20);
    radio.setCheckImage(m_dir.filePath("absent.png"), m_unchecked, false, true);
    QVERIFY(!radio.QZRBaseBoxDraw::isCustomDraw());
    QCOMPARE(radio.checkRect(), QRect());

    QFile broken(m_dir.filePath("broken.png"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not an image");
    broken.close();
    radio.setCheckImage(broken.fileName(), m_unchecked, false, true);
    QVERIFY(!radio.QZRBaseBoxDraw::isCustomDraw());
    QVERIFY(!radio.size().isEmpty());
}

// Owned copies are freed when new images come; a call without images leaves none to draw.
void tst_QZRRadioButton::replacedOwnedImagesAreNeverDrawn()
{
    QZRRadioButton radio;
    radio.resize(100, 20);
    QImage checked = twoFrames(CheckedOn, CheckedOff);
    QImage unchecked = twoFrames(UncheckedOn, UncheckedOff);
    radio.QZRBaseBoxDraw::setCheckImage(&checked, &unchecked, nullptr, false, true, true);
    radio.setChecked(true);
    QCOMPARE(checkColour(radio), CheckedOn);

    radio.QZRBaseBoxDraw::setCheckImage(nullptr, nullptr, nullptr, false, true, true);
    QVERIFY(!radio.QZRBaseBoxDraw::isCustomDraw());
    QVERIFY(checkColour(radio) != CheckedOn);

    // Borrowed images stay with their owner and are drawn as they are.
    QImage other = twoFrames(PartialOn, CheckedOff);
    radio.QZRBaseBoxDraw::setCheckImage(&other, &unchecked, nullptr, false, true, false);
    QCOMPARE(checkColour(radio), PartialOn);
}

void tst_QZRRadioButton::partialState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("withPartial");
    QTest::addColumn<QRgb>("colour");

    QTest::newRow("unchecked") << int(Qt::Unchecked) << true << UncheckedOn;
    QTest::newRow("checked") << int(Qt::Checked) << true << CheckedOn;
    QTest::newRow("partial") << int(Qt::PartiallyChecked) << true << PartialOn;
    QTest::newRow("partial without its image") << int(Qt::PartiallyChecked) << false << QRgb(0);
}

void tst_QZRRadioButton::partialState()
{
    QFETCH(int, state);
    QFETCH(bool, withPartial);
    QFETCH(QRgb, colour);

    SkinnedCheckBox box;
    box.resize(100, 20);
    box.setTristate(true);
    const QString partial = withPartial ? save(m_dir, "partial.png", twoFrames(PartialOn, CheckedOff)) : QString();
    box.setCheckImage(m_checked, m_unchecked, partial, false, true);
    box.setCheckState(Qt::CheckState(state));
    if (withPartial) {
        QCOMPARE(checkColour(box), colour);
    } else {
        // Nothing is drawn: the cell shows none of the three images.
        const QRgb shown = checkColour(box);
        QVERIFY(shown != CheckedOn && shown != PartialOn && shown != UncheckedOn);
    }
}

void tst_QZRRadioButton::otherBoxTypeShowsChecked()
{
    SkinnedCheckBox box(QZRBaseBoxDraw::enumBoxType(7));
    box.resize(100, 20);
    box.setCheckImage(m_checked, m_unchecked, QString(), false, true);
    box.setChecked(false);
    QCOMPARE(checkColour(box), CheckedOn);
}

void tst_QZRRadioButton::buttonModePressChecksAtOnce()
{
    QZRRadioButton radio;
    radio.setCheckImage(save(m_dir, "button.png", frames(QSize(40, 20), {0xff101010, 0xff202020, 0xff303030, 0xff404040})),
                        QString(), true, true);
    QVERIFY(radio.isButtonMode());
    QCOMPARE(radio.size(), QSize(20, 10));
    QVERIFY(!radio.isChecked());
    QTest::mousePress(&radio, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(radio.isChecked());
    QTest::mouseRelease(&radio, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(radio.isChecked());
}

void tst_QZRRadioButton::buttonModeFrames()
{
    QWidget panel;
    QZRRadioButton first(&panel);
    QZRRadioButton second(&panel);
    const QString skin = save(m_dir, "button.png", frames(QSize(40, 20), {0xff101010, 0xff202020, 0xff303030, 0xff404040}));
    first.setCheckImage(skin, QString(), true, true);
    second.setCheckImage(skin, QString(), true, true);
    second.move(40, 0);
    QCOMPARE(pixel(first, QPoint(10, 5)), QColor(0x10, 0x10, 0x10));

    first.seedClick();
    QVERIFY(first.isChecked());
    QCOMPARE(pixel(first, QPoint(10, 5)), QColor(0x30, 0x30, 0x30));

    second.seedClick();
    QVERIFY(!first.isChecked());
    QCOMPARE(pixel(first, QPoint(10, 5)), QColor(0x10, 0x10, 0x10));
    second.setEnabled(false);
    QCOMPARE(pixel(second, QPoint(10, 5)), QColor(0x30, 0x30, 0x30));
    second.setChecked(false);
    first.setChecked(true);
    QCOMPARE(pixel(second, QPoint(10, 5)), QColor(0x40, 0x40, 0x40));
}

void tst_QZRRadioButton::adjustSizeFitsText()
{
    QZRRadioButton radio;
    radio.setText("A longer label");
    radio.setCheckImage(m_checked, m_unchecked, false, true);
    radio.adjustSize();
    const QFontMetricsF metrics(radio.font());
    QCOMPARE(radio.width(), 9 + qCeil(metrics.horizontalAdvance(radio.text())) + 5);
    QCOMPARE(radio.height(), qMax(9, qCeil(metrics.height())));
    // The whole text fits: nothing is elided.
    QCOMPARE(QFontMetrics(radio.font()).elidedText(radio.text(), Qt::ElideRight, radio.width() - 14), radio.text());
}

QTEST_MAIN(tst_QZRRadioButton)
#include "tst_qzrradiobutton.moc"
