// Adding files to the playlist panel for real: drops of folder trees, discs and odd paths walked
// and probed on the loading thread under the loading dialog, a stop during the walk and during
// the probing, and the add dialogs driven as a user would.
#include "player/qloadingdlg.h"
#include "player/qmediaplaywindowflags.h"
#include "playlist/qplaylistbtnwidget.h"
#include "playlist/qplaylistdlg.h"
#include "playlist/qplaylistitem.h"
#include "playlistdrop.h"
#include "services/qsettingxml.h"
#include "storedlist.h"
#include "toolkit/qzrbasebutton.h"
#include "toolkit/qzrbaseprogress.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

namespace {

const QString Fixtures = QStringLiteral(ZR_FIXTURES_DIR);

// What the panel's loading thread reported, as the main thread received it.
class LoadLog : public QObject
{
public:
    explicit LoadLog(QPlayListDlg *panel)
    {
        connect(panel, &QPlayListDlg::emitUpdateLoadDlg, this, [this](QList<QString> list) { messages << list; });
        connect(panel, &QPlayListDlg::emitLoadThreadCoomplete, this, [this] { ++completed; });
    }

    // The count texts and percentages of the probing reports, "i/n@percent".
    QStringList counts() const
    {
        QStringList texts;
        for (const QList<QString> &message : messages)
            if (message.size() == 3)
                texts << message.at(1) + "@" + message.at(2);
        return texts;
    }

    QList<QList<QString>> messages;
    int completed = 0;
};

// Runs a step on the main thread every 20 ms, also inside modal loops, until it answers true.
class Poller : public QObject
{
public:
    explicit Poller(std::function<bool()> step) : m_step(std::move(step)) { m_id = startTimer(20); }
    bool done() const { return m_id == 0; }

protected:
    void timerEvent(QTimerEvent *) override
    {
        if (m_id && m_step()) {
            killTimer(m_id);
            m_id = 0;
        }
    }

private:
    std::function<bool()> m_step;
    int m_id = 0;
};

QLoadingDlg *loadingDialog(const QPlayListDlg &panel)
{
    return panel.findChild<QLoadingDlg *>();
}

QString dialogText(const QPlayListDlg &panel, const char *label)
{
    QLoadingDlg *dialog = loadingDialog(panel);
    return dialog ? dialog->findChild<QLabel *>(label)->text() : QString();
}

QStringList listedNames(const QPlayListDlg &panel)
{
    QStringList names;
    for (const PlayItemInfo *item : *panel.getPlayItemInfoList())
        names << item->Filename + (item->File_isDVD ? "[disc]" : "");
    return names;
}

QList<QUrl> fileUrls(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

bool copyFixture(const QString &name, const QString &target)
{
    return QDir().mkpath(QFileInfo(target).path()) && QFile::copy(Fixtures + "/" + name, target);
}

}

class tst_PlayListLoading : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dragEnter_data();
    void dragEnter();
    void dropLoadsWhatPlays();
    void progressOfThreeFiles();
    void stop_data();
    void stop();
    void addDialogs_data();
    void addDialogs();
    void addDirSameFileAndSaveTo();

private:
    // Waits for the run that a drop or a dialog started to end and its dialog to close.
    bool loadEnded(const LoadLog &log, int runs) const;

    QTemporaryDir m_dir;
    QPlayListDlg *m_panel = nullptr;
    QSemaphore m_resume;
};

void tst_PlayListLoading::init()
{
    QFile::remove(appDataFile("DefaultSetting.xml"));
    QFile::remove(appDataFile("PlayListFile.xml"));
    QMediaPlayWindowFlags::m_bWindowShowTop = false;
    m_panel = new QPlayListDlg;
    m_panel->setGeometry(100, 100, 321, 625);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel));
}

// A thread held by a test goes on before the panel, which joins it, is destroyed.
void tst_PlayListLoading::cleanup()
{
    m_resume.release(1000);
    delete m_panel;
    m_panel = nullptr;
    m_resume.acquire(m_resume.available());
}

