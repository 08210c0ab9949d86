// The loading dialog: its window and controls, the path elided in the middle, and the stop requests
// that only the user's Cancel, close button or Ctrl+W make, run modally the way its owners use it.
#include "player/qloadingdlg.h"
#include "services/qianyutil.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseprogress.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

class tst_QLoadingDlg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void controlsPlaced();
    void pathElidedInTheMiddle_data();
    void pathElidedInTheMiddle();
    void countAndProgressPassedOn();
    void stopRequests_data();
    void stopRequests();
    void escapeDoesNothing();
    void textsKeptBetweenRuns();

private:
    template <class T = QLabel>
    T *child(const char *name) const
    {
        return m_dialog->findChild<T *>(QLatin1String(name));
    }
    QZRBaseButton *titleClose() const
    {
        for (QZRBaseButton *b : m_dialog->findChildren<QZRBaseButton *>())
            if (b->toolTip() == "Close")
                return b;
        return nullptr;
    }
    // Runs the dialog modally, as the owners do, and performs the action once it is up.
    int run(const std::function<void()> &action)
    {
        QTimer::singleShot(0, m_dialog, [this, action] {
            QTRY_VERIFY(m_dialog->isVisible());
            action();
        });
        return m_dialog->exec();
    }

    std::unique_ptr<QWidget> m_owner;
    QLoadingDlg *m_dialog = nullptr;
};

void tst_QLoadingDlg::init()
{
    m_owner.reset(new QWidget);
    m_dialog = new QLoadingDlg(m_owner.get());
}

void tst_QLoadingDlg::cleanup()
{
    m_owner.reset();
}

void tst_QLoadingDlg::window()
{
    QVERIFY(m_dialog->isHidden());
    QCOMPARE(m_dialog->windowTitle(), QString("ZRPlayer"));
    QCOMPARE(m_dialog->getDlgTitle(), QString("ZRPlayer"));
    QCOMPARE(m_dialog->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
    QVERIFY(m_dialog->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(m_dialog->minimumSize(), QSize(440, 170));
    QCOMPARE(m_dialog->maximumSize(), QSize(440, 170));
    QCOMPARE(m_dialog->font().pixelSize(), 12);

    QVERIFY(titleClose());
    const QImage closeSkin(QIAnyUtil::getResourcePath() + "/images/btn_close.png");
    QCOMPARE(titleClose()->size(), QSize(closeSkin.width() / 8, closeSkin.height() / 2));
    int disabled = 0;
    for (QZRBaseButton *b : m_dialog->findChildren<QZRBaseButton *>())
        disabled += !b->isEnabled();
    QCOMPARE(disabled, 2);
}

void tst_QLoadingDlg::controlsPlaced()
{
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
    auto *cancel = child<QZRBaseButton>("m_btnCancel");
    QCOMPARE(cancel->text(), QString("Cancel"));
    QCOMPARE(cancel->size(), QSize(100, 24));
    QCOMPARE(cancel->pos(), QPoint(310, 118));

    QLabel *adding = child("m_labAddingPath");
    QLabel *added = child("m_labAdded");
    QCOMPARE(adding->text(), QString("Add File(s):"));
    QCOMPARE(added->text(), QString("Added:"));
    QCOMPARE(child("m_labAddingPath_2")->text(), QString("UnKown"));
    QCOMPARE(child("m_labAdded_2")->text(), QString("0/0"));
    for (const char *name : {"m_labAddingPath", "m_labAdded", "m_labAddingPath_2", "m_labAdded_2"}) {
        QCOMPARE(child(name)->font().pixelSize(), 11);
        QCOMPARE(child(name)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    }
    QCOMPARE(adding->pos(), QPoint(34, 48));
    QCOMPARE(added->pos(), QPoint(34, 73));
    QCOMPARE(adding->size(), adding->sizeHint());
    // The path runs to 34 pixels from the right edge.
    QCOMPARE(child("m_labAddingPath_2")->geometry(),
             QRect(QPoint(adding->geometry().right() + 5, 48), QPoint(440 - 35, 48 + adding->height() - 1)));
    QCOMPARE(child("m_labAdded_2")->geometry(), QRect(added->geometry().right() + 5, 73, 100, added->height()));

    // The toolkit grows a bar to its track image's pixel height when it paints, so the layout is
    // read right after it ran.
    auto *progress = child<QZRBaseProgress>("m_progressBar");
    m_dialog->resetControlLocation();
    QCOMPARE(progress->geometry(), QRect(34, 98, 440 - 68, 4));
    QCOMPARE(progress->value(), 0.0);
    QVERIFY(progress->format().isEmpty());
}

void tst_QLoadingDlg::pathElidedInTheMiddle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("elided");
    QTest::newRow("short") << "/home/me/a.mp4" << false;
    QTest::newRow("long") << "/home/me/Videos/" + QString("very long folder name/").repeated(8) + "the end.mkv" << true;
}

void tst_QLoadingDlg::pathElidedInTheMiddle()
{
    QFETCH(QString, path);
    QFETCH(bool, elided);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
    m_dialog->setAddFilePath(path);
    QLabel *label = child("m_labAddingPath_2");
    const QString shown = label->text();
    if (!elided) {
        QCOMPARE(shown, path);
        return;
    }
    QCOMPARE(shown, QFontMetrics(label->font()).elidedText(path, Qt::ElideMiddle, label->width()));
    const int dots = shown.indexOf(QChar(0x2026));
    QVERIFY(dots > 0);
    QVERIFY(path.startsWith(shown.left(dots)));
    QVERIFY(path.endsWith(shown.mid(dots + 1)));
    QVERIFY(shown.endsWith("the end.mkv"));
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(shown) <= label->width());
}

void tst_QLoadingDlg::countAndProgressPassedOn()
{
    m_dialog->setAddCount("3/12");
    QCOMPARE(child("m_labAdded_2")->text(), QString("3/12"));
    m_dialog->setProgressVale(50.0f);
    QCOMPARE(child<QZRBaseProgress>("m_progressBar")->value(), 50.0);
    m_dialog->setProgressVale(12.5f);
    QCOMPARE(child<QZRBaseProgress>("m_progressBar")->value(), 12.5);
}

void tst_QLoadingDlg::stopRequests_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("stops");
    QTest::newRow("Cancel") << "cancel" << 1;
    QTest::newRow("title close button") << "close button" << 1;
    QTest::newRow("Ctrl+W") << "ctrl+w" << 1;
    QTest::newRow("the owner's close at the end of loading") << "owner" << 0;
}

