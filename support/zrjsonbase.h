#ifndef ZRJSONBASE_H
#define ZRJSONBASE_H

#include "support/zrerror.h"

#include <QList>
#include <QObject>

constexpr char ZRJSONErrorDomain[] = "JsonParserErrorDomain";

// The nesting limit and the error trace the JSON parser shares with its subclasses.
// Every change of the trace is announced before (errorTraceAboutToChange) and after
// (errorTraceChanged).
class ZRJsonBase : public QObject
{
    Q_OBJECT
public:
    explicit ZRJsonBase(QObject *parent = nullptr);

    // 0 means no limit of the caller's.
    unsigned maxDepth() const { return m_maxDepth; }
    void setMaxDepth(unsigned maxDepth) { m_maxDepth = maxDepth; }
    // The nesting depth reached by the running (or last) parse.
    unsigned depth() const { return m_depth; }

    // The errors of the last parse, innermost first; empty after a success.
    QList<ZrError> errorTrace() const { return m_errorTrace; }
    void clearErrorTrace();
    // Appends an error in ZRJSONErrorDomain; it carries the previous error of the trace as
    // its underlying error.
    void addErrorWithCode(int code, const QString &description);

signals:
    void errorTraceAboutToChange();
    void errorTraceChanged();

protected:
    unsigned m_depth = 0;

private:
    unsigned m_maxDepth = 512;
    QList<ZrError> m_errorTrace;
};

#endif
