// System-wide hot keys: texts, parsing, the X keycode table, and real grabs and presses on the X server.
#include "shell/keyapplication.h"
#include "shell/qglobalshortcut.h"
#include "xkeys.h"

#include <QFileOpenEvent>
#include <QX11Info>
#include <QtTest>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>

#include <memory>

namespace {

const Qt::KeyboardModifiers CtrlAlt = Qt::ControlModifier | Qt::AltModifier;

std::unique_ptr<QGlobalShortCut> shortcutFor(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    auto shortcut = std::make_unique<QGlobalShortCut>();
    shortcut->setKeyAndModifiers(key, modifiers);
    return shortcut;
}

// The keysym in the first column of the keycode's row of the server's keyboard map.
quint32 keysymOfKeycode(quint32 keycode)
{
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(QX11Info::connection());
    const quint32 keysym = xcb_key_symbols_get_keysym(symbols, xcb_keycode_t(keycode), 0);
    xcb_key_symbols_free(symbols);
    return keysym;
}

}

Q_DECLARE_METATYPE(Qt::Key)

class tst_QGlobalShortCut : public QObject
{
    Q_OBJECT

private slots:
    void analysisKeyAndmodifier_data();
    void analysisKeyAndmodifier();
    void displayTexts_data();
    void displayTexts();
    void nativeModifiers_data();
    void nativeModifiers();
    void setKeySequence_data();
    void setKeySequence();
    void temporaryCombination();
    void nativeKeycode_data();
    void nativeKeycode();
    void pressActivatesOnce_data();
    void pressActivatesOnce();
    void keyWithoutKeycodeGrabsNothing_data();
    void keyWithoutKeycodeGrabsNothing();
    void heldByAnotherClient();
    void heldByThisProgram();
    void unregisterReleases();
    void destructorReleasesEveryRegistration();
    void offX11NothingRegisters();
    void fileOpenRequest();

private:
    bool needsX11();
    OtherXClient *m_other = nullptr;
};

bool tst_QGlobalShortCut::needsX11()
{
    if (!QX11Info::isPlatformX11())
        return false;
    if (!m_other)
        m_other = new OtherXClient;
    return true;
}

void tst_QGlobalShortCut::analysisKeyAndmodifier_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("pause default") << "201326592*16777273" << true << int(Qt::Key_F10) << int(CtrlAlt);
    QTest::newRow("stop default") << "201326592*83" << true << int(Qt::Key_S) << int(CtrlAlt);
    QTest::newRow("no modifiers") << "0*65" << true << int(Qt::Key_A) << 0;
    QTest::newRow("not numbers") << "ctrl*alt" << true << 0 << 0;
    QTest::newRow("star alone") << "*" << true << 0 << 0;
    QTest::newRow("first star splits") << "33554432*65*2" << true << 0 << int(Qt::ShiftModifier);
    QTest::newRow("no star") << "201326592 16777273" << false << -1 << -1;
    QTest::newRow("empty") << "" << false << -1 << -1;
}

void tst_QGlobalShortCut::analysisKeyAndmodifier()
{
    QFETCH(QString, text);
    QFETCH(bool, parsed);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    // Outputs start at a marker that an unparsed text must leave in place.
    Qt::Key gotKey = Qt::Key_Launch5;
    Qt::KeyboardModifiers gotModifiers = Qt::MetaModifier;
    QCOMPARE(QGlobalShortCut::analysisKeyAndmodifier(text, gotKey, gotModifiers), parsed);
    QCOMPARE(int(gotKey), parsed ? key : int(Qt::Key_Launch5));
    QCOMPARE(int(gotModifiers), parsed ? modifiers : int(Qt::MetaModifier));
}

