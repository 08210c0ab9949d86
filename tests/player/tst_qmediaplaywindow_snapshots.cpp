// Snapshots from the player window of a real playing picture: the file's name, format and size in
// the configured folder, the notices, the settings dialog changing where the next one goes, and
// revealing the folder.
#include "playwindowhost.h"

#include "engine/playmetatypes.h"
#include "player/qcapturesettingdlg.h"
#include "player/qmessageopacityform.h"
#include "services/qsettingxml.h"
#include "services/urlcatcher.h"

#include <QAbstractButton>
#include <QCursor>
#include <QScreen>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace PlayWindowTest;

class tst_QMediaPlayWindowSnapshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void snapshotOfAPlayingClip_data();
    void snapshotOfAPlayingClip();
    void missingFolder();
    void audioOnlyTakesNone();
    void settingsDialogChangesTheNextSnapshot();
    void openImgPath();
    void getScreenshotOutpath();
    void pictures();

private:
    QString path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

    QTemporaryDir m_dir;
};

namespace {

const int Long = 30000;

void configure(const QString &suffix, const QString &folder)
{
    QSettingXml::getCaptureImgSuffix();
    QSettingXml::setCaptureImgSuffix(suffix);
    QSettingXml::setCaptrueImaPath(folder);
}

// Plays the file and holds it on a presented picture.
void playAndPause(Host &host, const QString &file)
{
    PlayItemInfo item = probed(file);
    host.window->PlayVideoFile(&item);
    QCOMPARE(host.player.getPlayerState(), PlayState_Playing);
    QTRY_VERIFY_WITH_TIMEOUT(host.player.getCurrentPlayTime() > 300000, Long);
    host.window->onPausePlay();
}

void snapshot(const Host &host)
{
    child<QAbstractButton>(host.bar, "m_btnSnapshoot")->click();
}

QString notice(const Host &host)
{
    auto *form = host.window->findChild<QMessageOpacityForm *>();
    return form ? child<QLabel>(form, "m_lblText")->text() : QString();
}

// The library may not have handed out the paused picture yet; a failed try writes nothing.
bool snapshotTaken(const Host &host)
{
    snapshot(host);
    return notice(host) == "Snapshot successfully!";
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files);
}

int colours(const QImage &image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            seen.insert(image.pixel(x, y));
    return seen.size();
}

}

void tst_QMediaPlayWindowSnapshots::initTestCase()
{
    QVERIFY(m_dir.isValid());
    registerPlayMetaTypes();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void tst_QMediaPlayWindowSnapshots::snapshotOfAPlayingClip_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("media");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("JPG at the display aspect") << "JPG" << "anamorphic.mp4" << QSize(1024, 576) << QByteArray("jpeg");
    QTest::newRow("PNG") << "PNG" << "clip.mp4" << QSize(320, 240) << QByteArray("png");
}

void tst_QMediaPlayWindowSnapshots::snapshotOfAPlayingClip()
{
    QFETCH(QString, suffix);
    QFETCH(QString, media);
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);
    const QString folder = path("shots-" + suffix);
    QVERIFY(QDir().mkpath(folder));
    configure(suffix, folder);
    Host host;
    host.show();
    playAndPause(host, fixture(media));

    QVERIFY(QTest::qWaitFor([&] { return snapshotTaken(host); }, Long));
    const QStringList files = filesIn(folder);
    QCOMPARE(files.size(), 1);
    const QRegularExpression name("^ScreenCapture_\\d{17}\\." + suffix.toLower() + "$");
    QVERIFY2(name.match(files.first()).hasMatch(), qPrintable(files.first()));
    QImageReader reader(folder + "/" + files.first());
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QCOMPARE(image.size(), size);
    QVERIFY(colours(image) > 10);
}

void tst_QMediaPlayWindowSnapshots::missingFolder()
{
    const QString folder = path("not-made");
    configure("PNG", folder);
    Host host;
    host.show();
    playAndPause(host, fixture("clip.mp4"));
    snapshot(host);
    QCOMPARE(notice(host), QString("\"%1\"is not exists").arg(folder));
    QVERIFY(!QDir(folder).exists());
}

void tst_QMediaPlayWindowSnapshots::audioOnlyTakesNone()
{
    const QString folder = path("audio");
    QVERIFY(QDir().mkpath(folder));
    configure("PNG", folder);
    Host host;
    host.show();
    playAndPause(host, fixture("audio.mp3"));
    QCOMPARE(host.window->getMEdiaType(), MediaType_Audio);
    snapshot(host);
    QVERIFY(!host.window->findChild<QMessageOpacityForm *>());
    QVERIFY(filesIn(folder).isEmpty());
}

