// The hot-key list: positions and indexes, lookups, deletion, and the hot keys read from the settings.
#include "services/qianyutil.h"
#include "services/qsettingxml.h"
#include "shell/keyapplication.h"
#include "shell/qacceptdialog.h"
#include "shell/qshortcutmanager.h"
#include "xkeys.h"

#include <QFile>
#include <QPointer>
#include <QX11Info>
#include <QtTest>

namespace {

const Qt::KeyboardModifiers CtrlAlt = Qt::ControlModifier | Qt::AltModifier;
const QString DefaultStop = "201326592*83";
const QString DefaultPause = "201326592*16777273";
const QString DefaultScreenshot = "201326592*16777272";
const QString DefaultCut = "201326592*16777273";

QString stored(const char *key)
{
    return QSettingXml::getItemValue("SHORTCUT_SET", key, "<missing>");
}

void store(const char *key, const QString &text)
{
    QSettingXml::getItemValue("SHORTCUT_SET", key, text);
    QSettingXml::setItemValue("SHORTCUT_SET", key, text);
}

QString combination(QGlobalShortCut *shortcut)
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    shortcut->getKeyAndModifiers(key, modifiers);
    return QString("%1*%2").arg(int(modifiers)).arg(int(key));
}

QGlobalShortCut *holder(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    return QGlobalShortCut::registeredShortCut(QGlobalShortCut::nativeKeycode(key),
                                               QGlobalShortCut::nativeModifiers(modifiers));
}

}

class tst_QShortCutManager : public QObject
{
    Q_OBJECT

private slots:
    void singletonFollowsItsParent();
    void cleanup();
    void addConverItem_data();
    void addConverItem();
    void lookups();
    void deleteItemAtRenumbers();
    void removeOneAndSwapKeepIndexes();
    void clearItemsDeletesEveryObject();
    void forgetsObjectsDeletedElsewhere();
    void initShortcuts_defaults();
    void initShortcuts_storedTexts_data();
    void initShortcuts_storedTexts();
    void initShortcuts_sharedCombinationStaysWithPause();

private:
    // Four objects named a, b, c, d at positions 0 to 3 (count of them given).
    QList<QPointer<QGlobalShortCut>> fill(int count);
    QStringList names() const;
    QShortCutManager *manager() const { return QShortCutManager::getShortCutManagerObject(); }

    QAcceptDialog *m_dialog = nullptr;
};

void tst_QShortCutManager::singletonFollowsItsParent()
{
    auto *parent = new QObject;
    QPointer<QShortCutManager> first = QShortCutManager::getShortCutManagerObject(parent);
    QCOMPARE(first->parent(), parent);
    QObject other;
    QCOMPARE(QShortCutManager::getShortCutManagerObject(&other), first.data());
    QCOMPARE(QShortCutManager::getShortCutManagerObject(), first.data());

    // A parent that goes takes the manager with it; the next caller gets a fresh one.
    delete parent;
    QVERIFY(first.isNull());
    QShortCutManager *second = QShortCutManager::getShortCutManagerObject();
    QVERIFY(second);
    QCOMPARE(second->parent(), nullptr);
    QCOMPARE(second->GetItemCount(), 0);
}

void tst_QShortCutManager::cleanup()
{
    manager()->ClearItems();
    delete m_dialog;
    m_dialog = nullptr;
    QFile::remove(QIAnyUtil::getAppDataPath() + "/DefaultSetting.xml");
}

QList<QPointer<QGlobalShortCut>> tst_QShortCutManager::fill(int count)
{
    QList<QPointer<QGlobalShortCut>> items;
    for (int i = 0; i < count; ++i) {
        auto *item = new QGlobalShortCut;
        item->setObjectName(QString(QChar('a' + i)));
        items << item;
        manager()->addConverItem(item, -1);
    }
    return items;
}

QStringList tst_QShortCutManager::names() const
{
    QStringList list;
    for (int i = 0; i < manager()->GetItemCount(); ++i)
        list << QString("%1%2").arg(manager()->GetItem(i)->objectName()).arg(manager()->GetItem(i)->Index());
    return list;
}

void tst_QShortCutManager::addConverItem_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("into an empty list") << 0 << -1 << 0 << QStringList{"x0"};
    QTest::newRow("empty list, index 0") << 0 << 0 << 0 << QStringList{"x0"};
    QTest::newRow("at the front") << 3 << 0 << 0 << QStringList{"x0", "a1", "b2", "c3"};
    QTest::newRow("in the middle") << 3 << 2 << 2 << QStringList{"a0", "b1", "x2", "c3"};
    QTest::newRow("at the last") << 3 << 2 << 2 << QStringList{"a0", "b1", "x2", "c3"};
    QTest::newRow("at the count appends") << 3 << 3 << 3 << QStringList{"a0", "b1", "c2", "x3"};
    QTest::newRow("far beyond appends") << 3 << 99 << 3 << QStringList{"a0", "b1", "c2", "x3"};
    QTest::newRow("negative appends") << 3 << -7 << 3 << QStringList{"a0", "b1", "c2", "x3"};
}

