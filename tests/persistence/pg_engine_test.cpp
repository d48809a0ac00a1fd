// The server backend against the SQLite one: whatever the server's locale, both must give the
// same rows in the same order, and the server's table must keep what the engine promises.
#include "persistence/engine/engineerror.h"
#include "persistence/engine/filterparser.h"
#include "persistence/engine/pglock.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/pgserver.h"

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

TFieldDefs articleFields()
{
    TFieldDefs f;
    f.Add(u"Nr"_s, FieldType::WideString, 20, true);
    f.Add(u"Bez"_s, FieldType::WideString, 12);
    f.Add(u"Menge"_s, FieldType::Float);
    return f;
}

TIndexDefs articleIndexes()
{
    TIndexDefs x;
    x.Add(u"001"_s, u"Nr"_s, ixUnique);
    x.Add(u"NOCASE"_s, u"Bez"_s, ixCaseInsensitive);
    x.Add(u"EXACT"_s, u"Bez;Menge"_s);
    return x;
}

class PgEngine : public PgServerTest
{
protected:
    void SetUp() override
    {
        PgServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(dir.isValid());
        lite.SetLocation(dir.path());
        lite.Connect();
        liteTable = std::make_unique<TTdbTable>(&lite);
        liteTable->SetTableName(u"ARTIKEL"_s);
        liteTable->FieldDefs() = articleFields();
        liteTable->IndexDefs() = articleIndexes();
        liteTable->CreateTable();
        liteTable->Open();
        server = std::make_unique<PgTable>(*pg, schema, u"Artikel"_s);
        server->create(articleFields(), articleIndexes());
        for (int i = 0; i < int(kNames.size()); ++i) {
            const QString nr = u"A%1"_s.arg(i, 3, 10, QLatin1Char('0'));
            liteTable->Append();
            liteTable->FieldByName(u"Nr"_s).SetAsString(nr);
            liteTable->FieldByName(u"Bez"_s).SetAsString(kNames[i]);
            liteTable->FieldByName(u"Menge"_s).SetAsFloat(double(i % 3));
            liteTable->Post();
            server->append({nr, kNames[i], double(i % 3)});
        }
    }

    QStringList sqliteRows(const QString &index, const QString &filter)
    {
        liteTable->SetIndexName(index);
        liteTable->SetFilter(filter);
        liteTable->SetFiltered(!filter.isEmpty());
        QStringList out;
        for (liteTable->First(); !liteTable->Eof(); liteTable->Next())
            out.append(liteTable->FieldByName(u"Nr"_s).AsString());
        return out;
    }

    // Fetched in small batches, so that the keyset continuation is what is compared.
    QStringList serverRows(const QString &index, const QString &filter, int batch = 4)
    {
        const TFieldDefs fields = articleFields();
        const CompiledFilter compiled =
            filter.isEmpty() ? CompiledFilter{} : FilterParser(fields).parse(filter);
        QStringList out;
        PgTable::Row last;
        bool any = false;
        for (;;) {
            const auto rows = server->fetch(index, &compiled, any ? &last : nullptr, batch);
            for (const auto &r : rows)
                out.append(r.values[0].toString());
            if (rows.size() < batch)
                return out;
            last = rows.last();
            any = true;
        }
    }

    QTemporaryDir dir;
    TTdbDatabase lite;
    std::unique_ptr<TTdbTable> liteTable;
    std::unique_ptr<PgTable> server;
};

} // namespace

TEST_F(PgEngine, OrdersAndLikeFiltersGiveTheSameRowsAsSqlite)
{
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
            const QStringList expected = sqliteRows(index, filter);
            EXPECT_EQ(serverRows(index, filter), expected);
            const TFieldDefs fields = articleFields();
            const CompiledFilter compiled =
                filter.isEmpty() ? CompiledFilter{} : FilterParser(fields).parse(filter);
            EXPECT_EQ(server->count(&compiled), expected.size());
        }
    }
}

