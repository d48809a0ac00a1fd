#include "tests/support/pgserver.h"

#include "persistence/engine/pgtable.h"
#include "persistence/engine/sqliteconnection.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

QString testServer()
{
    const QString conninfo = qEnvironmentVariable("STOCK_TEST_PG");
    if (conninfo.isEmpty() && qgetenv("CI") == "true")
        ADD_FAILURE() << "STOCK_TEST_PG is not set (tools/pg-test-cluster start)";
    return conninfo;
}

void PgServerTest::SetUp()
{
    const QString server = testServer();
    if (server.isEmpty())
        GTEST_SKIP() << "no database server (STOCK_TEST_PG)";
    pg = std::make_unique<PgConnection>(server);
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Parallel test programs share the server: the process id keeps their schemas apart.
    const QString dir =
        u"TEST/%1/%2.%3"_s.arg(QCoreApplication::applicationPid())
            .arg(QString::fromUtf8(info->test_suite_name()), QString::fromUtf8(info->name()));
    schema = pgSchemaFor(*pg, dir);
}

void PgServerTest::TearDown()
{
    if (!pg)
        return;
    pg->rollback();
    pg->exec(u"DROP SCHEMA IF EXISTS %1 CASCADE"_s.arg(sqlName(schema)));
    pg->exec(u"DELETE FROM public.tdb_schemas WHERE schema_name = ?"_s, {schema});
}

std::unique_ptr<PgConnection> PgServerTest::connect() const
{
    return std::make_unique<PgConnection>(testServer());
}
