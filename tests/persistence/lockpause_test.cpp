#include "persistence/dateischutz.h"
#include "tests/support/childprocess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>

namespace
{

// Holds the lock on args[0] until it is killed.
int holdUntilKilled(const QStringList &args)
{
    TDateischutz lock;
    if (!lock.Lock(args.at(0), QStringLiteral("Halter")))
        return 1;
    std::fputs("locked\n", stdout);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}
STOCK_CHILD_ENTRY("lockpause-hold", holdUntilKilled);

struct RestoreSettle {
    int saved = TDateischutz::SettleMilliseconds();
    ~RestoreSettle() { TDateischutz::SetSettleMilliseconds(saved); }
};

} // namespace

// The pause after a wait is counted in idle calls made while this process already holds the
// lock: the holder goes away in the first idle call, so the count does not depend on how fast
// anything runs.
TEST(LockPause, AfterAWaitTheProgramChoosesHowLongTheNewHolderPauses)
{
    const struct {
        int settle;
        int idlesWhileHolding;
    } cases[] = {
        {TDateischutz::DefaultSettleMilliseconds,
         TDateischutz::DefaultSettleMilliseconds / TDateischutz::PollMilliseconds},
        {0, 0},
        {-5, 0},
    };
    RestoreSettle restore;
    EXPECT_EQ(TDateischutz::SettleMilliseconds(), TDateischutz::DefaultSettleMilliseconds);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.settle);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("LOCKREC4711.SRW"));
        auto holder = ChildProcess::start(QStringLiteral("lockpause-hold"), {file});
        ASSERT_TRUE(holder->waitForReadyRead(20000));
        ASSERT_EQ(holder->readLine().trimmed(), "locked");

        TDateischutz::SetSettleMilliseconds(c.settle);
        int idles = 0, idlesWhileHolding = 0;
        TDateischutz lock([&](const QString &, const std::function<void()> &) {
            return [&] {
                if (++idles == 1) {
                    holder->kill();
                    holder->waitForFinished();
                } else if (TDateischutz::HolderRecord(file).startsWith(QStringLiteral("Meiner"))) {
                    ++idlesWhileHolding;
                }
            };
        });
        ASSERT_TRUE(lock.Lock(file, QStringLiteral("Meiner")));
        EXPECT_EQ(idlesWhileHolding, c.idlesWhileHolding);
    }
}
