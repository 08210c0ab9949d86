#ifndef QDIALOGKEYS_H
#define QDIALOGKEYS_H

#include <functional>

class QEvent;

// The keys the small message and progress dialogs answer from their event filters: Escape does
// nothing (a dialog would otherwise reject and hide itself) and Ctrl+W closes.
class QDialogKeys
{
public:
    // Runs close for Ctrl+W; true when the event was one of the two keys and is consumed.
    static bool handle(QEvent *event, const std::function<void()> &close);
};

#endif
