// The flat scroll bar: its thickness, and the groove, ends, track and handle it paints in the
// thin and the full look.
#include "toolkit/qzrscrollbar.h"

#include <QStyleOptionSlider>
#include <QtTest>

namespace {

const QColor Groove(10, 10, 10);
const QColor End(200, 0, 0);
const QColor Track(0, 0, 200);
const QColor Handle(0, 200, 0);

// A vertical bar of 10 by 200 with distinct colours; rectangles come from its own style.
class Bar : public QZRScrollBar
{
public:
    explicit Bar(int margin, bool trackShown) : QZRScrollBar(Qt::Vertical)
    {
        QZRScrollBarStyleAttribute a;
        a.m_grooveColor = Groove;
        a.m_endColor = End;
        a.m_trackColor = Track;
        a.m_handleColor = a.m_handleHoverColor = a.m_handlePressedColor = Handle;
        a.m_handleMargin = margin;
        a.m_trackAlwaysShown = trackShown;
        setStyleAttribute(a);
        resize(10, 200);
        setRange(0, 100);
        setPageStep(20);
        setValue(0);
    }
    QRect rect(QStyle::SubControl control)
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this);
    }
    QColor at(QPoint point) { return grab().toImage().pixelColor(point); }
};

}

class tst_QZRScrollBar : public QObject
{
    Q_OBJECT

private slots:
    void thickness();
    void emptyRangeHasNoHandle();
    void looks_data();
    void looks();
};

void tst_QZRScrollBar::thickness()
{
    QZRScrollBar vertical(Qt::Vertical);
    QCOMPARE(vertical.minimumWidth(), 10);
    QCOMPARE(vertical.maximumWidth(), 10);
    QCOMPARE(vertical.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &vertical), 11);
    vertical.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vertical));
    QCOMPARE(vertical.width(), 10);

    QZRScrollBar horizontal(Qt::Horizontal);
    QCOMPARE(horizontal.maximumHeight(), 10);
    QVERIFY(horizontal.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(horizontal.styleAttribute().m_extent, 11);
}

void tst_QZRScrollBar::emptyRangeHasNoHandle()
{
    Bar bar(0, true);
    bar.setRange(0, 0);
    const QRect groove = bar.rect(QStyle::SC_ScrollBarGroove);
    const QRect end = bar.rect(QStyle::SC_ScrollBarAddLine);
    QVERIFY(groove.isValid());
    QCOMPARE(bar.at(groove.center()), Groove);
    QCOMPARE(bar.at(QPoint(groove.center().x(), groove.top() + 2)), Groove);
    if (end.isValid())
        QCOMPARE(bar.at(end.center()), End);
}

void tst_QZRScrollBar::looks_data()
{
    QTest::addColumn<int>("margin");
    QTest::addColumn<bool>("trackShown");
    QTest::addColumn<QColor>("besideHandle");
    QTest::addColumn<QColor>("belowHandle");

    QTest::newRow("thin, no margin") << 0 << false << Handle << Groove;
    QTest::newRow("thin, margin 3") << 3 << false << Groove << Groove;
    QTest::newRow("thin, margin 6 is ignored") << 6 << false << Handle << Groove;
    QTest::newRow("full, margin 1") << 1 << true << Track << Track;
    QTest::newRow("full, margin 3") << 3 << true << Track << Track;
}

// Column 1 lies beside a handle inset by more than a pixel; the middle below the handle shows
// the groove in the thin look and the track in the full look.
void tst_QZRScrollBar::looks()
{
    QFETCH(int, margin);
    QFETCH(bool, trackShown);
    QFETCH(QColor, besideHandle);
    QFETCH(QColor, belowHandle);

    Bar bar(margin, trackShown);
    const QRect handle = bar.rect(QStyle::SC_ScrollBarSlider);
    const QRect groove = bar.rect(QStyle::SC_ScrollBarGroove);
    QVERIFY(handle.height() > 10);
    const int mid = handle.center().y();
    QCOMPARE(bar.at(QPoint(5, mid)), Handle);
    if (margin != 1)
        QCOMPARE(bar.at(QPoint(1, mid)), besideHandle);
    else
        QCOMPARE(bar.at(QPoint(0, mid)), Track);
    QCOMPARE(bar.at(QPoint(5, (handle.bottom() + groove.bottom()) / 2)), belowHandle);
}

QTEST_MAIN(tst_QZRScrollBar)
#include "tst_qzrscrollbar.moc"
