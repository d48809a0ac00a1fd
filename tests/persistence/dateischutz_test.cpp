#include "base/formatsettings.h"
#include "persistence/dateischutz.h"
#include "persistence/engine/engineerror.h"
#include "tests/support/childprocess.h"
#include "tests/support/lockholders.h"
#include "tests/support/scriptedinteraction.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// Adds one to the number in args[1] args[2] times, each time under the lock on args[0]. The
// read and the write are apart, so two holders at once lose increments.
int countUnderLock(const QStringList &args)
{
    TDateischutz lock;
    for (int i = 0; i < args.at(2).toInt(); ++i) {
        while (!lock.Lock(args.at(0), u"Zaehler"_s))
            QThread::yieldCurrentThread();
        QFile counter(args.at(1));
        if (!counter.open(QIODevice::ReadWrite))
            return 2;
        const int value = counter.readAll().trimmed().toInt();
        QThread::usleep(300);
        counter.seek(0);
        counter.write(QByteArray::number(value + 1));
        counter.close();
        lock.Release();
    }
    return 0;
}
STOCK_CHILD_ENTRY("dateischutz-count", countUnderLock);

// Counts the wait windows that are still open.
class CountingInteraction : public ScriptedInteraction
{
public:
    int openWindows = 0;
    std::unique_ptr<WaitWindow> waitWindow(const QString &text) override
    {
        class Counted : public WaitWindow
        {
        public:
            Counted(std::unique_ptr<WaitWindow> inner, int &open)
                : m_inner(std::move(inner)), m_open(open)
            {
                ++m_open;
            }
            ~Counted() override { --m_open; }
            bool cancelled() const override { return m_inner->cancelled(); }
            void idle() override { m_inner->idle(); }

        private:
            std::unique_ptr<WaitWindow> m_inner;
            int &m_open;
        };
        return std::make_unique<Counted>(ScriptedInteraction::waitWindow(text), openWindows);
    }
};

const QString holderText =
    u"Bitte warten, der Datensatz \"4711\" ist momentan durch den Benutzer \"Erika Mustermann\" "
    u"gesperrt."_s;

} // namespace

TEST(Dateischutz, CancelledWaitGetsNothingAndAKilledHolderBlocksNobody)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"LOCKREC1.SRW"_s);
    FileLockHolder holder(file, holderText);
    ASSERT_TRUE(holder.holding());

    CountingInteraction asker;
    asker.cancelWaitAfterIdles = 5;
    TDateischutzWF lock(&asker);
    EXPECT_FALSE(lock.Lock(file, u"Meiner"_s));
    EXPECT_FALSE(lock.FileLock().IsLocked());
    EXPECT_EQ(asker.openWindows, 0);
    ASSERT_EQ(asker.waitTexts.size(), 1);
    EXPECT_TRUE(asker.waitTexts.first().startsWith(holderText));

    // Asked to, the waiter shows its own text instead of the holder's.
    EXPECT_FALSE(lock.Lock(file, u"Meiner"_s, true));
    EXPECT_EQ(asker.waitTexts.value(1), u"Meiner"_s);
    EXPECT_TRUE(TDateischutz::HolderRecord(file).startsWith(holderText));

    TDateischutz other;
    EXPECT_FALSE(other.Lock(file, u"Zweiter"_s));
    holder.process().kill();
    holder.process().waitForFinished();
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(TDateischutz::HolderRecord(file), QString());
    // Lock only tries, it never waits: the killed holder's lock went with its process.
    ASSERT_TRUE(other.Lock(file, u"Zweiter"_s));
    EXPECT_TRUE(TDateischutz::HolderRecord(file).startsWith(u"Zweiter ("_s));
}

TEST(Dateischutz, NeitherCreatableNorReadableIsAnError)
{
    QTemporaryDir dir;
    try {
        TDateischutz().Lock(dir.filePath(u"FEHLT/LOCKDB.SRW"_s), u"x"_s);
        FAIL() << "no exception";
    } catch (const EngineError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(u"(Error 2) "_s)) << e.what();
    }
}

// Four processes hammer one lock; every increment survives only if no two of them ever hold
// it at once, including a waiter that opened the file just before its holder unlinked it.
TEST(Dateischutz, ExcludesAcrossProcessesUnderContention)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"LOCKREC.SRW"_s);
    const QString counter = dir.filePath(u"counter"_s);
    QFile(counter).open(QIODevice::WriteOnly);
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < 4; ++i)
        workers.push_back(ChildProcess::start(u"dateischutz-count"_s, {file, counter, u"100"_s}));
    for (auto &w : workers) {
        ASSERT_TRUE(w->waitForFinished(60000));
        EXPECT_EQ(w->exitCode(), 0);
    }
    QFile result(counter);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll().toInt(), 400);
}

TEST(Dateischutz, HolderTextGivesTheTimeInGermanWhateverTheProcessLocale)
{
    // A process started under the C locale formats dates as "6 Dec 2026 09:35:02 UTC"; the
    // colleague who waits reads the text as written.
    const FormatSettings saved = FormatSettings::current();
    FormatSettings::current().shortDateFormat = u"d MMM yyyy"_s;
    FormatSettings::current().longTimeFormat = u"HH:mm:ss t"_s;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"LOCKREC4711.SRW"_s);
    TDateischutz lock;
    ASSERT_TRUE(lock.Lock(file, holderText));
    const QString record = TDateischutz::HolderRecord(file).trimmed();
    lock.Release();
    FormatSettings::current() = saved;
    const QRegularExpressionMatch m =
        QRegularExpression(uR"(\((\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)\)$)"_s).match(record);
    ASSERT_TRUE(m.hasMatch()) << record.toStdString();
    const QDateTime stamped = QDateTime::fromString(m.captured(1), u"dd.MM.yyyy HH:mm:ss"_s);
    // local time: under TZ=Europe/Berlin a UTC stamp would be an hour off
    EXPECT_LT(std::abs(stamped.secsTo(QDateTime::currentDateTime())), 1800);
}

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
    struct RestoreSettle {
        int saved = TDateischutz::SettleMilliseconds();
        ~RestoreSettle() { TDateischutz::SetSettleMilliseconds(saved); }
    } restore;
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
