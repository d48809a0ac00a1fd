#include "suite/benutzereinstellungen.h"
#include "suite/inifilesec.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(BenutzerEinstellungen, DefaultsRightsAndBlocking)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("SYSDATB.INI"));
    TIniFileSecWriter w(file);
    w.writeString(QStringLiteral("MEIER"), QStringLiteral("Berechtigungen"),
                  QStringLiteral("12, 43"));
    w.writeBool(QStringLiteral("MEIER"), QStringLiteral("ZutrittsSperre"), false);
    w.writeString(QStringLiteral("OHNE"), QStringLiteral("Vollname"), QStringLiteral("Otto Ohne"));
    ASSERT_TRUE(w.save());
    const TIniFileSec ini(file);

    TBenutzerEinstellungen u;
    ASSERT_TRUE(u.Load(ini, QStringLiteral("MEIER")));
    EXPECT_EQ(u.FullName, QStringLiteral("MEIER"));
    EXPECT_FALSE(u.AccessBlocked);
    EXPECT_FALSE(u.HasRight(QStringLiteral("43")));
    EXPECT_FALSE(u.HasRight(QStringLiteral("12")));
    EXPECT_TRUE(u.HasRight(QStringLiteral("4")));
    EXPECT_EQ(u.PasswordDigest, PasswordDigest({}));
    EXPECT_EQ(PasswordDigest({}), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));

    ASSERT_TRUE(u.Load(ini, QStringLiteral("OHNE")));
    EXPECT_TRUE(u.AccessBlocked);
    EXPECT_EQ(u.FullName, QStringLiteral("Otto Ohne"));
    EXPECT_TRUE(u.HasRight(QStringLiteral("43")));
    EXPECT_FALSE(u.Load(ini, QStringLiteral("FEHLT")));
}
