#ifndef ZRJSONPARSER_H
#define ZRJSONPARSER_H

#include "support/zrjsonbase.h"

#include <QVariant>

// A recursive-descent JSON parser over the text's UTF-8 bytes. Objects become QVariantMap,
// arrays QVariantList, strings QString, true and false bool, null QVariant::fromValue(nullptr)
// and numbers ZrDecimalNumber, with their digits exact. A failure gives an invalid QVariant
// and leaves the whole chain of errors in errorTrace().
class ZRJsonParser : public ZRJsonBase
{
    Q_OBJECT
public:
    explicit ZRJsonParser(QObject *parent = nullptr);

    // An object or an array; any other value is refused with code 4.
    QVariant objectWithString(const QString &text);
    // Any single value, with nothing but white space after it.
    QVariant fragmentWithString(const QString &text);

private:
    bool scanValue(QVariant &value);
    bool scanScalar(QVariant &value);
    bool scanRestOfArray(QVariant &value);
    bool scanRestOfDictionary(QVariant &value);
    bool scanSeparator(char closing, const char *trailingCommaMessage);
    bool scanRestOfString(QString &string);
    bool scanRestOfWord(const char *rest, const char *message, const QVariant &word, QVariant &value);
    bool scanNumber(QVariant &value);
    bool scanUnicodeChar(QString &string);
    bool scanHexQuad(ushort &quad);
    bool enterNesting();
    bool fail(int code, const char *message);
    bool failForKey(const QString &key);
    void skipWhitespace();
    void skipDigits();
    bool atEnd() const { return c == m_end; }

    const char *c = nullptr;  // read position in the UTF-8 bytes of the text being parsed
    const char *m_end = nullptr;
};

#endif
