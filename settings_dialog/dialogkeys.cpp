#include "settings_dialog/dialogkeys.h"

#include <QDialog>
#include <QKeyEvent>

bool filterDialogKeys(QDialog *dialog, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const QKeyEvent *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape)
        return true;
    if (key->key() == Qt::Key_W && key->modifiers() == Qt::ControlModifier) {
        dialog->close();
        return true;
    }
    return false;
}