bool tst_PlayListLoading::loadEnded(const LoadLog &log, int runs) const
{
    return QTest::qWaitFor([&] {
        return log.completed == runs && loadingDialog(*m_panel) && !loadingDialog(*m_panel)->isVisible();
    }, 60000);
}

void tst_PlayListLoading::dragEnter_data()
{
    QTest::addColumn<bool>("urls");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("file URLs") << true << true;
    QTest::newRow("plain text") << false << false;
}

void tst_PlayListLoading::dragEnter()
{
    QFETCH(bool, urls);
    QFETCH(bool, accepted);

    QMimeData data;
    if (urls)
        data.setUrls({QUrl::fromLocalFile(Fixtures + "/clip.mp4")});
    else
        data.setText(Fixtures + "/clip.mp4");
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(m_panel, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
}

// Of a tree with a clip, an MP3, a text file named .mp4, an empty and a truncated file and an
// empty folder, a DVD folder, its image, a FIFO, a missing path and a web address, exactly the
// clip, the MP3 and the two discs are added; a second drop of the same adds nothing.
void tst_PlayListLoading::dropLoadsWhatPlays()
{
    const QString tree = m_dir.filePath("tree");
    QVERIFY(copyFixture("clip.mp4", tree + "/clip.mp4"));
    QVERIFY(copyFixture("audio.mp3", tree + "/music/audio.mp3"));
    QVERIFY(copyFixture("notvideo.mp4", tree + "/music/notvideo.mp4"));
    QVERIFY(copyFixture("empty.mp4", tree + "/empty.mp4"));
    QVERIFY(copyFixture("truncated.mp4", tree + "/deep/er/truncated.mp4"));
    QVERIFY(QDir().mkpath(tree + "/nothing"));
    const QString fifo = m_dir.filePath("pipe.mp4");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QList<QUrl> urls = fileUrls({tree, Fixtures + "/dvd", Fixtures + "/dvd.iso", fifo, m_dir.filePath("gone.mp4")});
    urls << QUrl("http://127.0.0.1/remote.mp4");

    LoadLog log(m_panel);
    QVERIFY(dropUrls(m_panel, urls));
    QVERIFY(loadEnded(log, 1));
    QStringList names = listedNames(*m_panel);
    QCOMPARE(names.mid(2), QStringList({"dvd[disc]", "dvd.iso[disc]"}));
    names = names.mid(0, 2);
    names.sort();
    QCOMPARE(names, QStringList({"audio.mp3", "clip.mp4"}));

    // Five files of the tree, the two discs, the FIFO and the missing path.
    QCOMPARE(log.messages.first(), QList<QString>({"Searching..."}));
    QCOMPARE(log.counts().size(), 9);
    QCOMPARE(log.counts().last(), QString("9/9@100"));
    QCOMPARE(log.messages.last().at(0), m_dir.filePath("gone.mp4"));
    QCOMPARE(dialogText(*m_panel, "m_labAdded_2"), QString("9/9"));
    QCOMPARE(loadingDialog(*m_panel)->findChild<QZRBaseProgress *>("m_progressBar")->value(), 100.0);

    QVERIFY(dropUrls(m_panel, urls));
    QVERIFY(loadEnded(log, 2));
    QCOMPARE(m_panel->getPlayItemInfoList()->size(), 4);
}

void tst_PlayListLoading::progressOfThreeFiles()
{
    LoadLog log(m_panel);
    QVERIFY(dropUrls(m_panel, fileUrls({Fixtures + "/clip.mp4", Fixtures + "/audio.mp3", Fixtures + "/list1.mp4"})));
    QVERIFY(loadEnded(log, 1));
    QCOMPARE(log.counts(), QStringList({"1/3@46.6667", "2/3@73.3333", "3/3@100"}));
    QCOMPARE(listedNames(*m_panel), QStringList({"clip.mp4", "audio.mp3", "list1.mp4"}));
}

// The loading thread is held right after the report named by holdAt (the first message, or a
// count) until the dialog has shown it and the user has pressed Cancel.
void tst_PlayListLoading::stop_data()
{
    QTest::addColumn<QString>("holdAt");
    QTest::addColumn<int>("added");

    QTest::newRow("during the walk") << "Searching..." << 0;
    QTest::newRow("while probing") << "3/300" << 3;
}

void tst_PlayListLoading::stop()
{
    QFETCH(QString, holdAt);
    QFETCH(int, added);

    const QString links = m_dir.filePath("links" + QString(QTest::currentDataTag()).remove(' '));
    QVERIFY(QDir().mkpath(links));
    for (int i = 0; i < 300; ++i)
        QVERIFY(QFile::link(Fixtures + "/clip.mp4", QString("%1/clip%2.mp4").arg(links).arg(i, 3, 10, QChar('0'))));

    const bool inWalk = holdAt == "Searching...";
    connect(
        m_panel, &QPlayListDlg::emitUpdateLoadDlg, this,
        [this, holdAt](QList<QString> list) {
            if (list.value(list.size() == 3 ? 1 : 0) == holdAt)
                m_resume.acquire();
        },
        Qt::DirectConnection);
    // While the walk is held, the bar creeps up once a second.
    Poller canceller([&] {
        if (dialogText(*m_panel, inWalk ? "m_labAddingPath_2" : "m_labAdded_2") != holdAt)
            return false;
        if (inWalk && loadingDialog(*m_panel)->findChild<QZRBaseProgress *>("m_progressBar")->value() < 1)
            return false;
        QTest::mouseClick(loadingDialog(*m_panel)->findChild<QZRBaseButton *>("m_btnCancel"), Qt::LeftButton);
        m_resume.release();
        return true;
    });

    LoadLog log(m_panel);
    QVERIFY(dropUrls(m_panel, fileUrls({links})));
    QVERIFY(loadEnded(log, 1));
    QVERIFY(canceller.done());
    QCOMPARE(m_panel->getPlayItemInfoList()->size(), added);
    QCOMPARE(log.counts().size(), added);
    for (int i = 0; i < added; ++i)
        QCOMPARE(m_panel->getPlayItemInfoList()->at(i)->path, log.messages.at(i + 1).at(0));
}

void tst_PlayListLoading::addDialogs_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("choose");

    QTest::newRow("files chosen") << false << true;
    QTest::newRow("file dialog cancelled") << false << false;
    QTest::newRow("folder chosen") << true << true;
    QTest::newRow("folder dialog cancelled") << true << false;
}

