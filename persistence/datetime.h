#pragma once

#include <QDate>
#include <QDateTime>

// Date-times as the suite stores them: days since 1899-12-30 as a double, the fraction being
// the time of day. Negative values count days before the epoch with a positive time part.
namespace DateTime {
double fromQDateTime(const QDateTime &dt);
QDateTime toQDateTime(double value);
double fromQDate(const QDate &date);
QDate toQDate(double value);
double now();
// The standard date-time text of the program's format settings.
QString toText(double value);
} // namespace DateTime
