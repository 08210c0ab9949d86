#include "player/qdialogkeys.h"

#include <QKeyEvent>

bool QDialogKeys::handle(QEvent *event, const std::function<void()> &close)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape)
        return true;
    if (key->key() == Qt::Key_W && key->modifiers() == Qt::ControlModifier) {
        close();
        return true;
    }
    return false;
}
