#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/childprocess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
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

// Holds the table lock for a while with a row written but not committed, so that the
// parent's writes meet a busy file.
int holdLock(const QStringList &args)
{
    try {
        TTdbDatabase db;
        db.SetLocation(args.value(0));
        TTdbTable t(&db);
        t.SetTableName(u"BUCHUNG"_s);
        t.Open();
        t.LockTable();
        t.Append();
        t.FieldByName(u"Nr"_s).SetAsString(u"KIND"_s);
        t.Post();
        std::cout << "locked" << std::endl;
        QThread::msleep(700);
        t.UnlockTable();
        return 0;
    } catch (const EngineError &e) {
        std::cerr << "child: " << e.what() << '\n';
        return 1;
    }
}
STOCK_CHILD_ENTRY("engine-hold-lock", holdLock);

QString ramDirBase()
{
    // On a RAM file system when there is one: these tests are about locking, and thousands
    // of commits with synchronous=FULL on a disk take minutes without showing anything more.
    return QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm"_s : QDir::tempPath();
}

class EngineProcesses : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db.SetLocation(dir.path());
        db.Connect();
        t.SetTableName(u"BUCHUNG"_s);
        t.FieldDefs().Add(u"Nr"_s, FieldType::WideString, 20, true);
        t.FieldDefs().Add(u"Wert"_s, FieldType::Integer);
        t.IndexDefs().Add(u"001"_s, u"Nr"_s, ixUnique);
        t.CreateTable();
        t.SetIndexName(u"001"_s);
        t.Open();
    }

    QTemporaryDir dir{ramDirBase() + u"/engine-XXXXXX"_s};
    TTdbDatabase db;
    TTdbTable t{&db};
};

} // namespace

TEST_F(EngineProcesses, WritesWaitForAnotherProcesssLock)
{
    auto child = ChildProcess::start(u"engine-hold-lock"_s, {dir.path()});
    child->setReadChannel(QProcess::StandardOutput);
    ASSERT_TRUE(child->waitForReadyRead(20000));
    ASSERT_TRUE(child->readLine().startsWith("locked"));

    // Reading goes on beside the lock and does not see the uncommitted row; the write and the
    // rebuild wait for the lock instead of failing on the busy file.
    EXPECT_EQ(t.RecordCount(), 0);
    t.Append();
    t.FieldByName(u"Nr"_s).SetAsString(u"ELTERN"_s);
    t.Post();
    t.FieldDefs().Add(u"Neu"_s, FieldType::WideString, 10);
    t.AlterTable();
    ASSERT_TRUE(child->waitForFinished(20000));
    EXPECT_EQ(child->exitCode(), 0);

    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_TRUE(t.FindKey({u"KIND"_s}));
    EXPECT_TRUE(t.FindKey({u"ELTERN"_s}));
    EXPECT_EQ(t.FieldByName(u"Neu"_s).AsString(), QString());
}

TEST_F(EngineProcesses, TwoWritersLoseNoRowAndNoUpdate)
{
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
    EXPECT_EQ(a->exitCode() + b->exitCode(), 0);

    db.RefreshDataSets();
    EXPECT_EQ(t.RecordCount(), 2 * kRounds + 1);
    ASSERT_TRUE(t.FindKey({kCounter}));
    EXPECT_EQ(t.FieldByName(u"Wert"_s).AsInteger(), 2 * kRounds);
    for (const QString &tag : {u"A"_s, u"B"_s}) {
        EXPECT_TRUE(t.FindKey({u"%1-0"_s.arg(tag)}));
        EXPECT_TRUE(t.FindKey({u"%1-%2"_s.arg(tag).arg(kRounds - 1)}));
    }
}
