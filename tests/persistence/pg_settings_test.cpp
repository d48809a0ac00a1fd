#include "persistence/databasebackend.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/pgtable.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(DatabaseBackendSetting, ChoosesTheBackendAndFailsClosed)
{
    struct Case {
        const char *backend;
        const char *connection;
        DatabaseBackend::Kind kind;
        const char *error; // part of the message, empty when accepted
    };
    const Case cases[] = {
        {"", "", DatabaseBackend::Sqlite, ""},
        {"sqlite", "host=ignored", DatabaseBackend::Sqlite, ""},
        {"PostgreSQL", "host=db.firma.local dbname=lager user=lager", DatabaseBackend::PostgreSql,
         ""},
        {"postgresql", "postgresql://lager@db.firma.local:5433/lager", DatabaseBackend::PostgreSql,
         ""},
        {"PostgreSQL", "host=/tmp dbname=lager passfile=/etc/lager/pgpass",
         DatabaseBackend::PostgreSql, ""},
        // A password in any spelling the library understands is refused.
        {"PostgreSQL", "postgresql://lager:geheim@db/lager", DatabaseBackend::PostgreSql,
         "Kennwort"},
        {"PostgreSQL", "postgres://db/lager?password=geheim", DatabaseBackend::PostgreSql,
         "Kennwort"},
        {"PostgreSQL", "host=db password='ge heim' dbname=lager", DatabaseBackend::PostgreSql,
         "Kennwort"},
        {"PostgreSQL", "", DatabaseBackend::PostgreSql, "fehlt"},
        {"PostgreSQL", "host='db dbname=lager", DatabaseBackend::PostgreSql, "ungueltig"},
        {"PostgreSQL", "hots=db", DatabaseBackend::PostgreSql, "ungueltig"},
        // An unknown backend is not silently SQLite: the firm's data would be elsewhere.
        {"Oracle", "", DatabaseBackend::Sqlite, "Unbekannte Datenbank-Art \"Oracle\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.backend) + " / " + c.connection);
        const DatabaseBackend b =
            parseDatabaseBackend(QString::fromUtf8(c.backend), QString::fromUtf8(c.connection));
        EXPECT_EQ(b.kind, c.kind);
        if (*c.error) {
            EXPECT_TRUE(b.error.contains(QString::fromUtf8(c.error))) << b.error.toStdString();
            EXPECT_FALSE(b.ok());
        } else {
            EXPECT_TRUE(b.ok()) << b.error.toStdString();
        }
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
