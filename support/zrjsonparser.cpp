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
    fail(4, "Valid fragment, but not JSON");
    return QVariant();
}

QVariant ZRJsonParser::fragmentWithString(const QString &text)
{
    clearErrorTrace();
    if (text.isNull()) {
        fail(12, "Input was 'nil'");
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
        ok = atEnd() || fail(10, "Garbage after JSON");
    }
    c = m_end = nullptr;
    return ok ? value : QVariant();
}

// Arrays and objects recurse through here, so this frame and theirs stay lean: everything else
// (scalars, messages) lives in functions kept out of line.
bool ZRJsonParser::scanValue(QVariant &value)
{
    skipWhitespace();
    if (atEnd())
        return fail(11, "Unexpected end of string");
    if (*c == '[') {
        ++c;
        return scanRestOfArray(value);
    }
    if (*c == '{') {
        ++c;
        return scanRestOfDictionary(value);
    }
    return scanScalar(value);
}

Q_NEVER_INLINE bool ZRJsonParser::scanScalar(QVariant &value)
{
    switch (*c++) {
    case '"': {
        QString string;
        if (!scanRestOfString(string))
            return false;
        value = string;
        return true;
    }
    case 't':
        return scanRestOfWord("rue", "Expected 'true'", true, value);
    case 'f':
        return scanRestOfWord("alse", "Expected 'false'", false, value);
    case 'n':
        return scanRestOfWord("ull", "Expected 'null'", QVariant::fromValue(nullptr), value);
    case '+':
        return fail(2, "Leading + disallowed in number");
    default:
        --c;
        if (*c == '-' || isDigit(*c))
            return scanNumber(value);
        return fail(3, "Unrecognised leading character");
    }
}

Q_NEVER_INLINE bool ZRJsonParser::fail(int code, const char *message)
{
    addErrorWithCode(code, QString::fromLatin1(message));
    return false;
}

bool ZRJsonParser::enterNesting()
{
    ++m_depth;
    if ((maxDepth() != 0 && m_depth > maxDepth()) || m_depth > innerDepthLimit)
        return fail(7, "Nested too deep");
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
        array.append(QVariant());
        if (!scanValue(array.last()))
            return fail(3, "Expected value while parsing array");
        if (!scanSeparator(']', "Trailing comma disallowed in array"))
            return false;
    }
    return fail(11, "End of input while parsing array");
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
        if (*c++ != '"' || !scanRestOfString(key))
            return fail(3, "Object key string expected");
        skipWhitespace();
        if (atEnd() || *c != ':')
            return fail(3, "Expected ':' separating key and value");
        ++c;
        // A later duplicate key wins.
        if (!scanValue(object[key]))
            return failForKey(key);
        if (!scanSeparator('}', "Trailing comma disallowed in object"))
            return false;
    }
    return fail(11, "End of input while parsing object");
}

Q_NEVER_INLINE bool ZRJsonParser::failForKey(const QString &key)
{
    addErrorWithCode(3, QStringLiteral("Object value expected for key: ") + key);
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
    if (!atEnd() && *c == closing)
        return fail(9, trailingCommaMessage);
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
                return fail(6, "Broken unicode character");
            }
            break;
        default:
            addErrorWithCode(8, QString::asprintf("Illegal escape sequence '0x%x'", uchar(escape)));
            return false;
        }
    }
    return fail(11, "Unexpected EOF while parsing string");
}

bool ZRJsonParser::scanRestOfWord(const char *rest, const char *message, const QVariant &word, QVariant &value)
{
    for (; *rest; ++rest, ++c) {
        if (atEnd() || *c != *rest)
            return fail(3, message);
    }
    value = word;
    return true;
}

bool ZRJsonParser::scanUnicodeChar(QString &string)
{
    ushort high = 0;
    if (!scanHexQuad(high)) {
        return fail(6, "Missing hex quad");
    }
    if (high >= 0xDC00 && high <= 0xDFFF) {
        return fail(6, "Invalid high character in surrogate pair");
    }
    if (high < 0xD800 || high > 0xDBFF) {
        string.append(QChar(high));
        return true;
    }
    ushort low = 0;
    if (m_end - c < 2 || c[0] != '\\' || c[1] != 'u') {
        return fail(6, "Missing low character in surrogate pair");
    }
    c += 2;
    if (!scanHexQuad(low)) {
        return fail(6, "Missing low character in surrogate pair");
    }
    if (low < 0xDC00 || low > 0xDFFF) {
        return fail(6, "Invalid low surrogate char");
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
            return fail(6, "Missing hex digit in quad");
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
            return fail(2, "Leading 0 disallowed in number");
        }
    } else if (atEnd() || !isDigit(*c)) {
        return fail(2, "No digits after initial minus");
    } else {
        skipDigits();
    }
    if (!atEnd() && *c == '.') {
        ++c;
        if (atEnd() || !isDigit(*c)) {
            return fail(2, "No digits after decimal point");
        }
        skipDigits();
    }
    if (!atEnd() && (*c == 'e' || *c == 'E')) {
        ++c;
        if (!atEnd() && (*c == '-' || *c == '+'))
            ++c;
        if (atEnd() || !isDigit(*c)) {
            return fail(2, "No digits after exponent");
        }
        skipDigits();
    }
    bool ok = false;
    const ZrDecimalNumber number = ZrDecimalNumber::fromString(QByteArray(start, int(c - start)), &ok);
    if (!ok) {
        return fail(2, "Failed creating decimal instance");
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