void tst_QGlobalShortCut::displayTexts_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");

    QTest::newRow("pause default") << Qt::Key_F10 << int(CtrlAlt) << "Ctrl + Alt + F10";
    QTest::newRow("all modifiers in order") << Qt::Key_A
                                            << int(Qt::MetaModifier | Qt::AltModifier | Qt::ControlModifier |
                                                   Qt::ShiftModifier)
                                            << "Shift + Ctrl + Alt + Meta + A";
    QTest::newRow("key alone") << Qt::Key_Space << 0 << "SPACE";
    QTest::newRow("key without a text") << Qt::Key_Launch0 << int(CtrlAlt) << "Ctrl + Alt + ";
    QTest::newRow("nothing") << Qt::Key_unknown << 0 << "";
    QTest::newRow("keypad bit has no text") << Qt::Key_Plus << int(Qt::KeypadModifier | Qt::ControlModifier)
                                            << "Ctrl + +";
    QTest::newRow("digit") << Qt::Key_7 << int(Qt::MetaModifier) << "Meta + 7";
    QTest::newRow("return") << Qt::Key_Return << 0 << "ENTER";
    QTest::newRow("enter") << Qt::Key_Enter << 0 << "ENTER";
    QTest::newRow("F24") << Qt::Key_F24 << 0 << "F24";
    QTest::newRow("F25 has none") << Qt::Key_F25 << 0 << "";
    QTest::newRow("page up") << Qt::Key_PageUp << int(Qt::ShiftModifier) << "Shift + PageUp";
    QTest::newRow("page down") << Qt::Key_PageDown << 0 << "PageDown";
    QTest::newRow("escape") << Qt::Key_Escape << 0 << "ESC";
    QTest::newRow("backtab") << Qt::Key_Backtab << 0 << "BACKTAB";
    QTest::newRow("asterisk") << Qt::Key_Asterisk << 0 << "*";
    QTest::newRow("lower-case letter code has none") << Qt::Key(0x61) << 0 << "";
}

void tst_QGlobalShortCut::displayTexts()
{
    QFETCH(Qt::Key, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);

    QCOMPARE(QGlobalShortCut::getShortCutString(key, Qt::KeyboardModifiers(modifiers)), text);
    QCOMPARE(shortcutFor(key, Qt::KeyboardModifiers(modifiers))->getShortCut(), text);
}

void tst_QGlobalShortCut::nativeModifiers_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<quint32>("mask");

    QTest::newRow("none") << 0 << quint32(0);
    QTest::newRow("shift") << int(Qt::ShiftModifier) << quint32(XCB_MOD_MASK_SHIFT);
    QTest::newRow("control") << int(Qt::ControlModifier) << quint32(XCB_MOD_MASK_CONTROL);
    QTest::newRow("alt") << int(Qt::AltModifier) << quint32(XCB_MOD_MASK_1);
    QTest::newRow("meta") << int(Qt::MetaModifier) << quint32(XCB_MOD_MASK_4);
    QTest::newRow("control and alt") << int(CtrlAlt) << quint32(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
    QTest::newRow("other bits dropped") << int(Qt::KeypadModifier | Qt::GroupSwitchModifier | Qt::ShiftModifier)
                                        << quint32(XCB_MOD_MASK_SHIFT);
}

void tst_QGlobalShortCut::nativeModifiers()
{
    QFETCH(int, modifiers);
    QFETCH(quint32, mask);
    QCOMPARE(QGlobalShortCut::nativeModifiers(Qt::KeyboardModifiers(modifiers)), mask);
}

void tst_QGlobalShortCut::setKeySequence_data()
{
    QTest::addColumn<QKeySequence>("sequence");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("control alt F10") << QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F10) << Qt::Key_F10 << int(CtrlAlt);
    QTest::newRow("empty") << QKeySequence() << Qt::Key(0) << 0;
    QTest::newRow("first of two") << QKeySequence(Qt::SHIFT | Qt::META | Qt::Key_X, Qt::CTRL | Qt::Key_Y) << Qt::Key_X
                                  << int(Qt::ShiftModifier | Qt::MetaModifier);
    QTest::newRow("key alone") << QKeySequence(Qt::Key_Home) << Qt::Key_Home << 0;
}

void tst_QGlobalShortCut::setKeySequence()
{
    QFETCH(QKeySequence, sequence);
    QFETCH(Qt::Key, key);
    QFETCH(int, modifiers);

    auto shortcut = shortcutFor(Qt::Key_A, Qt::AltModifier);
    shortcut->setKeySequence(sequence);
    Qt::Key gotKey;
    Qt::KeyboardModifiers gotModifiers;
    shortcut->getKeyAndModifiers(gotKey, gotModifiers);
    QCOMPARE(gotKey, key);
    QCOMPARE(int(gotModifiers), modifiers);
}

