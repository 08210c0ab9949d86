#include "shell/qglobalshortcut.h"

#include <QHash>
#include <QPair>
#include <QX11Info>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

using Combination = QPair<quint32, quint32>;

// Every combination this program holds, and its object.
QHash<Combination, QGlobalShortCut *> &hotKeys()
{
    static QHash<Combination, QGlobalShortCut *> keys;
    return keys;
}

// Each grab covers the combination with and without CapsLock and NumLock (Mod2 on X servers
// of today), so the key works whatever state those locks are in.
const quint16 LockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_connection_t *xConnection()
{
    return QX11Info::isPlatformX11() ? QX11Info::connection() : nullptr;
}

// True when every request of the batch succeeded; collects all the replies.
bool allSucceeded(xcb_connection_t *connection, const xcb_void_cookie_t (&cookies)[4])
{
    bool ok = true;
    for (const xcb_void_cookie_t &cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            std::free(error);
            ok = false;
        }
    }
    return ok;
}

bool ungrabKey(quint32 key, quint32 mods)
{
    xcb_connection_t *connection = xConnection();
    if (!connection)
        return false;
    xcb_void_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i)
        cookies[i] = xcb_ungrab_key_checked(connection, xcb_keycode_t(key), QX11Info::appRootWindow(),
                                            quint16(mods | LockVariants[i]));
    return allSucceeded(connection, cookies);
}

// A grab another client holds fails with BadAccess; then the variants that succeeded go back.
bool grabKey(quint32 key, quint32 mods)
{
    xcb_connection_t *connection = xConnection();
    if (!connection)
        return false;
    xcb_void_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i)
        cookies[i] = xcb_grab_key_checked(connection, 0, QX11Info::appRootWindow(), quint16(mods | LockVariants[i]),
                                          xcb_keycode_t(key), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (allSucceeded(connection, cookies))
        return true;
    ungrabKey(key, mods);
    return false;
}

// The X keysym of the keys a hot key may use; 0 for any other.
quint32 keysymOf(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return XK_a + quint32(key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return XK_0 + quint32(key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F20)
        return XK_F1 + quint32(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Space: return XK_space;
    case Qt::Key_Comma: return XK_comma;
    case Qt::Key_Period: return XK_period;
    case Qt::Key_Slash: return XK_slash;
    case Qt::Key_Plus: return XK_KP_Add;
    case Qt::Key_Minus: return XK_KP_Subtract;
    case Qt::Key_Escape: return XK_Escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return XK_Tab;
    case Qt::Key_Return: return XK_Return;
    case Qt::Key_Enter: return XK_KP_Enter;
    case Qt::Key_Backspace: return XK_BackSpace;
    case Qt::Key_Delete: return XK_Delete;
    case Qt::Key_Insert: return XK_Insert;
    case Qt::Key_Print: return XK_Print;
    case Qt::Key_Clear: return XK_Clear;
    case Qt::Key_Home: return XK_Home;
    case Qt::Key_End: return XK_End;
    case Qt::Key_Left: return XK_Left;
    case Qt::Key_Up: return XK_Up;
    case Qt::Key_Right: return XK_Right;
    case Qt::Key_Down: return XK_Down;
    case Qt::Key_PageUp: return XK_Page_Up;
    case Qt::Key_PageDown: return XK_Page_Down;
    default: return 0;
    }
}

}

QGlobalShortCut::QGlobalShortCut(QWidget *parent) : QWidget(parent)
{
}

QGlobalShortCut::~QGlobalShortCut()
{
    while (!m_registrations.isEmpty())
        release(m_registrations.size() - 1);
}

void QGlobalShortCut::setIndex(int index)
{
    m_index = index;
}

int QGlobalShortCut::Index() const
{
    return m_index;
}

void QGlobalShortCut::setShortcutType(QGlobalShortCut::ShortCutType type)
{
    m_type = type;
}

QGlobalShortCut::ShortCutType QGlobalShortCut::getShortcutType() const
{
    return m_type;
}

void QGlobalShortCut::setKeySequence(QKeySequence sequence)
{
    m_keySequence = sequence;
    const int modifierBits = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const int first = sequence.isEmpty() ? 0 : sequence[0];
    m_key = Qt::Key(first & ~modifierBits);
    m_modifiers = Qt::KeyboardModifiers(first & modifierBits);
}

void QGlobalShortCut::setKeyAndModifiers(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    m_key = key;
    m_modifiers = modifiers;
}

void QGlobalShortCut::getKeyAndModifiers(Qt::Key &key, Qt::KeyboardModifiers &modifiers) const
{
    key = m_key;
    modifiers = m_modifiers;
}

void QGlobalShortCut::setTempKeyAndModifier(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    m_tempKey = key;
    m_tempModifiers = modifiers;
}

void QGlobalShortCut::getTempKeyAndModifier(Qt::Key &key, Qt::KeyboardModifiers &modifiers) const
{
    key = m_tempKey;
    modifiers = m_tempModifiers;
}

void QGlobalShortCut::saveTempKeyAndModifier(bool save)
{
    if (save)
        setKeyAndModifiers(m_tempKey, m_tempModifiers);
    else
        setTempKeyAndModifier(m_key, m_modifiers);
}

void QGlobalShortCut::setDefaulKeyAndModifier(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    m_defaultKey = key;
    m_defaultModifiers = modifiers;
}

void QGlobalShortCut::getDefaulKeyAndModifier(Qt::Key &key, Qt::KeyboardModifiers &modifiers) const
{
    key = m_defaultKey;
    modifiers = m_defaultModifiers;
}

