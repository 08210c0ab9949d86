#include "support/zrselector.h"

#include <QHash>
#include <QMetaObject>
#include <QMutex>

namespace {

// Method indexes found before, by meta-object and signature: a lookup builds and normalises a
// signature, which would cost more than most of the calls it serves.
struct IndexCache
{
    QMutex lock;
    QHash<QPair<const QMetaObject *, QByteArray>, int> indexes;
};

IndexCache &indexCache()
{
    static IndexCache cache;
    return cache;
}

int cachedIndex(const QMetaObject *meta, const QByteArray &signature)
{
    const QPair<const QMetaObject *, QByteArray> key(meta, signature);
    IndexCache &cache = indexCache();
    QMutexLocker locker(&cache.lock);
    const auto found = cache.indexes.constFind(key);
    if (found != cache.indexes.constEnd())
        return found.value();
    const int index = meta->indexOfMethod(QMetaObject::normalizedSignature(signature.constData()).constData());
    cache.indexes.insert(key, index);
    return index;
}

} // namespace

int ZrSelector::methodIndex(const QObject *target, const QByteArray &name, const QList<const char *> &types)
{
    if (!target || name.isEmpty())
        return -1;
    QByteArray signature = name + '(';
    for (int i = 0; i < types.size(); ++i) {
        if (i > 0)
            signature += ',';
        signature += types.at(i);
    }
    signature += ')';
    const QMetaObject *meta = target->metaObject();
    // An object may decide at run time what it answers, by an invokable respondsToSelector(QByteArray).
    const int asks = cachedIndex(meta, "respondsToSelector(QByteArray)");
    if (asks >= 0) {
        bool responds = true;
        meta->method(asks).invoke(const_cast<QObject *>(target), Qt::DirectConnection, Q_RETURN_ARG(bool, responds),
                                  Q_ARG(QByteArray, name));
        if (!responds)
            return -1;
    }
    const int index = cachedIndex(meta, signature);
    if (index < 0 || meta->method(index).methodType() == QMetaMethod::Signal)
        return -1;
    return index;
}