void tst_QShortCutManager::addConverItem()
{
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(int, position);
    QFETCH(QStringList, order);

    fill(count);
    auto *inserted = new QGlobalShortCut;
    inserted->setObjectName("x");
    QCOMPARE(manager()->addConverItem(inserted, index), position);
    QCOMPARE(names(), order);
    QCOMPARE(manager()->GetItemIndex(inserted), position);
}

void tst_QShortCutManager::lookups()
{
    const auto items = fill(3);
    items[0]->setShortcutType(QGlobalShortCut::ShortCutStop);
    items[1]->setShortcutType(QGlobalShortCut::ShortCutPause);
    items[2]->setShortcutType(QGlobalShortCut::ShortCutPause);

    QCOMPARE(manager()->GetItemCount(), 3);
    QCOMPARE(manager()->GetItem(2), items[2].data());
    for (int outside : {-1, 3, 100})
        QCOMPARE(manager()->GetItem(outside), nullptr);
    QVERIFY(manager()->IsValid(0) && manager()->IsValid(2));
    QVERIFY(!manager()->IsValid(-1) && !manager()->IsValid(3));
    QCOMPARE(manager()->GetItemForType(QGlobalShortCut::ShortCutPause), items[1].data());
    QCOMPARE(manager()->GetItemForType(QGlobalShortCut::ShortCutCut), nullptr);
    QGlobalShortCut stranger;
    QCOMPARE(manager()->GetItemIndex(&stranger), -1);
    QCOMPARE(manager()->GetItemIndex(nullptr), -1);
}

void tst_QShortCutManager::deleteItemAtRenumbers()
{
    const auto items = fill(4);
    manager()->DeleteItemAt(1);
    QVERIFY(items[1].isNull());
    QCOMPARE(names(), (QStringList{"a0", "c1", "d2"}));

    for (int outside : {-1, 3})
        manager()->DeleteItemAt(outside);
    QCOMPARE(names(), (QStringList{"a0", "c1", "d2"}));
    QVERIFY(!items[3].isNull());
}

void tst_QShortCutManager::removeOneAndSwapKeepIndexes()
{
    const auto items = fill(4);
    manager()->RemoveOne(items[1]);
    QVERIFY(!items[1].isNull());
    QCOMPARE(names(), (QStringList{"a0", "c2", "d3"}));

    manager()->swapItem(0, 2);
    QCOMPARE(names(), (QStringList{"d3", "c2", "a0"}));
    manager()->swapItem(0, 3);
    manager()->swapItem(-1, 1);
    QCOMPARE(names(), (QStringList{"d3", "c2", "a0"}));
    delete items[1];
}

void tst_QShortCutManager::clearItemsDeletesEveryObject()
{
    const auto items = fill(3);
    // Listed twice: it is still deleted once.
    manager()->addConverItem(items[0], -1);
    manager()->ClearItems();
    QCOMPARE(manager()->GetItemCount(), 0);
    for (const auto &item : items)
        QVERIFY(item.isNull());
}

void tst_QShortCutManager::forgetsObjectsDeletedElsewhere()
{
    auto *dialog = new QAcceptDialog;
    auto *kept = new QGlobalShortCut;
    kept->setShortcutType(QGlobalShortCut::ShortCutStop);
    manager()->addConverItem(kept, -1);
    for (auto type : {QGlobalShortCut::ShortCutPause, QGlobalShortCut::ShortCutCut}) {
        auto *item = new QGlobalShortCut(dialog);
        item->setShortcutType(type);
        manager()->addConverItem(item, -1);
    }
    QCOMPARE(manager()->GetItemCount(), 3);

    delete dialog;
    QCOMPARE(manager()->GetItemCount(), 1);
    QCOMPARE(manager()->GetItem(0), kept);
    QCOMPARE(manager()->GetItemForType(QGlobalShortCut::ShortCutPause), nullptr);
}

