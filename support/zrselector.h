#ifndef ZRSELECTOR_H
#define ZRSELECTOR_H

#include <QByteArray>
#include <QList>
#include <QMetaMethod>
#include <QMetaType>
#include <QObject>

// Calls by name on delegates and indicators: an object "answers" a callback when its
// meta-object has an invokable method of that name taking exactly those argument types,
// and, when it has an invokable respondsToSelector(QByteArray), that method agrees.
class ZrSelector
{
public:
    template <typename... Args>
    static bool answers(const QObject *target, const QByteArray &name)
    {
        return methodIndex(target, name, {QMetaType::typeName(qMetaTypeId<Args>())...}) >= 0;
    }

    // Calls the method directly on the calling thread; false when the target does not answer.
    template <typename... Args>
    static bool call(QObject *target, const QByteArray &name, const Args &...args)
    {
        const int index = methodIndex(target, name, {QMetaType::typeName(qMetaTypeId<Args>())...});
        if (index < 0)
            return false;
        return target->metaObject()->method(index).invoke(
            target, Qt::DirectConnection, QGenericArgument(QMetaType::typeName(qMetaTypeId<Args>()), &args)...);
    }

private:
    static int methodIndex(const QObject *target, const QByteArray &name, const QList<const char *> &types);
};

#endif
