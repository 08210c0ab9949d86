// The About box: texts and fonts, its keys and close button, the modal run over the main window,
// the icon, and the web pages it and the Help menu open.
#include "engine/qconverteroperate.h"
#include "player/qmediaplaywindowflags.h"
#include "services/urlcatcher.h"
#include "services/zrcommoninterface.h"
#include "shell/qaboutdlg.h"
#include "shell/qzrprojectplatform.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrmainwindowex.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

QLabel *label(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLabel *>(name);
}

QAboutDlg *shownAboutBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QAboutDlg *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// Runs action once on the About box when it shows, from inside its modal loop.
void whenShown(const std::function<void(QAboutDlg *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QAboutDlg *box = shownAboutBox()) {
            timer->stop();
            timer->deleteLater();
            action(box);
        }
    });
    timer->start();
}

int aboutBoxes()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        count += qobject_cast<QAboutDlg *>(widget) ? 1 : 0;
    return count;
}

}

class tst_QAboutDlg : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void texts();
    void fonts_data();
    void fonts();
    void layoutKeepsTheLinkBesideItsCaption();
    void iconIsPainted();
    void keysInTheModalRun();
    void closeButtonCloses();
    void ownerDyingDuringTheRun();
    void linkOpensTheHomePage_data();
    void linkOpensTheHomePage();
    void webPages_data();
    void webPages();
};

void tst_QAboutDlg::cleanup()
{
    QConverterOperate::setLanguageType("English");
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
}

void tst_QAboutDlg::texts()
{
    QAboutDlg box;
    QCOMPARE(box.windowTitle(), QString("ZRPlayer"));
    QCOMPARE(box.getDlgTitle(), QString("About"));
    QCOMPARE(box.size(), QSize(400, 250));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(label(&box, "m_labProject")->text(), QString("ZRPlayer"));
    QCOMPARE(label(&box, "m_labVersion")->text(), "Version " + ZrCommonInterface::getAppVersion());
    QCOMPARE(label(&box, "m_labVisit")->text(), QString("Visit:"));
    QCOMPARE(label(&box, "m_labProjectVersion")->text(), QString());
    QVERIFY(label(&box, "m_labCopyright")->text().contains("Quorvane"));
    QVERIFY(label(&box, "m_labHome")->text().contains("href = " + QZRProjectPlatform::homePage() + ">"));
    for (const char *name : {"m_labProject", "m_labVersion", "m_labVisit", "m_labHome", "m_labCopyright"})
        QCOMPARE(label(&box, name)->palette().color(QPalette::WindowText), QColor(Qt::white));
}

void tst_QAboutDlg::fonts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("smallCopyright");

    QTest::newRow("English") << "English" << false;
    QTest::newRow("German") << "German" << false;
    QTest::newRow("French") << "French" << true;
    QTest::newRow("Japanese") << "Japanese" << false;
}

// Only the French interface draws the copyright line at pixel size 10; the others keep the form's font.
void tst_QAboutDlg::fonts()
{
    QFETCH(QString, language);
    QFETCH(bool, smallCopyright);

    QConverterOperate::setLanguageType(language);
    QAboutDlg box;
    const QFont copyright = label(&box, "m_labCopyright")->font();
    if (smallCopyright) {
        QCOMPARE(copyright.pixelSize(), 10);
        QCOMPARE(copyright.family(), QString("helvetica neue"));
    } else {
        QCOMPARE(copyright.family(), QString("Tahoma"));
        QCOMPARE(copyright.pointSize(), 10);
    }
    QCOMPARE(label(&box, "m_labProject")->font().pointSize(), 15);
    for (const char *name : {"m_labVersion", "m_labVisit", "m_labHome"}) {
        QCOMPARE(label(&box, name)->font().family(), QString("helvetica neue"));
        QCOMPARE(label(&box, name)->font().pointSize(), 13);
    }
}

void tst_QAboutDlg::layoutKeepsTheLinkBesideItsCaption()
{
    QAboutDlg box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QLabel *visit = label(&box, "m_labVisit");
    const QLabel *home = label(&box, "m_labHome");
    const QLabel *project = label(&box, "m_labProject");
    QCOMPARE(visit->geometry(), QRect(50, 150, visit->sizeHint().width(), 21));
    QCOMPARE(home->pos(), QPoint(visit->geometry().right() + 1 + 4, 150));
    QCOMPARE(project->pos(), QPoint(140, 80));
    QVERIFY(project->width() >= project->sizeHint().width());
    QCOMPARE(label(&box, "m_labProjectVersion")->pos(), QPoint(140 + project->width() + 5, 78));
    QCOMPARE(label(&box, "m_labVersion")->geometry(), QRect(140, 100, 300, 20));
    QCOMPARE(label(&box, "m_labCopyright")->pos(), QPoint(50, 180));
}

