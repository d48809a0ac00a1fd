#include "base/messages.h"
#include "persistence/databasemapper.h"
#include "persistence/databasewrapper.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/childprocess.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <utility>

// A store of two tables in the shape of the stock database. The table names are given so
// that a test can spell them as another program would.
class TWrapperTestStore : public TDatabaseWrapper
{
public:
    explicit TWrapperTestStore(ErrorCallback onError = {},
                               QStringList names = {QStringLiteral("LAGER"),
                                                    QStringLiteral("LAGERSN")})
        : TDatabaseWrapper(std::move(onError)), m_names(std::move(names))
    {
    }

    TTdbTable *artikel = nullptr;
    TTdbTable *serien = nullptr;
    QStringList defined;
    int upgrades = 0;
    bool tablesOpenDuringUpgrade = false;

    void addArticle(const QString &nr)
    {
        artikel->Append();
        artikel->FieldByName(QStringLiteral("LagerArtikelNr")).SetAsString(nr);
        artikel->Post();
    }

protected:
    void CreateTableObjects() override
    {
        // The index with its old file extension, as older stores keep it.
        artikel = AddTable(m_names.at(0), m_names.at(0) + QStringLiteral(".001"));
        serien = AddTable(m_names.at(1), QStringLiteral("001SN"));
    }
    void DefineTable(TTdbTable &table) override
    {
        defined << table.TableName();
        table.FieldDefs().Add(QStringLiteral("LagerArtikelNr"), FieldType::WideString, 20);
        table.IndexDefs().Add(table.TableName().compare(m_names.at(0), Qt::CaseInsensitive) == 0
                                  ? QStringLiteral("001")
                                  : QStringLiteral("001SN"),
                              QStringLiteral("LagerArtikelNr"));
    }
    void SelectIndexes() override {}
    void UpgradeTable() override
    {
        ++upgrades;
        tablesOpenDuringUpgrade = artikel->Active() && serien->Active();
    }

private:
    QStringList m_names;
};

class TMapperTestStore : public TDatabaseMapper
{
public:
    using TDatabaseMapper::TDatabaseMapper;
    QList<int> defined;
    QStringList order;

protected:
    void CreateTableObjects() override
    {
        AddTable(QStringLiteral("BESTELL"), QStringLiteral("001"));
        AddTable(QStringLiteral("JOURNAL"));
    }
    void DefineTable(int index) override
    {
        defined << index;
        TTdbTable &table = *Tables()[size_t(index)];
        table.FieldDefs().Add(QStringLiteral("Nr"), FieldType::Integer);
        if (index == 0)
            table.IndexDefs().Add(QStringLiteral("001"), QStringLiteral("Nr"), ixUnique);
    }
    void PrepareTable(int) override {}
    void UpgradeTable() override { order << QStringLiteral("upgrade"); }
};

