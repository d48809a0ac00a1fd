// The server backend: against the SQLite one, whatever the server's locale, both must give the
// same rows in the same order; its locks, names and the setting that chooses it.
#include "persistence/databasebackend.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/pglock.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/pgserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace
{

// Mixed case, umlauts in both cases, ß, apostrophes, and the characters that lie between the
// ASCII upper and lower case letters, where folding to upper or lower case would differ.
const QStringList kNames = {
    u"Müller"_s,  u"mueller"_s, u"MÜLLER"_s, u"Mulde"_s, u"O'Brien"_s, u"o'brien"_s,   u"Öl"_s,
    u"öl"_s,      u"Oel"_s,     u"Zange"_s,  u"zange"_s, u"_Rest"_s,   u"[Klammer]"_s, u"Straße"_s,
    u"STRASSE"_s, u"a%b"_s,     u"Ärger"_s,  u"arger"_s, u""_s,
};

std::unique_ptr<TTdbTable> createArticles(TTdbDatabase &db)
{
    db.Connect();
    auto t = std::make_unique<TTdbTable>(&db);
    t->SetTableName(u"ARTIKEL"_s);
    t->FieldDefs().Add(u"Nr"_s, FieldType::WideString, 20, true);
    t->FieldDefs().Add(u"Bez"_s, FieldType::WideString, 12);
    t->FieldDefs().Add(u"Menge"_s, FieldType::Float);
    t->IndexDefs().Add(u"001"_s, u"Nr"_s, ixUnique);
    t->IndexDefs().Add(u"NOCASE"_s, u"Bez"_s, ixCaseInsensitive);
    t->IndexDefs().Add(u"EXACT"_s, u"Bez;Menge"_s);
    t->CreateTable();
    t->Open();
    for (int i = 0; i < int(kNames.size()); ++i) {
        t->Append();
        t->FieldByName(u"Nr"_s).SetAsString(u"A%1"_s.arg(i, 3, 10, QLatin1Char('0')));
        t->FieldByName(u"Bez"_s).SetAsString(kNames[i]);
        t->FieldByName(u"Menge"_s).SetAsFloat(double(i % 3));
        t->Post();
    }
    return t;
}

// The cursor fetches eight rows first, then more: the keyset continuation is compared too.
QStringList rows(TTdbTable &t, const QString &index, const QString &filter)
{
    t.SetIndexName(index);
    t.SetFilter(filter);
    t.SetFiltered(!filter.isEmpty());
    QStringList out;
    for (t.First(); !t.Eof(); t.Next())
        out.append(t.FieldByName(u"Nr"_s).AsString());
    return out << QString::number(t.RecordCount());
}

using PgEngine = PgServerTest;

} // namespace

TEST_F(PgEngine, OrdersAndLikeFiltersGiveTheSameRowsAsSqlite)
{
    const QString before = TTdbDatabase::Server();
    QTemporaryDir files, root;
    TTdbDatabase::UseServer(QString());
    TTdbDatabase lite;
    lite.SetLocation(files.path());
    auto onFiles = createArticles(lite);
    const QString relative = u"TEST/%1/ORDERS"_s.arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(QDir(root.path()).mkpath(relative));
    TTdbDatabase::UseServer(testServer(), root.path());
    TTdbDatabase server;
    server.SetLocation(root.filePath(relative));
    auto onServer = createArticles(server);
    TTdbDatabase::UseServer(before);

    const QStringList indexes = {u""_s, u"001"_s, u"NOCASE"_s, u"EXACT"_s};
    const QStringList filters = {
        u""_s,
        u"Bez like '*ü*'"_s,       // umlauts do not fold: not "Ü"
        u"Bez like 'mü*'"_s,       // ASCII folds: "Müller", "MÜLLER" is not
        u"Bez like '*O''B*'"_s,    // an apostrophe in the pattern
        u"Bez like '*%*'"_s,       // a percent sign stands for itself
        u"Bez like '_*'"_s,        // so does an underscore
        u"Bez like 'STRASSE'"_s,   // whole-text match, folded
        u"not (Bez like '*l*')"_s, // negated
        u"Bez = 'öl'"_s,           // comparisons stay exact
        u"(Bez >= 'M') and (Bez < 'o')"_s,
        u"Menge = 1 or Bez like 'z*'"_s,
    };
    for (const QString &index : indexes) {
        for (const QString &filter : filters) {
            SCOPED_TRACE(index.toStdString() + " | " + filter.toStdString());
            EXPECT_EQ(rows(*onServer, index, filter), rows(*onFiles, index, filter));
        }
    }
    onServer.reset();
    server.Disconnect();
    const QString schema = pgSchemaName(relative);
    pg->exec(u"DROP SCHEMA %1 CASCADE"_s.arg(sqlName(schema)));
    pg->exec(u"DELETE FROM public.tdb_schemas WHERE schema_name = ?"_s, {schema});
}

