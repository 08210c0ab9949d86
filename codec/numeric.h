#ifndef RQ_NUMERIC_H
#define RQ_NUMERIC_H

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace rq {

// Decimal text of v with a point, whatever the C locale says: filter descriptions and ASS tags read it so.
inline std::string decimal(double v)
{
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, std::isfinite(v) ? v : 0.0);
    return std::string(text, end.ptr);
}

// v as an integer of type T, rounded to nearest and held at the ends of T's range; 0 when v is no number.
// Numbers that come from files are converted so, never by a plain cast.
template <typename T>
T saturated(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::round(v);
    // 2^digits is the first value past T's largest, and exact as a double; so is T's smallest.
    if (r >= std::ldexp(1.0, std::numeric_limits<T>::digits))
        return std::numeric_limits<T>::max();
    if (r <= double(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    return T(r);
}
}

#endif
