#pragma once

#include "persistence/engine/fielddefs.h"

#include <QHash>
#include <QStringList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One open SQLite file with the settings every process of the suite must agree on: rollback
// journal (WAL needs shared memory, which network directories do not offer), synchronous
// FULL, a busy timeout. Statements are prepared once and kept. Write transactions are
// always IMMEDIATE: a deferred one that first reads and then writes can be refused without
// waiting when another process also wants to write, and would lose its update.
class SqliteConnection
{
public:
    SqliteConnection(const QString &path, bool create, bool readOnly, int busyTimeoutMs);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    sqlite3 *handle() const { return m_db; }
    const QString &path() const { return m_path; }

    // Attaches another table file under alias, for the tables it holds: one transaction of
    // this connection then spans both files, and SQLite's super-journal makes their commit
    // atomic even across a crash. Table names must be unique among the attached files, since
    // row statements name tables without their schema.
    void attach(const QString &path, const QString &alias, const QStringList &tables);
    // The schema (SQLite's name for an attached file) that holds the table: "main" unless it
    // came with attach.
    QString schemaOf(const QString &table) const;

    // A cached prepared statement, reset and with its bindings cleared.
    sqlite3_stmt *prepare(const QString &sql);
    void exec(const QString &sql); // statements without results and parameters
    // Steps, waiting out SQLITE_BUSY outside transactions; returns SQLITE_ROW or SQLITE_DONE.
    int step(sqlite3_stmt *stmt);
    [[noreturn]] void fail(const QString &what) const;
    void check(int rc, const QString &what) const;

    void begin();  // nests; the outermost takes the write lock, waiting for other writers
    void commit(); // nests
    void rollback();
    bool inTransaction() const { return m_depth > 0; }
    int depth() const { return m_depth; }
    // Incremented whenever this connection wrote, so cursors can tell that their batch is old.
    quint64 writeCount() const { return m_writes; }
    void noteWrite() { ++m_writes; }
    void clearStatementCache();

    // Runs fn inside begin()/commit(), rolling back when it throws.
    template <class Fn> void transaction(Fn &&fn)
    {
        begin();
        try {
            fn();
            noteWrite();
            commit();
        } catch (...) {
            rollback();
            throw;
        }
    }

    static void bind(sqlite3_stmt *stmt, int index, const QVariant &value);
    // The same without SQLite's copy of a text or blob: its bytes stay in keep, which must
    // outlive the statement's next step.
    static void bind(sqlite3_stmt *stmt, int index, const QVariant &value, QByteArray &keep);
    // A column of the current result row as the value type of the engine's field type.
    static QVariant column(sqlite3_stmt *stmt, int col, FieldType type);
    // A text column of the current result row; null reads as empty.
    static QString text(sqlite3_stmt *stmt, int col);

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
    int m_busyTimeout;
    int m_depth = 0;
    quint64 m_writes = 0;
    QHash<QString, sqlite3_stmt *> m_statements;
    QHash<QString, QString> m_schemas; // upper-case table name -> alias
};

// Resets a statement on leaving the scope, so that no read lock outlives the call.
struct StatementReset {
    sqlite3_stmt *stmt;
    ~StatementReset();
};

// Quotes an identifier for SQL text ("name", inner quotes doubled).
QString sqlName(const QString &name);
