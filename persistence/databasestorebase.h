#pragma once

#include "persistence/dateischutz.h"

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class TTdbDatabase;
class TTdbTable;

// The engine tables of a store, owned in the order the store added them.
using TTdbTableObjectList = std::vector<std::unique_ptr<TTdbTable>>;

// What the two store bases share: one engine database with a fixed list of tables, opened
// with retries, and the lock files in the database directory that keep whole databases and
// single records apart across the suite's programs.
class TDatabaseStoreBase
{
public:
    // A failed table open is retried this often, this far apart, before it is reported.
    static constexpr int OpenAttempts = 9;
    static constexpr int OpenRetryMilliseconds = 50;
    // Runs between two attempts to open a table, with the number of the attempt that failed;
    // by default it sleeps OpenRetryMilliseconds. Tests make the table openable here.
    using RetryPause = std::function<void(int failedAttempt)>;

    virtual ~TDatabaseStoreBase();
    TDatabaseStoreBase(const TDatabaseStoreBase &) = delete;
    TDatabaseStoreBase &operator=(const TDatabaseStoreBase &) = delete;

    void Close();
    // Makes rows that other users changed visible.
    void Refresh();
    void DisableControls();
    void EnableControls();

    bool IsOpen() const { return m_open; }
    // The database location with a trailing separator; empty before the first open.
    QString DatabaseDirectory() const { return m_directory; }
    TTdbDatabase &Database() { return *m_database; }
    const TTdbTableObjectList &Tables() const { return m_tables; }

    // Locks the whole database for owner (the user's full name shown to whoever waits) and,
    // when given, the engine table with it. Waits with the wait window; none when cancelled.
    std::unique_ptr<TDateischutzWF> LockDatabase(const QString &owner, TTdbTable *table = nullptr);
    // Locks one record by its key for owner; none when the user cancelled the wait.
    std::unique_ptr<TDateischutzWF> LockRecord(const QString &owner, const QString &key);
    // Releases either kind of lock and clears the variable; an empty one is ignored.
    static void Unlock(std::unique_ptr<TDateischutzWF> &lock);

    // "LOCKREC" and the trimmed key with the characters Windows forbids in file names
    // replaced by "_".
    static QString RecordLockName(const QString &key);
    // The store's class name as reports show it.
    virtual QString ClassName() const;
    // Replaces the pause between two attempts to open a table; empty restores the sleep.
    void SetOpenRetryPause(RetryPause pause) { m_retryPause = std::move(pause); }

protected:
    TDatabaseStoreBase();

    // Adds a table object to the list, which owns it; the store keeps the pointer.
    TTdbTable *AddTable(const QString &tableName, const QString &indexName = QString());

    // Creates the directory with its parents; the path with a trailing separator, or empty
    // when it cannot be created.
    static QString PrepareDirectory(const QString &directory);
    // Opens every table of the list with retries. prepare runs first; exclusive is the
    // tables' exclusive setting. A table that stays unopenable is reported through
    // reportOpenFailure and its exception is thrown on.
    void OpenTables(bool exclusive);
    virtual void PrepareTablesForOpen() = 0;
    virtual void ReportOpenFailure(const std::exception &e, const QString &text) = 0;
    // Runs the store's table-object creation once. Open calls it (a constructor of this base
    // cannot reach the store's override); a store that wants its tables earlier calls it in
    // its own constructor.
    void EnsureTableObjects();
    virtual void CreateTableObjectsOnce() = 0;

    std::unique_ptr<TTdbDatabase> m_database;
    TTdbTableObjectList m_tables;
    QString m_directory;
    QString m_lockPath;
    bool m_open = false;

private:
    bool m_tableObjectsCreated = false;
    RetryPause m_retryPause;
};
