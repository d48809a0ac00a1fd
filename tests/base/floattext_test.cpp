#include "base/formatsettings.h"

#include <QRandomGenerator>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace
{
QString appended(double v)
{
    QString out = QStringLiteral("x");
    appendFloatText(out, v);
    return out.mid(1);
}
} // namespace

// The fast path must never differ from the general float format it stands in for.
TEST(AppendFloatText, AgreesWithFloatToText)
{
    const double fixed[] = {0,
                            -0.0,
                            1,
                            -1,
                            0.1,
                            0.1 + 0.2,
                            12.3456,
                            1e14,
                            1e15,
                            123456789012345.0,
                            1234567890123456.0,
                            1e-4,
                            1.5e-4,
                            1e-5,
                            9.99999e-5,
                            0.00375,
                            1e20,
                            -1.5e-7,
                            1e308,
                            5e-324,
                            2.2250738585072014e-308,
                            45678.75,
                            1.0 / 3,
                            99999999999.9999,
                            999999999999999.0,
                            0.000123456789012345,
                            INFINITY,
                            -INFINITY,
                            NAN};
    for (QChar separator : {QChar(u','), QChar(u'.')}) {
        FormatSettings::current().decimalSeparator = separator;
        for (double v : fixed)
            EXPECT_EQ(appended(v).toStdString(), floatToText(v).toStdString()) << v;
        QRandomGenerator rng(4711);
        for (int i = 0; i < 20000; ++i) {
            // Short decimals (the usual case), then arbitrary bit patterns.
            const double shortValue = double(rng.bounded(2000000) - 1000000) /
                                      std::pow(10.0, rng.bounded(8)) *
                                      std::pow(10.0, rng.bounded(-8, 20));
            quint64 bits = rng.generate64();
            double any;
            std::memcpy(&any, &bits, sizeof any);
            for (double v : {shortValue, any})
                ASSERT_EQ(appended(v).toStdString(), floatToText(v).toStdString()) << v;
        }
    }
    FormatSettings::current() = FormatSettings::german();
}
