#include "persistence/dateischutz.h"
#include "tests/support/lockholders.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

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
        const QString file = dir.filePath(u"LOCKREC4711.SRW"_s);
        FileLockHolder holder(file, u"Halter"_s);
        ASSERT_TRUE(holder.holding());

        TDateischutz::SetSettleMilliseconds(c.settle);
        int idles = 0, idlesWhileHolding = 0;
        TDateischutz lock([&](const QString &, const std::function<void()> &) {
            return [&] {
                if (++idles == 1) {
                    holder.process().kill();
                    holder.process().waitForFinished();
                } else if (TDateischutz::HolderRecord(file).startsWith(u"Meiner"_s)) {
                    ++idlesWhileHolding;
                }
            };
        });
        ASSERT_TRUE(lock.Lock(file, u"Meiner"_s));
        EXPECT_EQ(idlesWhileHolding, c.idlesWhileHolding);
    }
}
