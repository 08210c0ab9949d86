#include "services/gcd.h"

#include <numeric>

int GCD(int a, int b)
{
    // In 64 bits, so that the magnitude of INT_MIN exists.
    return int(std::gcd(static_cast<long long>(a), static_cast<long long>(b)));
}