bool QGlobalShortCut::compareKey() const
{
    return m_key == m_tempKey && m_modifiers == m_tempModifiers;
}

bool QGlobalShortCut::registerHotKey()
{
    const quint32 key = nativeKeycode(m_key);
    const quint32 mods = nativeModifiers(m_modifiers);
    // Keycode 0 is AnyKey to the X server: a key without a code must grab nothing.
    if (key == 0 || hotKeys().contains({key, mods}) || !grabKey(key, mods))
        return false;
    hotKeys().insert({key, mods}, this);
    m_registrations.append({key, mods});
    return true;
}

bool QGlobalShortCut::unregisterHotKey()
{
    return !m_registrations.isEmpty() && release(m_registrations.size() - 1);
}

bool QGlobalShortCut::unregisterHotKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const quint32 nativeKey = nativeKeycode(key);
    const quint32 nativeMods = nativeModifiers(modifiers);
    for (int i = 0; i < m_registrations.size(); ++i) {
        if (m_registrations.at(i).nativeKey == nativeKey && m_registrations.at(i).nativeMods == nativeMods)
            return release(i);
    }
    return false;
}

bool QGlobalShortCut::release(int registration)
{
    const Registration taken = m_registrations.takeAt(registration);
    hotKeys().remove({taken.nativeKey, taken.nativeMods});
    return ungrabKey(taken.nativeKey, taken.nativeMods);
}

void QGlobalShortCut::activateShortcut()
{
    emit activated();
}

QString QGlobalShortCut::getShortCut() const
{
    return getShortCutString(m_key, m_modifiers);
}

quint32 QGlobalShortCut::nativeKeycode(Qt::Key key)
{
    const quint32 keysym = keysymOf(key);
    xcb_connection_t *connection = xConnection();
    if (keysym == 0 || !connection)
        return 0;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    if (!symbols)
        return 0;
    quint32 code = 0;
    if (xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym)) {
        code = codes[0] == XCB_NO_SYMBOL ? 0 : codes[0];
        std::free(codes);
    }
    xcb_key_symbols_free(symbols);
    return code;
}

quint32 QGlobalShortCut::nativeModifiers(Qt::KeyboardModifiers modifiers)
{
    quint32 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

QGlobalShortCut *QGlobalShortCut::registeredShortCut(quint32 nativeKey, quint32 nativeMods)
{
    return hotKeys().value({nativeKey, nativeMods});
}

QString QGlobalShortCut::ModifiersConvertString(Qt::KeyboardModifiers modifiers)
{
    QStringList names;
    if (modifiers & Qt::ShiftModifier)
        names << QStringLiteral("Shift");
    if (modifiers & Qt::ControlModifier)
        names << QStringLiteral("Ctrl");
    if (modifiers & Qt::AltModifier)
        names << QStringLiteral("Alt");
    if (modifiers & Qt::MetaModifier)
        names << QStringLiteral("Meta");
    return names.join(QStringLiteral(" + "));
}

QString QGlobalShortCut::KeycodeConvertString(Qt::Key key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return QString(QChar(key));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    switch (key) {
    case Qt::Key_Space: return QStringLiteral("SPACE");
    case Qt::Key_Asterisk: return QStringLiteral("*");
    case Qt::Key_Plus: return QStringLiteral("+");
    case Qt::Key_Comma: return QStringLiteral(",");
    case Qt::Key_Minus: return QStringLiteral("-");
    case Qt::Key_Period: return QStringLiteral(".");
    case Qt::Key_Slash: return QStringLiteral("/");
    case Qt::Key_Escape: return QStringLiteral("ESC");
    case Qt::Key_Tab: return QStringLiteral("TAB");
    case Qt::Key_Backtab: return QStringLiteral("BACKTAB");
    case Qt::Key_Backspace: return QStringLiteral("BACKSPACE");
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("ENTER");
    case Qt::Key_Insert: return QStringLiteral("INSERT");
    case Qt::Key_Delete: return QStringLiteral("DELETE");
    case Qt::Key_Pause: return QStringLiteral("PAUSE");
    case Qt::Key_Print: return QStringLiteral("PRINT");
    case Qt::Key_Clear: return QStringLiteral("CLEAR");
    case Qt::Key_Home: return QStringLiteral("HOME");
    case Qt::Key_End: return QStringLiteral("END");
    case Qt::Key_Left: return QStringLiteral("LEFT");
    case Qt::Key_Up: return QStringLiteral("UP");
    case Qt::Key_Right: return QStringLiteral("RIGHT");
    case Qt::Key_Down: return QStringLiteral("DOWN");
    case Qt::Key_PageUp: return QStringLiteral("PageUp");
    case Qt::Key_PageDown: return QStringLiteral("PageDown");
    default: return QString();
    }
}

QString QGlobalShortCut::getShortCutString(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const QString modifierText = ModifiersConvertString(modifiers);
    if (modifierText.isEmpty())
        return KeycodeConvertString(key);
    return modifierText + QStringLiteral(" + ") + KeycodeConvertString(key);
}

bool QGlobalShortCut::analysisKeyAndmodifier(QString text, Qt::Key &key, Qt::KeyboardModifiers &modifiers)
{
    const int star = text.indexOf(QLatin1Char('*'));
    if (star < 0)
        return false;
    // An unreadable part reads as 0.
    modifiers = Qt::KeyboardModifiers(text.left(star).toUInt());
    key = Qt::Key(text.mid(star + 1).toInt());
    return true;
}
