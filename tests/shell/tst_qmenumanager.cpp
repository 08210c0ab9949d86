// The menu manager with the real hub, playback object, prober, history and settings dialog: the
// right-click menu as the user sees it, the lists that follow the open medium, the commands and
// the keys.
#include "engine/playmetatypes.h"
#include "engine/qmediainfos.h"
#include "engine/qmediasettingmanager.h"
#include "engine/zrhelper.h"
#include "engine/zrqplayobject.h"
#include "player/qmediaplaywindowflags.h"
#include "player/qmessageform.h"
#include "playlist/qplayhistorymanager.h"
#include "services/qianyutil.h"
#include "settings_dialog/qsettingdlg.h"
#include "shell/qmenumanager.h"
#include "toolkit/qzrmenu.h"

#include <QLabel>
#include <QMenu>
#include <QtTest>

class tst_QMenuManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void normalMenuListing();
    void playingStateLeadsTheMenu();
    void listsFollowTheMedium_data();
    void listsFollowTheMedium();
    void historyEntries();
    void keys_data();
    void keys();
    void everyShownKeyActs();
    void keysThatGoOn_data();
    void keysThatGoOn();
    void rotationAndMirror();
    void speedAndResyncBounds();
    void autoRepeat();
    void scalingWithNothingOpen();

private:
    struct Fixture;
    Fixture *f = nullptr;
};

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(ZR_FIXTURES_DIR "/") + name;
}

// One line per entry: text, the key it shows, "*" when checked, "-" when disabled; submenus
// indented by two blanks; "|" a separator.
void dump(const QMenu *menu, QStringList &lines, const QString &indent = QString())
{
    for (QAction *action : menu->actions()) {
        if (action->isSeparator()) {
            lines << indent + "|";
            continue;
        }
        QString line = indent + action->text();
        if (!action->shortcut().isEmpty())
            line += " " + action->shortcut().toString();
        if (action->isChecked())
            line += " *";
        if (!action->isEnabled())
            line += " -";
        lines << line;
        if (action->menu())
            dump(action->menu(), lines, indent + "  ");
    }
}

QStringList dump(const QMenu *menu)
{
    QStringList lines;
    dump(menu, lines);
    return lines;
}

// The part of a dump under an entry.
QStringList submenu(const QStringList &lines, const QString &entry)
{
    QStringList found;
    int i = lines.indexOf(QRegularExpression("^ *" + QRegularExpression::escape(entry) + "( .*)?$"));
    if (i < 0)
        return found;
    const int depth = lines.at(i).indexOf(entry) + 2;
    for (++i; i < lines.size() && lines.at(i).startsWith(QString(depth, ' ')); ++i)
        found << lines.at(i).mid(depth);
    return found;
}

}

// The collaborators, made and wired as the main window does.
struct tst_QMenuManager::Fixture
{
    Fixture()
    {
        hub.setMediaPlayer(&player);
        history.initPlayHistoryList();
        popup = new QMessageForm(&window);
        settings = new QSettingDlg;
        settings->setSettingManager(&hub);
        manager = new QMenuManager(&window);
        manager->setPlayObject(&player);
        manager->setSettingManager(&hub);
        manager->setMediaInfos(&infos);
        manager->setMessageForm(popup);
        manager->setPlayHistoryManager(&history);
        manager->setSettingDlg(settings);
        manager->initMenu();
        manager->updateMenu();
    }
    ~Fixture() { delete settings; }

    // As the player window does when a file starts: probe it, hand the hub its lists.
    void open(const QString &path)
    {
        item = PlayItemInfo();
        QVERIFY(ZRHelper::getMediaInfo(path, &item));
        infos.clearData();
        infos.setMediaInfo(&item);
        MediaSettting setting;
        infos.getSubltListOrAudioList(setting.m_subltItemList, setting.m_audioTrackList, setting.m_subtitleValue);
        hub.setMediaSettting(setting);
        hub.setMediaSetttingTemp(setting);
        manager->updateMenu();
    }

    // True when the filter consumed the key: a key that reaches the window is ignored there.
    bool send(int key, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(&window, &press);
        return press.isAccepted();
    }

    QString message() const { return popup->findChild<QLabel *>("m_lblMessage")->text(); }

