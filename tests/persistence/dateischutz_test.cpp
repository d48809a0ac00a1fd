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

namespace
{

// Adds one to the number in args[1] args[2] times, each time under the lock on args[0]. The
// read and the write are apart, so two holders at once lose increments.
int countUnderLock(const QStringList &args)
{
    TDateischutz lock;
    for (int i = 0; i < args.at(2).toInt(); ++i) {
        while (!lock.Lock(args.at(0), QStringLiteral("Zaehler")))
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

const QString holderText = QStringLiteral(
    "Bitte warten, der Datensatz \"4711\" ist momentan durch den Benutzer \"Erika Mustermann\" "
    "gesperrt.");

} // namespace

TEST(Dateischutz, CancelledWaitGetsNothingAndAKilledHolderBlocksNobody)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("LOCKREC1.SRW"));
    FileLockHolder holder(file, holderText);
    ASSERT_TRUE(holder.holding());

    CountingInteraction asker;
    asker.cancelWaitAfterIdles = 5;
    TDateischutzWF lock(&asker);
    EXPECT_FALSE(lock.Lock(file, QStringLiteral("Meiner")));
    EXPECT_FALSE(lock.FileLock().IsLocked());
    EXPECT_EQ(asker.openWindows, 0);
    ASSERT_EQ(asker.waitTexts.size(), 1);
    EXPECT_TRUE(asker.waitTexts.first().startsWith(holderText));

    // Asked to, the waiter shows its own text instead of the holder's.
    EXPECT_FALSE(lock.Lock(file, QStringLiteral("Meiner"), true));
    EXPECT_EQ(asker.waitTexts.value(1), QStringLiteral("Meiner"));
    EXPECT_TRUE(TDateischutz::HolderRecord(file).startsWith(holderText));

    TDateischutz other;
    EXPECT_FALSE(other.Lock(file, QStringLiteral("Zweiter")));
    holder.process().kill();
    holder.process().waitForFinished();
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(TDateischutz::HolderRecord(file), QString());
    // Lock only tries, it never waits: the killed holder's lock went with its process.
    ASSERT_TRUE(other.Lock(file, QStringLiteral("Zweiter")));
    EXPECT_TRUE(TDateischutz::HolderRecord(file).startsWith(QStringLiteral("Zweiter (")));
}

TEST(Dateischutz, NeitherCreatableNorReadableIsAnError)
{
    QTemporaryDir dir;
    TDateischutz lock;
    try {
        lock.Lock(dir.filePath(QStringLiteral("FEHLT/LOCKDB.SRW")), QStringLiteral("x"));
        FAIL() << "no exception";
    } catch (const EngineError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QStringLiteral("(Error 2) ")))
            << e.what();
    }
}

// Four processes hammer one lock; every increment survives only if no two of them ever hold
// it at once, including a waiter that opened the file just before its holder unlinked it.
TEST(Dateischutz, ExcludesAcrossProcessesUnderContention)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("LOCKREC.SRW"));
    const QString counter = dir.filePath(QStringLiteral("counter"));
    QFile(counter).open(QIODevice::WriteOnly);
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < 4; ++i)
        workers.push_back(ChildProcess::start(QStringLiteral("dateischutz-count"),
                                              {file, counter, QStringLiteral("100")}));
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
    FormatSettings::current().shortDateFormat = QStringLiteral("d MMM yyyy");
    FormatSettings::current().longTimeFormat = QStringLiteral("HH:mm:ss t");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("LOCKREC4711.SRW"));
    TDateischutz lock;
    ASSERT_TRUE(lock.Lock(file, holderText));
    const QString record = TDateischutz::HolderRecord(file).trimmed();
    lock.Release();
    FormatSettings::current() = saved;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral(R"(\((\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)\)$)"))
            .match(record);
    ASSERT_TRUE(m.hasMatch()) << record.toStdString();
    const QDateTime stamped =
        QDateTime::fromString(m.captured(1), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    // local time: under TZ=Europe/Berlin a UTC stamp would be an hour off
    EXPECT_LT(std::abs(stamped.secsTo(QDateTime::currentDateTime())), 1800);
}
