#include "engine/playiteminfo.h"
#include "engine/playmetatypes.h"
#include "engine/playtypes.h"

#include <QList>
#include <QtTest>
#include <thread>

// Receives by name, the way a queued call from a loading thread is looked up.
class Receiver : public QObject
{
    Q_OBJECT

public slots:
    void take(PlayItemInfo item, PlayState state, QList<QString> names)
    {
        paths << item.path;
        states << state;
        lists << names;
    }

public:
    QStringList paths;
    QList<PlayState> states;
    QList<QList<QString>> lists;
};

class tst_PlayMetaTypes : public QObject
{
    Q_OBJECT

private slots:
    void namesAreKnown();
    void queuedFromAnotherThread();
};

void tst_PlayMetaTypes::namesAreKnown()
{
    registerPlayMetaTypes();
    QCOMPARE(QMetaType::type("PlayItemInfo"), qMetaTypeId<PlayItemInfo>());
    QCOMPARE(QMetaType::type("PlayState"), qMetaTypeId<PlayState>());
    QCOMPARE(QMetaType::type("QList<QString>"), qMetaTypeId<QList<QString>>());
}

void tst_PlayMetaTypes::queuedFromAnotherThread()
{
    registerPlayMetaTypes();
    Receiver receiver;
    PlayItemInfo item;
    item.path = "/media/one.mp4";
    item.Duration_ = 42;
    std::thread loader([&receiver, item] {
        QMetaObject::invokeMethod(&receiver, "take", Qt::QueuedConnection, Q_ARG(PlayItemInfo, item),
                                  Q_ARG(PlayState, PlayState_Paused),
                                  Q_ARG(QList<QString>, QList<QString>({"a", "b"})));
    });
    loader.join();
    QTRY_COMPARE(receiver.paths, QStringList({"/media/one.mp4"}));
    QCOMPARE(receiver.states, QList<PlayState>({PlayState_Paused}));
    QCOMPARE(receiver.lists.value(0), QList<QString>({"a", "b"}));
}

QTEST_GUILESS_MAIN(tst_PlayMetaTypes)
#include "tst_playmetatypes.moc"
