#include "tests/support/installation.h"

#include "suite/benutzereinstellungen.h"
#include "suite/environment.h"
#include "suite/systemeinstellungen.h"
#include "tools/suitegen/suitegenerator.h"

using namespace Qt::StringLiterals;

bool generateInstallation(const QString &dir, const QString &client, const QString &binDir,
                          int articles)
{
    SuiteGenerator::Options o;
    o.targetDir = dir;
    if (!client.isEmpty())
        o.client = client;
    o.binDir = binDir;
    o.articles = articles;
    QString error;
    const bool ok = SuiteGenerator::generate(o, &error);
    EXPECT_TRUE(ok) << error.toStdString();
    return ok;
}

void GeneratedInstallation::SetUp()
{
    ASSERT_TRUE(generateInstallation(tmp.path(), client));
    root = tmp.path() + u'/';
    TSystemEinstellungen::instance().reset();
    ASSERT_TRUE(InitEnvironment(root + u"BIN"_s));
}

void GeneratedInstallation::TearDown()
{
    TSystemEinstellungen::instance().reset();
    TBenutzerEinstellungen::instance().reset();
}
