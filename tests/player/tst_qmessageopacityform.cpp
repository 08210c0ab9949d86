// The fading notice: its controls, a second of full opacity, the fade in 50 ms steps to its close,
// the mouse that holds it, and its keys.
#include "player/qmessageopacityform.h"
#include "services/qianyutil.h"
#include "toolkit/qzrbasebutton.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <memory>

class tst_QMessageOpacityForm : public QObject
{
    Q_OBJECT

public slots:
    void openedUrl(const QUrl &url) { m_opened << url; }

private slots:
    void init();
    void cleanup();

    void controls();
    void messageText();
    void linkAndCheckBox();
    void opaqueForASecondThenFadesAndCloses();
    void mouseOverHoldsTheNotice_data();
    void mouseOverHoldsTheNotice();
    void ctrlWClosesAtOnceEscapeDoesNothing();
    void closeButton();
    void newNoticeWhileFading();
    void supportLinkOpensNothing();

private:
    template <class T>
    T *child(const char *name) const
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    QTimer *fadeTimer() const { return m_form->findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly); }
    // Shows a notice the way the player window does.
    void notice(const QString &text)
    {
        m_form->setMessageText(text);
        m_form->startOpacity();
        m_form->setShowlink(0, 0, false);
        m_form->setCheckShow(false);
        m_form->move(100, 10);
        m_form->show();
    }
    // Waits until the fade has begun and returns how long that took; -1 when it never began.
    qint64 untilFading(const QElapsedTimer &clock)
    {
        QDeadlineTimer deadline(20000);
        while (m_form->windowOpacity() >= 1.0 && !deadline.hasExpired())
            QTest::qWait(5);
        return m_form->windowOpacity() < 1.0 ? clock.elapsed() : -1;
    }

    std::unique_ptr<QWidget> m_owner;
    QMessageOpacityForm *m_form = nullptr;
    QList<QUrl> m_opened;
};

void tst_QMessageOpacityForm::init()
{
    m_owner.reset(new QWidget);
    m_form = new QMessageOpacityForm(m_owner.get());
    m_opened.clear();
}

void tst_QMessageOpacityForm::cleanup()
{
    m_owner.reset();
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
}