// "Add File" from the bar, "Add Folder" from the menu of the empty panel; the dialogs open in
// the stored folder and store a new one only when something was chosen.
void tst_PlayListLoading::addDialogs()
{
    QFETCH(bool, folder);
    QFETCH(bool, choose);

    const QString run = m_dir.filePath(QString(QTest::currentDataTag()).remove(' '));
    const QString before = run + "/before";
    const QString chosen = run + "/chosen";
    QVERIFY(QDir().mkpath(before));
    QVERIFY(copyFixture("list1.mp4", chosen + "/list1.mp4"));
    QVERIFY(copyFixture("audio.mp3", chosen + "/audio.mp3"));
    const char *item = folder ? "OpenDir_Item" : "OpenFile_Item";
    const char *key = folder ? "OpenDir_Item_Value" : "OpenFile_Item_Value";
    QCOMPARE(QSettingXml::getItemValue(item, key, before), before);

    QString startFolder;
    QStringList filters;
    bool flagWhileOpen = false;
    Poller driver([&] {
        QFileDialog *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        startFolder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        flagWhileOpen = QMediaPlayWindowFlags::m_bWindowShowTop;
        if (!choose) {
            dialog->reject();
        } else {
            // A folder dialog with no name typed takes the folder it shows.
            dialog->setDirectory(chosen);
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(folder ? "" : "\"list1.mp4\" \"audio.mp3\"");
            QMetaObject::invokeMethod(dialog, "accept");
        }
        return true;
    });

    LoadLog log(m_panel);
    if (folder) {
        QTest::mouseClick(m_panel, Qt::RightButton, {}, QPoint(100, 200));
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QAction *addFolder = nullptr;
        for (QAction *action : menu->actions())
            if (action->text() == "Add Folder")
                addFolder = action;
        QVERIFY(addFolder);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(addFolder).center());
    } else {
        QTest::mouseClick(m_panel->findChild<QPlayListBtnWidget *>()->findChild<QZRBaseButton *>("m_btnAddFile"),
                          Qt::LeftButton);
    }
    QTRY_VERIFY_WITH_TIMEOUT(driver.done(), 30000);
    QCOMPARE(startFolder, before);
    QVERIFY(flagWhileOpen);
    if (!folder) {
        // Each pattern with its upper-case twin, for choosers that match case by case.
        QCOMPARE(filters.size(), 22);
        QVERIFY(filters.first().startsWith("All Supported Formats(*.m4v *.M4V *.avi *.AVI *.mts *.MTS"));
        QVERIFY(filters.contains("Audio files(*.mp3 *.MP3 *.m4a *.M4A *.aac *.AAC *.ac3 *.AC3 *.ogg *.OGG *.aiff *.AIFF "
                                 "*.ape *.APE *.flac *.FLAC *.wav *.WAV *.wma *.WMA *.m4b *.M4B *m4p *M4P *.m4r *.M4R "
                                 "*.mka *.MKA *.au *.AU)"));
        QCOMPARE(filters.last(), QString("All files(*.*)"));
    }
    if (choose)
        QVERIFY(loadEnded(log, 1));
    QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);

    QCOMPARE(QSettingXml::getItemValue(item, key, "(none)"), choose ? chosen : before);
    QStringList names = listedNames(*m_panel);
    names.sort();
    QCOMPARE(names, choose ? QStringList({"audio.mp3", "list1.mp4"}) : QStringList());
    QCOMPARE(log.completed, choose ? 1 : 0);
}

