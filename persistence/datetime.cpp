#include "persistence/datetime.h"

#include "base/formatsettings.h"

#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

double DateTime::fromQDate(const QDate &date) { return double(kEpoch.daysTo(date)); }

QDate DateTime::toQDate(double value) { return kEpoch.addDays(static_cast<qint64>(std::trunc(value))); }

double DateTime::fromQDateTime(const QDateTime &dt)
{
    const double days = fromQDate(dt.date());
    const double time = dt.time().msecsSinceStartOfDay() / kMsPerDay;
    return days >= 0 ? days + time : days - time;
}

QDateTime DateTime::toQDateTime(double value)
{
    const double days = std::trunc(value);
    const double frac = std::fabs(value - days);
    const int ms = static_cast<int>(std::llround(frac * kMsPerDay));
    QDateTime dt(toQDate(value), QTime(0, 0));
    return dt.addMSecs(qMin(ms, int(kMsPerDay) - 1));
}

double DateTime::now() { return fromQDateTime(QDateTime::currentDateTime()); }

QString DateTime::toText(double value)
{
    const FormatSettings &f = FormatSettings::current();
    const QDateTime dt = toQDateTime(value);
    return dt.toString(f.shortDateFormat + u' ' + f.longTimeFormat);
}