// OK stores both values and the next snapshot takes them at once; the folder is chosen in the
// dialog's own folder chooser.
void tst_QMediaPlayWindowSnapshots::settingsDialogChangesTheNextSnapshot()
{
    const QString before = path("before");
    const QString after = path("after");
    QVERIFY(QDir().mkpath(before));
    QVERIFY(QDir().mkpath(after));
    configure("JPG", before);
    Host host;
    host.show();
    playAndPause(host, fixture("clip.mp4"));

    bool shownOnTop = false;
    QString chosen;
    onModal<QCaptureSettingDlg>(this, [&](QCaptureSettingDlg *dialog) {
        shownOnTop = QMediaPlayWindow::m_bWindowShowTop;
        child<QComboBox>(dialog, "m_cmbFormat")->setCurrentIndex(1);
        onModal<QFileDialog>(this, [&](QFileDialog *chooser) {
            chooser->setDirectory(after);
            static_cast<QDialog *>(chooser)->accept();
        });
        child<QAbstractButton>(dialog, "m_btnOpen")->click();
        chosen = child<QLineEdit>(dialog, "m_editPath")->text();
        child<QAbstractButton>(dialog, "m_btnOk")->click();
    });
    QVERIFY(QMetaObject::invokeMethod(host.window, "showPathSettingDlg"));
    QVERIFY(shownOnTop);
    QVERIFY(!QMediaPlayWindow::m_bWindowShowTop);
    QCOMPARE(chosen, after);
    QCOMPARE(QSettingXml::getCaptureImgSuffix(), QString("PNG"));
    QCOMPARE(QSettingXml::getCaptrueImaSavePath(), after);
    QVERIFY(!host.window->findChild<QCaptureSettingDlg *>());

    QVERIFY(QTest::qWaitFor([&] { return snapshotTaken(host); }, Long));
    QVERIFY(filesIn(before).isEmpty());
    QCOMPARE(filesIn(after).size(), 1);
    QVERIFY(filesIn(after).first().endsWith(".png"));
}

// Without a file manager on the bus, the folder goes to the desktop's URL handler.
void tst_QMediaPlayWindowSnapshots::openImgPath()
{
    const QString folder = path("reveal");
    QVERIFY(QDir().mkpath(folder));
    configure("JPG", folder);
    Host host;
    UrlCatcher catcher;
    QVERIFY(QMetaObject::invokeMethod(host.window, "openImgPath"));
    QCOMPARE(catcher.urls.size(), 1);
    QVERIFY(catcher.urls.first().isLocalFile());
    QVERIFY(folder.startsWith(catcher.urls.first().toLocalFile()));
}

void tst_QMediaPlayWindowSnapshots::getScreenshotOutpath()
{
    const QString folder = path("out/made/");
    configure("JPG", folder);
    Host host;
    const QString out = host.window->getScreenshotOutpath();
    QVERIFY(QDir(folder).exists());
    QVERIFY(!out.contains("//"));
    QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(path("out/made/")) + "ScreenCapture_\\d{17}\\.png$")
                 .match(out)
                 .hasMatch(),
             qPrintable(out));
}

// Pictures for the documentation, written to <build>/screenshots: the player window holding a
// paused clip under its control bar, and the snapshot settings dialog.
void tst_QMediaPlayWindowSnapshots::pictures()
{
    const QString folder = ZR_ROOT_DIR "/screenshots";
    QVERIFY(QDir().mkpath(folder));
    configure("JPG", path("pictures"));
    Host host;
    host.show();
    QMediaPlayWindow::setHistoryDlgActivate(true);
    QCursor::setPos(500, 300);
    playAndPause(host, fixture("square480.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(host.bar->isVisible(), Long);
    QVERIFY(QTest::qWaitForWindowExposed(host.bar));
    host.bar->repaint();
    QImage shot;
    // The picture is up once the middle of the window is no longer black.
    QTRY_VERIFY_WITH_TIMEOUT((shot = host.main.screen()->grabWindow(0, 100, 50, 800, 500).toImage(),
                              qGray(shot.pixel(400, 200)) > 20),
                             Long);
    QMediaPlayWindow::setHistoryDlgActivate(false);
    QVERIFY(shot.save(folder + "/player_window.png", "PNG"));

    QCaptureSettingDlg dialog(host.window);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.grab().toImage().save(folder + "/snapshot_settings.png", "PNG"));
}

QTEST_MAIN(tst_QMediaPlayWindowSnapshots)
#include "tst_qmediaplaywindow_snapshots.moc"