void tst_QAboutDlg::iconIsPainted()
{
    QAboutDlg box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QImage shot = box.grab().toImage();
    // Inside the icon's tile, which is the accent red; beside the icon, the dark background.
    const QColor tile = shot.pixelColor(QPoint(60, 75) * shot.devicePixelRatio());
    QVERIFY2(tile.red() > tile.green() + 60, qPrintable(tile.name()));
    const QColor beside = shot.pixelColor(QPoint(130, 75) * shot.devicePixelRatio());
    QVERIFY2(beside.red() < beside.green() + 30, qPrintable(beside.name()));
}

// Escape does nothing, Ctrl+W closes; the player's dialog flag is up only while the box runs, and
// the box is centred on its owner and gone afterwards.
void tst_QAboutDlg::keysInTheModalRun()
{
    QZRMainWindowEx owner;
    owner.setGeometry(100, 80, 900, 600);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    bool flagWhileOpen = false;
    bool openAfterEscape = false;
    QPoint position;
    whenShown([&](QAboutDlg *box) {
        flagWhileOpen = QMediaPlayWindowFlags::m_bWindowShowTop;
        position = box->pos();
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::keyClick(box, Qt::Key_W, Qt::ShiftModifier | Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_W);
        openAfterEscape = box->isVisible();
        QTest::keyClick(box, Qt::Key_W, Qt::ControlModifier);
    });
    QAboutDlg::showAbout(&owner);

    QVERIFY(flagWhileOpen);
    QVERIFY(openAfterEscape);
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    const QPoint origin = owner.mapToGlobal(QPoint(0, 0));
    QCOMPARE(position, origin + QPoint((900 - 400) / 2, (600 - 250) / 2));
    QCOMPARE(aboutBoxes(), 0);
}

void tst_QAboutDlg::closeButtonCloses()
{
    QString tooltip;
    whenShown([&](QAboutDlg *box) {
        const auto buttons = box->findChildren<QZRBaseButton *>();
        for (QZRBaseButton *button : buttons) {
            if (button->isVisible() && button->isEnabled()) {
                tooltip = button->toolTip();
                button->click();
                return;
            }
        }
    });
    QAboutDlg::showAbout(nullptr);
    QCOMPARE(tooltip, QString("Close"));
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    QCOMPARE(aboutBoxes(), 0);
}

void tst_QAboutDlg::ownerDyingDuringTheRun()
{
    auto *owner = new QWidget;
    owner->show();
    whenShown([owner](QAboutDlg *) { delete owner; });
    QAboutDlg::showAbout(owner);
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    QCOMPARE(aboutBoxes(), 0);
}

void tst_QAboutDlg::linkOpensTheHomePage_data()
{
    QTest::addColumn<QString>("linkText");
    QTest::newRow("its own link") << QZRProjectPlatform::homePage();
    QTest::newRow("any other text") << "https://elsewhere.example/";
}

// The click on the link in the label opens the fixed home page, whatever the link says.
void tst_QAboutDlg::linkOpensTheHomePage()
{
    QFETCH(QString, linkText);
    UrlCatcher catcher({"https"});
    QAboutDlg box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QLabel *home = label(&box, "m_labHome");

    if (linkText == QZRProjectPlatform::homePage()) {
        const int textWidth = home->fontMetrics().horizontalAdvance(" " + linkText);
        QTest::mouseClick(home, Qt::LeftButton, Qt::NoModifier, QPoint(textWidth / 2, home->height() / 2));
    } else {
        emit home->linkActivated(linkText);
    }
    QTRY_COMPARE(catcher.urls.size(), 1);
    QCOMPARE(catcher.urls.at(0), QUrl(QZRProjectPlatform::homePage()));
}

void tst_QAboutDlg::webPages_data()
{
    QTest::addColumn<QString>("pageType");
    QTest::newRow("help") << "help";
    QTest::newRow("home") << "home";
}

void tst_QAboutDlg::webPages()
{
    QFETCH(QString, pageType);
    UrlCatcher catcher({"https"});
    QZRProjectPlatform::openWebPage(pageType);
    QCOMPARE(catcher.urls.size(), 1);
    const QUrl url = catcher.urls.at(0);
    QCOMPARE(url.scheme(), QString("https"));
    QCOMPARE(url.host(), QUrl(QZRProjectPlatform::homePage()).host());
    QCOMPARE(url.path(), QString("/api/product/redirect"));
    QCOMPARE(url.query(), "pid=700&page_type=" + pageType);
}

QTEST_MAIN(tst_QAboutDlg)
#include "tst_qaboutdlg.moc"
