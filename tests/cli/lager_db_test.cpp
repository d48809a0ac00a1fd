// Moving a client onto the database server: what the client lists, exports, prints and orders
// must not change, and a bad target is refused before anything is copied.
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/sqliteconnection.h"
#include "suite/inifilesec.h"
#include "tests/cli/lagerprogram.h"
#include "tests/support/documents.h"
#include "tests/support/pgserver.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace
{

class LagerDb : public LagerProgram
{
protected:
    // The schemas are named by the directories below the installation root, the same for
    // every generated installation: whatever an earlier run left there goes first.
    void dropClientSchemas(PgConnection &pg)
    {
        // A new server has no schema map before its first client.
        if (pg.exec(u"SELECT to_regclass('public.tdb_schemas')"_s).isNull(0, 0))
            return;
        const PgResult r = pg.exec(u"SELECT schema_name FROM public.tdb_schemas WHERE "
                                   "directory LIKE 'DATA/DEMO%'"_s);
        for (int i = 0; i < r.rows(); ++i)
            pg.exec(u"DROP SCHEMA IF EXISTS %1 CASCADE"_s.arg(sqlName(r.text(i, 0))));
        pg.exec(u"DELETE FROM public.tdb_schemas WHERE directory LIKE 'DATA/DEMO%'"_s);
    }

    // The stock list's print document, its time of day (the only thing that may change
    // between two prints of one date) blanked.
    QString printed(const QString &name)
    {
        expect(0, words(u"print stocklist --date 2026-03-01 --document "_s + file(name)));
        return TestDocuments::fromUtf16(TestDocuments::fileBytes(file(name)))
            .replace(QRegularExpression(u"(\\$Uhrzeit\\$[^<]*>)\\d\\d:\\d\\d<"_s), u"\\1<"_s);
    }
};

} // namespace

TEST_F(LagerDb, ABadTargetIsRefusedBeforeAnythingIsCopied)
{
    for (const QString &target :
         {u"postgresql://lager:geheim@db/lager"_s, u"hots=db"_s, u""_s, u"host=db password=x"_s})
        EXPECT_FALSE(expect(5, {u"db"_s, u"migrate"_s, u"--to"_s, target}).err.isEmpty());
}

TEST_F(LagerDb, AMigratedClientListsExportsAndPrintsTheSameBytes)
{
    const QString server = testServer();
    if (server.isEmpty())
        GTEST_SKIP() << "no database server (STOCK_TEST_PG)";
    PgConnection pg(server);
    dropClientSchemas(pg);
    // Numbers the server's own collation would order otherwise (case, hyphen, umlaut) and
    // amounts past a single-precision float's digits.
    writeArticles(stockDir(), {u"a-1"_s, u"A1"_s, u"\u00c41"_s, u"b1"_s, u"B-1"_s},
                  [](TLagerServerObj &a) {
                      a.BuchungsBestand = 1234.567;
                      a.EKPreis = Money::fromDouble(98765.4321);
                  });

    const QByteArray listBefore = lager({u"list"_s}).out;
    const QByteArray ordersBefore = lager({u"order"_s, u"list"_s}).out;
    const QByteArray exportBefore = exportBytes(u"before.csv"_s);
    ASSERT_FALSE(exportBefore.isEmpty());
    const QString printBefore = printed(u"before.xml"_s);
    ASSERT_TRUE(printBefore.contains(u"<row>"_s));

    const Outcome migrated = expect(0, {u"db"_s, u"migrate"_s, u"--to"_s, server});
    EXPECT_TRUE(migrated.out.contains("DATA/DEMO/LAGER/LAGER\t")) << migrated.out.constData();
    expect(0, {u"db"_s, u"check"_s, u"--to"_s, server});
    // Copying twice would double the rows; a move that stops there leaves the client on its
    // files.
    const QString sysData = file(u"DATA/DEMO/ETC/SYSDATA.INI"_s);
    expect(5, {u"db"_s, u"migrate"_s, u"--to"_s, server, u"--switch"_s});
    EXPECT_FALSE(TIniFileSec(sysData).SectionExists(u"Datenbank"_s));

    // Moved again, this time with the switch once every table arrived.
    dropClientSchemas(pg);
    expect(0, {u"db"_s, u"migrate"_s, u"--to"_s, server, u"--switch"_s});
    const TIniFileSec ini(sysData);
    EXPECT_EQ(ini.ReadString(u"Datenbank"_s, u"Backend"_s, {}), u"PostgreSQL"_s);
    EXPECT_EQ(ini.ReadString(u"Datenbank"_s, u"Verbindung"_s, {}), server);
    // From now on the files are not read: emptying them must not change what is listed.
    QFile::remove(file(u"DATA/DEMO/LAGER/LAGER.DAT"_s));
    EXPECT_EQ(lager({u"list"_s}).out, listBefore);
    EXPECT_EQ(lager({u"order"_s, u"list"_s}).out, ordersBefore);
    EXPECT_EQ(exportBytes(u"after.csv"_s), exportBefore);
    EXPECT_EQ(printed(u"after.xml"_s), printBefore);
    // A client on the server has nothing left to migrate.
    EXPECT_EQ(lager({u"db"_s, u"check"_s, u"--to"_s, server}).exitCode, 5);
    dropClientSchemas(pg);
}