    QWidget window;
    ZRQPlayObject player;
    QMediaSettingManager hub;
    QMediaInfos infos;
    QPlayHistoryManager history;
    QMessageForm *popup = nullptr;
    QPointer<QSettingDlg> settings;
    QMenuManager *manager = nullptr;
    PlayItemInfo item;
};

void tst_QMenuManager::initTestCase()
{
    registerPlayMetaTypes();
}

void tst_QMenuManager::init()
{
    QFile::remove(QIAnyUtil::getAppDataPath() + "/PlayHistoryFile.xml");
    f = new Fixture;
}

void tst_QMenuManager::cleanup()
{
    delete f;
    f = nullptr;
}

// Nothing open: the right-click menu entry by entry, with its keys, checks and submenus.
void tst_QMenuManager::normalMenuListing()
{
    const QStringList expected = {
        "Play Space", "Stop Ctrl+Space", "Previous File Ctrl+P", "Next File Ctrl+N", "Step Alt+K",
        "Step Back Alt+M", "Snapshot Ctrl+X", "|",
        "Window",
        "  Keep Video Frame To",
        "    Half Size (50%) Ctrl+1", "    Normal Size (100%) Ctrl+2", "    Double Size (200%) Ctrl+3",
        "    Full Screen Alt+A",
        "Synchronization",
        "  Resync Audio: +0.5s Alt+I", "  Resync Audio: -0.5s Alt+E", "  Resync Subtitle: +0.5s Shift+I",
        "  Resync Subtitle: -0.5s Shift+E", "|",
        "Video",
        "  Adjust", "    Letter Box Alt+L *", "    Pan Scan Alt+P", "    Fill Screen Alt+F",
        "  Aspect Ratio", "    Original Display Shift+A *", "    Original Resolution Shift+S", "    16:9 Shift+1",
        "    4:3 Shift+2", "    9:16 Shift+3", "    3:4 Shift+4",
        "  |", "  Rotate Anticlockwise 90 Shift+L", "  Rotate Clockwise 90 Shift+R",
        "  |", "  Flip Horizontal Shift+H", "  Flip Vertical Shift+V",
        "  |", "  Deinterlace", "    Auto Alt+1", "    Enable Alt+2 *", "    Disable Alt+3",
        "  Video Control Ctrl+V",
        "Audio", "  Audio Track", "    Empty -", "  Audio Control Ctrl+A",
        "Subtitle", "  Add Subtitle File Alt+O", "  Subtitle Track", "    Empty -", "  Subtitle Settings Ctrl+S",
        "Player", "  Chapter", "    Empty -", "  Program", "    Empty -", "  |",
        "  Speed", "    Faster Shift+F", "    Normal Shift+N", "    Slower Shift+D",
        "  Jump", "    Jump Forward 10 sec Ctrl+F", "    Jump Back 10 sec Ctrl+B",
        "File", "  Open File Ctrl+O", "  Open Folder Ctrl+D", "  Open Latest File", "    |", "    Clear History",
        "|", "Media Infomation Ctrl+I", "Exit Ctrl+W"};
    const QStringList actual = dump(f->manager->getNormalMenu());
    for (int i = 0; i < qMax(actual.size(), expected.size()); ++i)
        QCOMPARE(actual.value(i), expected.value(i));

    QCOMPARE(dump(f->manager->getTrackMenu()), QStringList({"Audio Track -", "|"}));
    QCOMPARE(dump(f->manager->getScreenshotsMenu()), QStringList({"Open Folder", "Settings"}));
}

void tst_QMenuManager::playingStateLeadsTheMenu()
{
    emit f->player.emitPlayState(true);
    QCOMPARE(f->manager->getNormalMenu()->actions().first()->text(), QString("Pause"));
    emit f->player.emitPlayState(false);
    QCOMPARE(f->manager->getNormalMenu()->actions().first()->text(), QString("Play"));
    emit f->player.emitPlayState(true);
    emit f->player.emitPlayFinish();
    QCOMPARE(f->manager->getNormalMenu()->actions().first()->text(), QString("Play"));
}

void tst_QMenuManager::listsFollowTheMedium_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("programEntry");
    QTest::newRow("audio only: no subtitle part") << "audio.mp3" << "Program";
    QTest::newRow("disc: titles") << "dvd" << "Title";
}