void tst_QGlobalShortCut::temporaryCombination()
{
    QGlobalShortCut shortcut;
    QCOMPARE(shortcut.Index(), -1);
    QCOMPARE(shortcut.getShortcutType(), QGlobalShortCut::ShortCutNone);
    QVERIFY(shortcut.compareKey());

    shortcut.setKeyAndModifiers(Qt::Key_F9, CtrlAlt);
    QVERIFY(!shortcut.compareKey());
    shortcut.saveTempKeyAndModifier(false);
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    shortcut.getTempKeyAndModifier(key, modifiers);
    QCOMPARE(key, Qt::Key_F9);
    QCOMPARE(modifiers, CtrlAlt);
    QVERIFY(shortcut.compareKey());

    shortcut.setTempKeyAndModifier(Qt::Key_F9, Qt::ControlModifier);
    QVERIFY(!shortcut.compareKey());
    shortcut.setTempKeyAndModifier(Qt::Key_F8, CtrlAlt);
    QVERIFY(!shortcut.compareKey());
    shortcut.saveTempKeyAndModifier(true);
    shortcut.getKeyAndModifiers(key, modifiers);
    QCOMPARE(key, Qt::Key_F8);
    QCOMPARE(modifiers, CtrlAlt);
    QVERIFY(shortcut.compareKey());

    shortcut.setDefaulKeyAndModifier(Qt::Key_S, Qt::ShiftModifier);
    shortcut.getDefaulKeyAndModifier(key, modifiers);
    QCOMPARE(key, Qt::Key_S);
    QCOMPARE(modifiers, Qt::ShiftModifier);
}

void tst_QGlobalShortCut::nativeKeycode_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<quint32>("keysym");

    QTest::newRow("A") << Qt::Key_A << quint32(XK_a);
    QTest::newRow("Z") << Qt::Key_Z << quint32(XK_z);
    QTest::newRow("0") << Qt::Key_0 << quint32(XK_0);
    QTest::newRow("9") << Qt::Key_9 << quint32(XK_9);
    QTest::newRow("space") << Qt::Key_Space << quint32(XK_space);
    QTest::newRow("comma") << Qt::Key_Comma << quint32(XK_comma);
    QTest::newRow("slash") << Qt::Key_Slash << quint32(XK_slash);
    QTest::newRow("plus is the keypad's") << Qt::Key_Plus << quint32(XK_KP_Add);
    QTest::newRow("minus is the keypad's") << Qt::Key_Minus << quint32(XK_KP_Subtract);
    QTest::newRow("enter is the keypad's") << Qt::Key_Enter << quint32(XK_KP_Enter);
    QTest::newRow("return") << Qt::Key_Return << quint32(XK_Return);
    QTest::newRow("backtab is tab") << Qt::Key_Backtab << quint32(XK_Tab);
    QTest::newRow("backspace") << Qt::Key_Backspace << quint32(XK_BackSpace);
    QTest::newRow("delete") << Qt::Key_Delete << quint32(XK_Delete);
    QTest::newRow("insert") << Qt::Key_Insert << quint32(XK_Insert);
    QTest::newRow("print") << Qt::Key_Print << quint32(XK_Print);
    QTest::newRow("page down") << Qt::Key_PageDown << quint32(XK_Page_Down);
    QTest::newRow("left") << Qt::Key_Left << quint32(XK_Left);
    QTest::newRow("F1") << Qt::Key_F1 << quint32(XK_F1);
    QTest::newRow("F12") << Qt::Key_F12 << quint32(XK_F12);
    QTest::newRow("pause is not a hot key") << Qt::Key_Pause << quint32(0);
    QTest::newRow("F21 is not a hot key") << Qt::Key_F21 << quint32(0);
    QTest::newRow("asterisk is not a hot key") << Qt::Key_Asterisk << quint32(0);
    QTest::newRow("unknown") << Qt::Key_unknown << quint32(0);
}

// Each key's keycode leads back to the keysym of the same key on the server's keyboard.
void tst_QGlobalShortCut::nativeKeycode()
{
    QFETCH(Qt::Key, key);
    QFETCH(quint32, keysym);
    if (!needsX11())
        QSKIP("needs an X server");

    const quint32 keycode = QGlobalShortCut::nativeKeycode(key);
    if (keysym == 0) {
        QCOMPARE(keycode, quint32(0));
        return;
    }
    QVERIFY(keycode >= 8);
    QCOMPARE(keysymOfKeycode(keycode), keysym);
}