void tst_QMessageOpacityForm::controls()
{
    QVERIFY(m_form->isHidden());
    QCOMPARE(m_form->size(), QSize(351, 125));
    QCOMPARE(m_form->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QVERIFY(m_form->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(m_form->windowTitle(), QString("Dialog"));
    QCOMPARE(m_form->font().pixelSize(), 12);
    QCOMPARE(m_form->palette().color(QPalette::WindowText), QColor(255, 255, 255));

    m_form->show();
    auto *close = child<QZRBaseButton>("m_btnClose");
    auto *minimise = child<QZRBaseButton>("m_btnMin");
    auto *maximise = child<QZRBaseButton>("m_btnMax");
    const QImage closeSkin(QIAnyUtil::getResourcePath() + "/images/btn_close.png");
    QCOMPARE(close->size(), QSize(closeSkin.width() / 8, closeSkin.height() / 2));
    QCOMPARE(close->pos(), QPoint(13, 13));
    QCOMPARE(minimise->pos(), QPoint(13 + close->width() + 8, 13));
    QCOMPARE(maximise->pos(), QPoint(minimise->x() + minimise->width() + 8, 13));
    QVERIFY(close->isEnabled());
    QVERIFY(!minimise->isEnabled());
    QVERIFY(!maximise->isEnabled());
    const QImage okSkin(QIAnyUtil::getResourcePath() + "/images/btn_common.png");
    QCOMPARE(child<QZRBaseButton>("m_btnOk")->size(), QSize(okSkin.width() / 8, okSkin.height() / 2));
    QCOMPARE(child<QZRBaseButton>("m_btnOk")->text(), QString("Ok"));

    // The nine-grid skin, not the plain fill of a window without one, is painted.
    const QImage shot = m_form->grab().toImage();
    QVERIFY(shot.pixelColor(175, 100) != QColor(100, 100, 100, 100));
    QCOMPARE(shot.pixelColor(175, 100).alpha(), 255);
}

void tst_QMessageOpacityForm::messageText()
{
    auto *text = child<QLabel>("m_lblText");
    auto *ok = child<QZRBaseButton>("m_btnOk");
    ok->hide();
    m_form->setMessageText("Snapshot successfully!");
    QCOMPARE(text->text(), QString("Snapshot successfully!"));
    QCOMPARE(text->geometry(), QRect(50, 125 / 2 - 5, 351, 40));
    QVERIFY(text->wordWrap());
    QCOMPARE(text->alignment(), Qt::Alignment(Qt::AlignTop));
    QCOMPARE(text->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(text->font().pixelSize(), 12);
    QVERIFY(ok->isHidden());

    m_form->setMessageText("Elsewhere", 20, 30);
    QCOMPARE(text->geometry(), QRect(20, 30, 351, 40));
    QVERIFY(!ok->isHidden());
}

void tst_QMessageOpacityForm::linkAndCheckBox()
{
    m_form->show();
    auto *link = child<QLabel>("m_lblSuppport");
    QVERIFY(link->text().contains("Click here for support!"));
    m_form->setShowlink(40, 60, true);
    QVERIFY(link->isVisible());
    QCOMPARE(link->pos(), QPoint(40, 60));
    m_form->setShowlink(0, 0, false);
    QVERIFY(link->isHidden());
    m_form->setCheckShow(true);
    QVERIFY(child<QCheckBox>("m_ckbNote")->isVisible());
    m_form->setCheckShow(false);
    QVERIFY(child<QCheckBox>("m_ckbNote")->isHidden());
    m_form->setXmlSetting();
}

void tst_QMessageOpacityForm::opaqueForASecondThenFadesAndCloses()
{
    QElapsedTimer clock;
    clock.start();
    notice("Snapshot successfully!");
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->windowOpacity(), 1.0);
    QCOMPARE(fadeTimer()->interval(), 1000);

    // Fully opaque for a second (a coarse timer may fire up to 5 % early).
    const qint64 fading = untilFading(clock);
    QVERIFY2(fading >= 900, qPrintable(QString::number(fading)));
    QVERIFY(m_form->windowOpacity() <= 0.9);
    QCOMPARE(fadeTimer()->interval(), 50);

    // Then ten steps of 50 ms, about 1.5 s after the start.
    QTRY_VERIFY_WITH_TIMEOUT(m_form->isHidden(), 20000);
    QVERIFY2(clock.elapsed() >= 1300, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!fadeTimer()->isActive());
    // A fade that closes leaves the window at its last opacity.
    QVERIFY(m_form->windowOpacity() < 0.1);
}

void tst_QMessageOpacityForm::mouseOverHoldsTheNotice_data()
{
    QTest::addColumn<bool>("holds");
    QTest::newRow("holding") << true;
    QTest::newRow("holding off") << false;
}

void tst_QMessageOpacityForm::mouseOverHoldsTheNotice()
{
    QFETCH(bool, holds);
    m_form->setIsOpacity(holds);
    QElapsedTimer clock;
    clock.start();
    notice("Hold me");
    QVERIFY(untilFading(clock) > 0);

    QEnterEvent enter(QPointF(50, 50), QPointF(50, 50), m_form->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(m_form, &enter);
    if (!holds) {
        QVERIFY(fadeTimer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(m_form->isHidden(), 20000);
        return;
    }
    QCOMPARE(m_form->windowOpacity(), 1.0);
    QVERIFY(!fadeTimer()->isActive());
    // Well past the time the fade would have closed it, it is still up and opaque.
    QTest::qWait(1600);
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->windowOpacity(), 1.0);

    // Leaving starts the whole cycle again.
    QElapsedTimer left;
    left.start();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_form, &leave);
    QCOMPARE(fadeTimer()->interval(), 1000);
    QVERIFY(fadeTimer()->isActive());
    QVERIFY2(untilFading(left) >= 900, qPrintable(QString::number(left.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(m_form->isHidden(), 20000);
    QVERIFY2(left.elapsed() >= 1300, qPrintable(QString::number(left.elapsed())));
}

void tst_QMessageOpacityForm::ctrlWClosesAtOnceEscapeDoesNothing()
{
    QElapsedTimer clock;
    clock.start();
    notice("Keys");
    QVERIFY(untilFading(clock) > 0);
    QSignalSpy rejected(m_form, &QDialog::rejected);
    QTest::keyClick(m_form, Qt::Key_Escape);
    QVERIFY(m_form->isVisible());
    QCOMPARE(rejected.count(), 0);
    // W alone or with another modifier is no close either.
    QTest::keyClick(m_form, Qt::Key_W);
    QTest::keyClick(m_form, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(m_form->isVisible());

    QTest::keyClick(m_form, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(m_form->isHidden());
    QCOMPARE(m_form->windowOpacity(), 1.0);
    QVERIFY(!fadeTimer()->isActive());
}

void tst_QMessageOpacityForm::closeButton()
{
    notice("Close");
    auto *close = child<QZRBaseButton>("m_btnClose");
    QTest::mouseClick(close, Qt::LeftButton, Qt::NoModifier, close->rect().center());
    QVERIFY(m_form->isHidden());
    QVERIFY(!fadeTimer()->isActive());
    QCOMPARE(m_form->windowOpacity(), 1.0);
}

void tst_QMessageOpacityForm::newNoticeWhileFading()
{
    QElapsedTimer clock;
    clock.start();
    notice("First");
    QVERIFY(untilFading(clock) > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_form->windowOpacity() < 0.6, 20000);
    QVERIFY(m_form->isVisible());

    QElapsedTimer second;
    second.start();
    notice("Second");
    QCOMPARE(child<QLabel>("m_lblText")->text(), QString("Second"));
    QCOMPARE(m_form->windowOpacity(), 1.0);
    QCOMPARE(fadeTimer()->interval(), 1000);
    QVERIFY2(untilFading(second) >= 900, qPrintable(QString::number(second.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(m_form->isHidden(), 20000);
    QVERIFY2(second.elapsed() >= 1300, qPrintable(QString::number(second.elapsed())));
}

void tst_QMessageOpacityForm::supportLinkOpensNothing()
{
    QDesktopServices::setUrlHandler("https", this, "openedUrl");
    QDesktopServices::setUrlHandler("http", this, "openedUrl");
    m_form->setShowlink(40, 60, true);
    auto *link = child<QLabel>("m_lblSuppport");
    QVERIFY(QMetaObject::invokeMethod(link, "linkActivated", Q_ARG(QString, "https://example.com/")));
    QCOMPARE(m_opened, QList<QUrl>());
}

QTEST_MAIN(tst_QMessageOpacityForm)
#include "tst_qmessageopacityform.moc"
