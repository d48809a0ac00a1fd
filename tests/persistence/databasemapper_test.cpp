#include "base/messages.h"
#include "persistence/databasemapper.h"
#include "persistence/databasewrapper.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A store of two tables in the shape of the stock database.
class TWrapperTestStore : public TDatabaseWrapper
{
public:
    using TDatabaseWrapper::TDatabaseWrapper;

    TTdbTable *artikel = nullptr;
    TTdbTable *serien = nullptr;
    QStringList defined;
    int upgrades = 0;
    bool tablesOpenDuringUpgrade = false;

    void addArticle(const QString &nr)
    {
        artikel->Append();
        artikel->FieldByName(u"LagerArtikelNr"_s).SetAsString(nr);
        artikel->Post();
    }

protected:
    void CreateTableObjects() override
    {
        // The index with its old file extension, as older stores keep it.
        artikel = AddTable(u"LAGER"_s, u"LAGER.001"_s);
        serien = AddTable(u"LAGERSN"_s, u"001SN"_s);
    }
    void DefineTable(TTdbTable &table) override
    {
        defined << table.TableName();
        table.FieldDefs().Add(u"LagerArtikelNr"_s, FieldType::WideString, 20);
        table.IndexDefs().Add(table.TableName() == u"LAGER" ? u"001"_s : u"001SN"_s,
                              u"LagerArtikelNr"_s);
    }
    void SelectIndexes() override {}
    void UpgradeTable() override
    {
        ++upgrades;
        tablesOpenDuringUpgrade = artikel->Active() && serien->Active();
    }
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
        AddTable(u"BESTELL"_s, u"001"_s);
        AddTable(u"JOURNAL"_s);
    }
    void DefineTable(int index) override
    {
        defined << index;
        TTdbTable &table = *Tables()[size_t(index)];
        table.FieldDefs().Add(u"Nr"_s, FieldType::Integer);
        // One index name in both tables: a single file must keep them apart.
        table.IndexDefs().Add(u"001"_s, u"Nr"_s, ixUnique);
    }
    void PrepareTable(int) override {}
    void UpgradeTable() override { order << u"upgrade"_s; }
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

} // namespace

TEST(DatabaseWrapper, OpeningCreatesOnlyTheMissingTableAndUpgradesOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Daten/Lager"_s);
    {
        TWrapperTestStore first;
        first.Open(path);
        EXPECT_EQ(first.defined, QStringList({u"LAGER"_s, u"LAGERSN"_s}));
        first.addArticle(u"4711"_s);
        first.addArticle(u"4712"_s);
    }
    ASSERT_TRUE(QFile::remove(dir.filePath(u"Daten/Lager/LAGERSN.DAT"_s)));

    TWrapperTestStore store;
    store.Open(path);
    EXPECT_EQ(store.defined, QStringList{u"LAGERSN"_s});
    EXPECT_EQ(rows(*store.artikel), 2);
    EXPECT_EQ(rows(*store.serien), 0);
    EXPECT_EQ(store.artikel->IndexName(), u"001"_s); // the old file extension went
    EXPECT_EQ(store.DatabaseDirectory(), path + u'/');
    EXPECT_EQ(store.upgrades, 1);
    EXPECT_TRUE(store.tablesOpenDuringUpgrade);

    store.Close();
    EXPECT_FALSE(store.IsOpen());
    EXPECT_THROW(store.LockDatabase(u"Erika"_s), EngineError);

    // A directory that cannot be created is an error naming it.
    ASSERT_TRUE(TestDocuments::writeFile(dir.filePath(u"DATEI"_s), {}));
    const QString uncreatable = dir.filePath(u"DATEI/LAGER"_s);
    TWrapperTestStore failing;
    try {
        failing.Open(uncreatable);
        ADD_FAILURE() << "no exception";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.message(), uncreatable);
    }
}

TEST(DatabaseWrapper, UnopenableTableIsRetriedThenReportedAndThrown)
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(u"LAGER.DAT"_s);
    ASSERT_TRUE(TestDocuments::writeFile(broken, QByteArray(4096, 'x')));
    Reports reports;
    TWrapperTestStore store(collect(reports));
    int pauses = 0;
    store.SetOpenRetryPause([&](int) { ++pauses; });
    EXPECT_THROW(store.Open(dir.path()), std::exception);
    EXPECT_EQ(pauses, TDatabaseStoreBase::OpenAttempts - 1);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.upgrades, 0);
    EXPECT_EQ(reports, (Reports{{true, store.artikel->FileName() + u" OpenTables Versuch 10"_s}}));

    // A file that becomes readable while we retry (another program finished rebuilding it)
    // opens without a report; the pause after the third failure is where it gets rebuilt.
    QTemporaryDir good;
    {
        TWrapperTestStore maker;
        maker.Open(good.path());
        maker.addArticle(u"1"_s);
    }
    reports.clear();
    TWrapperTestStore retried(collect(reports));
    QList<int> failed;
    retried.SetOpenRetryPause([&](int attempt) {
        failed.append(attempt);
        if (attempt == 3)
            std::rename(QFile::encodeName(good.filePath(u"LAGER.DAT"_s)).constData(),
                        QFile::encodeName(broken).constData());
    });
    EXPECT_NO_THROW(retried.Open(dir.path()));
    EXPECT_EQ(failed, QList<int>({1, 2, 3}));
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_EQ(rows(*retried.artikel), 1);
}

