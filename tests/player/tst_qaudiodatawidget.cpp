// Level bars: the reduction of audio blocks to bar levels, and the cells and peak marks they draw,
// read back pixel by pixel.
#include "player/qaudiodatawidget.h"
#include "player/qaudioelementwindow.h"
#include "services/qianyutil.h"

#include "levelbars.h"

#include <QScreen>
#include <QtTest>
#include <memory>

using namespace LevelBars;

using Levels = QVector<unsigned int>;
using Values = QVector<quint16>;

class tst_QAudioDataWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void transData_data();
    void transData();
    void fullBlockDrawsEveryCellAndThePeakAbove();
    void paneDrawsTheseBars();
    void levels_data();
    void levels();
    void nullBlockClears();
    void repaintWithoutBlockShowsPictureOnly();
    void resizeClearsBarsAndPeaks();
    void sampleRateLimitsTheValues_data();
    void sampleRateLimitsTheValues();
    void peakFalls_data();
    void peakFalls();
    void payloadWithoutWholeValue_data();
    void payloadWithoutWholeValue();
    void lineStyleIgnoresSpacing();
    void repaintsOnlyWhatMoved_data();
    void repaintsOnlyWhatMoved();

private:
    std::unique_ptr<QAudioDataWidget> m_widget;
};

namespace {

// The audio pane's bars.
AudioDataAttribute paneAttribute()
{
    AudioDataAttribute attribute;
    attribute.barWidth = 11;
    attribute.cellHeight = 3;
    attribute.barSpacing = 2;
    attribute.cellSpacing = 2;
    attribute.showPeak = true;
    attribute.peakGravity = 1;
    attribute.cornerRadius = 1.3;
    attribute.barColor = QColor(Colour);
    attribute.peakColor = QColor(Colour);
    return attribute;
}

QString picturePath()
{
    return QIAnyUtil::getResourcePath() + "/images/PlayerImage/bg_audio.png";
}

void showAndSettle(QWidget &widget)
{
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QCoreApplication::processEvents();
}

// Hands the block to the widget and takes the picture that the paint it causes draws.
QImage draw(QAudioDataWidget &widget, const std::vector<unsigned char> &data, int sps = 0, bool *silent = nullptr)
{
    const bool result = widget.setAudioData(const_cast<unsigned char *>(data.data()), sps);
    if (silent)
        *silent = result;
    return widget.grab().toImage();
}

QVector<int> cellsOfEveryBar(const QImage &image, int bars)
{
    QVector<int> counts;
    for (int bar = 0; bar < bars; ++bar)
        counts << cells(image, bar);
    return counts;
}

}

void tst_QAudioDataWidget::init()
{
    AudioDataAttribute attribute = paneAttribute();
    m_widget.reset(new QAudioDataWidget(nullptr, &attribute));
    m_widget->setAudioLogo(picturePath());
    m_widget->resize(390, 230);
    showAndSettle(*m_widget);
}

void tst_QAudioDataWidget::cleanup()
{
    m_widget.reset();
}

void tst_QAudioDataWidget::transData_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("bars");
    QTest::addColumn<int>("cells");
    QTest::addColumn<bool>("check");
    QTest::addColumn<Levels>("expected");
    QTest::addColumn<bool>("silent");

    // Each bar averages its share of the values; the average of 0 to 65535 scales to 0 to cells - 1.
    QTest::newRow("averages") << Values{100, 300, 65535, 65535} << 4 << 2 << 46 << false << Levels{0, 45} << false;
    QTest::newRow("only the first n") << Values{65535, 65535, 1, 1} << 2 << 2 << 46 << false << Levels{45, 45}
                                      << false;
    Values ramp;
    for (int k = 0; k < 10; ++k)
        ramp << quint16(k * 7000);
    QTest::newRow("fewer values than bars: bar i takes value i*10/30")
        << ramp << 10 << 30 << 46 << false
        << Levels{0, 0, 0, 4, 4, 4, 9, 9, 9, 14, 14, 14, 19, 19, 19, 24, 24, 24, 29, 29, 29, 34, 34, 34, 39, 39, 39,
                  44, 44, 44}
        << false;
    QTest::newRow("silence") << Values(8, 0) << 8 << 4 << 46 << false << Levels{0, 0, 0, 0} << true;
    QTest::newRow("quiet but not silent") << Values{0, 0, 0, 4} << 4 << 1 << 46 << false << Levels{0} << false;
    QTest::newRow("no cells: the averages themselves") << Values{10, 30, 7} << 3 << 2 << 0 << false << Levels{10, 18}
                                                       << false;
    QTest::newRow("flat within 10 with check") << Values{1000, 1010, 990, 1005} << 4 << 2 << 46 << true
                                               << Levels{0, 0} << true;
    QTest::newRow("one value 11 away with check") << Values{1000, 1000, 1011, 1000} << 4 << 2 << 46 << true
                                                  << Levels{0, 0} << false;
    QTest::newRow("loud but flat with check") << Values(4, 65535) << 4 << 2 << 46 << true << Levels{45, 45} << true;
    QTest::newRow("no bars") << Values{65535} << 1 << 0 << 46 << false << Levels{} << true;
    QTest::newRow("no whole value: nothing shows") << Values{65535} << 0 << 3 << 46 << false << Levels{0, 0, 0}
                                                   << true;
}

