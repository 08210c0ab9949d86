#ifndef XKEYS_H
#define XKEYS_H

// Key combinations as another X client sees them, and key presses sent through the X server.
#include "shell/qglobalshortcut.h"

#include <QProcess>
#include <QStringList>

#include <xcb/xcb.h>

#include <cstdlib>

// A second client of the test's X server, with its own connection.
class OtherXClient
{
public:
    OtherXClient() : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherXClient() { xcb_disconnect(m_connection); }
    OtherXClient(const OtherXClient &) = delete;
    OtherXClient &operator=(const OtherXClient &) = delete;

    // Grabs the combination with just the given lock bits; false when another client holds it.
    bool grab(Qt::Key key, Qt::KeyboardModifiers modifiers, quint16 locks = 0)
    {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(
            m_connection, 0, m_root, quint16(QGlobalShortCut::nativeModifiers(modifiers) | locks),
            xcb_keycode_t(QGlobalShortCut::nativeKeycode(key)), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t *error = xcb_request_check(m_connection, cookie);
        std::free(error);
        return error == nullptr;
    }

    void ungrab(Qt::Key key, Qt::KeyboardModifiers modifiers, quint16 locks = 0)
    {
        xcb_ungrab_key(m_connection, xcb_keycode_t(QGlobalShortCut::nativeKeycode(key)), m_root,
                       quint16(QGlobalShortCut::nativeModifiers(modifiers) | locks));
        sync();
    }

    // The server's current modifier and lock state.
    quint16 modifierState()
    {
        xcb_query_pointer_reply_t *reply =
            xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
        const quint16 mask = reply ? reply->mask : 0;
        std::free(reply);
        return mask;
    }

private:
    void sync() { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
};

// Presses keys through the X server as a keyboard would ("ctrl+alt+F9", "Num_Lock").
inline bool pressKeys(const QString &keys)
{
    QProcess xdotool;
    xdotool.start("xdotool", {"key", keys});
    return xdotool.waitForFinished(30000) && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

#endif
