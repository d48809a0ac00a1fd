#include "base/formatsettings.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"

#include <gtest/gtest.h>

TEST(Money, KeepsFourDecimalsExactly)
{
    EXPECT_EQ(Money::fromDouble(12.3456).raw(), 123456);
    EXPECT_EQ(Money::fromDouble(-0.00005).raw(), 0);  // exactly -0.5 after scaling: to even
    EXPECT_EQ(Money::fromDouble(0.03125).raw(), 312); // an exact tie goes to even
    EXPECT_EQ((Money::fromDouble(0.1) + Money::fromDouble(0.2)), Money::fromDouble(0.3));
    EXPECT_EQ((Money::fromDouble(10.00) * 1.5).raw(), 150000);
}

TEST(DateTimeValue, CountsDaysSince1899)
{
    EXPECT_DOUBLE_EQ(DateTime::fromQDate(QDate(1899, 12, 30)), 0);
    EXPECT_DOUBLE_EQ(DateTime::fromQDate(QDate(2000, 1, 1)), 36526);
    const QDateTime noon(QDate(2024, 2, 29), QTime(12, 0));
    const double v = DateTime::fromQDateTime(noon);
    EXPECT_DOUBLE_EQ(v - std::trunc(v), 0.5);
    EXPECT_EQ(DateTime::toQDateTime(v), noon);
    EXPECT_EQ(DateTime::toQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
}
