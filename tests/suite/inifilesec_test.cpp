#include "suite/benutzereinstellungen.h"
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

TEST(BenutzerEinstellungen, DefaultsRightsAndBlocking)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"SYSDATB.INI"_s);
    TIniFileSecWriter w(file);
    w.writeString(u"MEIER"_s, u"Berechtigungen"_s, u"12, 43"_s);
    w.writeBool(u"MEIER"_s, u"ZutrittsSperre"_s, false);
    w.writeString(u"OHNE"_s, u"Vollname"_s, u"Otto Ohne"_s);
    ASSERT_TRUE(w.save());
    const TIniFileSec ini(file);

    // Rights lists are the log-on's tests; here what a section leaves out.
    TBenutzerEinstellungen u;
    ASSERT_TRUE(u.Load(ini, u"MEIER"_s));
    EXPECT_EQ(std::tuple(u.FullName, u.AccessBlocked, u.HasRight(u"12"_s), u.HasRight(u"4"_s)),
              std::tuple(u"MEIER"_s, false, false, true));
    EXPECT_EQ(u.PasswordDigest, PasswordDigest({}));
    EXPECT_EQ(PasswordDigest({}), u"D41D8CD98F00B204E9800998ECF8427E"_s);
    ASSERT_TRUE(u.Load(ini, u"OHNE"_s));
    EXPECT_EQ(std::tuple(u.FullName, u.AccessBlocked, u.HasRight(u"43"_s)),
              std::tuple(u"Otto Ohne"_s, true, true));
    EXPECT_FALSE(u.Load(ini, u"FEHLT"_s));
}
