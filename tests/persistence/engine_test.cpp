#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/childprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kRounds = 1000;
const auto kCounter = u"ZAEHLER"_s;

std::unique_ptr<TTdbTable> openArticles(TTdbDatabase &db, const QString &location)
{
    db.SetLocation(location);
    auto t = std::make_unique<TTdbTable>(&db);
    t->SetTableName(u"ARTIKEL"_s);
    t->SetIndexName(u"001"_s);
    t->Open();
    return t;
}

// One writer of another process: per round an append outside any lock (the engine has to
// wait out the other writer by itself) and a read-modify-write of the shared counter row
// under the table lock.
int hammer(const QStringList &args)
{
    try {
        TTdbDatabase db;
        auto t = openArticles(db, args.value(0));
        for (int i = 0; i < kRounds; ++i) {
            t->Append();
            t->FieldByName(u"Nr"_s).SetAsString(u"%1-%2"_s.arg(args.value(1)).arg(i));
            t->Post();

            t->LockTable();
            if (!t->FindKey({kCounter}))
                throw EngineError(u"counter row missing"_s);
            t->Edit();
            t->FieldByName(u"Stadium"_s).SetAsInteger(t->FieldByName(u"Stadium"_s).AsInteger() + 1);
            t->Post();
            t->UnlockTable();
        }
        return 0;
    } catch (const EngineError &e) {
        std::cerr << "child " << qPrintable(args.value(1)) << ": " << e.what() << '\n';
        return 1;
    }
}
STOCK_CHILD_ENTRY("engine-hammer", hammer);

// Holds the table lock for a while with a row written but not committed, so that the
// parent's writes meet a busy file.
int holdLock(const QStringList &args)
{
    try {
        TTdbDatabase db;
        auto t = openArticles(db, args.value(0));
        t->LockTable();
        t->Append();
        t->FieldByName(u"Nr"_s).SetAsString(u"KIND"_s);
        t->Post();
        std::cout << "locked" << std::endl;
        QThread::msleep(700);
        t->UnlockTable();
        return 0;
    } catch (const EngineError &e) {
        std::cerr << "child: " << e.what() << '\n';
        return 1;
    }
}
STOCK_CHILD_ENTRY("engine-hold-lock", holdLock);

QString ramDirBase()
{
    // On a RAM file system when there is one: thousands of commits with synchronous=FULL on a
    // disk take minutes without showing anything more about locking.
    return QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm"_s : QDir::tempPath();
}

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db.SetLocation(dir.path() + u"/"_s);
        db.Connect();
    }

    // A small stock-like table: number (unique index "001"), description, group, quantity.
    std::unique_ptr<TTdbTable> createArticles(const QString &name = u"ARTIKEL"_s,
                                              IndexOptions numberOptions = ixUnique)
    {
        auto t = std::make_unique<TTdbTable>(&db);
        t->SetTableName(name);
        t->FieldDefs().Add(u"Nr"_s, FieldType::WideString, 20, true);
        t->FieldDefs().Add(u"Bez"_s, FieldType::WideString, 40);
        t->FieldDefs().Add(u"Gruppe"_s, FieldType::WideString, 20);
        t->FieldDefs().Add(u"Menge"_s, FieldType::Float);
        t->FieldDefs().Add(u"Stadium"_s, FieldType::Integer);
        t->FieldDefs().Add(u"XMLDATA"_s, FieldType::WideMemo);
        t->IndexDefs().Add(u"001"_s, u"Nr"_s, numberOptions);
        t->IndexDefs().Add(u"002"_s, u"Gruppe;Bez"_s);
        t->CreateTable();
        t->SetIndexName(u"001"_s);
        t->Open();
        return t;
    }

    static void add(TTdbTable &t, const QString &nr, const QString &group = {}, int stadium = 0)
    {
        t.Append();
        t.FieldByName(u"Nr"_s).SetAsString(nr);
        t.FieldByName(u"Bez"_s).SetAsString(u"Artikel "_s + nr);
        t.FieldByName(u"Gruppe"_s).SetAsString(group);
        t.FieldByName(u"Stadium"_s).SetAsInteger(stadium);
        t.Post();
    }

    static QString numberOf(TTdbTable &t) { return t.FieldByName(u"Nr"_s).AsString(); }

    static QStringList walk(TTdbTable &t, const QString &field = u"Nr"_s)
    {
        QStringList seen;
        for (t.First(); !t.Eof(); t.Next())
            seen.append(t.FieldByName(field).AsString());
        return seen;
    }

    static QStringList walkBack(TTdbTable &t)
    {
        QStringList seen;
        for (t.Last(); !t.Bof(); t.Prior())
            seen.prepend(numberOf(t));
        return seen;
    }

    static void addAll(TTdbTable &t, const QStringList &numbers)
    {
        for (const QString &nr : numbers)
            add(t, nr);
    }

    QTemporaryDir dir{ramDirBase() + u"/engine-XXXXXX"_s};
    TTdbDatabase db;
};

} // namespace