void tst_QAudioDataWidget::transData()
{
    QFETCH(Values, values);
    QFETCH(int, n);
    QFETCH(int, bars);
    QFETCH(int, cells);
    QFETCH(bool, check);
    QFETCH(Levels, expected);
    QFETCH(bool, silent);

    // The values live in a buffer of exactly n of them, so a read past them is caught by the sanitizer.
    std::unique_ptr<unsigned short[]> exact(new unsigned short[size_t(qMax(n, 0))]);
    std::copy(values.constBegin(), values.constBegin() + n, exact.get());
    Levels out(qMax(bars, 1), 7);
    QCOMPARE(TransData(exact.get(), n, out.data(), bars, cells, check), silent);
    if (bars < 1)
        QCOMPARE(out, Levels{7});
    else
        QCOMPARE(out, expected);
}

void tst_QAudioDataWidget::fullBlockDrawsEveryCellAndThePeakAbove()
{
    bool silent = true;
    const QImage image = draw(*m_widget, block(Values(512, 65535)), 0, &silent);
    QVERIFY(!silent);
    // 30 bars of 46 cells fit 390 by 230; the loudest level is one below the cell count.
    QCOMPARE(cellsOfEveryBar(image, 31), QVector<int>(30, 45) << 0);
    QVector<int> rows{cellTop(230, 44) - 1};
    for (int c = 44; c >= 0; --c)
        rows << cellTop(230, c) << cellTop(230, c) + 1 << cellTop(230, c) + 2;
    for (int bar = 0; bar < 30; ++bar)
        QCOMPARE(colouredRows(image, bar), rows);
    // The gap between two bars stays clear.
    for (int y = 0; y < 230; ++y)
        QVERIFY(!barColoured(image, BarPitch * 3 + BarWidth, y));
}

void tst_QAudioDataWidget::paneDrawsTheseBars()
{
    QAudioElementWindow pane;
    pane.resize(875, 580);
    showAndSettle(pane);
    auto *levels = pane.findChild<QAudioDataWidget *>();
    QVERIFY(levels);
    QCOMPARE(levels->size(), QSize(390, 230));
    QVERIFY(levels->testAttribute(Qt::WA_TransparentForMouseEvents));

    const std::vector<unsigned char> data = block(Values(512, 40000));
    pane.setAudioData(const_cast<unsigned char *>(data.data()), 0);
    const QImage fromPane = levels->grab().toImage();
    const QImage alone = draw(*m_widget, data);
    QCOMPARE(cellsOfEveryBar(fromPane, 31), QVector<int>(30, (40000 * 46) >> 16) << 0);
    QCOMPARE(cellsOfEveryBar(fromPane, 31), cellsOfEveryBar(alone, 31));
    QCOMPARE(colouredRows(fromPane, 0), colouredRows(alone, 0));
}

void tst_QAudioDataWidget::levels_data()
{
    QTest::addColumn<quint16>("value");
    QTest::addColumn<int>("cells");
    QTest::newRow("full") << quint16(65535) << 45;
    QTest::newRow("half") << quint16(32768) << 23;
    QTest::newRow("one cell") << quint16(1425) << 1;
    QTest::newRow("just below one cell") << quint16(1424) << 0;
    QTest::newRow("zeros") << quint16(0) << 0;
}