namespace
{

using Reports = QList<QPair<bool, QString>>; // exception attached, text

TWrapperTestStore::ErrorCallback collect(Reports &reports)
{
    return [&reports](const std::exception *e, const QString &text) {
        reports.append({e != nullptr, text});
    };
}

int rows(TTdbTable &table)
{
    table.Refresh();
    return table.RecordCount();
}

void say(const QByteArray &line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

QByteArray waitForLine(QProcess &process)
{
    while (!process.canReadLine())
        if (!process.waitForReadyRead(10000))
            return {};
    return process.readLine().trimmed();
}

// Opens the store in args[0], locks record args[1] for user args[2], holds it until a line
// comes on standard input.
int holdRecord(const QStringList &args)
{
    TWrapperTestStore store;
    store.Open(args.at(0));
    auto lock = store.LockRecord(args.at(2), args.at(1));
    if (!lock)
        return 1;
    say("locked");
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 2;
    TDatabaseStoreBase::Unlock(lock);
    say("released");
    QThread::sleep(60); // until killed: the parent's lock must come from the release alone
    return 0;
}
STOCK_CHILD_ENTRY("store-hold-record", holdRecord);

} // namespace

TEST(DatabaseWrapper, OpeningCreatesOnlyTheMissingTableAndUpgradesOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Daten/Lager"));
    {
        TWrapperTestStore first;
        first.Open(path);
        EXPECT_EQ(first.defined, QStringList({QStringLiteral("LAGER"), QStringLiteral("LAGERSN")}));
        first.addArticle(QStringLiteral("4711"));
        first.addArticle(QStringLiteral("4712"));
    }
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("Daten/Lager/LAGERSN.DAT"))));

    TWrapperTestStore store;
    store.Open(path);
    EXPECT_TRUE(store.IsOpen());
    EXPECT_EQ(store.defined, QStringList{QStringLiteral("LAGERSN")});
    EXPECT_EQ(rows(*store.artikel), 2);
    EXPECT_EQ(rows(*store.serien), 0);
    EXPECT_EQ(store.artikel->IndexName(), QStringLiteral("001"));
    EXPECT_EQ(store.upgrades, 1);
    EXPECT_TRUE(store.tablesOpenDuringUpgrade);
    EXPECT_EQ(store.DatabaseDirectory(), path + u'/');

    // Other spellings of the table names are the same tables.
    TWrapperTestStore otherSpelling({}, {QStringLiteral("Lager"), QStringLiteral("lagersn")});
    otherSpelling.Open(path);
    EXPECT_TRUE(otherSpelling.defined.isEmpty());
    EXPECT_EQ(rows(*otherSpelling.artikel), 2);

    store.Close();
    EXPECT_FALSE(store.IsOpen());
    EXPECT_THROW(store.LockDatabase(QStringLiteral("Erika")), EngineError);

    // A directory that cannot be created is an error naming it.
    QFile blocker(dir.filePath(QStringLiteral("DATEI")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const QString uncreatable = dir.filePath(QStringLiteral("DATEI/LAGER"));
    TWrapperTestStore failing;
    try {
        failing.Open(uncreatable);
        FAIL() << "no exception";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.message(), uncreatable);
    }
    EXPECT_FALSE(failing.IsOpen());
}

TEST(DatabaseWrapper, UnopenableTableIsRetriedThenReportedAndThrown)
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("LAGER.DAT"));
    {
        QFile garbage(broken);
        ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
    }
    Reports reports;
    TWrapperTestStore store(collect(reports));
    int pauses = 0;
    store.SetOpenRetryPause([&](int) { ++pauses; });
    EXPECT_THROW(store.Open(dir.path()), std::exception);
    EXPECT_EQ(pauses, TDatabaseStoreBase::OpenAttempts - 1);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.upgrades, 0);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].first);
    EXPECT_EQ(reports[0].second,
              store.artikel->FileName() + QStringLiteral(" OpenTables Versuch 10"));

    // A file that becomes readable while we retry (another program finished rebuilding it)
    // opens without a report; the pause after the third failure is where it gets rebuilt.
    QTemporaryDir good;
    {
        TWrapperTestStore maker;
        maker.Open(good.path());
        maker.addArticle(QStringLiteral("1"));
    }
    reports.clear();
    TWrapperTestStore retried(collect(reports));
    QList<int> failed;
    retried.SetOpenRetryPause([&](int attempt) {
        failed.append(attempt);
        if (attempt == 3)
            std::rename(QFile::encodeName(good.filePath(QStringLiteral("LAGER.DAT"))).constData(),
                        QFile::encodeName(broken).constData());
    });
    EXPECT_NO_THROW(retried.Open(dir.path()));
    EXPECT_EQ(failed, QList<int>({1, 2, 3}));
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_TRUE(retried.IsOpen());
    EXPECT_EQ(rows(*retried.artikel), 1);
}