TEST_F(EngineTest, ArticleNumberWithQuotesAndSqlCharactersRoundTrips)
{
    auto t = createArticles();
    const QString nasty = u"O'B\"r;--%_x"_s;
    addAll(*t, {u"A"_s, nasty, u"Z"_s});
    ASSERT_TRUE(t->FindKey({nasty}));
    EXPECT_EQ(numberOf(*t), nasty);
    // A '%' or '_' in the key must not act as a wildcard.
    EXPECT_FALSE(t->FindKey({u"O'B\"r;--%"_s}));

    QString quoted = nasty;
    quoted.replace(u"'"_s, u"''"_s);
    t->SetFilter(u"Nr = '"_s + quoted + u"'"_s);
    t->SetFiltered(true);
    EXPECT_EQ(walk(*t), QStringList{nasty});
    // like with the same characters: '%' and '_' are literal, '*' is the wildcard.
    t->SetFilter(u"Nr like '*;--%_*'"_s);
    EXPECT_EQ(walk(*t), QStringList{nasty});
    t->SetFiltered(false);

    ASSERT_TRUE(t->FindKey({nasty}));
    t->Delete();
    EXPECT_EQ(walk(*t), (QStringList{u"A"_s, u"Z"_s}));
}

TEST_F(EngineTest, NavigatesInIndexOrderAcrossFetchBatches)
{
    auto t = createArticles();
    // More rows than one fetch holds, written out of order.
    QStringList expected;
    t->StartTransaction();
    for (int i = 0; i < 1500; ++i) {
        expected.append(u"N%1"_s.arg((i * 7919) % 1500, 5, 10, QChar(u'0')));
        add(*t, expected.last(), u"G%1"_s.arg(i % 3));
    }
    t->Commit();
    expected.sort();
    EXPECT_EQ(walk(*t), expected);
    EXPECT_EQ(walkBack(*t), expected);

    // Prior at the start keeps the first row and sets Bof; Next at the end likewise.
    t->First();
    t->Prior();
    EXPECT_TRUE(t->Bof());
    t->Next();
    EXPECT_EQ(numberOf(*t), expected[1]);
    t->Last();
    t->Next();
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(numberOf(*t), expected.last());
    t->Prior();
    EXPECT_EQ(numberOf(*t), expected[expected.size() - 2]);

    // Switching the index keeps the row and walks the other order.
    ASSERT_TRUE(t->FindKey({u"N00010"_s}));
    t->SetIndexName(u"002"_s);
    EXPECT_EQ(numberOf(*t), u"N00010"_s);
    const QStringList byGroup = walk(*t, u"Gruppe"_s);
    EXPECT_TRUE(std::is_sorted(byGroup.begin(), byGroup.end()));

    // Equal keys (500 rows per group) are ordered by row and none is visited twice, also
    // with a case-insensitive index, whose seek SQLite plans differently.
    t->AddIndex(u"003"_s, u"Gruppe"_s, ixCaseInsensitive);
    t->SetIndexName(u"003"_s);
    for (const QStringList &seen : {walk(*t), walkBack(*t)}) {
        EXPECT_EQ(seen.size(), 1500);
        EXPECT_EQ(QSet<QString>(seen.begin(), seen.end()).size(), 1500);
    }
    t->FindNearest({u"g1"_s});
    EXPECT_EQ(t->FieldByName(u"Gruppe"_s).AsString(), u"G1"_s);
    EXPECT_EQ(t->RecordNo(), 501);
}