// The two entries kept out of the menu: loading the pressed row's folder, and copying its file.
void tst_PlayListLoading::addDirSameFileAndSaveTo()
{
    const QString folder = m_dir.filePath("same");
    QVERIFY(copyFixture("list1.mp4", folder + "/list1.mp4"));
    QVERIFY(copyFixture("list2.mp4", folder + "/list2.mp4"));
    m_panel->addFileInfoToPlayList(makeItem(folder + "/list1.mp4", 1000000));
    QPlayListItem *row = m_panel->findChild<QPlayListItem *>();
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(40, 15));
    QCOMPARE(QSettingXml::getItemValue("OpenDir_Item", "OpenDir_Item_Value", "."), QString("."));

    LoadLog log(m_panel);
    QAction *sameFolder = nullptr;
    for (QAction *action : m_panel->findChildren<QAction *>())
        if (action->text() == "Add Dir Same File ")
            sameFolder = action;
    QVERIFY(sameFolder);
    sameFolder->trigger();
    QVERIFY(loadEnded(log, 1));
    QStringList names = listedNames(*m_panel);
    names.sort();
    QCOMPARE(names, QStringList({"list1.mp4", "list2.mp4"}));
    QCOMPARE(QSettingXml::getItemValue("OpenDir_Item", "OpenDir_Item_Value", "(none)"), folder);

    const QString copy = m_dir.filePath("copy.mp4");
    QString proposed;
    Poller driver([&] {
        QFileDialog *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        QLineEdit *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        proposed = name->text();
        dialog->setDirectory(m_dir.path());
        name->setText("copy.mp4");
        QMetaObject::invokeMethod(dialog, "accept");
        return true;
    });
    QVERIFY(QMetaObject::invokeMethod(m_panel, "saveToTriggered"));
    QVERIFY(driver.done());
    QCOMPARE(proposed, QString("list1.mp4"));
    QFile original(folder + "/list1.mp4");
    QFile copied(copy);
    QVERIFY(original.open(QIODevice::ReadOnly) && copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), original.readAll());
}

QTEST_MAIN(tst_PlayListLoading)
#include "tst_playlistloading.moc"
