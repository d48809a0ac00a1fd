#pragma once

#include "persistence/money.h"

#include <QString>
#include <QStringView>
#include <QUtf8StringView>

// The tolerant text-to-value conversions every reader of XML and settings texts uses: they
// strip what is not part of a number (units, thousands separators, blanks) and fall back to
// the caller's default instead of failing. They read the general float format with either
// decimal separator where that is unambiguous, and its exponent form.
double StrToFloatTolerant(QStringView text, double def);
Money StrToCurrTolerant(QStringView text, Money def);
int StrToIntTolerant(QStringView text, int def);
bool StrToBoolTolerant(QStringView text, bool def);

// The same over UTF-8 text as the XML parser hands attribute values over, without building a
// QString per value.
double StrToFloatTolerant(QUtf8StringView text, double def);
Money StrToCurrTolerant(QUtf8StringView text, Money def);
int StrToIntTolerant(QUtf8StringView text, int def);
bool StrToBoolTolerant(QUtf8StringView text, bool def);

// A double as money when it lies inside the money range (about ±922 trillion); false for
// anything outside it, infinities and NaN, where Money::fromDouble would wrap around.
bool MoneyFromDouble(double value, Money &money);

// Two decimals, half away from zero, unless four-decimal money is on.
Money RoundMoney(bool fourDecimals, Money amount);
// The percentage helpers compute in extended precision, take the result to four decimals (ties
// to even, as any floating value becomes money) and then through RoundMoney. A result outside
// the money range (a percentage of -100 for GrossToNet) throws std::range_error.
Money ApplyDiscount(bool fourDecimals, Money amount, double percent);
Money AddPercent(bool fourDecimals, Money amount, double percent);
Money GrossToNet(bool fourDecimals, Money amount, double percent);
Money NetToGross(bool fourDecimals, Money amount, double percent);