void tst_QAudioDataWidget::levels()
{
    QFETCH(quint16, value);
    QFETCH(int, cells);
    bool silent = false;
    const QImage image = draw(*m_widget, block(Values(300, value)), 0, &silent);
    QCOMPARE(silent, value == 0);
    QCOMPARE(cellsOfEveryBar(image, 30), QVector<int>(30, cells));
    if (cells == 0 && value == 0)
        QCOMPARE(colouredPixels(image), 0);
    else if (cells > 0)
        QCOMPARE(colouredRows(image, 7).first(), cellTop(230, cells - 1) - 1);
}

void tst_QAudioDataWidget::nullBlockClears()
{
    QVERIFY(colouredPixels(draw(*m_widget, block(Values(64, 65535)))) > 0);
    QVERIFY(m_widget->setAudioData(nullptr, 0));
    QCOMPARE(colouredPixels(m_widget->grab().toImage()), 0);
    // The peaks are gone too: a quiet block after it shows nothing.
    QCOMPARE(colouredPixels(draw(*m_widget, block(Values(64, 0)))), 0);
}

void tst_QAudioDataWidget::repaintWithoutBlockShowsPictureOnly()
{
    const QImage picture = m_widget->grab().toImage();
    QCOMPARE(colouredPixels(picture), 0);
    QVERIFY(colouredPixels(draw(*m_widget, block(Values(64, 65535)))) > 0);
    QCOMPARE(m_widget->grab().toImage(), picture);
}

void tst_QAudioDataWidget::resizeClearsBarsAndPeaks()
{
    QVERIFY(colouredPixels(draw(*m_widget, block(Values(64, 65535)))) > 0);
    m_widget->resize(391, 231);
    QCOMPARE(colouredPixels(m_widget->grab().toImage()), 0);
    QCOMPARE(colouredPixels(draw(*m_widget, block(Values(64, 0)))), 0);
    // Showing starts from nothing as well.
    QVERIFY(colouredPixels(draw(*m_widget, block(Values(64, 65535)))) > 0);
    m_widget->hide();
    showAndSettle(*m_widget);
    QCOMPARE(colouredPixels(draw(*m_widget, block(Values(64, 0)))), 0);
}

void tst_QAudioDataWidget::sampleRateLimitsTheValues_data()
{
    QTest::addColumn<int>("sps");
    QTest::addColumn<int>("loudBars");
    // 4000 values, the first 2000 loud: a rate of 16000 or more uses only 16000/sps of them.
    QTest::newRow("32000: the first half") << 32000 << 30;
    QTest::newRow("64000: the first quarter") << 64000 << 30;
    QTest::newRow("16000: all") << 16000 << 15;
    QTest::newRow("below 16000: all") << 8000 << 15;
    QTest::newRow("none given: all") << 0 << 15;
}

void tst_QAudioDataWidget::sampleRateLimitsTheValues()
{
    QFETCH(int, sps);
    QFETCH(int, loudBars);
    const QImage image = draw(*m_widget, block(Values(2000, 65535) + Values(2000, 0)), sps);
    QCOMPARE(cellsOfEveryBar(image, 30), QVector<int>(loudBars, 45) + QVector<int>(30 - loudBars, 0));
}

void tst_QAudioDataWidget::peakFalls_data()
{
    QTest::addColumn<int>("gravity");
    QTest::addColumn<QVector<int>>("heights");
    // A peak resting on a full bar (45 cells, 223 pixels), then quiet blocks.
    QTest::newRow("with gravity: drops of 0, 0, 1, 2, 3, 4, 6, 8, 10, 12")
        << 1 << QVector<int>{223, 223, 222, 220, 217, 213, 207, 199, 189, 177};
    QTest::newRow("without gravity: one pixel per block") << 0 << QVector<int>{222, 221, 220, 219, 218};
}

void tst_QAudioDataWidget::peakFalls()
{
    QFETCH(int, gravity);
    QFETCH(QVector<int>, heights);
    AudioDataAttribute attribute = paneAttribute();
    attribute.peakGravity = gravity;
    QAudioDataWidget widget(nullptr, &attribute);
    widget.resize(390, 230);
    showAndSettle(widget);

    const int bottom = 229;
    QCOMPARE(colouredRows(draw(widget, block(Values(64, 65535))), 4).first(), bottom - 223 - 1);
    for (int height : heights) {
        const QImage image = draw(widget, block(Values(64, 0)));
        QCOMPARE(colouredRows(image, 4), QVector<int>{bottom - height - 1});
    }
    // A bar above the falling peak lifts it to its top again.
    QCOMPARE(colouredRows(draw(widget, block(Values(64, 65535))), 4).first(), bottom - 223 - 1);
}

