// The message popup: its look, the 2.4-second display that hide, set, show restarts, and the text
// that hiding clears.
#include "player/qmessageform.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>
#include <memory>

class tst_QMessageForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void look();
    void labelFillsThePopup();
    void hidesAfterTwoPointFourSeconds();
    void hideSetShowRestartsTheDisplay();
    void showOnAVisiblePopupChangesNothing();
    void hidingClearsTheText();

private:
    QLabel *label() const { return m_form->findChild<QLabel *>("m_lblMessage"); }
    // Shows a message the way callers do and returns when it went up.
    void showMessage(const QString &text)
    {
        m_form->hide();
        m_form->setMeassge(text);
        m_form->show();
    }

    std::unique_ptr<QWidget> m_owner;
    QMessageForm *m_form = nullptr;
};

void tst_QMessageForm::init()
{
    m_owner.reset(new QWidget);
    m_form = new QMessageForm(m_owner.get());
    m_form->resize(600, 50);
}

void tst_QMessageForm::cleanup()
{
    m_owner.reset();
}

void tst_QMessageForm::look()
{
    QVERIFY(m_form->isHidden());
    QCOMPARE(m_form->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
    QVERIFY(m_form->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(m_form->windowTitle(), QString("Form"));
    QCOMPARE(label()->palette().color(QPalette::WindowText), QColor(Qt::yellow));
    QCOMPARE(label()->font().family(), QString("Tahoma"));
    QCOMPARE(label()->font().pixelSize(), 35);

    // Nothing but the text is painted on the transparent window.
    m_form->setMeassge(QString());
    QImage shot(m_form->size(), QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::transparent);
    m_form->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(shot.pixelColor(300, 25).alpha(), 0);
}

void tst_QMessageForm::labelFillsThePopup()
{
    showMessage("Play");
    QCOMPARE(label()->geometry(), QRect(0, 0, 600, 50));
    m_form->resize(800, 60);
    QCOMPARE(label()->geometry(), QRect(0, 0, 800, 60));
}

void tst_QMessageForm::hidesAfterTwoPointFourSeconds()
{
    QElapsedTimer clock;
    clock.start();
    showMessage("Pause");
    QVERIFY(m_form->isVisible());
    QCOMPARE(label()->text(), QString("Pause"));
    QTRY_VERIFY_WITH_TIMEOUT(m_form->isHidden(), 20000);
    // Six ticks of 400 ms; a coarse timer may fire each up to 5 % early.
    QVERIFY2(clock.elapsed() >= 2250, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(label()->text(), QString());
}

void tst_QMessageForm::hideSetShowRestartsTheDisplay()
{
    QElapsedTimer first;
    first.start();
    showMessage("First");
    QTest::qWait(1200);
    if (first.elapsed() < 2000)
        QVERIFY(m_form->isVisible());
    QElapsedTimer clock;
    clock.start();
    showMessage("Second");
    QCOMPARE(label()->text(), QString("Second"));
    QTRY_VERIFY_WITH_TIMEOUT(m_form->isHidden(), 20000);
    QVERIFY2(clock.elapsed() >= 2250, qPrintable(QString::number(clock.elapsed())));
}

namespace {

// Counts the show events a widget receives.
class ShowCounter : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        shows += event->type() == QEvent::Show;
        return false;
    }
};

}

void tst_QMessageForm::showOnAVisiblePopupChangesNothing()
{
    ShowCounter counter;
    m_form->installEventFilter(&counter);
    showMessage("First");
    QCOMPARE(counter.shows, 1);
    QTest::qWait(500);
    // No show event, so the display time runs on from the first show.
    m_form->show();
    QCOMPARE(counter.shows, 1);
    QCOMPARE(label()->text(), QString("First"));
    QTRY_VERIFY_WITH_TIMEOUT(m_form->isHidden(), 20000);
}

void tst_QMessageForm::hidingClearsTheText()
{
    // While hidden, setting and hiding keep the text.
    m_form->setMeassge("Kept");
    m_form->hide();
    QCOMPARE(label()->text(), QString("Kept"));
    // Up, a text set and then a hide is lost: the popup then shows empty.
    m_form->show();
    m_form->setMeassge("Lost");
    m_form->hide();
    QCOMPARE(label()->text(), QString());
    m_form->show();
    QCOMPARE(label()->text(), QString());
    m_form->startTimer();
    QVERIFY(m_form->isVisible());
}

QTEST_MAIN(tst_QMessageForm)
#include "tst_qmessageform.moc"
