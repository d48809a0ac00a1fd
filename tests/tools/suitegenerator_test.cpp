#include "suite/benutzereinstellungen.h"
#include "suite/inifilesec.h"
#include "tests/support/documents.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestDocuments::fileBytes;

namespace
{

bool generateInto(const QString &dir, const QString &client = u"demo"_s)
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
    const QString root = tmp.filePath(u"mixedCase"_s);
    ASSERT_TRUE(generateInto(root));
    // the target path keeps its case, only names inside the tree are upper-cased
    for (const char *sub :
         {"BIN", "ETC", "DATA/DEMO/LAGER", "DATA/DEMO/KATALOGE", "USR/ADMIN/ETC/DEMO",
          "USR/LAGER/TMP", "USR/LAGER/DOC", "USR/LAGER/MSG"})
        EXPECT_TRUE(QDir(root + u'/' + QString::fromLatin1(sub)).exists()) << sub;

    const QString sysdata = root + u"/DATA/DEMO/ETC/SYSDATA.INI"_s;
    EXPECT_TRUE(fileBytes(sysdata).contains("[System]"));
    const TIniFileSec ini(sysdata);
    const QString sys = u"System"_s;
    EXPECT_EQ(ini.ReadString(sys, u"Lager"_s, {}), u"[DATADIR]DEMO/LAGER/"_s);
    EXPECT_EQ(ini.ReadString(sys, u"A1"_s, {}), u"[DATADIR]DEMO/A1/"_s);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(sys, u"MwStNorm"_s, 0), 19.0);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(sys, u"MwStRed"_s, 0), 7.0);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(sys, u"MwStErh"_s, -1), 0.0);
    EXPECT_EQ(ini.ReadInteger(sys, u"MwStDefault"_s, 0), 1);
    // values are protected: the plain text must not appear in the file
    EXPECT_FALSE(fileBytes(sysdata).contains("DATADIR"));

    // Users: the log-on tests use their rights and the administrator's password.
    const TIniFileSec users(root + u"/ETC/SYSDATB.INI"_s);
    TBenutzerEinstellungen lager;
    ASSERT_TRUE(lager.Load(users, u"LAGER"_s));
    EXPECT_EQ(lager.FullName, u"Lagerist"_s);
    EXPECT_EQ(SuiteGenerator::passwordDigest({}), u"D41D8CD98F00B204E9800998ECF8427E"_s);
    EXPECT_EQ(users.ReadString(sys, u"AdminPasswort"_s, {}),
              SuiteGenerator::passwordDigest(u"admin"_s));

    EXPECT_FALSE(generateInto(QString()));
    EXPECT_FALSE(generateInto(tmp.filePath(u"other"_s), QString()));
}