// What the menus show once a medium is open.
void tst_QMenuManager::listsFollowTheMedium()
{
    QFETCH(QString, file);
    QFETCH(QString, programEntry);
    f->open(fixture(file));
    const QStringList menu = dump(f->manager->getNormalMenu());
    const QStringList player = submenu(menu, "Player");
    QVERIFY2(player.contains(programEntry), qPrintable(player.join('\n')));
    QList<QString> names;
    f->hub.getAudioList(names);
    QCOMPARE(names.size(), 1);
    QCOMPARE(submenu(menu, "Audio Track"), QStringList({names.first() + " *"}));
    if (file == "dvd") {
        const QStringList titles = submenu(player, programEntry);
        QCOMPARE(titles.size(), 2);
        QVERIFY(titles.first().endsWith(" *"));
        // Choosing the second title asks the player window for it.
        QMenu *playerMenu = nullptr;
        for (QAction *action : f->manager->getNormalMenu()->actions())
            if (action->text() == "Player")
                playerMenu = action->menu();
        QVERIFY(playerMenu);
        QMenu *titleMenu = nullptr;
        for (QAction *action : playerMenu->actions())
            if (action->text() == "Title")
                titleMenu = action->menu();
        QVERIFY(titleMenu);
        QSignalSpy programs(f->manager, &QMenuManager::emitSetPlayerProgram);
        titleMenu->actions().at(1)->trigger();
        QCOMPARE(programs.count(), 1);
        QCOMPARE(programs.at(0).at(0).toInt(), 1);
        QCOMPARE(f->message(), "Title: " + titleMenu->actions().at(1)->text());
    } else {
        QCOMPARE(submenu(menu, "Subtitle Track"), QStringList({"Empty -"}));
        QCOMPARE(dump(f->manager->getTrackMenu()), QStringList({"Audio Track -", names.first() + " *", "|"}));
    }
}

// At most ten numbered entries, newest first; "Clear History" leaves the separator and itself.
void tst_QMenuManager::historyEntries()
{
    for (int i = 0; i < 12; ++i) {
        PlayItemInfo item;
        item.path = QString("/music/track%1.mp3").arg(i);
        item.Filename = QString("track%1.mp3").arg(i);
        f->history.addFileInfoToPlayHistory(&item);
    }
    f->manager->updateMenu();
    const QStringList latest = submenu(dump(f->manager->getNormalMenu()), "Open Latest File");
    QCOMPARE(latest.size(), 12);
    QCOMPARE(latest.first(), QString("1./music/track11.mp3"));
    QCOMPARE(latest.at(9), QString("10./music/track2.mp3"));
    QCOMPARE(latest.mid(10), QStringList({"|", "Clear History"}));

    f->manager->actClearHistory();
    QCOMPARE(submenu(dump(f->manager->getNormalMenu()), "Open Latest File"), QStringList({"|", "Clear History"}));
    QCOMPARE(f->message(), QString("Clear History"));
}

