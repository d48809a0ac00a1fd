#pragma once

#include "persistence/money.h"

#include <QString>

// The tolerant text-to-value conversions every reader of XML and settings texts uses: they
// strip what is not part of a number (units, thousands separators, blanks) and fall back to
// the caller's default instead of failing.
double StrToFloatTolerant(const QString &text, double def);
Money StrToCurrTolerant(const QString &text, Money def);
int StrToIntTolerant(const QString &text, int def);
bool StrToBoolTolerant(const QString &text, bool def);

// Two decimals, half away from zero, unless four-decimal money is on.
Money RoundMoney(bool fourDecimals, Money amount);
Money ApplyDiscount(bool fourDecimals, Money amount, double percent);
Money AddPercent(bool fourDecimals, Money amount, double percent);
Money GrossToNet(bool fourDecimals, Money amount, double percent);
Money NetToGross(bool fourDecimals, Money amount, double percent);
