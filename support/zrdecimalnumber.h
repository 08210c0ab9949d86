#ifndef ZRDECIMALNUMBER_H
#define ZRDECIMALNUMBER_H

#include <QByteArray>
#include <QMetaType>
#include <QString>

// An exact decimal number: up to 38 significant digits times a power of ten from -128 to 127.
// Numbers read from text keep their digits; nothing goes through floating point unless asked.
// In a QVariant it converts to QString (its exact text) and to double.
class ZrDecimalNumber
{
public:
    static constexpr int maxDigits = 38;
    static constexpr int minExponent = -128;
    static constexpr int maxExponent = 127;

    // Zero.
    ZrDecimalNumber() = default;

    // Reads [-+]digits[.digits][(e|E)[-+]digits]. More than 38 significant digits are rounded
    // half up; *ok is false (and the result zero) when the text is no number or out of range.
    static ZrDecimalNumber fromString(const QByteArray &text, bool *ok);

    // Plain notation without exponent: "0.00125", "-42", "0".
    QString toString() const;
    // The nearest double.
    double toDouble() const;

    bool operator==(const ZrDecimalNumber &other) const;
    bool operator!=(const ZrDecimalNumber &other) const { return !(*this == other); }

private:
    bool m_negative = false;
    QByteArray m_digits;  // significant digits, no leading or trailing zeros; empty for zero
    int m_exponent = 0;   // value = digits x 10^exponent
};

Q_DECLARE_METATYPE(ZrDecimalNumber)

#endif