void tst_QLoadingDlg::stopRequests()
{
    QFETCH(QString, how);
    QFETCH(int, stops);
    QSignalSpy stop(m_dialog, &QLoadingDlg::seedStopAddFile);
    // The owner's stop slot runs right after the dialog has closed itself.
    bool closedFirst = false;
    connect(m_dialog, &QLoadingDlg::seedStopAddFile, this, [&] { closedFirst = m_dialog->isHidden(); });
    run([&] {
        if (how == "cancel")
            QTest::mouseClick(child<QZRBaseButton>("m_btnCancel"), Qt::LeftButton, Qt::NoModifier, QPoint(50, 12));
        else if (how == "close button")
            QTest::mouseClick(titleClose(), Qt::LeftButton, Qt::NoModifier, titleClose()->rect().center());
        else if (how == "ctrl+w")
            QTest::keyClick(m_dialog, Qt::Key_W, Qt::ControlModifier);
        else
            m_dialog->close();
    });
    QVERIFY(m_dialog->isHidden());
    QCOMPARE(stop.count(), stops);
    QCOMPARE(closedFirst, stops == 1);
}

void tst_QLoadingDlg::escapeDoesNothing()
{
    QSignalSpy stop(m_dialog, &QLoadingDlg::seedStopAddFile);
    bool upAfterEscape = false;
    run([&] {
        QTest::keyClick(m_dialog, Qt::Key_Escape);
        QTest::keyClick(child<QZRBaseButton>("m_btnCancel"), Qt::Key_Escape);
        upAfterEscape = m_dialog->isVisible();
        m_dialog->close();
    });
    QVERIFY(upAfterEscape);
    QCOMPARE(stop.count(), 0);
}

void tst_QLoadingDlg::textsKeptBetweenRuns()
{
    run([&] {
        m_dialog->setAddFilePath("/media/first.mp4");
        m_dialog->setAddCount("2/2");
        m_dialog->setProgressVale(100.0f);
        m_dialog->close();
    });
    QString path, count;
    double value = -1;
    run([&] {
        path = child("m_labAddingPath_2")->text();
        count = child("m_labAdded_2")->text();
        value = child<QZRBaseProgress>("m_progressBar")->value();
        m_dialog->close();
    });
    QCOMPARE(path, QString("/media/first.mp4"));
    QCOMPARE(count, QString("2/2"));
    QCOMPARE(value, 100.0);
}

QTEST_MAIN(tst_QLoadingDlg)
#include "tst_qloadingdlg.moc"
