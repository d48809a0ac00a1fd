#include "persistence/databasewrapper.h"

#include "base/messages.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

TDatabaseWrapper::TDatabaseWrapper(ErrorCallback onError) : m_onError(std::move(onError)) {}

void TDatabaseWrapper::Open(const QString &directory, bool alternativeMode, bool readOnly)
{
    Close();
    EnsureTableObjects();
    const QString dir = PrepareDirectory(directory);
    if (dir.isEmpty())
        throw EngineError(directory);
    m_directory = dir;

    TTdbDatabase &db = *m_database;
    db.SetAutoDatabaseName(true);
    db.SetCaseSensitive(true);
    db.SetExclusive(false);
    db.SetReadOnly(readOnly);
    db.SetDatabaseType(TTdbDatabase::Directory);
    db.SetSharingMode(alternativeMode ? 2 : 1);
    db.SetLocation(dir);
    m_lockPath = dir + QStringLiteral("LOCKDB.SRW");

    // Table files may come from programs that spell the names differently.
    const QStringList existing = db.TableNames();
    for (const auto &table : m_tables) {
        if (existing.contains(table->TableName(), Qt::CaseInsensitive))
            continue;
        TTdbTable fresh(&db);
        fresh.SetExclusive(false);
        fresh.SetReadOnly(readOnly);
        fresh.SetTableLevel(4);
        fresh.FieldDefs().Clear();
        fresh.IndexDefs().Clear();
        fresh.SetTableName(table->TableName());
        fresh.SetDatabaseName(db.DatabaseName());
        DefineTable(fresh);
        fresh.CreateTable();
    }

    db.Connect();
    OpenTables(false);
    try {
        UpgradeTable();
    } catch (const std::exception &e) {
        ReportError(&e, QStringLiteral("UpgradeTable"));
        throw;
    }
    m_open = true;
}

void TDatabaseWrapper::ReportError(const std::exception *e, const QString &text)
{
    deliver(e, ClassName() + u'.' + text);
}

void TDatabaseWrapper::ReportOpenFailure(const std::exception &e, const QString &text)
{
    deliver(&e, text);
}

void TDatabaseWrapper::deliver(const std::exception *e, const QString &text)
{
    if (m_onError)
        m_onError(e, text);
    else
        ReportMessage(MessageKind::FatalError, text, nullptr, e);
}
