#include "support/zrselector.h"

#include <QMetaObject>

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
    const int asks = meta->indexOfMethod("respondsToSelector(QByteArray)");
    if (asks >= 0) {
        bool responds = true;
        meta->method(asks).invoke(const_cast<QObject *>(target), Qt::DirectConnection, Q_RETURN_ARG(bool, responds),
                                  Q_ARG(QByteArray, name));
        if (!responds)
            return -1;
    }
    const int index = meta->indexOfMethod(QMetaObject::normalizedSignature(signature.constData()).constData());
    if (index < 0 || meta->method(index).methodType() == QMetaMethod::Signal)
        return -1;
    return index;
}
