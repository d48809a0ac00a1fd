#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{

// Three tables of one directory, each its own file, joined in that order: ARTIKEL's file
// with SERIEN.DAT and BUCH.DAT attached. A second database object on the same directory,
// not joined, stands for another program looking at the files one by one.
class JoinedTables : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db.SetLocation(dir.path() + u"/"_s);
        db.JoinTables(names);
        for (const QString &name : names)
            tables.push_back(create(db, name));
        other.SetLocation(dir.path() + u"/"_s);
        other.SetBusyTimeout(50);
    }

    static std::unique_ptr<TTdbTable> create(TTdbDatabase &database, const QString &name)
    {
        auto t = std::make_unique<TTdbTable>(&database);
        t->SetTableName(name);
        t->FieldDefs().Add(u"Nr"_s, FieldType::WideString, 20, true);
        t->FieldDefs().Add(name + u"Wert"_s, FieldType::Float);
        t->IndexDefs().Add(name + u"IX"_s, u"Nr"_s);
        t->CreateTable();
        t->Open();
        return t;
    }

    static void add(TTdbTable &t, const QString &nr)
    {
        t.Append();
        t.FieldByName(u"Nr"_s).SetAsString(nr);
        t.Post();
    }

    int countIn(TTdbDatabase &database, const QString &name)
    {
        TTdbTable t(&database);
        t.SetTableName(name);
        t.Open();
        return t.RecordCount();
    }

    QTemporaryDir dir;
    const QStringList names{u"ARTIKEL"_s, u"SERIEN"_s, u"BUCH"_s};
    TTdbDatabase db;
    TTdbDatabase other;
    std::vector<std::unique_ptr<TTdbTable>> tables;
};

TEST_F(JoinedTables, EachTableKeepsItsOwnFileAndDefinitions)
{
    for (const QString &name : names) {
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(name + u".DAT"_s))) << qPrintable(name);
        TTdbTable alone(&other);
        alone.SetTableName(name);
        alone.ReadDefinitions();
        EXPECT_TRUE(alone.FieldDefs().Contains(name + u"Wert"_s)) << qPrintable(name);
        EXPECT_EQ(alone.FieldDefs().Count(), 2);
    }
    // Altering a table in an attached file rebuilds it there and keeps its rows.
    add(*tables[2], u"1"_s);
    TTdbTable &buch = *tables[2];
    buch.Close();
    buch.ReadDefinitions();
    buch.FieldDefs().Add(u"Neu"_s, FieldType::Integer);
    buch.AlterTable();
    buch.Open();
    EXPECT_EQ(buch.RecordCount(), 1);
    EXPECT_TRUE(buch.FindField(u"Neu"_s));
    EXPECT_EQ(countIn(other, u"BUCH"_s), 1);
}

TEST_F(JoinedTables, OneTransactionCommitsOrRollsBackEveryFile)
{
    for (const bool commit : {false, true}) {
        SCOPED_TRACE(commit);
        db.StartTransaction();
        for (auto &t : tables)
            add(*t, u"A"_s);
        // Until the commit, nobody else sees any of it.
        for (const QString &name : names)
            EXPECT_EQ(countIn(other, name), 0) << qPrintable(name);
        commit ? db.Commit() : db.Rollback();
        for (const QString &name : names)
            EXPECT_EQ(countIn(other, name), commit ? 1 : 0) << qPrintable(name);
    }
}

TEST_F(JoinedTables, AWriterHoldsEveryJoinedFile)
{
    db.StartTransaction();
    add(*tables[0], u"C"_s);
    // Another program writing the last file waits for our commit, then gives up.
    TTdbTable buch(&other);
    buch.SetTableName(u"BUCH"_s);
    buch.Open();
    EXPECT_THROW(
        {
            buch.Append();
            buch.FieldByName(u"Nr"_s).SetAsString(u"D"_s);
            buch.Post();
        },
        EngineError);
    db.Commit();
}

} // namespace