TEST_F(EngineTest, RecordNumbersAndNearestSearch)
{
    auto t = createArticles();
    addAll(*t, {u"B"_s, u"D"_s, u"F"_s, u"H"_s});
    const std::tuple<QString, QString, int> nearest[] = {
        {u"E"_s, u"F"_s, 3}, {u"D"_s, u"D"_s, 2}, {u"A"_s, u"B"_s, 1}};
    for (const auto &[key, found, no] : nearest) {
        t->FindNearest({key});
        EXPECT_EQ(numberOf(*t), found);
        EXPECT_EQ(t->RecordNo(), no);
    }
    t->FindNearest({u"Z"_s});
    EXPECT_TRUE(t->Eof());

    // A row number taken while walking leads back to the same row.
    const QStringList order = walk(*t);
    for (int no = 4; no >= 1; --no) {
        t->SetRecordNo(no);
        EXPECT_EQ(numberOf(*t), order.at(no - 1));
        EXPECT_EQ(t->RecordNo(), no);
    }

    // A failed FindKey leaves the cursor where it was.
    ASSERT_TRUE(t->FindKey({u"D"_s}));
    EXPECT_FALSE(t->FindKey({u"E"_s}));
    EXPECT_EQ(numberOf(*t), u"D"_s);
}

TEST_F(EngineTest, EditingTheIndexColumnWhileIterating)
{
    auto t = createArticles();
    addAll(*t, {u"A1"_s, u"A2"_s, u"A3"_s, u"A4"_s});

    // Renaming rows to keys before the ones still to come: every row is visited once.
    QStringList visited;
    t->First();
    while (!t->Eof()) {
        const QString nr = numberOf(*t);
        if (!nr.startsWith(u'A'))
            break;
        visited.append(nr);
        t->Edit();
        t->FieldByName(u"Nr"_s).SetAsString(u"0"_s + nr);
        t->Post();
        // The cursor followed the row to its new place: at the front, before the A rows.
        EXPECT_EQ(numberOf(*t), u"0"_s + nr);
        t->Next();
        while (!t->Eof() && numberOf(*t).startsWith(u'0'))
            t->Next();
    }
    EXPECT_EQ(visited, (QStringList{u"A1"_s, u"A2"_s, u"A3"_s, u"A4"_s}));

    // Moving the current row to the end: Next then finds nothing after it.
    ASSERT_TRUE(t->FindKey({u"0A2"_s}));
    t->Edit();
    t->FieldByName(u"Nr"_s).SetAsString(u"ZZ"_s);
    t->Post();
    t->Next();
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(walk(*t), (QStringList{u"0A1"_s, u"0A3"_s, u"0A4"_s, u"ZZ"_s}));

    // Deleting the last row stands on the one before it.
    t->Last();
    t->Delete();
    EXPECT_EQ(numberOf(*t), u"0A4"_s);
    t->First();
    t->Delete();
    EXPECT_EQ(numberOf(*t), u"0A3"_s);
}

TEST_F(EngineTest, UniqueIndexRefusesDuplicatesAndCaseOption)
{
    auto t = createArticles();
    // (A duplicate is refused in the transaction test.)
    add(*t, u"AB-12"_s);
    add(*t, u"ab-12"_s); // binary: a different key
    EXPECT_TRUE(t->FindKey({u"ab-12"_s}));
    EXPECT_EQ(numberOf(*t), u"ab-12"_s);
    EXPECT_FALSE(t->FindKey({u"Ab-12"_s}));

    auto ci = createArticles(u"CI"_s, ixUnique | ixCaseInsensitive);
    addAll(*ci, {u"AB-12"_s, u"b"_s, u"C"_s});
    EXPECT_THROW(add(*ci, u"ab-12"_s), EngineError);
    ci->Cancel();
    ASSERT_TRUE(ci->FindKey({u"ab-12"_s}));
    EXPECT_EQ(numberOf(*ci), u"AB-12"_s);
    EXPECT_EQ(walk(*ci), (QStringList{u"AB-12"_s, u"b"_s, u"C"_s}));
}

