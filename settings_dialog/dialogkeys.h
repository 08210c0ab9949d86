#ifndef DIALOGKEYS_H
#define DIALOGKEYS_H

class QDialog;
class QEvent;

// The keys of the settings dialogs, for their event filters: Escape does nothing and Control+W
// closes the dialog the ordinary way, which hides it and keeps what it changed. True when the
// event was one of them and is consumed.
bool filterDialogKeys(QDialog *dialog, QEvent *event);

#endif