TEST(DatabaseWrapper, ReportErrorNamesTheStoreAndFallsBackToAFatalReport)
{
    Reports reports;
    TWrapperTestStore store(collect(reports));
    const EngineError failure(QStringLiteral("kaputt"));
    store.ReportError(&failure, QStringLiteral("SetLagerArtikel\nkaputt"));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].second, QStringLiteral("TWrapperTestStore.SetLagerArtikel\nkaputt"));

    Messages::setSilent(true);
    Messages::setProtocolEnabled(true);
    TWrapperTestStore withoutCallback;
    withoutCallback.ReportError(&failure, QStringLiteral("GetLagerArtikel"));
    TWrapperTestStore asInTheProgram(&TLogHelper::DatabaseError);
    asInTheProgram.ReportError(&failure, QStringLiteral("DeleteArticle"));
    const auto protocol = Messages::protocol();
    Messages::setProtocolEnabled(false);
    Messages::setSilent(false);
    ASSERT_EQ(protocol.size(), 2);
    EXPECT_EQ(protocol[0].kind, MessageKind::FatalError);
    EXPECT_EQ(protocol[0].text, QStringLiteral("TWrapperTestStore.GetLagerArtikel"));
    EXPECT_EQ(protocol[1].kind, MessageKind::Error);
    EXPECT_EQ(protocol[1].text,
              QStringLiteral("Datenbankfehler.\nTWrapperTestStore.DeleteArticle"));
}

TEST(RecordLock, KeyCharactersForbiddenInFileNamesBecomeUnderscoresDatabaseLockTakesTheTable)
{
    EXPECT_EQ(TDatabaseStoreBase::RecordLockName(QStringLiteral(" a!b\"c*d/e:f<g>h?i\\j|k.l ")),
              QStringLiteral("LOCKRECa_b_c_d_e_f_g_h_i_j_k.l"));

    QTemporaryDir dir;
    TWrapperTestStore store;
    store.Open(dir.path());
    auto lock =
        store.LockRecord(QStringLiteral("Erika Mustermann"), QStringLiteral(" 47/11?*\\ab "));
    ASSERT_TRUE(lock);
    const QString file = dir.filePath(QStringLiteral("LOCKREC47_11___AB.SRW"));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(QFile(file).size(), 1000);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.SRW")}).size(), 1);
    TDatabaseStoreBase::Unlock(lock);
    EXPECT_FALSE(lock);
    EXPECT_FALSE(QFile::exists(file));
    TDatabaseStoreBase::Unlock(lock); // an empty lock is ignored

    // The database lock takes the engine table with the file and releases both.
    lock = store.LockDatabase(QStringLiteral("Erika Mustermann"), store.artikel);
    ASSERT_TRUE(lock);
    EXPECT_TRUE(store.artikel->TableLocked());
    EXPECT_TRUE(TDateischutz::HolderRecord(dir.filePath(QStringLiteral("LOCKDB.SRW")))
                    .startsWith(QStringLiteral("Bitte warten, die Datenbank ist momentan durch "
                                               "den Benutzer \"Erika Mustermann\" gesperrt. (")));
    TDatabaseStoreBase::Unlock(lock);
    EXPECT_FALSE(store.artikel->TableLocked());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("LOCKDB.SRW"))));
}