void tst_QShortCutManager::initShortcuts_defaults()
{
    QShortCutManager::initShortcuts(m_dialog);
    QVERIFY(m_dialog);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->parent(), nullptr);
    QCOMPARE(m_dialog->objectName(), QString("QAcceptDialog"));
    QCOMPARE(m_dialog->size(), QSize(400, 300));
    QCOMPARE(m_dialog->windowTitle(), QString("Dialog"));

    // The store writes a default only where it makes the item itself: the first key read.
    QCOMPARE(stored("Pause_shortcut"), DefaultPause);

    const QList<QGlobalShortCut::ShortCutType> types{QGlobalShortCut::ShortCutStop, QGlobalShortCut::ShortCutPause,
                                                     QGlobalShortCut::ShortCutScreenshot, QGlobalShortCut::ShortCutCut};
    const QStringList combinations{DefaultStop, DefaultPause, DefaultScreenshot, DefaultCut};
    const QStringList defaults{DefaultStop, DefaultPause, QString("0*%1").arg(int(Qt::Key_unknown)), DefaultCut};
    QCOMPARE(manager()->GetItemCount(), 4);
    for (int i = 0; i < 4; ++i) {
        QGlobalShortCut *item = manager()->GetItem(i);
        QCOMPARE(item->Index(), i);
        QCOMPARE(item->getShortcutType(), types.at(i));
        QCOMPARE(item->parent(), m_dialog);
        QCOMPARE(combination(item), combinations.at(i));
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        item->getDefaulKeyAndModifier(key, modifiers);
        QCOMPARE(QString("%1*%2").arg(int(modifiers)).arg(int(key)), defaults.at(i));
    }

    if (!QX11Info::isPlatformX11())
        QSKIP("registration needs an X server");
    // Cut shares Pause's combination, which Pause registered first.
    QGlobalShortCut *pause = manager()->GetItemForType(QGlobalShortCut::ShortCutPause);
    QCOMPARE(holder(Qt::Key_F10, CtrlAlt), pause);
    QCOMPARE(holder(Qt::Key_S, CtrlAlt), manager()->GetItem(0));
    QCOMPARE(holder(Qt::Key_F9, CtrlAlt), manager()->GetItem(2));
    OtherXClient other;
    QVERIFY(!other.grab(Qt::Key_F10, CtrlAlt));

    // A second run keeps the dialog and adds four more.
    QAcceptDialog *dialog = m_dialog;
    QShortCutManager::initShortcuts(m_dialog);
    QCOMPARE(m_dialog, dialog);
    QCOMPARE(manager()->GetItemCount(), 8);
}

void tst_QShortCutManager::initShortcuts_storedTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("afterwards");
    QTest::addColumn<QString>("used");

    QTest::newRow("no star") << "Ctrl+Alt+S" << DefaultStop << DefaultStop;
    QTest::newRow("a lone number") << "83" << DefaultStop << DefaultStop;
    QTest::newRow("own combination") << "67108864*80" << "67108864*80" << "67108864*80";
    QTest::newRow("unreadable parts") << "ctrl*s" << "ctrl*s" << "0*0";
}

// A stored text without "*" goes back to its default; any other is used as it reads.
void tst_QShortCutManager::initShortcuts_storedTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, afterwards);
    QFETCH(QString, used);

    store("Stop_shortcut", text);
    store("Cut_shortcut", "Cut me");
    QShortCutManager::initShortcuts(m_dialog);

    QCOMPARE(stored("Stop_shortcut"), afterwards);
    QCOMPARE(stored("Cut_shortcut"), DefaultCut);
    QCOMPARE(combination(manager()->GetItemForType(QGlobalShortCut::ShortCutPause)), DefaultPause);
    QGlobalShortCut *stop = manager()->GetItemForType(QGlobalShortCut::ShortCutStop);
    QCOMPARE(combination(stop), used);
    QCOMPARE(combination(manager()->GetItemForType(QGlobalShortCut::ShortCutCut)), DefaultCut);
    if (QX11Info::isPlatformX11())
        QCOMPARE(holder(Qt::Key_S, CtrlAlt) == stop, used == DefaultStop);
}

// Pressed through the X server, a combination Pause and Cut share reaches Pause only.
void tst_QShortCutManager::initShortcuts_sharedCombinationStaysWithPause()
{
    if (!QX11Info::isPlatformX11())
        QSKIP("needs an X server");
    const QString ctrlAltP = QString("%1*%2").arg(int(CtrlAlt)).arg(int(Qt::Key_P));
    store("Pause_shortcut", ctrlAltP);
    store("Cut_shortcut", ctrlAltP);
    QShortCutManager::initShortcuts(m_dialog);

    QSignalSpy pauseSpy(manager()->GetItemForType(QGlobalShortCut::ShortCutPause), &QGlobalShortCut::activated);
    QSignalSpy cutSpy(manager()->GetItemForType(QGlobalShortCut::ShortCutCut), &QGlobalShortCut::activated);
    QSignalSpy stopSpy(manager()->GetItemForType(QGlobalShortCut::ShortCutStop), &QGlobalShortCut::activated);
    QVERIFY(pressKeys("ctrl+alt+p"));
    QTRY_COMPARE_WITH_TIMEOUT(pauseSpy.count(), 1, 30000);
    QVERIFY(pressKeys("ctrl+alt+s"));
    QTRY_COMPARE_WITH_TIMEOUT(stopSpy.count(), 1, 30000);
    QCOMPARE(pauseSpy.count(), 1);
    QCOMPARE(cutSpy.count(), 0);
}

int main(int argc, char *argv[])
{
    KeyApplication app(argc, argv);
    tst_QShortCutManager test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qshortcutmanager.moc"