TEST_F(PgEngine, DefinitionsSurviveReopeningAndAlteringKeepsRowIds)
{
    PgTable reopened(*pg, schema, u"ARTIKEL"_s);
    reopened.open();
    ASSERT_EQ(reopened.fields().Count(), 3);
    EXPECT_EQ(reopened.fields()[1].size, 12);
    EXPECT_EQ(reopened.indexes()[1].options, ixCaseInsensitive);
    // Texts are cut to the column width on write, as on the SQLite side.
    const qint64 id = reopened.append({u"B1"_s, u"Dreizehn Zeichen"_s, 1.5});
    const auto before = reopened.fetch(u""_s, nullptr, nullptr, 1000);
    EXPECT_EQ(before.last().values[1].toString(), u"Dreizehn Zei"_s);

    TFieldDefs wanted = reopened.fields();
    wanted.Add(u"Lagerort"_s, FieldType::WideString, 10);
    wanted[1].size = 4;
    wanted.Move(3, 0);
    reopened.alter(wanted);
    PgTable again(*pg, schema, u"ARTIKEL"_s);
    again.open();
    EXPECT_EQ(again.fields()[0].name, u"Lagerort"_s);
    const auto after = again.fetch(u""_s, nullptr, nullptr, 1000);
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i].rowid, before[i].rowid);
    EXPECT_EQ(after.last().rowid, id);
    EXPECT_EQ(after.last().values[2].toString(), u"Drei"_s);

    EXPECT_THROW(PgTable(*pg, schema, u"FEHLT"_s).open(), EngineError);
    EXPECT_THROW(again.fetch(u"KEINER"_s, nullptr, nullptr, 1), EngineError);
}

TEST_F(PgEngine, ATransactionOverTwoTablesCommitsOrRollsBackAsOne)
{
    TFieldDefs bookFields;
    bookFields.Add(u"Nr"_s, FieldType::WideString, 20);
    bookFields.Add(u"Menge"_s, FieldType::Float);
    PgTable book(*pg, schema, u"LAGERBUCH"_s);
    book.create(bookFields, {});
    auto other = connect();
    PgTable otherBook(*other, schema, u"LAGERBUCH"_s);
    otherBook.open();

    pg->begin();
    server->append({u"NEU"_s, u"x"_s, 5.0});
    book.append({u"NEU"_s, 5.0});
    EXPECT_EQ(otherBook.count(), 0); // nobody sees half a booking
    pg->rollback();
    EXPECT_EQ(book.count(), 0);
    EXPECT_EQ(server->count(), kNames.size());

    pg->begin();
    pg->begin(); // nested levels reach the server once
    server->append({u"NEU"_s, u"x"_s, 5.0});
    book.append({u"NEU"_s, 5.0});
    pg->commit();
    EXPECT_EQ(otherBook.count(), 0);
    pg->commit();
    EXPECT_EQ(otherBook.count(), 1);

    // A broken statement ends the transaction; the connection stays usable.
    pg->begin();
    EXPECT_THROW(server->append({u"NEU"_s, u"doppelt"_s, 1.0}), EngineError); // unique index
    pg->rollback();
    EXPECT_EQ(server->count(), kNames.size() + 1);
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

TEST_F(PgEngine, ALockShowsItsHolderAndDiesWithItsConnection)
{
    auto first = connect();
    auto second = connect();
    auto lock = std::make_unique<PgLock>(*first, schema, u"LockRec4711"_s);
    ASSERT_TRUE(lock->tryLock(u"Müller, Wareneingang"_s));
    PgLock competing(*second, schema, u"LOCKREC4711"_s); // names ignore case
    EXPECT_FALSE(competing.tryLock(u"Schmidt"_s));
    EXPECT_EQ(PgLock::holder(*second, schema, u"LockRec4711"_s), u"Müller, Wareneingang"_s);
    // The same name in another directory is another lock.
    PgLock elsewhere(*second, schema + u"X"_s, u"LOCKREC4711"_s);
    EXPECT_TRUE(elsewhere.tryLock(u"Schmidt"_s));
    elsewhere.release();

    lock->release();
    EXPECT_EQ(PgLock::holder(*second, schema, u"LOCKREC4711"_s), QString());
    ASSERT_TRUE(competing.tryLock(u"Schmidt"_s));
    competing.release();

    // A holder that dies without releasing (a killed program) blocks nobody, and its text is
    // no longer shown.
    lock = std::make_unique<PgLock>(*first, schema, u"LOCKDB"_s);
    ASSERT_TRUE(lock->tryLock(u"Müller"_s));
    const PgResult killed =
        second->exec(u"SELECT pg_terminate_backend(?, 60000)"_s, {first->backendPid()});
    ASSERT_EQ(killed.text(0, 0), u"t"_s);
    lock.reset(); // its release fails quietly: the connection is gone
    first.reset();
    EXPECT_EQ(PgLock::holder(*second, schema, u"LOCKDB"_s), QString());
    auto third = connect();
    PgLock afterDeath(*third, schema, u"LOCKDB"_s);
    EXPECT_TRUE(afterDeath.tryLock(u"Schmidt"_s));
}