TEST_F(EngineTest, WritesAreCutAndConvertedToTheColumnType)
{
    auto t = std::make_unique<TTdbTable>(&db);
    t->SetTableName(u"TYPES"_s);
    t->FieldDefs().Add(u"Narrow"_s, FieldType::String, 5);
    t->FieldDefs().Add(u"Wide"_s, FieldType::WideString, 3);
    t->FieldDefs().Add(u"Small"_s, FieldType::Byte);
    t->FieldDefs().Add(u"Flag"_s, FieldType::Boolean);
    t->FieldDefs().Add(u"Price"_s, FieldType::Float).precision = 4;
    t->FieldDefs().Add(u"When"_s, FieldType::DateTime);
    t->FieldDefs().Add(u"Note"_s, FieldType::Memo);
    t->FieldDefs().Add(u"Raw"_s, FieldType::Blob);
    t->FieldDefs().Add(u"Count"_s, FieldType::Integer);
    t->FieldDefs().Add(u"XMLDATA"_s, FieldType::WideMemo);
    t->CreateTable();
    t->Open();
    EXPECT_TRUE(t->IsEmpty() && t->Eof() && t->Bof());

    t->Append();
    t->FieldByName(u"narrow"_s).SetAsString(u"Straße 12"_s); // names ignore case
    t->FieldByName(u"Wide"_s).SetAsString(u"€αβγδ"_s);
    t->FieldByName(u"Small"_s).SetAsInteger(255);
    EXPECT_THROW(t->FieldByName(u"Small"_s).SetAsInteger(256), EngineError);
    EXPECT_THROW(t->FieldByName(u"Count"_s).SetAsString(u"zwölf"_s), EngineError);
    EXPECT_THROW(t->FieldByName(u"Count"_s).SetAsFloat(3e10), EngineError);
    t->FieldByName(u"Flag"_s).SetAsBoolean(true);
    t->FieldByName(u"Price"_s).SetAsCurrency(Money::fromRaw(123456));
    t->FieldByName(u"When"_s).SetAsDateTime(45000.5);
    t->FieldByName(u"Note"_s).SetAsString(u"Ωmega ü"_s);
    t->FieldByName(u"Raw"_s).SetAsBytes(QByteArray("\0\1\2", 3));
    const QString doc = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a b=\"ä\"/>\r\n"_s;
    t->FieldByName(u"XMLDATA"_s).SetAsString(doc);
    t->Post();
    EXPECT_THROW(t->FieldByName(u"Nope"_s), EngineError);

    t->Close();
    t->Open();
    EXPECT_EQ(t->FieldByName(u"Narrow"_s).AsString(), u"Straß"_s);
    EXPECT_EQ(t->FieldByName(u"Wide"_s).AsString(), u"€αβ"_s);
    EXPECT_EQ(t->FieldByName(u"Small"_s).AsInteger(), 255);
    EXPECT_TRUE(t->FieldByName(u"Flag"_s).AsBoolean());
    EXPECT_EQ(t->FieldByName(u"Price"_s).AsCurrency().raw(), 123456);
    EXPECT_DOUBLE_EQ(t->FieldByName(u"When"_s).AsDateTime(), 45000.5);
    EXPECT_EQ(t->FieldByName(u"Note"_s).AsString(), u"?mega ü"_s); // single-byte memo
    EXPECT_EQ(t->FieldByName(u"Raw"_s).AsBytes(), QByteArray("\0\1\2", 3));
    EXPECT_EQ(t->FieldByName(u"XMLDATA"_s).AsString(), doc); // with its byte-order mark
    // Unassigned columns hold the empty value of their type.
    EXPECT_EQ(t->FieldByName(u"Count"_s).AsInteger(), 0);
    EXPECT_FALSE(t->FieldByName(u"Count"_s).IsNull());
    // Precision rounds on write.
    t->Edit();
    t->FieldByName(u"Price"_s).SetAsFloat(1.234567);
    EXPECT_DOUBLE_EQ(t->FieldByName(u"Price"_s).AsFloat(), 1.2346);
    t->Cancel();
    EXPECT_DOUBLE_EQ(t->FieldByName(u"Price"_s).AsFloat(), 12.3456);
    EXPECT_THROW(t->FieldByName(u"Price"_s).SetAsFloat(1), EngineError); // not editing
}