TEST_F(PgEngine, LongDirectoriesMapBackToTheirPath)
{
    const QString dir = u"DATA/DEMO/KATALOGE/"_s + QString(70, u'K');
    const QString name = pgSchemaFor(*pg, dir);
    EXPECT_LE(name.toUtf8().size(), 63);
    EXPECT_EQ(pgSchemaFor(*pg, dir), name); // opening again finds the same schema
    const PgResult r =
        pg->exec(u"SELECT directory FROM public.tdb_schemas WHERE schema_name = ?"_s, {name});
    ASSERT_EQ(r.rows(), 1);
    EXPECT_EQ(r.text(0, 0), dir);
    pg->exec(u"DROP SCHEMA %1 CASCADE"_s.arg(sqlName(name)));
    pg->exec(u"DELETE FROM public.tdb_schemas WHERE schema_name = ?"_s, {name});
}

// A lock belongs to its directory and dies with its connection: a killed holder blocks
// nobody, and its text is no longer shown.
TEST_F(PgEngine, ALockIsPerDirectoryAndDiesWithItsConnection)
{
    auto first = connect();
    auto second = connect();
    auto lock = std::make_unique<PgLock>(*first, schema, u"LOCKDB"_s);
    ASSERT_TRUE(lock->tryLock(u"Müller, Wareneingang"_s));
    EXPECT_FALSE(PgLock(*second, schema, u"LOCKDB"_s).tryLock(u"Schmidt"_s));
    EXPECT_EQ(PgLock::holder(*second, schema, u"LOCKDB"_s), u"Müller, Wareneingang"_s);
    EXPECT_TRUE(PgLock(*second, schema + u"X"_s, u"LOCKDB"_s).tryLock(u"Schmidt"_s));

    const PgResult killed =
        second->exec(u"SELECT pg_terminate_backend(?, 60000)"_s, {first->backendPid()});
    ASSERT_EQ(killed.text(0, 0), u"t"_s);
    lock.reset(); // its release fails quietly: the connection is gone
    first.reset();
    EXPECT_EQ(PgLock::holder(*second, schema, u"LOCKDB"_s), QString());
    EXPECT_TRUE(PgLock(*second, schema, u"LOCKDB"_s).tryLock(u"Schmidt"_s));
}

TEST(DatabaseBackendSetting, ChoosesTheBackendAndFailsClosed)
{
    struct Case {
        const char *backend;
        const char *connection;
        DatabaseBackend::Kind kind;
        const char *error; // part of the message, empty when accepted
    };
    constexpr auto Pg = DatabaseBackend::PostgreSql, Lite = DatabaseBackend::Sqlite;
    // clang-format off
    const Case cases[] = {
        {"", "", Lite, ""},
        {"sqlite", "host=ignored", Lite, ""},
        {"PostgreSQL", "host=db.firma.local dbname=lager user=lager", Pg, ""},
        {"postgresql", "postgresql://lager@db.firma.local:5433/lager", Pg, ""},
        {"PostgreSQL", "host=/tmp dbname=lager passfile=/etc/lager/pgpass", Pg, ""},
        // A password in any spelling the library understands is refused.
        {"PostgreSQL", "postgresql://lager:geheim@db/lager", Pg, "Kennwort"},
        {"PostgreSQL", "postgres://db/lager?password=geheim", Pg, "Kennwort"},
        {"PostgreSQL", "host=db password='ge heim' dbname=lager", Pg, "Kennwort"},
        {"PostgreSQL", "", Pg, "fehlt"},
        {"PostgreSQL", "host='db dbname=lager", Pg, "ungueltig"},
        {"PostgreSQL", "hots=db", Pg, "ungueltig"},
        // An unknown backend is not silently SQLite: the firm's data would be elsewhere.
        {"Oracle", "", Lite, "Unbekannte Datenbank-Art \"Oracle\""},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.backend) + " / " + c.connection);
        const DatabaseBackend b =
            parseDatabaseBackend(QString::fromUtf8(c.backend), QString::fromUtf8(c.connection));
        EXPECT_EQ(b.kind, c.kind);
        EXPECT_EQ(b.ok(), !*c.error) << b.error.toStdString();
        EXPECT_TRUE(b.error.contains(QString::fromUtf8(c.error))) << b.error.toStdString();
    }
}

TEST(ServerNames, SchemasFollowTheDirectoryAndStayWithinTheServersLimit)
{
    EXPECT_EQ(pgSchemaName(u"DATA\\DEMO\\LAGER\\"_s), u"DATA/DEMO/LAGER"_s);
    EXPECT_EQ(pgSchemaName(u"/DATA/DEMO/LAGER"_s), u"DATA/DEMO/LAGER"_s);

    // Two long directories that differ only at the end must not share a schema; umlauts
    // count as the two bytes they take.
    const QString base = u"DATA/DEMO/KATALOGE/"_s + QString(40, u'Ä');
    const QString a = pgSchemaName(base + u"/HERSTELLER_A"_s);
    const QString b = pgSchemaName(base + u"/HERSTELLER_B"_s);
    EXPECT_LE(a.toUtf8().size(), 63);
    EXPECT_LE(b.toUtf8().size(), 63);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, pgSchemaName(base + u"/HERSTELLER_A"_s));
}

// How like folds on the server is compared with SQLite row by row in the server tests.
TEST(ServerNames, PlaceholdersSkipQuotedText)
{
    EXPECT_EQ(pgPlaceholders(u"SELECT \"a?\" FROM t WHERE x = ? AND y LIKE '?%' AND z = ?"_s),
              u"SELECT \"a?\" FROM t WHERE x = $1 AND y LIKE '?%' AND z = $2"_s);
}