TEST(DatabaseWrapper, ReportErrorNamesTheStoreAndFallsBackToAFatalReport)
{
    Reports reports;
    TWrapperTestStore store(collect(reports));
    const EngineError failure(u"kaputt"_s);
    store.ReportError(&failure, u"SetLagerArtikel\nkaputt"_s);
    EXPECT_EQ(reports, (Reports{{true, u"TWrapperTestStore.SetLagerArtikel\nkaputt"_s}}));

    Messages::setSilent(true);
    Messages::setProtocolEnabled(true);
    TWrapperTestStore withoutCallback;
    withoutCallback.ReportError(&failure, u"GetLagerArtikel"_s);
    const auto protocol = Messages::protocol();
    Messages::setProtocolEnabled(false);
    Messages::setSilent(false);
    ASSERT_EQ(protocol.size(), 1);
    EXPECT_EQ(protocol[0].kind, MessageKind::FatalError);
    EXPECT_EQ(protocol[0].text, u"TWrapperTestStore.GetLagerArtikel"_s);
}

TEST(RecordLock, KeyCharactersForbiddenInFileNamesBecomeUnderscoresDatabaseLockTakesTheTable)
{
    EXPECT_EQ(TDatabaseStoreBase::RecordLockName(u" a!b\"c*d/e:f<g>h?i\\j|k.l "_s),
              u"LOCKRECa_b_c_d_e_f_g_h_i_j_k.l"_s);

    QTemporaryDir dir;
    TWrapperTestStore store;
    store.Open(dir.path());
    auto lock = store.LockRecord(u"Erika Mustermann"_s, u" 47/11?*\\ab "_s);
    ASSERT_TRUE(lock);
    const QString file = dir.filePath(u"LOCKREC47_11___AB.SRW"_s);
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.SRW"_s}), QStringList{QFileInfo(file).fileName()});
    // The holder record other programs read and show while they wait (it is the lock
    // file's to wait and show it).
    EXPECT_EQ(QFile(file).size(), 1000);
    EXPECT_TRUE(TDateischutz::HolderRecord(file).startsWith(
        u"Bitte warten, der Datensatz \" 47/11?*\\ab \" ist momentan durch den Benutzer "
        u"\"Erika Mustermann\" gesperrt. ("_s));
    TDatabaseStoreBase::Unlock(lock);
    EXPECT_FALSE(lock || QFile::exists(file));
    TDatabaseStoreBase::Unlock(lock); // an empty lock is ignored

    // The database lock takes the engine table with the file and releases both.
    lock = store.LockDatabase(u"Erika Mustermann"_s, store.artikel);
    ASSERT_TRUE(lock);
    EXPECT_TRUE(store.artikel->TableLocked());
    EXPECT_TRUE(TDateischutz::HolderRecord(dir.filePath(u"LOCKDB.SRW"_s))
                    .startsWith(u"Bitte warten, die Datenbank ist momentan durch "
                                u"den Benutzer \"Erika Mustermann\" gesperrt. ("_s));
    TDatabaseStoreBase::Unlock(lock);
    EXPECT_FALSE(store.artikel->TableLocked());
    EXPECT_FALSE(QFile::exists(dir.filePath(u"LOCKDB.SRW"_s)));
}

TEST(DatabaseMapper, CreatesMissingTablesInADirectoryAndRunsUpgradeBeforeTheCallback)
{
    QTemporaryDir dir;
    {
        TMapperTestStore first;
        ASSERT_TRUE(first.Open(dir.path()));
        EXPECT_EQ(first.defined, QList<int>({0, 1}));
    }
    ASSERT_TRUE(QFile::remove(dir.filePath(u"JOURNAL.DAT"_s)));
    TMapperTestStore store;
    store.SetAfterOpen([&] { store.order << u"after-open"_s; });
    ASSERT_TRUE(store.Open(dir.path()));
    EXPECT_EQ(store.defined, QList<int>{1});
    EXPECT_EQ(store.order, QStringList({u"upgrade"_s, u"after-open"_s}));

    // A single file holds every table; its database lock lies next to it, record locks it has
    // none.
    for (const bool created : {true, false}) {
        TMapperTestStore single(true);
        ASSERT_TRUE(single.Open(dir.path(), u"TEXTE.DB"_s));
        EXPECT_EQ(single.defined, created ? QList<int>({0, 1}) : QList<int>());
        EXPECT_EQ(single.Database().TableNames().size(), 2);
        EXPECT_THROW(single.LockRecord(u"Erika"_s, u"1"_s), EngineError);
        auto lock = single.LockDatabase(u"Erika"_s);
        ASSERT_TRUE(lock);
        EXPECT_TRUE(QFile::exists(dir.filePath(u"TEXTE.DB.SRW"_s)));
    }
}

TEST(DatabaseMapper, FailuresAreReportedNotThrown)
{
    QTemporaryDir dir;
    ASSERT_TRUE(TestDocuments::writeFile(dir.filePath(u"DATEI"_s), {}));
    Messages::setSilent(true);
    Messages::setProtocolEnabled(true);
    TMapperTestStore store;
    const QString uncreatable = dir.filePath(u"DATEI/BESTELL"_s);
    EXPECT_FALSE(store.Open(uncreatable));

    ASSERT_TRUE(TestDocuments::writeFile(dir.filePath(u"BESTELL.DAT"_s), QByteArray(4096, 'x')));
    EXPECT_FALSE(store.Open(dir.path()));
    EXPECT_TRUE(store.order.isEmpty());

    const auto protocol = Messages::protocol();
    Messages::setProtocolEnabled(false);
    Messages::setSilent(false);
    // The broken table fails already when asked whether it exists; the report is the same.
    ASSERT_EQ(protocol.size(), 2);
    EXPECT_EQ(protocol[0].text, u"Kann Verzeichnis nicht anlegen: "_s + uncreatable);
    EXPECT_EQ(protocol[1].kind, MessageKind::Error);
    EXPECT_EQ(protocol[1].text, u"Datenbankfehler.\nDatenbank \"TMapperTestStore\" "
                                u"konnte nicht geoeffnet werden."_s);
}
