// The player's keys: one filter on the main window, the floating windows and the player window.
#include "shell/qmenumanager.h"

#include "engine/qmediasettingmanager.h"
#include "engine/zrqplayobject.h"
#include "settings_dialog/qsettingdlg.h"

#include <QKeyEvent>
#include <QWidget>
#include <QX11Info>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>

namespace {

// The digit of the key's unshifted symbol: on X11 Shift+1 arrives as "!" and the like. Without a
// native code (other platforms, synthetic events) the key code itself.
int digitKey(const QKeyEvent *event)
{
    if (QX11Info::isPlatformX11() && event->nativeScanCode() != 0) {
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(QX11Info::connection());
        const xcb_keysym_t symbol = xcb_key_symbols_get_keysym(symbols, xcb_keycode_t(event->nativeScanCode()), 0);
        xcb_key_symbols_free(symbols);
        if (symbol >= XK_0 && symbol <= XK_9)
            return Qt::Key_0 + int(symbol - XK_0);
    }
    return event->key();
}

}

// The rows are tried in order; a row with modifiers matches them exactly, Esc and Space match
// with any. Every key a menu entry shows has its row, "Add Subtitle File" last.
bool QMenuManager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int code = key->key();
    const int digit = digitKey(key);
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool alt = modifiers == Qt::AltModifier;

    if (ctrl && code == Qt::Key_Space)
        actStop();
    else if (ctrl && code == Qt::Key_I)
        actMediaInfo();
    else if (ctrl && code == Qt::Key_X)
        emit emitSnapShot();
    else if (shift && code == Qt::Key_I)
        actResyncSubtitleInc();
    else if (shift && code == Qt::Key_E)
        actResyncSubtitledec();
    else if (alt && code == Qt::Key_I)
        actResyncAudioInc();
    else if (alt && code == Qt::Key_E)
        actResyncAudioDec();
    else if (alt && code == Qt::Key_K)
        actStep();
    else if (alt && code == Qt::Key_M)
        actStepBack();
    else if (code == Qt::Key_Escape)
        emit emitFullScreenToNormal();
    else if (code == Qt::Key_Space)
        playerOrPause();
    else if (ctrl && code == Qt::Key_P)
        emit emitActPrevious();
    else if (ctrl && code == Qt::Key_N)
        emit emitActNext();
    else if (alt && code == Qt::Key_J)
        actMediaInfo();
    else if (alt && code == Qt::Key_A)
        emit emitIsFullScreen();
    else if (ctrl && code == Qt::Key_T)
        emit emitWindowAlwaysFront();
    else if (alt && code == Qt::Key_L)
        fillMode(0);
    else if (alt && code == Qt::Key_P)
        fillMode(1);
    else if (alt && code == Qt::Key_F)
        fillMode(2);
    else if (shift && code == Qt::Key_A)
        aspectRatio(0);
    else if (shift && code == Qt::Key_S)
        aspectRatio(1);
    else if (shift && digit >= Qt::Key_1 && digit <= Qt::Key_4)
        aspectRatio(2 + digit - Qt::Key_1);
    else if (ctrl && digit >= Qt::Key_1 && digit <= Qt::Key_3)
        scalingScreen(digit - Qt::Key_1);
    else if (shift && code == Qt::Key_L)
        rotate_L_90();
    else if (shift && code == Qt::Key_R)
        rotate_R_90();
    else if (shift && code == Qt::Key_H)
        flipH();
    else if (shift && code == Qt::Key_V)
        flipV();
    else if (alt && digit == Qt::Key_1)
        deinterlace(1);
    else if (alt && digit == Qt::Key_2)
        deinterlace(2);
    else if (alt && digit == Qt::Key_3)
        deinterlace(0);
    else if (ctrl && code == Qt::Key_V)
        settingsPage(0);
    else if (ctrl && code == Qt::Key_A)
        settingsPage(1);
    else if (ctrl && code == Qt::Key_S)
        settingsPage(2);
    else if (shift && code == Qt::Key_F)
        actFaster();
    else if (shift && code == Qt::Key_N)
        actNormal();
    else if (shift && code == Qt::Key_D)
        actSlower();
    else if (ctrl && code == Qt::Key_F)
        actForwardJump();
    else if (ctrl && code == Qt::Key_B)
        actJumpBack();
    else if (ctrl && code == Qt::Key_O)
        emit emitActOpenFile();
    else if (ctrl && code == Qt::Key_D)
        emit emitActOpenDir();
    else if (ctrl && code == Qt::Key_W)
        actExit();
    else if (alt && code == Qt::Key_O)
        actAddSubtitle();
    else
        return QObject::eventFilter(watched, event);
    return true;
}
