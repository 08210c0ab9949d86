// Quitting while the playlist's loading thread probes: the quit ends the loading dialog's loop,
// and destroying the panel then stops and joins the thread at once and saves what was added.
#include "player/qloadingdlg.h"
#include "playlist/qplaylistdlg.h"
#include "playlistdrop.h"
#include "storedlist.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const int Links = 500;
const int PauseMs = 10;

}

class tst_PlayListLoadQuit : public QObject
{
    Q_OBJECT

private slots:
    void quitWhileProbing();
};

// Each file costs at least its 10 ms pause, so a thread left to finish would hold the
// destruction for seconds; a stopped one ends within its current file.
void tst_PlayListLoadQuit::quitWhileProbing()
{
    QTemporaryDir dir;
    for (int i = 0; i < Links; ++i)
        QVERIFY(QFile::link(ZR_FIXTURES_DIR "/clip.mp4", dir.filePath(QString("clip%1.mp4").arg(i))));

    auto *panel = new QPlayListDlg;
    panel->setGeometry(100, 100, 321, 625);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel));

    bool quitSent = false;
    QTimer quitter;
    connect(&quitter, &QTimer::timeout, this, [&] {
        QLoadingDlg *dialog = panel->findChild<QLoadingDlg *>();
        if (!quitSent && dialog && dialog->findChild<QLabel *>("m_labAdded_2")->text() == QString("2/%1").arg(Links)) {
            quitSent = true;
            QCoreApplication::quit();
        }
    });
    quitter.start(5);

    QVERIFY(dropUrls(panel, {QUrl::fromLocalFile(dir.path())}));
    QTRY_VERIFY_WITH_TIMEOUT(quitSent, 60000);
    quitter.stop();
    QVERIFY(panel->findChild<QLoadingDlg *>()->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(!panel->getPlayItemInfoList()->isEmpty(), 30000);
    QElapsedTimer clock;
    clock.start();
    delete panel;
    QVERIFY2(clock.elapsed() < (Links - 2) * PauseMs / 2, qPrintable(QString::number(clock.elapsed())));

    const QStringList saved = storedPaths("PlayListFile.xml", "PlayList_path_");
    QVERIFY(!saved.isEmpty());
    QVERIFY(saved.size() < Links);
    for (const QString &path : saved)
        QVERIFY(path.startsWith(dir.path()));
}

QTEST_MAIN(tst_PlayListLoadQuit)
#include "tst_playlistloadquit.moc"
