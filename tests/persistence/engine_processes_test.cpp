#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/childprocess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kRounds = 1000;
const auto kCounter = u"ZAEHLER"_s;

// One writer: per round an append outside any lock (the engine has to wait out the other
// writer by itself) and a read-modify-write of the shared counter row under the table lock.
int hammer(const QStringList &args)
{
    try {
        TTdbDatabase db;
        db.SetLocation(args.value(0));
        db.Connect();
        TTdbTable t(&db);
        t.SetTableName(u"BUCHUNG"_s);
        t.SetIndexName(u"001"_s);
        t.Open();
        for (int i = 0; i < kRounds; ++i) {
            t.Append();
            t.FieldByName(u"Nr"_s).SetAsString(u"%1-%2"_s.arg(args.value(1)).arg(i));
            t.Post();

            t.LockTable();
            if (!t.FindKey({kCounter}))
                throw EngineError(u"counter row missing"_s);
            t.Edit();
            t.FieldByName(u"Wert"_s).SetAsInteger(t.FieldByName(u"Wert"_s).AsInteger() + 1);
            t.Post();
            t.UnlockTable();
        }
        return 0;
    } catch (const EngineError &e) {
        std::cerr << "child " << qPrintable(args.value(1)) << ": " << e.what() << '\n';
        return 1;
    }
}
STOCK_CHILD_ENTRY("engine-hammer", hammer);

} // namespace

TEST(EngineProcesses, TwoWritersLoseNoRowAndNoUpdate)
{
    // On a RAM file system when there is one: the test is about locking, and 4,000 commits
    // with synchronous=FULL on a disk take minutes without showing anything more.
    const QString base = QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm"_s : QDir::tempPath();
    QTemporaryDir dir(base + u"/engine-XXXXXX"_s);
    ASSERT_TRUE(dir.isValid());
    TTdbDatabase db;
    db.SetLocation(dir.path());
    db.Connect();
    TTdbTable t(&db);
    t.SetTableName(u"BUCHUNG"_s);
    t.FieldDefs().Add(u"Nr"_s, FieldType::WideString, 20, true);
    t.FieldDefs().Add(u"Wert"_s, FieldType::Integer);
    t.IndexDefs().Add(u"001"_s, u"Nr"_s, ixUnique);
    t.CreateTable();
    t.SetIndexName(u"001"_s);
    t.Open();
    t.Append();
    t.FieldByName(u"Nr"_s).SetAsString(kCounter);
    t.Post();
    // A reader that sits on a row must not hold the writers up.
    t.First();

    auto a = ChildProcess::start(u"engine-hammer"_s, {dir.path(), u"A"_s});
    auto b = ChildProcess::start(u"engine-hammer"_s, {dir.path(), u"B"_s});
    ASSERT_TRUE(a->waitForFinished(300000));
    ASSERT_TRUE(b->waitForFinished(300000));
    EXPECT_EQ(a->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(a->exitCode(), 0);
    EXPECT_EQ(b->exitCode(), 0);

    db.RefreshDataSets();
    EXPECT_EQ(t.RecordCount(), 2 * kRounds + 1);
    ASSERT_TRUE(t.FindKey({kCounter}));
    EXPECT_EQ(t.FieldByName(u"Wert"_s).AsInteger(), 2 * kRounds);
    for (const QString &tag : {u"A"_s, u"B"_s}) {
        EXPECT_TRUE(t.FindKey({u"%1-0"_s.arg(tag)}));
        EXPECT_TRUE(t.FindKey({u"%1-%2"_s.arg(tag).arg(kRounds - 1)}));
    }
}
