#include "suite/inifilesec.h"
#include "tests/support/documents.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The values and users are read back by the log-on tests; here what only the tree shows.
TEST(SuiteGenerator, TreeKeepsTheTargetsCaseAndRefusesAMissingTargetOrClient)
{
    QTemporaryDir tmp;
    const QString root = tmp.filePath(u"mixedCase"_s);
    SuiteGenerator::Options o;
    o.targetDir = root;
    o.client = u"demo"_s;
    QString error;
    ASSERT_TRUE(SuiteGenerator::generate(o, &error)) << qPrintable(error);
    for (const char *sub : {"DATA/DEMO/KATALOGE", "USR/ADMIN/ETC/DEMO", "USR/LAGER/MSG"})
        EXPECT_TRUE(QDir(root + u'/' + QString::fromLatin1(sub)).exists()) << sub;
    // Protected: the plain directory text must not be in the file.
    const QString sysdata = root + u"/DATA/DEMO/ETC/SYSDATA.INI"_s;
    EXPECT_FALSE(TestDocuments::fileBytes(sysdata).contains("DATADIR"));
    EXPECT_EQ(TIniFileSec(sysdata).ReadString(u"System"_s, u"Lager"_s, {}),
              u"[DATADIR]DEMO/LAGER/"_s);

    o.client.clear();
    EXPECT_FALSE(SuiteGenerator::generate(o, &error));
    o.client = u"demo"_s;
    o.targetDir.clear();
    EXPECT_FALSE(SuiteGenerator::generate(o, &error));
}
