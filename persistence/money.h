#pragma once

#include <QString>
#include <QtGlobal>
#include <compare>

// Money as the suite keeps it: a signed 64-bit count of ten-thousandths. Never a double in
// storage or arithmetic; doubles only at the boundary (table columns, XML texts).
class Money
{
public:
    static constexpr qint64 kScale = 10000;

    constexpr Money() = default;
    static constexpr Money fromRaw(qint64 raw) { return Money(raw); }
    // Rounded to the nearest ten-thousandth, an exact tie to even.
    static Money fromDouble(double value);
    static constexpr Money fromUnits(qint64 units) { return Money(units * kScale); }

    constexpr qint64 raw() const { return m_raw; }
    double toDouble() const { return double(m_raw) / kScale; }

    constexpr Money operator+(Money o) const { return Money(m_raw + o.m_raw); }
    constexpr Money operator-(Money o) const { return Money(m_raw - o.m_raw); }
    constexpr Money operator-() const { return Money(-m_raw); }
    Money &operator+=(Money o)
    {
        m_raw += o.m_raw;
        return *this;
    }
    Money &operator-=(Money o)
    {
        m_raw -= o.m_raw;
        return *this;
    }
    // Scaling by a factor (quantity, percentage): exact product rounded to four decimals.
    Money operator*(double factor) const;
    Money operator/(double divisor) const;

    constexpr auto operator<=>(const Money &) const = default;

private:
    constexpr explicit Money(qint64 raw) : m_raw(raw) {}
    qint64 m_raw = 0;
};
