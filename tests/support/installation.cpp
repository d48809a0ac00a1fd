#include "tests/support/installation.h"

#include "stock/modlagerdbserverobj.h"
#include "suite/benutzereinstellungen.h"
#include "suite/environment.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/childprocess.h"
#include "tools/suitegen/suitegenerator.h"

#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

bool generateInstallation(const QString &dir, const QString &client, const QString &binDir)
{
    SuiteGenerator::Options o;
    o.targetDir = dir;
    if (!client.isEmpty())
        o.client = client;
    o.binDir = binDir;
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

namespace
{
int holdArticleLock(const QStringList &args)
{
    IModLagerDBServerObj db;
    db.Open(args.value(0));
    auto lock = db.LockRecord(u"Kollege"_s, args.value(1));
    if (!lock)
        return 2;
    std::puts("locked");
    std::fflush(stdout);
    QThread::sleep(60); // until killed
    return 0;
}
STOCK_CHILD_ENTRY("hold-article-lock", holdArticleLock);
} // namespace

ArticleLockHolder::ArticleLockHolder(const QString &stockDir, const QString &articleNr)
    : m_process(ChildProcess::start(u"hold-article-lock"_s, {stockDir, articleNr}))
{
    m_holding = m_process->waitForReadyRead(20000);
}

ArticleLockHolder::~ArticleLockHolder()
{
    m_process->kill();
    m_process->waitForFinished();
}
