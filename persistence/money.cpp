#include "persistence/money.h"

#include <cmath>

Money Money::fromDouble(double value)
{
    // The suite converts with the processor's rounding: to nearest, ties to even.
    return Money(static_cast<qint64>(std::llrint(value * double(kScale))));
}

Money Money::operator*(double factor) const
{
    // long double keeps the 64-bit count exact through the product on x86-64.
    return Money(static_cast<qint64>(std::llroundl(static_cast<long double>(m_raw) * factor)));
}

Money Money::operator/(double divisor) const
{
    return Money(static_cast<qint64>(std::llroundl(static_cast<long double>(m_raw) / divisor)));
}
