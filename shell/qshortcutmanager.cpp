#include "shell/qshortcutmanager.h"

#include "services/qsettingxml.h"
#include "shell/qacceptdialog.h"

QShortCutManager *QShortCutManager::m_myShortcutManager = nullptr;

namespace {

const char *const ShortcutItem = "SHORTCUT_SET";

struct StoredShortcut
{
    const char *key;
    QGlobalShortCut::ShortCutType type;
    Qt::Key defaultKey;
    bool recordsDefault;
};

// In the order they are read from the settings.
const StoredShortcut StoredShortcuts[] = {
    {"Pause_shortcut", QGlobalShortCut::ShortCutPause, Qt::Key_F10, true},
    {"Stop_shortcut", QGlobalShortCut::ShortCutStop, Qt::Key_S, true},
    {"Screenshot_shortcut", QGlobalShortCut::ShortCutScreenshot, Qt::Key_F9, false},
    {"Cut_shortcut", QGlobalShortCut::ShortCutCut, Qt::Key_F10, true},
};

// Stop, Pause, Screenshot, Cut: the order of registration, and of the positions in a fresh manager.
const int RegistrationOrder[] = {1, 0, 2, 3};

const Qt::KeyboardModifiers DefaultModifiers = Qt::ControlModifier | Qt::AltModifier;

}

QShortCutManager::QShortCutManager(QObject *parent) : QObject(parent)
{
}

QShortCutManager::~QShortCutManager()
{
    // A parent may take the manager with it; the next caller then gets a new one.
    if (m_myShortcutManager == this)
        m_myShortcutManager = nullptr;
}

QShortCutManager *QShortCutManager::getShortCutManagerObject(QObject *parent)
{
    if (!m_myShortcutManager)
        m_myShortcutManager = new QShortCutManager(parent);
    return m_myShortcutManager;
}

void QShortCutManager::initShortcuts(QAcceptDialog *&acceptDialog)
{
    QStringList stored;
    for (const StoredShortcut &shortcut : StoredShortcuts) {
        const QString text = QString("%1*%2").arg(int(DefaultModifiers)).arg(int(shortcut.defaultKey));
        stored << QSettingXml::getItemValue(ShortcutItem, shortcut.key, text);
    }
    if (!acceptDialog)
        acceptDialog = new QAcceptDialog;

    for (int i : RegistrationOrder) {
        const StoredShortcut &shortcut = StoredShortcuts[i];
        Qt::Key key = shortcut.defaultKey;
        Qt::KeyboardModifiers modifiers = DefaultModifiers;
        if (!QGlobalShortCut::analysisKeyAndmodifier(stored.at(i), key, modifiers))
            QSettingXml::setItemValue(ShortcutItem, shortcut.key,
                                      QString("%1*%2").arg(int(modifiers)).arg(int(key)));
        auto *globalShortcut = new QGlobalShortCut(acceptDialog);
        globalShortcut->setKeyAndModifiers(key, modifiers);
        globalShortcut->setShortcutType(shortcut.type);
        if (shortcut.recordsDefault)
            globalShortcut->setDefaulKeyAndModifier(shortcut.defaultKey, DefaultModifiers);
        // A combination already held (Cut shares Pause's default) stays listed unregistered.
        globalShortcut->registerHotKey();
        getShortCutManagerObject()->addConverItem(globalShortcut, -1);
    }
}

bool QShortCutManager::IsValid(int index) const
{
    return index >= 0 && index < m_items.size();
}

int QShortCutManager::addConverItem(QGlobalShortCut *item, int index)
{
    connect(item, &QObject::destroyed, this, &QShortCutManager::forgetItem, Qt::UniqueConnection);
    if (!IsValid(index)) {
        m_items.append(item);
        item->setIndex(m_items.size() - 1);
        return m_items.size() - 1;
    }
    m_items.insert(index, item);
    for (int i = index; i < m_items.size(); ++i)
        m_items.at(i)->setIndex(i);
    return index;
}

QGlobalShortCut *QShortCutManager::GetItem(int index) const
{
    return IsValid(index) ? m_items.at(index) : nullptr;
}

QGlobalShortCut *QShortCutManager::GetItemForType(QGlobalShortCut::ShortCutType type) const
{
    for (QGlobalShortCut *item : m_items) {
        if (item->getShortcutType() == type)
            return item;
    }
    return nullptr;
}

void QShortCutManager::DeleteItemAt(int index)
{
    if (!IsValid(index))
        return;
    delete m_items.takeAt(index);
    for (int i = index; i < m_items.size(); ++i)
        m_items.at(i)->setIndex(i);
}

void QShortCutManager::RemoveOne(QGlobalShortCut *item)
{
    m_items.removeOne(item);
}

void QShortCutManager::ClearItems()
{
    // One at a time: a deleted object leaves the list with every other place it held.
    while (!m_items.isEmpty())
        delete m_items.takeFirst();
}

int QShortCutManager::GetItemCount() const
{
    return m_items.size();
}

int QShortCutManager::GetItemIndex(QGlobalShortCut *item) const
{
    return m_items.indexOf(item);
}

void QShortCutManager::swapItem(int first, int second)
{
    if (IsValid(first) && IsValid(second))
        m_items.swapItemsAt(first, second);
}

void QShortCutManager::forgetItem(QObject *item)
{
    m_items.removeAll(static_cast<QGlobalShortCut *>(item));
}
