#include "suite/benutzereinstellungen.h"
#include "suite/inifilesec.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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

    TBenutzerEinstellungen u;
    ASSERT_TRUE(u.Load(ini, u"MEIER"_s));
    EXPECT_EQ(u.FullName, u"MEIER"_s);
    EXPECT_FALSE(u.AccessBlocked);
    EXPECT_FALSE(u.HasRight(u"43"_s));
    EXPECT_FALSE(u.HasRight(u"12"_s));
    EXPECT_TRUE(u.HasRight(u"4"_s));
    EXPECT_EQ(u.PasswordDigest, PasswordDigest({}));
    EXPECT_EQ(PasswordDigest({}), u"D41D8CD98F00B204E9800998ECF8427E"_s);

    ASSERT_TRUE(u.Load(ini, u"OHNE"_s));
    EXPECT_TRUE(u.AccessBlocked);
    EXPECT_EQ(u.FullName, u"Otto Ohne"_s);
    EXPECT_TRUE(u.HasRight(u"43"_s));
    EXPECT_FALSE(u.Load(ini, u"FEHLT"_s));
}