// The keyed one-column update of bulk changes: it finds what FindKey finds, stores what Post
// would store, and leaves every other column alone.
TEST_F(EngineTest, SetFieldByKeyChangesOneColumnOfTheKeyedRowsOnly)
{
    auto t = createArticles();
    t->AddIndex(u"003"_s, u"Gruppe"_s, ixCaseInsensitive);
    for (const QString &nr : {u"A'1"_s, u"B2"_s, u"b2"_s})
        add(*t, nr, u"alt"_s);
    const QStringList descriptions = walk(*t, u"Bez"_s);
    const QString cut = u"Regal 1 oben links h"_s; // to the column's 20 characters
    const struct {
        QString index;
        QString key;
        QString value;
        int changed;
        QStringList groups; // A'1, B2, b2 in "001" order
    } cases[] = {
        {u"001"_s, u"A'1"_s, cut + u"inten"_s, 1, {cut, u"alt"_s, u"alt"_s}},
        {u"001"_s, u"B2"_s, u"X"_s, 1, {cut, u"X"_s, u"alt"_s}}, // case counts in "001"
        {u"001"_s, u"C3"_s, u"Y"_s, 0, {cut, u"X"_s, u"alt"_s}},
        {u"003"_s, u"ALT"_s, u"neu"_s, 1, {cut, u"X"_s, u"neu"_s}}, // not in "003"
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t->SetFieldByKey(c.index, {c.key}, u"Gruppe"_s, c.value), c.changed)
            << qPrintable(c.key);
        t->Refresh();
        EXPECT_EQ(walk(*t, u"Gruppe"_s), c.groups) << qPrintable(c.key);
    }
    EXPECT_EQ(walk(*t, u"Bez"_s), descriptions);
    EXPECT_THROW(t->SetFieldByKey(u"009"_s, {u"B2"_s}, u"Gruppe"_s, u"Z"_s), EngineError);
    EXPECT_THROW(t->SetFieldByKey(u"001"_s, {u"B2"_s}, u"Fehlt"_s, u"Z"_s), EngineError);
}