void tst_QGlobalShortCut::pressActivatesOnce_data()
{
    QTest::addColumn<QStringList>("locks");
    QTest::addColumn<quint16>("lockMask");

    QTest::newRow("no lock") << QStringList() << quint16(0);
    QTest::newRow("NumLock") << QStringList{"Num_Lock"} << quint16(XCB_MOD_MASK_2);
    QTest::newRow("CapsLock") << QStringList{"Caps_Lock"} << quint16(XCB_MOD_MASK_LOCK);
    QTest::newRow("both") << QStringList{"Num_Lock", "Caps_Lock"} << quint16(XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
}

// A press through the X server reaches the registered object once, whatever the locks; a second
// registered key pressed after it proves no further activation was on its way. The test server's
// keymap makes Ctrl+Alt+F1..F12 switch consoles and swallows those presses before any grab, as a
// desktop's may, so the presses here use other keys.
void tst_QGlobalShortCut::pressActivatesOnce()
{
    QFETCH(QStringList, locks);
    QFETCH(quint16, lockMask);
    if (!needsX11())
        QSKIP("needs an X server");

    auto stop = shortcutFor(Qt::Key_S, CtrlAlt);
    auto screenshot = shortcutFor(Qt::Key_F9, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(stop->registerHotKey());
    QVERIFY(screenshot->registerHotKey());
    QSignalSpy stopSpy(stop.get(), &QGlobalShortCut::activated);
    QSignalSpy screenshotSpy(screenshot.get(), &QGlobalShortCut::activated);

    for (const QString &lock : locks)
        QVERIFY(pressKeys(lock));
    // The locks go off again whatever happens below.
    auto unlock = qScopeGuard([&] {
        for (const QString &lock : locks)
            pressKeys(lock);
    });
    QCOMPARE(m_other->modifierState() & (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK), lockMask);

    QVERIFY(pressKeys("ctrl+alt+s"));
    QTRY_COMPARE_WITH_TIMEOUT(stopSpy.count(), 1, 30000);
    QVERIFY(pressKeys("ctrl+shift+F9"));
    QTRY_COMPARE_WITH_TIMEOUT(screenshotSpy.count(), 1, 30000);
    QCOMPARE(stopSpy.count(), 1);
}

void tst_QGlobalShortCut::keyWithoutKeycodeGrabsNothing_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("pause") << Qt::Key_Pause << int(CtrlAlt);
    QTest::newRow("unknown") << Qt::Key_unknown << int(CtrlAlt);
    QTest::newRow("unknown without modifiers") << Qt::Key_unknown << 0;
}

// Keycode 0 would grab every key with those modifiers; the registration is refused instead.
void tst_QGlobalShortCut::keyWithoutKeycodeGrabsNothing()
{
    QFETCH(Qt::Key, key);
    QFETCH(int, modifiers);
    if (!needsX11())
        QSKIP("needs an X server");

    auto shortcut = shortcutFor(key, Qt::KeyboardModifiers(modifiers));
    QVERIFY(!shortcut->registerHotKey());
    QVERIFY(!shortcut->unregisterHotKey());
    QVERIFY(m_other->grab(Qt::Key_F11, Qt::KeyboardModifiers(modifiers)));
    m_other->ungrab(Qt::Key_F11, Qt::KeyboardModifiers(modifiers));
}

// A combination another client holds is refused, and the lock variants already grabbed go back.
void tst_QGlobalShortCut::heldByAnotherClient()
{
    if (!needsX11())
        QSKIP("needs an X server");

    QVERIFY(m_other->grab(Qt::Key_F9, CtrlAlt));
    auto shortcut = shortcutFor(Qt::Key_F9, CtrlAlt);
    QVERIFY(!shortcut->registerHotKey());
    QVERIFY(!shortcut->unregisterHotKey());
    m_other->ungrab(Qt::Key_F9, CtrlAlt);

    // Holding only the NumLock variant blocks it just the same, and the variants grabbed before
    // the refusal are free again.
    QVERIFY(m_other->grab(Qt::Key_F9, CtrlAlt, XCB_MOD_MASK_2));
    QVERIFY(!shortcut->registerHotKey());
    OtherXClient third;
    const quint16 freeVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
    for (quint16 locks : freeVariants)
        QVERIFY(third.grab(Qt::Key_F9, CtrlAlt, locks));
    QVERIFY(!third.grab(Qt::Key_F9, CtrlAlt, XCB_MOD_MASK_2));
    for (quint16 locks : freeVariants)
        third.ungrab(Qt::Key_F9, CtrlAlt, locks);
    m_other->ungrab(Qt::Key_F9, CtrlAlt, XCB_MOD_MASK_2);

    QVERIFY(shortcut->registerHotKey());
    QVERIFY(!m_other->grab(Qt::Key_F9, CtrlAlt));
    QVERIFY(!m_other->grab(Qt::Key_F9, CtrlAlt, XCB_MOD_MASK_2));
}

// This program's own held combination is refused as well, to the holder and to others.
void tst_QGlobalShortCut::heldByThisProgram()
{
    if (!needsX11())
        QSKIP("needs an X server");

    auto pause = shortcutFor(Qt::Key_P, CtrlAlt);
    auto cut = shortcutFor(Qt::Key_P, CtrlAlt);
    QVERIFY(pause->registerHotKey());
    QVERIFY(!pause->registerHotKey());
    QVERIFY(!cut->registerHotKey());
    QCOMPARE(QGlobalShortCut::registeredShortCut(QGlobalShortCut::nativeKeycode(Qt::Key_P),
                                                 QGlobalShortCut::nativeModifiers(CtrlAlt)),
             pause.get());

    QSignalSpy pauseSpy(pause.get(), &QGlobalShortCut::activated);
    QSignalSpy cutSpy(cut.get(), &QGlobalShortCut::activated);
    QVERIFY(pressKeys("ctrl+alt+p"));
    QTRY_COMPARE_WITH_TIMEOUT(pauseSpy.count(), 1, 30000);
    QCOMPARE(cutSpy.count(), 0);

    // The failed attempt took nothing: when the holder lets go, the key is free.
    QVERIFY(pause->unregisterHotKey());
    QVERIFY(m_other->grab(Qt::Key_P, CtrlAlt));
    m_other->ungrab(Qt::Key_P, CtrlAlt);
}

void tst_QGlobalShortCut::unregisterReleases()
{
    if (!needsX11())
        QSKIP("needs an X server");

    auto shortcut = shortcutFor(Qt::Key_F9, CtrlAlt);
    QVERIFY(!shortcut->unregisterHotKey());
    QVERIFY(shortcut->registerHotKey());
    shortcut->setKeyAndModifiers(Qt::Key_F11, Qt::ShiftModifier);
    QVERIFY(shortcut->registerHotKey());

    QVERIFY(!shortcut->unregisterHotKey(Qt::Key_F5, CtrlAlt));
    QVERIFY(!shortcut->unregisterHotKey(Qt::Key_F9, Qt::ControlModifier));
    QVERIFY(shortcut->unregisterHotKey(Qt::Key_F9, CtrlAlt));
    QVERIFY(!shortcut->unregisterHotKey(Qt::Key_F9, CtrlAlt));
    QVERIFY(m_other->grab(Qt::Key_F9, CtrlAlt));
    m_other->ungrab(Qt::Key_F9, CtrlAlt);
    QVERIFY(!m_other->grab(Qt::Key_F11, Qt::ShiftModifier));

    QVERIFY(shortcut->unregisterHotKey());
    QVERIFY(m_other->grab(Qt::Key_F11, Qt::ShiftModifier));
    m_other->ungrab(Qt::Key_F11, Qt::ShiftModifier);
    QVERIFY(!shortcut->unregisterHotKey());
    QVERIFY(!QGlobalShortCut::registeredShortCut(QGlobalShortCut::nativeKeycode(Qt::Key_F11),
                                                 QGlobalShortCut::nativeModifiers(Qt::ShiftModifier)));
}

void tst_QGlobalShortCut::destructorReleasesEveryRegistration()
{
    if (!needsX11())
        QSKIP("needs an X server");

    auto shortcut = shortcutFor(Qt::Key_F9, CtrlAlt);
    QVERIFY(shortcut->registerHotKey());
    shortcut->setKeyAndModifiers(Qt::Key_F11, CtrlAlt);
    QVERIFY(shortcut->registerHotKey());
    shortcut.reset();

    for (Qt::Key key : {Qt::Key_F9, Qt::Key_F11}) {
        QVERIFY(m_other->grab(key, CtrlAlt));
        m_other->ungrab(key, CtrlAlt);
        QVERIFY(!QGlobalShortCut::registeredShortCut(QGlobalShortCut::nativeKeycode(key),
                                                     QGlobalShortCut::nativeModifiers(CtrlAlt)));
    }
}

void tst_QGlobalShortCut::offX11NothingRegisters()
{
    if (QX11Info::isPlatformX11())
        QSKIP("runs off X11");
    auto shortcut = shortcutFor(Qt::Key_F9, CtrlAlt);
    QCOMPARE(QGlobalShortCut::nativeKeycode(Qt::Key_F9), quint32(0));
    QVERIFY(!shortcut->registerHotKey());
    QVERIFY(!shortcut->unregisterHotKey());
    QCOMPARE(shortcut->getShortCut(), QString("Ctrl + Alt + F9"));
}

void tst_QGlobalShortCut::fileOpenRequest()
{
    auto *application = qobject_cast<KeyApplication *>(qApp);
    QVERIFY(application);
    QSignalSpy spy(application, &KeyApplication::emitFileOpen);
    QFileOpenEvent request(QString("/media/clip one.mkv"));
    QCoreApplication::sendEvent(application, &request);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("/media/clip one.mkv"));
}

int main(int argc, char *argv[])
{
    KeyApplication app(argc, argv);
    tst_QGlobalShortCut test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qglobalshortcut.moc"
