#ifndef QSHORTCUTMANAGER_H
#define QSHORTCUTMANAGER_H

#include "shell/qglobalshortcut.h"

#include <QList>
#include <QObject>

class QAcceptDialog;

// The program's list of system-wide hot keys, one per position. The list does not own its objects,
// but it forgets an object when it is destroyed.
class QShortCutManager : public QObject
{
    Q_OBJECT

public:
    explicit QShortCutManager(QObject *parent = nullptr);
    ~QShortCutManager() override;

    // The one manager; the first call makes it with the given parent.
    static QShortCutManager *getShortCutManagerObject(QObject *parent = nullptr);

    // Reads the pause, stop, screenshot and cut hot keys of "SHORTCUT_SET", writing a stored text
    // that cannot be read back to its default, and registers them as Stop, Pause, Screenshot and
    // Cut under acceptDialog, which is made on first use.
    static void initShortcuts(QAcceptDialog *&acceptDialog);

    bool IsValid(int index) const;
    // Inserts at a valid index and renumbers from there, else appends; returns the position.
    int addConverItem(QGlobalShortCut *item, int index);
    QGlobalShortCut *GetItem(int index) const;
    QGlobalShortCut *GetItemForType(QGlobalShortCut::ShortCutType type) const;
    void DeleteItemAt(int index);
    void RemoveOne(QGlobalShortCut *item);
    void ClearItems();
    int GetItemCount() const;
    int GetItemIndex(QGlobalShortCut *item) const;
    // Swaps two positions; the objects keep their indexes.
    void swapItem(int first, int second);

private:
    void forgetItem(QObject *item);

    QList<QGlobalShortCut *> m_items;
    static QShortCutManager *m_myShortcutManager;
};

#endif