namespace {

// The keys of the menus and of their keyboard handling, with what each does: the signal it
// emits, the entry it checks and any further effect.
struct KeyRow
{
    const char *name;
    int key;
    int modifiers;
    const char *signal;
    const char *checked;
    const char *effect;
};

const int None = Qt::NoModifier, Ctrl = Qt::ControlModifier, Shift = Qt::ShiftModifier, Alt = Qt::AltModifier;

const KeyRow KeyRows[] = {
    {"Ctrl+X", Qt::Key_X, Ctrl, "emitSnapShot()", "", ""},
    {"Esc", Qt::Key_Escape, None, "emitFullScreenToNormal()", "", ""},
    {"Shift+Esc", Qt::Key_Escape, Shift, "emitFullScreenToNormal()", "", ""},
    {"Ctrl+Esc", Qt::Key_Escape, Ctrl, "emitFullScreenToNormal()", "", ""},
    {"Ctrl+P", Qt::Key_P, Ctrl, "emitActPrevious()", "", ""},
    {"Ctrl+N", Qt::Key_N, Ctrl, "emitActNext()", "", ""},
    {"Alt+A", Qt::Key_A, Alt, "emitIsFullScreen()", "", ""},
    {"Ctrl+T", Qt::Key_T, Ctrl, "emitWindowAlwaysFront()", "", ""},
    {"Ctrl+O", Qt::Key_O, Ctrl, "emitActOpenFile()", "", ""},
    {"Ctrl+D", Qt::Key_D, Ctrl, "emitActOpenDir()", "", ""},
    {"Alt+L", Qt::Key_L, Alt, "", "Letter Box", ""},
    {"Alt+P", Qt::Key_P, Alt, "", "Pan Scan", ""},
    {"Alt+F", Qt::Key_F, Alt, "", "Fill Screen", ""},
    {"Shift+A", Qt::Key_A, Shift, "", "Original Display", ""},
    {"Shift+S", Qt::Key_S, Shift, "", "Original Resolution", ""},
    {"Shift+1", Qt::Key_1, Shift, "", "16:9", ""},
    {"Shift+2", Qt::Key_2, Shift, "", "4:3", ""},
    {"Shift+3", Qt::Key_3, Shift, "", "9:16", ""},
    {"Shift+4", Qt::Key_4, Shift, "", "3:4", ""},
    {"Alt+1", Qt::Key_1, Alt, "", "Auto", ""},
    {"Alt+2", Qt::Key_2, Alt, "", "Enable", ""},
    {"Alt+3", Qt::Key_3, Alt, "", "Disable", ""},
    {"Shift+I", Qt::Key_I, Shift, "", "", "subtitle delay 0.5"},
    {"Shift+E", Qt::Key_E, Shift, "", "", "subtitle delay -0.5"},
    {"Alt+I", Qt::Key_I, Alt, "", "", "audio delay 0.5"},
    {"Alt+E", Qt::Key_E, Alt, "", "", "audio delay -0.5"},
    {"Shift+L", Qt::Key_L, Shift, "", "", "rotation 90 0"},
    {"Shift+R", Qt::Key_R, Shift, "", "", "rotation 270 0"},
    {"Shift+H", Qt::Key_H, Shift, "", "", "rotation 0 1"},
    {"Shift+V", Qt::Key_V, Shift, "", "", "rotation 180 1"},
    {"Shift+F", Qt::Key_F, Shift, "", "", "speed 120"},
    {"Shift+N", Qt::Key_N, Shift, "", "", "speed 100"},
    {"Shift+D", Qt::Key_D, Shift, "", "", "speed 80"},
    {"Ctrl+1", Qt::Key_1, Ctrl, "emitFullScreenToNormal()", "", ""},
    {"Ctrl+2", Qt::Key_2, Ctrl, "emitFullScreenToNormal()", "", ""},
    {"Ctrl+3", Qt::Key_3, Ctrl, "emitFullScreenToNormal()", "", ""},
    {"Ctrl+V", Qt::Key_V, Ctrl, "", "", "settings dialog"},
    {"Ctrl+A", Qt::Key_A, Ctrl, "", "", "settings dialog"},
    {"Ctrl+S", Qt::Key_S, Ctrl, "", "", "settings dialog"},
    {"Ctrl+I", Qt::Key_I, Ctrl, "", "", "media information"},
    {"Alt+J", Qt::Key_J, Alt, "", "", "media information"},
    {"Alt+O", Qt::Key_O, Alt, "", "", "subtitle file dialog"},
    {"Ctrl+W", Qt::Key_W, Ctrl, "", "", "close"},
    {"Space", Qt::Key_Space, None, "", "", ""},
    {"Shift+Space", Qt::Key_Space, Shift, "", "", ""},
    {"Alt+Space", Qt::Key_Space, Alt, "", "", ""},
    {"Ctrl+Space", Qt::Key_Space, Ctrl, "", "", ""},
    {"Alt+K", Qt::Key_K, Alt, "", "", ""},
    {"Alt+M", Qt::Key_M, Alt, "", "", ""},
    {"Ctrl+F", Qt::Key_F, Ctrl, "", "", ""},
    {"Ctrl+B", Qt::Key_B, Ctrl, "", "", ""},
};

// Every shortcut an entry of the menu or its submenus shows.
void shownKeys(const QMenu *menu, QStringList &keys)
{
    for (QAction *action : menu->actions()) {
        if (!action->shortcut().isEmpty())
            keys << action->shortcut().toString();
        if (action->menu())
            shownKeys(action->menu(), keys);
    }
}

}

void tst_QMenuManager::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("effect");
    for (const KeyRow &row : KeyRows)
        QTest::newRow(row.name) << row.key << row.modifiers << QString(row.signal) << QString(row.checked)
                                << QString(row.effect);
}