TEST_F(EngineTest, AlterTableKeepsRowsWhenColumnsAreAddedMovedAndRetyped)
{
    {
        TTdbTable old(&db);
        old.SetTableName(u"LAGER"_s);
        TFieldDefs &defs = old.FieldDefs();
        defs.Add(u"LagerArtikelNr"_s, FieldType::WideString, 20, true);
        defs.Add(u"EAN"_s, FieldType::Integer);
        defs.Add(u"Katalog"_s, FieldType::WideString, 20, true);
        defs.Add(u"EKPreis"_s, FieldType::Float).precision = 2;
        defs.Add(u"XMLDATA"_s, FieldType::WideMemo);
        old.IndexDefs().Add(u"001"_s, u"LagerArtikelNr"_s, ixUnique);
        old.CreateTable();
        old.Open();
        for (int i = 1; i <= 3; ++i) {
            old.Append();
            old.FieldByName(u"LagerArtikelNr"_s).SetAsString(u"ART%1"_s.arg(i));
            old.FieldByName(u"EAN"_s).SetAsInteger(400000 + i);
            old.FieldByName(u"Katalog"_s).SetAsString(u"KAT"_s);
            old.FieldByName(u"EKPreis"_s).SetAsFloat(i * 1.25);
            old.FieldByName(u"XMLDATA"_s).SetAsString(u"<x n=\"%1\"/>"_s.arg(i));
            old.Post();
        }
    }

    TTdbTable t(&db);
    t.SetTableName(u"lager"_s); // names ignore case
    t.SetIndexName(u"001"_s);
    t.Open();
    ASSERT_TRUE(t.FindKey({u"ART2"_s}));
    TFieldDefs &defs = t.FieldDefs();
    defs.Add(u"VIEWCOLOR"_s, FieldType::Integer);
    defs.Move(defs.IndexOf(u"VIEWCOLOR"_s), defs.IndexOf(u"XMLDATA"_s));
    defs.Add(u"AlternativArtikelNr"_s, FieldType::WideString, 20, true);
    defs.Move(defs.IndexOf(u"AlternativArtikelNr"_s), defs.IndexOf(u"Katalog"_s));
    defs[defs.IndexOf(u"EAN"_s)].type = FieldType::WideString;
    defs[defs.IndexOf(u"EAN"_s)].size = 4; // cut on the way, as a write would
    defs[defs.IndexOf(u"EKPreis"_s)].precision = 4;
    t.AlterTable();

    // The cursor is still on its row, with the new columns.
    EXPECT_EQ(t.FieldByName(u"LagerArtikelNr"_s).AsString(), u"ART2"_s);
    EXPECT_EQ(t.FieldByName(u"EAN"_s).AsString(), u"4000"_s);

    t.Close();
    TTdbTable again(&db);
    again.SetTableName(u"LAGER"_s);
    again.SetIndexName(u"001"_s);
    again.Open();
    EXPECT_EQ(again.FieldDefs()[4].precision, 4);
    EXPECT_EQ(again.RecordCount(), 3);
    ASSERT_TRUE(again.FindKey({u"ART3"_s}));
    // In the new column order: the moved and added columns hold their empty values.
    QStringList values;
    for (int i = 0; i < again.FieldCount(); ++i)
        values.append(again.Fields(i).AsString());
    EXPECT_EQ(values.join(u'|'), u"ART3|4000||KAT|3,75|0|<x n=\"3\"/>"_s);
    // The unique index came through the rebuild.
    again.Append();
    again.FieldByName(u"LagerArtikelNr"_s).SetAsString(u"ART1"_s);
    EXPECT_THROW(again.Post(), EngineError);
    again.Cancel();

    // An index on a column that is being dropped stops the rebuild before it touches rows.
    again.FieldDefs().Delete(0);
    EXPECT_THROW(again.AlterTable(), EngineError);
    again.Close();
    again.Open();
    EXPECT_EQ(again.RecordCount(), 3);
}

TEST_F(EngineTest, IndexesAddedAndDeletedOnAFilledTable)
{
    auto t = createArticles();
    add(*t, u"1"_s, u"X"_s, 3);
    add(*t, u"2"_s, u"Y"_s, 1);
    add(*t, u"3"_s, u"Z"_s, 2);
    t->AddIndex(u"003"_s, u"Stadium"_s);
    t->SetIndexName(u"003"_s);
    EXPECT_EQ(walk(*t), (QStringList{u"2"_s, u"3"_s, u"1"_s}));
    EXPECT_TRUE(t->FindKey({2}));
    EXPECT_EQ(numberOf(*t), u"3"_s);
    t->DeleteIndex(u"003"_s);
    EXPECT_EQ(t->IndexName(), QString());
    EXPECT_THROW(t->SetIndexName(u"003"_s), EngineError);
    EXPECT_THROW(t->FindKey({u"1"_s}), EngineError); // no index, no key search
    t->Close();
    t->Open();
    EXPECT_EQ(t->IndexDefs().Count(), 2);
}

