#include "suite/benutzereinstellungen.h"
#include "suite/inifilesec.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool generateInto(const QString &dir, const QString &client = QStringLiteral("demo"))
{
    SuiteGenerator::Options o;
    o.targetDir = dir;
    o.client = client;
    QString error;
    return SuiteGenerator::generate(o, &error);
}

} // namespace

TEST(SuiteGenerator, TreeAndClientSettings)
{
    QTemporaryDir tmp;
    const QString root = tmp.filePath(QStringLiteral("mixedCase"));
    ASSERT_TRUE(generateInto(root));
    // the target path keeps its case, only names inside the tree are upper-cased
    for (const char *sub :
         {"BIN", "ETC", "DATA/DEMO/LAGER", "DATA/DEMO/KATALOGE", "USR/ADMIN/ETC/DEMO",
          "USR/LAGER/TMP", "USR/LAGER/DOC", "USR/LAGER/MSG"})
        EXPECT_TRUE(QDir(root + u'/' + QString::fromLatin1(sub)).exists()) << sub;

    const QString sysdata = root + QStringLiteral("/DATA/DEMO/ETC/SYSDATA.INI");
    EXPECT_TRUE(readAll(sysdata).contains("[System]"));
    const TIniFileSec ini(sysdata);
    const QString sys = QStringLiteral("System");
    EXPECT_EQ(ini.ReadString(sys, QStringLiteral("Lager"), {}),
              QStringLiteral("[DATADIR]DEMO/LAGER/"));
    EXPECT_EQ(ini.ReadString(sys, QStringLiteral("A1"), {}), QStringLiteral("[DATADIR]DEMO/A1/"));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(sys, QStringLiteral("MwStNorm"), 0), 19.0);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(sys, QStringLiteral("MwStRed"), 0), 7.0);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(sys, QStringLiteral("MwStErh"), -1), 0.0);
    EXPECT_EQ(ini.ReadInteger(sys, QStringLiteral("MwStDefault"), 0), 1);
    // values are protected: the plain text must not appear in the file
    EXPECT_FALSE(readAll(sysdata).contains("DATADIR"));
}

TEST(SuiteGenerator, UsersRightsAndPassword)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(generateInto(tmp.path()));
    const TIniFileSec ini(tmp.filePath(QStringLiteral("ETC/SYSDATB.INI")));
    TBenutzerEinstellungen admin, lager;
    ASSERT_TRUE(admin.Load(ini, QStringLiteral("ADMIN")));
    ASSERT_TRUE(lager.Load(ini, QStringLiteral("LAGER")));
    EXPECT_FALSE(admin.AccessBlocked);
    EXPECT_FALSE(lager.AccessBlocked);
    EXPECT_TRUE(admin.HasRight(QStringLiteral("43")));
    EXPECT_FALSE(lager.HasRight(QStringLiteral("43")));
    EXPECT_TRUE(lager.HasRight(QStringLiteral("12")));
    EXPECT_EQ(lager.FullName, QStringLiteral("Lagerist"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("System"), QStringLiteral("AdminPasswort"), {}),
              SuiteGenerator::passwordDigest(QStringLiteral("admin")));
    EXPECT_EQ(SuiteGenerator::passwordDigest({}),
              QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
}

TEST(SuiteGenerator, DeterministicAndRejectsBadOptions)
{
    QTemporaryDir a, b;
    ASSERT_TRUE(generateInto(a.path()));
    ASSERT_TRUE(generateInto(b.path()));
    for (const char *file :
         {"ETC/SYSDATB.INI", "ETC/APPLICATION.INI", "DATA/DEMO/ETC/SYSDATA.INI"}) {
        const QString rel = QString::fromLatin1(file);
        EXPECT_EQ(readAll(a.filePath(rel)), readAll(b.filePath(rel))) << file;
        EXPECT_FALSE(readAll(a.filePath(rel)).isEmpty()) << file;
    }
    EXPECT_FALSE(generateInto(QString()));
    EXPECT_FALSE(generateInto(a.path(), QString()));
}