// Every key an entry shows is one of the keys above, and pressing it as the entry shows it acts.
void tst_QMenuManager::everyShownKeyActs()
{
    QStringList keys;
    shownKeys(f->manager->getNormalMenu(), keys);
    QVERIFY(keys.size() > 40);
    QStringList rows;
    for (const KeyRow &row : KeyRows)
        rows << row.name;
    for (const QString &key : keys)
        QVERIFY2(rows.contains(key), qPrintable(key + " is no key of the menus' keyboard handling"));

    // The dialogs some of them open are closed from inside their own loops.
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    closer.start(10);
    f->window.show();
    for (const QString &key : keys) {
        const int combination = QKeySequence(key)[0];
        QVERIFY2(f->send(combination & ~Qt::KeyboardModifierMask,
                         Qt::KeyboardModifiers(combination & Qt::KeyboardModifierMask)),
                 qPrintable(key + " did nothing"));
    }
}

// Each key is consumed, with its signal or the checked entry of its group, which the hub agrees
// with.
void tst_QMenuManager::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, signal);
    QFETCH(QString, checked);
    QFETCH(QString, effect);
    QByteArray signature;
    if (!signal.isEmpty())
        signature = QByteArray("2") + signal.toLatin1();
    QSignalSpy spy(f->manager, signature.isEmpty() ? SIGNAL(emitSnapShot()) : signature.constData());
    f->window.show();
    bool dialogFlagWhileOpen = false;
    QString dialogTitle;
    if (effect == "media information" || effect == "subtitle file dialog") {
        // Closed from inside its own loop; the dialog flag is up meanwhile.
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, &dialogFlagWhileOpen, &dialogTitle] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                poll->stop();
                poll->deleteLater();
                dialogFlagWhileOpen = QMediaPlayWindowFlags::m_bWindowShowTop;
                dialogTitle = QString("%1 %2").arg(dialog->metaObject()->className(), dialog->windowTitle());
                dialog->close();
            }
        });
        poll->start(10);
    }
    QVERIFY(f->send(key, Qt::KeyboardModifiers(modifiers)));
    QCOMPARE(spy.count(), signal.isEmpty() ? 0 : 1);
    const QStringList words = effect.split(' ');
    if (effect.startsWith("subtitle delay")) {
        SubtitleSettings style;
        f->hub.getSubtitleSettings(style);
        QCOMPARE(style.m_delay, words.last().toDouble());
    } else if (effect.startsWith("audio delay")) {
        QCOMPARE(f->hub.getAudioDelay(), words.last().toDouble());
    } else if (effect.startsWith("rotation")) {
        QCOMPARE(f->hub.getDegree(), words.at(1).toInt());
        QCOMPARE(f->hub.getMirror(), words.at(2).toInt());
    } else if (effect.startsWith("speed")) {
        AudioSettings audio;
        f->hub.getAudioSettings(audio);
        QCOMPARE(int(audio.m_speed), words.last().toInt());
    } else if (effect == "settings dialog") {
        QVERIFY(f->settings->isVisible());
    } else if (effect == "media information") {
        QVERIFY(dialogFlagWhileOpen);
        QVERIFY(!QMediaPlayWindowFlags::m_bWindowShowTop);
    } else if (effect == "subtitle file dialog") {
        QCOMPARE(dialogTitle, QString("QFileDialog Open Subtitle File"));
    } else if (effect == "close") {
        QVERIFY(!f->window.isVisible());
    }
    if (checked.isEmpty())
        return;
    const QStringList menu = dump(f->manager->getNormalMenu());
    QStringList marked;
    for (const QString &line : menu)
        if (line.endsWith(" *"))
            marked << line.trimmed();
    QVERIFY2(std::any_of(marked.begin(), marked.end(), [&](const QString &line) { return line.startsWith(checked + " "); }),
             qPrintable(marked.join('\n')));
    const QStringList fills = {"Letter Box", "Pan Scan", "Fill Screen"};
    const QStringList ratios = {"Original Display", "Original Resolution", "16:9", "4:3", "9:16", "3:4"};
    const QStringList modes = {"Disable", "Auto", "Enable"};
    if (fills.contains(checked))
        QCOMPARE(f->hub.getFillMode(), fills.indexOf(checked));
    else if (ratios.contains(checked))
        QCOMPARE(int(f->hub.getAspectRatio()), ratios.indexOf(checked));
    else
        QCOMPARE(int(f->hub.getDeinterlace()), modes.indexOf(checked));
}

