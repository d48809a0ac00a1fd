// Record and database locks of a process whose tables live on the server: the server holds
// them, not files in the directory, so workstations that share no directory meet them.
#include "persistence/dateischutz.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/tdbdatabase.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/childprocess.h"
#include "tests/support/lockholders.h"
#include "tests/support/pgserver.h"
#include "tests/support/scriptedinteraction.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{

// A workstation of its own: the server and the suite root it sees (args 0, 1) and the lock
// file (2) it holds for the owner (3) until it is killed.
int holdServerLock(const QStringList &args)
{
    TTdbDatabase::UseServer(args.at(0), args.at(1));
    TDateischutz lock;
    if (!lock.Lock(args.at(2), args.at(3)))
        return 2;
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}
STOCK_CHILD_ENTRY("hold-server-lock", holdServerLock);

class ServerLockHolder : public LockHolder
{
public:
    explicit ServerLockHolder(const QStringList &args) : LockHolder(u"hold-server-lock"_s, args) {}
};

class PgLockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server = testServer();
        if (server.isEmpty())
            GTEST_SKIP() << "no database server (STOCK_TEST_PG)";
        before = TTdbDatabase::Server();
        TDateischutz::SetSettleMilliseconds(0);
        // Two installations of one client on two sites: only the path below the root agrees.
        ASSERT_TRUE(QDir(here.path()).mkpath(relative) && QDir(there.path()).mkpath(relative));
        TTdbDatabase::UseServer(server, here.path());
    }
    void TearDown() override
    {
        if (server.isEmpty())
            return;
        holder.reset();
        TDateischutz::SetSettleMilliseconds(TDateischutz::DefaultSettleMilliseconds);
        TTdbDatabase::UseServer(before);
        PgConnection pg(server);
        const QString schema = pgSchemaName(relative);
        pg.exec(u"DROP SCHEMA IF EXISTS \"%1\" CASCADE"_s.arg(schema));
        pg.exec(u"DELETE FROM public.tdb_schemas WHERE schema_name = ?"_s, {schema});
    }

    QString dirHere() const { return here.filePath(relative) + u'/'; }

    // The other site holds fileName (below the client's directory) for owner.
    bool holdThere(const QString &fileName, const QString &owner)
    {
        holder = std::make_unique<ServerLockHolder>(
            QStringList{server, there.path(), there.filePath(relative) + u'/' + fileName, owner});
        return holder->holding();
    }

    QStringList lockFiles() const
    {
        QStringList found;
        for (const QTemporaryDir *root : {&here, &there})
            found += QDir(root->filePath(relative)).entryList({u"*.SRW"_s}, QDir::Files);
        return found;
    }

    QString server;
    QString before;
    // Unique per test program run, so that parallel runs on one server keep apart.
    const QString relative = u"DATA/PGLOCK%1/LAGER"_s.arg(QCoreApplication::applicationPid());
    QTemporaryDir here;
    QTemporaryDir there;
    std::unique_ptr<ServerLockHolder> holder;
};

} // namespace

// A holder on another site keeps the store out until it is killed: the waiter sees the
// holder's text meanwhile, then gets the lock, and neither side made a lock file.
TEST_F(PgLockTest, HolderOnAnotherSiteKeepsTheStoreWaitingUntilItIsKilled)
{
    const struct {
        const char *file;
        bool database;
    } cases[] = {{"LOCKRECA-1.SRW", false}, {"LOCKDB.SRW", true}};
    IModLagerDBServerObj db;
    ASSERT_NO_THROW(db.Open(dirHere()));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = QString::fromLatin1(c.file);
        ASSERT_TRUE(holdThere(file, u"Kollege in Leipzig"_s));
        EXPECT_TRUE(
            TDateischutz::HolderRecord(dirHere() + file).startsWith(u"Kollege in Leipzig ("_s));

        ScriptedInteraction ui;
        ScopedInteraction scope(&ui);
        ui.onWaitIdle = [&] { holder->release(); }; // SIGKILL: nothing of it runs any more
        auto lock =
            c.database ? db.LockDatabase(u"Meister"_s) : db.LockRecord(u"Meister"_s, u"A-1"_s);
        ASSERT_NE(lock, nullptr);
        ASSERT_EQ(ui.waitTexts.size(), 1);
        EXPECT_TRUE(ui.waitTexts[0].startsWith(u"Kollege in Leipzig ("_s))
            << ui.waitTexts[0].toStdString();
        EXPECT_TRUE(TDateischutz::HolderRecord(dirHere() + file).contains(u"\"Meister\""_s));
        EXPECT_EQ(lockFiles(), QStringList());
        TDatabaseStoreBase::Unlock(lock);
        EXPECT_EQ(TDateischutz::HolderRecord(dirHere() + file), QString());
    }
}

// Two lock objects of one process exclude each other as two opened lock files do, although
// the server would let one session take its advisory lock twice.
TEST_F(PgLockTest, SecondLockOfTheSameProcessIsRefusedUntilTheFirstGoes)
{
    const QString file = dirHere() + u"LOCKRECB-2.SRW"_s;
    TDateischutz first;
    ASSERT_TRUE(first.Lock(file, u"Erster"_s));
    TDateischutz second;
    EXPECT_FALSE(second.Lock(file, u"Zweiter"_s));
    EXPECT_TRUE(TDateischutz::HolderRecord(file).startsWith(u"Erster ("_s));

    first.Release();
    EXPECT_TRUE(second.Lock(file, u"Zweiter"_s));
    EXPECT_EQ(lockFiles(), QStringList());
}
