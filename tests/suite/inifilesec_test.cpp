#include "suite/inifilesec.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(IniFileSec, RoundTripsTypedValuesAndRejectsTampering)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"SYSDATA.INI"_s);
    TIniFileSecWriter w(file);
    w.writeString(u"Pfade"_s, u"Daten"_s, u"Müller/ä"_s);
    w.writeInteger(u"Pfade"_s, u"Zahl"_s, -42);
    w.writeBool(u"Pfade"_s, u"An"_s, true);
    w.writeString(u"Pfade"_s, u"Komma"_s, u"2,5"_s);
    w.writePlain(u"Pfade"_s, u"Klar"_s, u"offen"_s);
    // A valid value copied to another key must not verify there.
    w.writePlain(u"Pfade"_s, u"Kopie"_s, encodeProtectedValue(u"Pfade"_s, u"Daten"_s, u"x"_s));
    ASSERT_TRUE(w.save());

    const TIniFileSec ini(file);
    EXPECT_EQ(ini.FileName(), file);
    EXPECT_TRUE(ini.SectionExists(u"pfade"_s));
    EXPECT_TRUE(ini.ValueExists(u"Pfade"_s, u"Klar"_s));
    EXPECT_EQ(ini.ReadString(u"Pfade"_s, u"Daten"_s, {}), u"Müller/ä"_s);
    EXPECT_EQ(ini.ReadInteger(u"Pfade"_s, u"Zahl"_s, 0), -42);
    EXPECT_TRUE(ini.ReadBool(u"Pfade"_s, u"An"_s, false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(u"Pfade"_s, u"Komma"_s, 0), 2.5);
    EXPECT_EQ(ini.ReadString(u"Pfade"_s, u"Klar"_s, u"def"_s), u"def"_s);
    EXPECT_EQ(ini.ReadString(u"Pfade"_s, u"Kopie"_s, u"def"_s), u"def"_s);
    EXPECT_EQ(ini.ReadInteger(u"Pfade"_s, u"Fehlt"_s, 7), 7);
}
