#include "suite/inifilesec.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniFileSec, RoundTripsTypedValuesAndRejectsTampering)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("SYSDATA.INI"));
    TIniFileSecWriter w(file);
    w.writeString(QStringLiteral("Pfade"), QStringLiteral("Daten"), QStringLiteral("Müller/ä"));
    w.writeInteger(QStringLiteral("Pfade"), QStringLiteral("Zahl"), -42);
    w.writeBool(QStringLiteral("Pfade"), QStringLiteral("An"), true);
    w.writeString(QStringLiteral("Pfade"), QStringLiteral("Komma"), QStringLiteral("2,5"));
    w.writePlain(QStringLiteral("Pfade"), QStringLiteral("Klar"), QStringLiteral("offen"));
    // A valid value copied to another key must not verify there.
    w.writePlain(QStringLiteral("Pfade"), QStringLiteral("Kopie"),
                 encodeProtectedValue(QStringLiteral("Pfade"), QStringLiteral("Daten"),
                                      QStringLiteral("x")));
    ASSERT_TRUE(w.save());

    const TIniFileSec ini(file);
    EXPECT_EQ(ini.FileName(), file);
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("pfade")));
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("Pfade"), QStringLiteral("Klar")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Pfade"), QStringLiteral("Daten"), {}),
              QStringLiteral("Müller/ä"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Pfade"), QStringLiteral("Zahl"), 0), -42);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("Pfade"), QStringLiteral("An"), false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(QStringLiteral("Pfade"), QStringLiteral("Komma"), 0), 2.5);
    EXPECT_EQ(
        ini.ReadString(QStringLiteral("Pfade"), QStringLiteral("Klar"), QStringLiteral("def")),
        QStringLiteral("def"));
    EXPECT_EQ(
        ini.ReadString(QStringLiteral("Pfade"), QStringLiteral("Kopie"), QStringLiteral("def")),
        QStringLiteral("def"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Pfade"), QStringLiteral("Fehlt"), 7), 7);
}