void tst_QMenuManager::keysThatGoOn_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Ctrl+Shift+I") << int(Qt::Key_I) << int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("plain A") << int(Qt::Key_A) << int(Qt::NoModifier);
    QTest::newRow("Ctrl+Alt+1") << int(Qt::Key_1) << int(Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("Ctrl+Alt+L") << int(Qt::Key_L) << int(Qt::ControlModifier | Qt::AltModifier);
}

void tst_QMenuManager::keysThatGoOn()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QVERIFY(!f->send(key, Qt::KeyboardModifiers(modifiers)));
}

// Degrees count anticlockwise, as the codec and the video page count them: anticlockwise from 0
// gives 90 and back; mirrored it turns the other way; a vertical flip is a half turn with the
// mirror changed.
void tst_QMenuManager::rotationAndMirror()
{
    auto state = [this] { return qMakePair(f->hub.getDegree(), f->hub.getMirror()); };
    f->manager->rotate_L_90();
    QCOMPARE(state(), qMakePair(90, 0));
    QCOMPARE(f->message(), QString("Rotate Anticlockwise 90 Degrees"));
    f->manager->rotate_R_90();
    QCOMPARE(state(), qMakePair(0, 0));
    f->manager->flipH();
    QCOMPARE(state(), qMakePair(0, 1));
    f->manager->rotate_L_90();
    QCOMPARE(state(), qMakePair(270, 1));
    f->manager->rotate_R_90();
    f->manager->flipH();
    QCOMPARE(state(), qMakePair(0, 0));
    f->manager->flipV();
    QCOMPARE(state(), qMakePair(180, 1));
}

// Speed stops at 800 and 20, delays short of ten seconds; the bound value is sent and shown.
void tst_QMenuManager::speedAndResyncBounds()
{
    for (int i = 0; i < 40; ++i)
        QVERIFY(f->send(Qt::Key_F, Qt::ShiftModifier));
    AudioSettings audio;
    f->hub.getAudioSettings(audio);
    QCOMPARE(audio.m_speed, 800u);
    QCOMPARE(f->message(), QString("PlayBack Speed: 800%"));
    for (int i = 0; i < 40; ++i)
        f->manager->actSlower();
    f->hub.getAudioSettings(audio);
    QCOMPARE(audio.m_speed, 20u);
    f->manager->actNormal();
    f->hub.getAudioSettings(audio);
    QCOMPARE(audio.m_speed, 100u);

    for (int i = 0; i < 3; ++i)
        QVERIFY(f->send(Qt::Key_I, Qt::AltModifier));
    QCOMPARE(f->message(), QString("Resync Audio: 1.5 sec"));
    for (int i = 0; i < 30; ++i)
        f->manager->actResyncAudioInc();
    QCOMPARE(f->hub.getAudioDelay(), 9.5);
    QCOMPARE(f->message(), QString("Resync Audio: 9.5 sec"));
    for (int i = 0; i < 60; ++i)
        f->manager->actResyncAudioDec();
    QCOMPARE(f->hub.getAudioDelay(), -9.5);

    f->manager->actResyncSubtitledec();
    QCOMPARE(f->message(), QString("Resync Subtitle: -0.5 sec"));
}

// Held keys repeat: each repeat acts again.
void tst_QMenuManager::autoRepeat()
{
    for (bool repeat : {false, true, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::ShiftModifier, QString(), repeat);
        QCoreApplication::sendEvent(&f->window, &press);
        QVERIFY(press.isAccepted());
    }
    AudioSettings audio;
    f->hub.getAudioSettings(audio);
    QCOMPARE(audio.m_speed, 160u);
}

void tst_QMenuManager::scalingWithNothingOpen()
{
    QSignalSpy sizes(f->manager, &QMenuManager::emitScreenSize);
    QSignalSpy normal(f->manager, &QMenuManager::emitFullScreenToNormal);
    QVERIFY(f->send(Qt::Key_1, Qt::ControlModifier));
    QCOMPARE(normal.count(), 1);
    QCOMPARE(sizes.count(), 0);
}

QTEST_MAIN(tst_QMenuManager)
#include "tst_qmenumanager.moc"