void tst_QAudioDataWidget::payloadWithoutWholeValue_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("cells");
    QTest::newRow("empty payload") << 0 << 0;
    QTest::newRow("one byte") << 1 << 0;
    // A single value is shared by every bar.
    QTest::newRow("one value") << 2 << 45;
}

void tst_QAudioDataWidget::payloadWithoutWholeValue()
{
    QFETCH(int, length);
    QFETCH(int, cells);
    bool silent = false;
    // The block holds exactly the claimed bytes, so a read beyond them is caught by the sanitizer.
    const QImage image = draw(*m_widget, block(Values{65535}, length), 0, &silent);
    QCOMPARE(silent, cells == 0);
    QCOMPARE(cellsOfEveryBar(image, 30), QVector<int>(30, cells));
    if (cells == 0)
        QCOMPARE(colouredPixels(image), 0);
}

void tst_QAudioDataWidget::lineStyleIgnoresSpacing()
{
    AudioDataAttribute attribute = paneAttribute();
    attribute.drawStyle = 1;
    attribute.showPeak = false;
    QAudioDataWidget widget(nullptr, &attribute);
    widget.resize(390, 230);
    showAndSettle(widget);

    // Without spacing 35 bars of 11 pixels fit, each 76 cells of 3 pixels high; a loud left half
    // draws an 11-pixel line along the top of the loud bars and down to the floor.
    const QImage image = draw(widget, block(Values(1000, 65535) + Values(1000, 0)));
    const int top = 229 - 3 * ((65535 * 76) >> 16);
    QVERIFY(barColoured(image, 11 * 5, top));
    QVERIFY(barColoured(image, 11 * 30, 229));
    QVERIFY(!barColoured(image, 11 * 30, top));
    QVERIFY(!barColoured(image, 11 * 5, top + 20));
}

// The regions of the paints a widget gets.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions << static_cast<QPaintEvent *>(event)->region();
        return false;
    }
    QVector<QRegion> regions;
};

// A few turns of the event loop, counted by a timer of the test's own: posted repaints are done.
static void letTheLoopRun()
{
    int ticks = 0;
    QTimer witness;
    QObject::connect(&witness, &QTimer::timeout, [&] { ++ticks; });
    witness.start(20);
    QTRY_VERIFY(ticks >= 5);
}

void tst_QAudioDataWidget::repaintsOnlyWhatMoved_data()
{
    QTest::addColumn<int>("bar");
    QTest::addColumn<quint16>("value");
    QTest::newRow("first bar up") << 0 << quint16(65535);
    QTest::newRow("middle bar down") << 14 << quint16(1000);
    QTest::newRow("last bar to nothing") << 29 << quint16(0);
}

// The same block again repaints nothing; one bar moving repaints its column only, and the screen
// then shows every bar right.
void tst_QAudioDataWidget::repaintsOnlyWhatMoved()
{
    QFETCH(int, bar);
    QFETCH(quint16, value);
    PaintRecorder recorder(m_widget.get());
    const Values level(30, 30000);
    m_widget->setAudioData(block(level).data(), 0);
    QTRY_VERIFY(!recorder.regions.isEmpty());
    letTheLoopRun();

    recorder.regions.clear();
    m_widget->setAudioData(block(level).data(), 0);
    letTheLoopRun();
    QCOMPARE(recorder.regions.size(), 0);

    Values moved = level;
    moved[bar] = value;
    m_widget->setAudioData(block(moved).data(), 0);
    QTRY_VERIFY(!recorder.regions.isEmpty());
    const QRect column(BarPitch * bar, 0, BarWidth, 230);
    for (const QRegion &region : recorder.regions)
        QVERIFY(column.contains(region.boundingRect()));

    QVector<int> expected(30, (30000 * 46) >> 16);
    expected[bar] = (value * 46) >> 16;
    const QImage screen = m_widget->screen()->grabWindow(m_widget->winId()).toImage();
    QCOMPARE(cellsOfEveryBar(screen, 30), expected);
}

QTEST_MAIN(tst_QAudioDataWidget)
#include "tst_qaudiodatawidget.moc"
