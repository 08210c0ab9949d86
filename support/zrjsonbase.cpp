#include "support/zrjsonbase.h"

ZRJsonBase::ZRJsonBase(QObject *parent) : QObject(parent)
{
}

void ZRJsonBase::clearErrorTrace()
{
    emit errorTraceAboutToChange();
    m_errorTrace.clear();
    emit errorTraceChanged();
}

void ZRJsonBase::addErrorWithCode(int code, const QString &description)
{
    const ZrError underlying = m_errorTrace.isEmpty() ? ZrError() : m_errorTrace.last();
    emit errorTraceAboutToChange();
    m_errorTrace.append(ZrError(QString::fromLatin1(ZRJSONErrorDomain), code, description, underlying));
    emit errorTraceChanged();
}