TEST_F(EngineTest, FiltersRestrictNavigationCountsAndSearches)
{
    auto t = createArticles();
    add(*t, u"1"_s, u"Rohre"_s, 2);
    add(*t, u"2"_s, u"Rohre 2"_s, 4);
    add(*t, u"3"_s, u"ROHRE"_s, 1);
    add(*t, u"4"_s, u"Fittings"_s, 4);

    t->SetFilter(u"(Stadium = 2) or (stadium = 4)"_s);
    t->SetFiltered(true);
    EXPECT_EQ(walk(*t), (QStringList{u"1"_s, u"2"_s, u"4"_s}));
    EXPECT_EQ(t->RecordCount(), 3);
    t->FindKey({u"4"_s});
    EXPECT_EQ(t->RecordNo(), 3);
    EXPECT_FALSE(t->FindKey({u"3"_s})); // filtered away

    t->SetFilter(u"Gruppe = 'Rohre'"_s);
    EXPECT_EQ(walk(*t), QStringList{u"1"_s});                        // exact, case-sensitive
    t->SetFilter(u"Bez like '*artikel 3*' and not (Stadium > 1)"_s); // like ignores case
    EXPECT_EQ(walk(*t), QStringList{u"3"_s});
    EXPECT_THROW(t->SetFilter(u"Stadium = "_s), EngineError);
    EXPECT_EQ(walk(*t), QStringList{u"3"_s}); // a bad filter leaves the old one in force
    t->SetFiltered(false);
    EXPECT_EQ(t->RecordCount(), 4);

    // FindFirst/FindNext use the filter text without filtering the table.
    t->SetFilter(u"Stadium >= 4"_s);
    ASSERT_TRUE(t->FindFirst());
    EXPECT_EQ(numberOf(*t), u"2"_s);
    ASSERT_TRUE(t->FindNext());
    EXPECT_EQ(numberOf(*t), u"4"_s);
    EXPECT_FALSE(t->FindNext());
    t->Prior();
    EXPECT_EQ(numberOf(*t), u"3"_s);
}

TEST_F(EngineTest, TransactionsAndOtherConnectionsSeeingChangesAfterRefresh)
{
    auto t = createArticles();
    TTdbDatabase other;
    other.SetLocation(dir.path());
    TTdbTable o(&other);
    o.SetTableName(u"ARTIKEL"_s);
    o.SetIndexName(u"001"_s);
    o.Open();

    t->StartTransaction();
    addAll(*t, {u"X"_s, u"Y"_s});
    t->Rollback();
    EXPECT_TRUE(t->IsEmpty() && t->Eof());
    // Inner levels commit nothing: nobody sees half a booking.
    db.StartTransaction();
    db.StartTransaction();
    add(*t, u"A"_s);
    db.Commit();
    EXPECT_EQ(o.RecordCount(), 0);
    db.Commit();
    EXPECT_EQ(o.RecordCount(), 1);
    // A refused write ends the transaction; after the rollback the connection works on.
    db.StartTransaction();
    EXPECT_THROW(add(*t, u"A"_s), EngineError);
    t->Cancel();
    db.Rollback();
    t->LockTable();
    add(*t, u"B"_s);
    t->UnlockTable();
    EXPECT_THROW(t->UnlockTable(), EngineError);
    other.RefreshDataSets();
    EXPECT_EQ(o.RecordCount(), 2);
    ASSERT_TRUE(o.FindKey({u"A"_s}));

    t->FindKey({u"A"_s});
    t->Edit();
    t->FieldByName(u"Bez"_s).SetAsString(u"neu"_s);
    t->Post();
    add(*t, u"AA"_s);

    EXPECT_EQ(o.FieldByName(u"Bez"_s).AsString(), u"Artikel A"_s); // a copy until refreshed
    other.RefreshDataSets();
    EXPECT_EQ(o.FieldByName(u"Bez"_s).AsString(), u"neu"_s);
    o.Next();
    EXPECT_EQ(numberOf(o), u"AA"_s);

    // Edit starts from the stored row, not from the copy.
    t->FindKey({u"B"_s});
    o.FindKey({u"B"_s});
    t->Edit();
    t->FieldByName(u"Stadium"_s).SetAsInteger(7);
    t->Post();
    o.Edit();
    EXPECT_EQ(o.FieldByName(u"Stadium"_s).AsInteger(), 7);
    o.Cancel();

    // A row deleted by the other side cannot be edited any more.
    t->Delete();
    EXPECT_THROW(o.Edit(), EngineError);
    o.Refresh();
    EXPECT_TRUE(o.Eof() || numberOf(o) != u"B"_s);
}

