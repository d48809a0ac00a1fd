#include "persistence/databasestorebase.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

TDatabaseStoreBase::TDatabaseStoreBase() : m_database(std::make_unique<TTdbDatabase>()) {}

TDatabaseStoreBase::~TDatabaseStoreBase()
{
    Close();
    // Tables go before the database they belong to.
    m_tables.clear();
}

QString TDatabaseStoreBase::ClassName() const
{
    const char *mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

TTdbTable *TDatabaseStoreBase::AddTable(const QString &tableName, const QString &indexName)
{
    auto table = std::make_unique<TTdbTable>(m_database.get());
    table->SetTableName(tableName);
    table->SetIndexName(indexName);
    m_tables.push_back(std::move(table));
    return m_tables.back().get();
}

void TDatabaseStoreBase::EnsureTableObjects()
{
    if (m_tableObjectsCreated)
        return;
    m_tableObjectsCreated = true;
    CreateTableObjectsOnce();
}

void TDatabaseStoreBase::Close()
{
    m_open = false;
    m_lockPath.clear();
    if (m_database->Connected())
        m_database->Disconnect();
}

void TDatabaseStoreBase::Refresh()
{
    // Re-reads every open table of the database, ours included.
    m_database->RefreshDataSets();
}

void TDatabaseStoreBase::DisableControls()
{
    for (const auto &table : m_tables)
        table->DisableControls();
}

void TDatabaseStoreBase::EnableControls()
{
    for (const auto &table : m_tables)
        table->EnableControls();
}

QString TDatabaseStoreBase::PrepareDirectory(const QString &directory)
{
    // Only the suite's own names are upper-case; a path given to us keeps its spelling on a
    // case-sensitive file system.
    QString dir = QDir::fromNativeSeparators(directory);
    if (!dir.endsWith(u'/'))
        dir += u'/';
    if (!QFileInfo(dir).isDir() && !QDir().mkpath(dir))
        return {};
    return dir;
}

void TDatabaseStoreBase::OpenTables(bool exclusive)
{
    PrepareTablesForOpen();
    for (const auto &table : m_tables) {
        table->Close();
        table->SetExclusive(exclusive);
        table->SetReadOnly(false);
        table->SetTableLevel(4);
        table->SetDatabaseName(m_database->DatabaseName());
        // Older stores name their indexes after the index files ("LAGER.001").
        const QString index = table->IndexName();
        const qsizetype dot = index.lastIndexOf(u'.');
        table->SetIndexName(dot >= 0 ? index.mid(dot + 1) : index);
        for (int attempt = 1;; ++attempt) {
            try {
                table->Open();
                break;
            } catch (const std::exception &e) {
                // Another program may hold the file for a moment (rebuilding it, say).
                if (attempt >= OpenAttempts) {
                    ReportOpenFailure(e, table->FileName() +
                                             QStringLiteral(" OpenTables Versuch ") +
                                             QString::number(OpenAttempts + 1));
                    throw;
                }
                if (m_retryPause)
                    m_retryPause(attempt);
                else
                    QThread::msleep(OpenRetryMilliseconds);
            }
        }
    }
}

QString TDatabaseStoreBase::RecordLockName(const QString &key)
{
    QString name = key.trimmed();
    for (QChar &c : name)
        if (QStringView(u"!\"*/:<>?\\|").contains(c))
            c = u'_';
    return QStringLiteral("LOCKREC") + name;
}

std::unique_ptr<TDateischutzWF> TDatabaseStoreBase::LockRecord(const QString &owner,
                                                               const QString &key)
{
    if (m_database->DatabaseType() != TTdbDatabase::Directory || m_directory.isEmpty())
        throw EngineError(QStringLiteral("LockRecord"));
    const QString file = m_directory + RecordLockName(key) + QStringLiteral(".SRW");
    const QString info =
        formatText(tx("Bitte warten, der Datensatz \"%s\" ist momentan durch den Benutzer \"%s\" "
                      "gesperrt."),
                   {key, owner});
    auto lock = std::make_unique<TDateischutzWF>();
    if (!lock->Lock(file, info))
        return nullptr;
    return lock;
}

std::unique_ptr<TDateischutzWF> TDatabaseStoreBase::LockDatabase(const QString &owner,
                                                                 TTdbTable *table)
{
    if (m_lockPath.isEmpty())
        throw EngineError(QStringLiteral("LockDBInternal ") + ClassName());
    const QString info = formatText(
        tx("Bitte warten, die Datenbank ist momentan durch den Benutzer \"%s\" gesperrt."),
        {owner});
    auto lock = std::make_unique<TDateischutzWF>();
    if (!lock->Lock(m_lockPath, info))
        return nullptr;
    if (table) {
        table->LockTable(0); // a failure unwinds through the lock's destructor
        lock->SetReleaseTable([table] { table->UnlockTable(0); });
    }
    return lock;
}

void TDatabaseStoreBase::Unlock(std::unique_ptr<TDateischutzWF> &lock)
{
    if (!lock)
        return;
    lock->Release();
    lock.reset();
}
