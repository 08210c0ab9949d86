#include "support/zrjsonparser.h"

#include "support/zrdecimalnumber.h"

#include <QTextCodec>

#include <array>

namespace {

// Arrays and objects recurse; beyond this depth the stack is at risk, whatever maxDepth says.
constexpr unsigned innerDepthLimit = 10000;

// Bytes that end a plain run inside a string: the quote, the backslash and the control bytes.
const std::array<bool, 256> &stopSet()
{
    static const std::array<bool, 256> set = [] {
        std::array<bool, 256> bytes{};
        for (int byte = 0; byte < 32; ++byte)
            bytes[byte] = true;
        bytes['"'] = true;
        bytes['\\'] = true;
        return bytes;
    }();
    return set;
}

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

int hexValue(char ch)
{
    if (isDigit(ch))
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// The text came from a QString, so its bytes are always valid UTF-8; the codec keeps a
// leading U+FEFF of a run, which QString::fromUtf8 would drop as a byte order mark.
QString decodeUtf8(const char *bytes, int length)
{
    static QTextCodec *const utf8 = QTextCodec::codecForMib(106);
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return utf8->toUnicode(bytes, length, &state);
}

}  // namespace

ZRJsonParser::ZRJsonParser(QObject *parent) : ZRJsonBase(parent)
{
}

QVariant ZRJsonParser::objectWithString(const QString &text)
{
    const QVariant value = fragmentWithString(text);
    if (!value.isValid())
        return QVariant();
    if (value.userType() == QMetaType::QVariantMap || value.userType() == QMetaType::QVariantList)
        return value;
    addErrorWithCode(4, QStringLiteral("Valid fragment, but not JSON"));
    return QVariant();
}

QVariant ZRJsonParser::fragmentWithString(const QString &text)
{
    clearErrorTrace();
    if (text.isNull()) {
        addErrorWithCode(12, QStringLiteral("Input was 'nil'"));
        return QVariant();
    }
    const QByteArray utf8 = text.toUtf8();
    m_depth = 0;
    c = utf8.constData();
    m_end = c + utf8.size();

    QVariant value;
    bool ok = scanValue(value);
    if (ok) {
        skipWhitespace();
        if (!atEnd()) {
            addErrorWithCode(10, QStringLiteral("Garbage after JSON"));
            ok = false;
        }
    }
    c = m_end = nullptr;
    return ok ? value : QVariant();
}

bool ZRJsonParser::scanValue(QVariant &value)
{
    skipWhitespace();
    if (atEnd()) {
        addErrorWithCode(11, QStringLiteral("Unexpected end of string"));
        return false;
    }
    switch (*c++) {
    case '"': {
        QString string;
        if (!scanRestOfString(string))
            return false;
        value = string;
        return true;
    }
    case '[':
        return scanRestOfArray(value);
    case '{':
        return scanRestOfDictionary(value);
    case 't':
        return scanRestOfWord("rue", "Expected 'true'", true, value);
    case 'f':
        return scanRestOfWord("alse", "Expected 'false'", false, value);
    case 'n':
        return scanRestOfWord("ull", "Expected 'null'", QVariant::fromValue(nullptr), value);
    case '+':
        addErrorWithCode(2, QStringLiteral("Leading + disallowed in number"));
        return false;
    default:
        --c;
        if (*c == '-' || isDigit(*c))
            return scanNumber(value);
        addErrorWithCode(3, QStringLiteral("Unrecognised leading character"));
        return false;
    }
}

bool ZRJsonParser::enterNesting()
{
    ++m_depth;
    if ((maxDepth() != 0 && m_depth > maxDepth()) || m_depth > innerDepthLimit) {
        addErrorWithCode(7, QStringLiteral("Nested too deep"));
        return false;
    }
    return true;
}

bool ZRJsonParser::scanRestOfArray(QVariant &value)
{
    if (!enterNesting())
        return false;
    QVariantList array;
    array.reserve(8);
    for (skipWhitespace(); !atEnd(); skipWhitespace()) {
        if (*c == ']') {
            ++c;
            --m_depth;
            value = array;
            return true;
        }
        QVariant element;
        if (!scanValue(element)) {
            addErrorWithCode(3, QStringLiteral("Expected value while parsing array"));
            return false;
        }
        array.append(element);
        if (!scanSeparator(']', "Trailing comma disallowed in array"))
            return false;
    }
    addErrorWithCode(11, QStringLiteral("End of input while parsing array"));
    return false;
}

bool ZRJsonParser::scanRestOfDictionary(QVariant &value)
{
    if (!enterNesting())
        return false;
    QVariantMap object;
    for (skipWhitespace(); !atEnd(); skipWhitespace()) {
        if (*c == '}') {
            ++c;
            --m_depth;
            value = object;
            return true;
        }
        QString key;
        if (*c++ != '"' || !scanRestOfString(key)) {
            addErrorWithCode(3, QStringLiteral("Object key string expected"));
            return false;
        }
        skipWhitespace();
        if (atEnd() || *c != ':') {
            addErrorWithCode(3, QStringLiteral("Expected ':' separating key and value"));
            return false;
        }
        ++c;
        QVariant member;
        if (!scanValue(member)) {
            addErrorWithCode(3, QStringLiteral("Object value expected for key: ") + key);
            return false;
        }
        object.insert(key, member);  // a later duplicate key wins
        if (!scanSeparator('}', "Trailing comma disallowed in object"))
            return false;
    }
    addErrorWithCode(11, QStringLiteral("End of input while parsing object"));
    return false;
}

bool ZRJsonParser::scanSeparator(char closing, const char *trailingCommaMessage)
{
    // The comma between elements is optional; white space alone separates them too.
    skipWhitespace();
    if (atEnd() || *c != ',')
        return true;
    ++c;
    skipWhitespace();
    if (!atEnd() && *c == closing) {
        addErrorWithCode(9, QString::fromLatin1(trailingCommaMessage));
        return false;
    }
    return true;
}

bool ZRJsonParser::scanRestOfString(QString &string)
{
    string.reserve(16);
    const std::array<bool, 256> &stop = stopSet();
    while (!atEnd()) {
        const char *run = c;
        while (c != m_end && !stop[uchar(*c)])
            ++c;
        if (c != run)
            string += decodeUtf8(run, int(c - run));
        if (atEnd())
            break;
        const uchar byte = uchar(*c++);
        if (byte == '"')
            return true;
        if (byte != '\\') {
            addErrorWithCode(5, QString::asprintf("Unescaped control character '0x%x'", byte));
            return false;
        }
        if (atEnd())
            break;
        const char escape = *c++;
        switch (escape) {
        case '"':
        case '\\':
        case '/':
            string.append(QLatin1Char(escape));
            break;
        case 'b':
            string.append(QChar(8));
            break;
        case 'f':
            string.append(QChar(12));
            break;
        case 'n':
            string.append(QChar(10));
            break;
        case 'r':
            string.append(QChar(13));
            break;
        case 't':
            string.append(QChar(9));
            break;
        case 'u':
            if (!scanUnicodeChar(string)) {
                addErrorWithCode(6, QStringLiteral("Broken unicode character"));
                return false;
            }
            break;
        default:
            addErrorWithCode(8, QString::asprintf("Illegal escape sequence '0x%x'", uchar(escape)));
            return false;
        }
    }
    addErrorWithCode(11, QStringLiteral("Unexpected EOF while parsing string"));
    return false;
}

bool ZRJsonParser::scanRestOfWord(const char *rest, const char *message, const QVariant &word, QVariant &value)
{
    for (; *rest; ++rest, ++c) {
        if (atEnd() || *c != *rest) {
            addErrorWithCode(3, QString::fromLatin1(message));
            return false;
        }
    }
    value = word;
    return true;
}

bool ZRJsonParser::scanUnicodeChar(QString &string)
{
    ushort high = 0;
    if (!scanHexQuad(high)) {
        addErrorWithCode(6, QStringLiteral("Missing hex quad"));
        return false;
    }
    if (high >= 0xDC00 && high <= 0xDFFF) {
        addErrorWithCode(6, QStringLiteral("Invalid high character in surrogate pair"));
        return false;
    }
    if (high < 0xD800 || high > 0xDBFF) {
        string.append(QChar(high));
        return true;
    }
    ushort low = 0;
    if (m_end - c < 2 || c[0] != '\\' || c[1] != 'u') {
        addErrorWithCode(6, QStringLiteral("Missing low character in surrogate pair"));
        return false;
    }
    c += 2;
    if (!scanHexQuad(low)) {
        addErrorWithCode(6, QStringLiteral("Missing low character in surrogate pair"));
        return false;
    }
    if (low < 0xDC00 || low > 0xDFFF) {
        addErrorWithCode(6, QStringLiteral("Invalid low surrogate char"));
        return false;
    }
    string.append(QChar(high));
    string.append(QChar(low));
    return true;
}

bool ZRJsonParser::scanHexQuad(ushort &quad)
{
    quad = 0;
    for (int i = 0; i < 4; ++i, ++c) {
        const int digit = atEnd() ? -1 : hexValue(*c);
        if (digit < 0) {
            addErrorWithCode(6, QStringLiteral("Missing hex digit in quad"));
            return false;
        }
        quad = ushort(quad * 16 + digit);
    }
    return true;
}

bool ZRJsonParser::scanNumber(QVariant &value)
{
    const char *start = c;
    if (*c == '-')
        ++c;
    if (!atEnd() && *c == '0') {
        ++c;
        if (!atEnd() && isDigit(*c)) {
            addErrorWithCode(2, QStringLiteral("Leading 0 disallowed in number"));
            return false;
        }
    } else if (atEnd() || !isDigit(*c)) {
        addErrorWithCode(2, QStringLiteral("No digits after initial minus"));
        return false;
    } else {
        skipDigits();
    }
    if (!atEnd() && *c == '.') {
        ++c;
        if (atEnd() || !isDigit(*c)) {
            addErrorWithCode(2, QStringLiteral("No digits after decimal point"));
            return false;
        }
        skipDigits();
    }
    if (!atEnd() && (*c == 'e' || *c == 'E')) {
        ++c;
        if (!atEnd() && (*c == '-' || *c == '+'))
            ++c;
        if (atEnd() || !isDigit(*c)) {
            addErrorWithCode(2, QStringLiteral("No digits after exponent"));
            return false;
        }
        skipDigits();
    }
    bool ok = false;
    const ZrDecimalNumber number = ZrDecimalNumber::fromString(QByteArray(start, int(c - start)), &ok);
    if (!ok) {
        addErrorWithCode(2, QStringLiteral("Failed creating decimal instance"));
        return false;
    }
    value = QVariant::fromValue(number);
    return true;
}

void ZRJsonParser::skipWhitespace()
{
    while (!atEnd() && isSpace(*c))
        ++c;
}

void ZRJsonParser::skipDigits()
{
    while (!atEnd() && isDigit(*c))
        ++c;
}
