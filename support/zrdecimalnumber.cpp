#include "support/zrdecimalnumber.h"

#include <QtGlobal>

namespace {

bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

// Registered once, so that QVariant::toString(), toDouble() and == work on the type.
[[maybe_unused]] const bool metaTypeRegistered = [] {
    qRegisterMetaType<ZrDecimalNumber>();
    QMetaType::registerConverter<ZrDecimalNumber, QString>(&ZrDecimalNumber::toString);
    QMetaType::registerConverter<ZrDecimalNumber, double>(&ZrDecimalNumber::toDouble);
    QMetaType::registerEqualsComparator<ZrDecimalNumber>();
    return true;
}();

}  // namespace

ZrDecimalNumber ZrDecimalNumber::fromString(const QByteArray &text, bool *ok)
{
    *ok = false;
    const char *p = text.constData();
    const char *end = p + text.size();

    ZrDecimalNumber number;
    if (p < end && (*p == '-' || *p == '+'))
        number.m_negative = *p++ == '-';

    QByteArray digits;
    qint64 exponent = 0;
    for (; p < end && isDigit(*p); ++p)
        digits.append(*p);
    if (p < end && *p == '.') {
        for (++p; p < end && isDigit(*p); ++p) {
            digits.append(*p);
            --exponent;
        }
    }
    if (digits.isEmpty())
        return ZrDecimalNumber();

    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < end && (*p == '-' || *p == '+'))
            negativeExponent = *p++ == '-';
        if (p == end || !isDigit(*p))
            return ZrDecimalNumber();
        // Saturates far outside the range; a non-zero value that large fails below anyway.
        qint64 written = 0;
        for (; p < end && isDigit(*p); ++p)
            written = qMin<qint64>(written * 10 + (*p - '0'), 1000000000);
        exponent += negativeExponent ? -written : written;
    }
    if (p != end)
        return ZrDecimalNumber();

    int first = 0;
    while (first < digits.size() && digits.at(first) == '0')
        ++first;
    digits.remove(0, first);
    if (digits.isEmpty()) {
        *ok = true;
        return ZrDecimalNumber();
    }

    if (digits.size() > maxDigits) {
        const bool roundUp = digits.at(maxDigits) >= '5';
        exponent += digits.size() - maxDigits;
        digits.truncate(maxDigits);
        for (int i = maxDigits - 1; roundUp && i >= 0; --i) {
            if (digits[i] == '9') {
                digits[i] = '0';
                continue;
            }
            digits[i] = char(digits[i] + 1);
            break;
        }
        if (roundUp && digits.at(0) == '0') {  // every digit was a nine
            digits.prepend('1');
            digits.chop(1);
            ++exponent;
        }
    }
    while (digits.endsWith('0')) {
        digits.chop(1);
        ++exponent;
    }
    // A large exponent can still fit when the digits leave room for trailing zeros.
    if (exponent > maxExponent && digits.size() + (exponent - maxExponent) <= maxDigits) {
        digits.append(QByteArray(int(exponent - maxExponent), '0'));
        exponent = maxExponent;
    }
    if (exponent > maxExponent || exponent < minExponent)
        return ZrDecimalNumber();

    number.m_digits = digits;
    number.m_exponent = int(exponent);
    *ok = true;
    return number;
}

QString ZrDecimalNumber::toString() const
{
    if (m_digits.isEmpty())
        return QStringLiteral("0");
    QByteArray text = m_digits;
    if (m_exponent >= 0) {
        text.append(QByteArray(m_exponent, '0'));
    } else if (-m_exponent < text.size()) {
        text.insert(text.size() + m_exponent, '.');
    } else {
        text.prepend(QByteArray(-m_exponent - text.size(), '0'));
        text.prepend("0.");
    }
    if (m_negative)
        text.prepend('-');
    return QString::fromLatin1(text);
}

double ZrDecimalNumber::toDouble() const
{
    if (m_digits.isEmpty())
        return 0.0;
    QByteArray text = m_digits + 'e' + QByteArray::number(m_exponent);
    if (m_negative)
        text.prepend('-');
    return text.toDouble();
}

bool ZrDecimalNumber::operator==(const ZrDecimalNumber &other) const
{
    return m_negative == other.m_negative && m_digits == other.m_digits && m_exponent == other.m_exponent;
}
