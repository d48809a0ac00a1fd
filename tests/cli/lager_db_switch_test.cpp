// Switching a client onto the server as the last step of its move: a move that stopped
// halfway must leave the client on its files.
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/sqliteconnection.h"
#include "suite/inifilesec.h"
#include "tests/cli/lagerprogram.h"
#include "tests/support/pgserver.h"

using namespace Qt::StringLiterals;

namespace
{

void dropClientSchemas(PgConnection &pg)
{
    const PgResult r =
        pg.exec(u"SELECT schema_name FROM public.tdb_schemas WHERE directory LIKE 'DATA/DEMO%'"_s);
    for (int i = 0; i < r.rows(); ++i)
        pg.exec(u"DROP SCHEMA IF EXISTS %1 CASCADE"_s.arg(sqlName(r.text(i, 0))));
    pg.exec(u"DELETE FROM public.tdb_schemas WHERE directory LIKE 'DATA/DEMO%'"_s);
}

} // namespace

using LagerDbSwitch = LagerProgram;

TEST_F(LagerDbSwitch, TheClientMovesOnlyWhenEveryTableArrived)
{
    const QString server = testServer();
    if (server.isEmpty())
        GTEST_SKIP() << "no database server (STOCK_TEST_PG)";
    PgConnection pg(server);
    dropClientSchemas(pg);
    const QString sysData = file(u"DATA/DEMO/ETC/SYSDATA.INI"_s);
    const QByteArray listBefore = lager({u"list"_s}).out;

    // The tables are on the server already: this migration stops before copying anything.
    ASSERT_EQ(lager({u"db"_s, u"migrate"_s, u"--to"_s, server}).exitCode, 0);
    EXPECT_EQ(lager({u"db"_s, u"migrate"_s, u"--to"_s, server, u"--switch"_s}).exitCode, 5);
    EXPECT_FALSE(TIniFileSec(sysData).SectionExists(u"Datenbank"_s));

    dropClientSchemas(pg);
    const Outcome moved = lager({u"db"_s, u"migrate"_s, u"--to"_s, server, u"--switch"_s});
    ASSERT_EQ(moved.exitCode, 0) << qPrintable(moved.err);
    const TIniFileSec ini(sysData);
    EXPECT_EQ(ini.ReadString(u"Datenbank"_s, u"Backend"_s, {}), u"PostgreSQL"_s);
    EXPECT_EQ(ini.ReadString(u"Datenbank"_s, u"Verbindung"_s, {}), server);
    ASSERT_TRUE(QFile::remove(file(u"DATA/DEMO/LAGER/LAGER.DAT"_s)));
    EXPECT_EQ(lager({u"list"_s}).out, listBefore);
    dropClientSchemas(pg);
}