TEST(RecordLock, SecondProcessShowsTheHolderAndGetsTheLockAfterTheRelease)
{
    QTemporaryDir dir;
    TWrapperTestStore store;
    store.Open(dir.path());
    auto holder = ChildProcess::start(
        QStringLiteral("store-hold-record"),
        {dir.path(), QStringLiteral("4711/A"), QStringLiteral("Erika Mustermann")});
    ASSERT_EQ(waitForLine(*holder), "locked");

    // The holder lets go when our wait window first idles, so we have certainly waited.
    ScriptedInteraction asker;
    asker.onWaitIdle = [&, told = false]() mutable {
        if (!std::exchange(told, true)) {
            holder->write("release\n");
            holder->waitForBytesWritten();
        }
    };
    ScopedInteraction scope(&asker);
    auto lock = store.LockRecord(QStringLiteral("Max Meier"), QStringLiteral("4711/A"));
    ASSERT_TRUE(lock);

    ASSERT_EQ(asker.waitTexts.size(), 1);
    const QRegularExpression holderRecord(
        QStringLiteral(R"(^Bitte warten, der Datensatz "4711/A" ist momentan durch den Benutzer )"
                       R"("Erika Mustermann" gesperrt\. \(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\)$)"));
    EXPECT_TRUE(holderRecord.match(asker.waitTexts[0]).hasMatch())
        << asker.waitTexts[0].toStdString();
    // Only the release can have let us in: the holder lives on until killed.
    EXPECT_TRUE(waitForLine(*holder).startsWith("released"));
    holder->kill();
    holder->waitForFinished();
    TDatabaseStoreBase::Unlock(lock);
}

TEST(DatabaseMapper, CreatesMissingTablesInADirectoryAndRunsUpgradeBeforeTheCallback)
{
    QTemporaryDir dir;
    {
        TMapperTestStore first;
        ASSERT_TRUE(first.Open(dir.path()));
        EXPECT_EQ(first.defined, QList<int>({0, 1}));
    }
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("JOURNAL.DAT"))));
    TMapperTestStore store;
    store.SetAfterOpen([&] { store.order << QStringLiteral("after-open"); });
    ASSERT_TRUE(store.Open(dir.path()));
    EXPECT_EQ(store.defined, QList<int>{1});
    EXPECT_EQ(store.order, QStringList({QStringLiteral("upgrade"), QStringLiteral("after-open")}));
    auto lock = store.LockRecord(QStringLiteral("Erika"), QStringLiteral("B-1"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("LOCKRECB-1.SRW"))));
}

TEST(DatabaseMapper, SingleFileHoldsEveryTableAndLocksNextToIt)
{
    QTemporaryDir dir;
    TMapperTestStore store(true);
    ASSERT_TRUE(store.Open(dir.path(), QStringLiteral("TEXTE.DB")));
    EXPECT_EQ(store.defined, QList<int>({0, 1}));
    EXPECT_EQ(store.Database().TableNames().size(), 2);
    EXPECT_THROW(store.LockRecord(QStringLiteral("Erika"), QStringLiteral("1")), EngineError);
    auto lock = store.LockDatabase(QStringLiteral("Erika"));
    ASSERT_TRUE(lock);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("TEXTE.DB.SRW"))));

    TMapperTestStore again(true);
    ASSERT_TRUE(again.Open(dir.path(), QStringLiteral("TEXTE.DB")));
    EXPECT_TRUE(again.defined.isEmpty());
}

TEST(DatabaseMapper, FailuresAreReportedNotThrown)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("DATEI")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    Messages::setSilent(true);
    Messages::setProtocolEnabled(true);
    TMapperTestStore store;
    const QString uncreatable = dir.filePath(QStringLiteral("DATEI/BESTELL"));
    EXPECT_FALSE(store.Open(uncreatable));

    QFile garbage(dir.filePath(QStringLiteral("BESTELL.DAT")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    EXPECT_FALSE(store.Open(dir.path()));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_TRUE(store.order.isEmpty());

    const auto protocol = Messages::protocol();
    Messages::setProtocolEnabled(false);
    Messages::setSilent(false);
    // The broken table fails already when asked whether it exists; the report is the same.
    ASSERT_EQ(protocol.size(), 2);
    EXPECT_EQ(protocol[0].text, QStringLiteral("Kann Verzeichnis nicht anlegen: ") + uncreatable);
    EXPECT_EQ(protocol[1].kind, MessageKind::Error);
    EXPECT_EQ(protocol[1].text, QStringLiteral("Datenbankfehler.\nDatenbank \"TMapperTestStore\" "
                                               "konnte nicht geoeffnet werden."));
}