TEST_F(EngineTest, DirectoryListsTablesInAnySpellingAndASingleFileMustExist)
{
    createArticles(u"LAGER"_s);
    createArticles(u"Lagersn"_s);
    QFile stray(dir.path() + u"/NOTES.TXT"_s);
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    // A table file copied in under another spelling is the same table.
    ASSERT_TRUE(QFile::rename(dir.path() + u"/LAGERSN.DAT"_s, dir.path() + u"/lagerSN.dat"_s));
    TTdbTable copied(&db);
    copied.SetTableName(u"LAGERSN"_s);
    EXPECT_TRUE(copied.Exists());
    QStringList names = db.TableNames();
    names.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, (QStringList{u"LAGER"_s, u"lagerSN"_s}));

    // A single-file database must exist (the stores create it): a mistyped name makes none.
    TTdbDatabase single;
    single.SetDatabaseType(TTdbDatabase::SingleFile);
    single.SetLocation(dir.path() + u"/TEXTE.DB"_s);
    EXPECT_THROW(single.Connect(), EngineError);
    EXPECT_EQ(db.TableNames().size(), 2);
}

TEST_F(EngineTest, MissingTablesAndClosedTablesFailWithAMessage)
{
    TTdbTable t(&db);
    t.SetTableName(u"FEHLT"_s);
    EXPECT_FALSE(t.Exists());
    EXPECT_THROW(t.Open(), EngineError);
    EXPECT_THROW(t.First(), EngineError);
    auto a = createArticles();
    EXPECT_THROW(createArticles(), EngineError); // exists already
    a->Append();
    EXPECT_THROW(a->SetIndexName(u"999"_s), EngineError);
}

TEST_F(EngineTest, WritesWaitForAnotherProcesssLock)
{
    auto t = createArticles();
    auto child = ChildProcess::start(u"engine-hold-lock"_s, {dir.path()});
    child->setReadChannel(QProcess::StandardOutput);
    ASSERT_TRUE(child->waitForReadyRead(20000));
    ASSERT_TRUE(child->readLine().startsWith("locked"));

    // Reading goes on beside the lock and does not see the uncommitted row; the write and the
    // rebuild wait for the lock instead of failing on the busy file.
    EXPECT_EQ(t->RecordCount(), 0);
    add(*t, u"ELTERN"_s);
    t->FieldDefs().Add(u"Neu"_s, FieldType::WideString, 10);
    t->AlterTable();
    ASSERT_TRUE(child->waitForFinished(20000));
    EXPECT_EQ(child->exitCode(), 0);

    EXPECT_EQ(walk(*t), (QStringList{u"ELTERN"_s, u"KIND"_s}));
    EXPECT_EQ(walk(*t, u"Neu"_s), (QStringList{QString(), QString()}));
}

TEST_F(EngineTest, TwoWriterProcessesLoseNoRowAndNoUpdate)
{
    auto t = createArticles();
    add(*t, kCounter);
    t->First(); // a reader that sits on a row must not hold the writers up

    auto a = ChildProcess::start(u"engine-hammer"_s, {dir.path(), u"A"_s});
    auto b = ChildProcess::start(u"engine-hammer"_s, {dir.path(), u"B"_s});
    ASSERT_TRUE(a->waitForFinished(300000));
    ASSERT_TRUE(b->waitForFinished(300000));
    EXPECT_EQ(a->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(a->exitCode() + b->exitCode(), 0);

    db.RefreshDataSets();
    // Every key is unique, so the count shows that no append went missing.
    EXPECT_EQ(t->RecordCount(), 2 * kRounds + 1);
    ASSERT_TRUE(t->FindKey({kCounter}));
    EXPECT_EQ(t->FieldByName(u"Stadium"_s).AsInteger(), 2 * kRounds);
}
