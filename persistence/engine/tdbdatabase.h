#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class PgConnection;
class SqliteConnection;
class TTdbTable;

// A database of the engine: a directory whose tables are one SQLite file "<TABLE>.DAT" each
// (type 0), or one SQLite file that holds several tables (type 1, the older mapper's kind).
// Several processes may open the same database at once; see the connection for how they meet.
// Two database objects on one directory in the same process are two connections and meet
// like two processes: a table lock held through one makes writes through the other wait.
class TTdbDatabase
{
public:
    enum Type { Directory = 0, SingleFile = 1 };

    // Where the tables of directory databases live from now on in this process: on the
    // database server of conninfo, one schema per directory named by its path relative to
    // suiteRoot (the absolute path when the directory lies outside it). An empty conninfo
    // returns to SQLite files. Databases already connected keep their backend.
    static void UseServer(const QString &conninfo, const QString &suiteRoot = {});
    static QString Server();
    // The name a directory has on the server: its path relative to the suite root given to
    // UseServer, the absolute path when it lies outside.
    static QString ServerDirectoryName(const QString &directory);

    TTdbDatabase();
    ~TTdbDatabase();
    TTdbDatabase(const TTdbDatabase &) = delete;
    TTdbDatabase &operator=(const TTdbDatabase &) = delete;

    // Settings, to be made before Connect. Exclusive, CaseSensitive and the sharing-mode byte
    // are kept for the callers' sake; the engine always shares and always compares exactly.
    QString DatabaseName() const { return m_name; }
    void SetDatabaseName(const QString &name) { m_name = name; }
    bool AutoDatabaseName() const { return m_autoName; }
    void SetAutoDatabaseName(bool value);
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool value) { m_caseSensitive = value; }
    bool Exclusive() const { return m_exclusive; }
    void SetExclusive(bool value) { m_exclusive = value; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value) { m_readOnly = value; }
    int DatabaseType() const { return m_type; }
    void SetDatabaseType(int type);
    // Directory (a trailing separator is optional) or, for type 1, the database file.
    QString Location() const { return m_location; }
    void SetLocation(const QString &location);
    int SharingMode() const { return m_sharingMode; }
    void SetSharingMode(int value) { m_sharingMode = value; }
    // How long a write waits for another process before it fails (milliseconds).
    int BusyTimeout() const { return m_busyTimeout; }
    void SetBusyTimeout(int ms) { m_busyTimeout = ms; }

    // Type 1: creates the database file (with no tables). Throws when it exists already.
    void CreateDatabase();
    void Connect();
    void Disconnect(); // closes every open table of the database first
    bool Connected() const { return m_connected; }

    // Directory: the base names of the .DAT files; single file: the tables in it.
    void GetTableNames(QStringList &names) const;
    QStringList TableNames() const;

    // Drops what every open table has buffered, so the next read sees other users' changes.
    void RefreshDataSets();

    // Gives the named tables one connection: the first table's file with the files of the
    // others attached. A transaction then spans them all and commits or rolls back as one,
    // also across a crash, where each table file otherwise commits on its own. Directory
    // databases only; before any of the tables is opened. Every process must join the same
    // tables in the same order, so that writers take the files' locks in one order.
    void JoinTables(const QStringList &tables);
    QStringList JoinedTables() const { return m_joined; }

    // A transaction over every table file of the database, for bulk loops; nests. For joined
    // tables it is one SQLite transaction.
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    // Engine internals for the tables of this database.
    // The server connection of a directory database on the server, else null.
    std::shared_ptr<PgConnection> serverConnection();
    QString serverSchema() const { return m_schema; }
    bool onServer() const;
    QString tableFilePath(const QString &tableName) const;
    std::shared_ptr<SqliteConnection> connectionFor(const QString &tableName, bool create);
    void registerTable(TTdbTable *table);
    void unregisterTable(TTdbTable *table);

private:
    QString m_name;
    bool m_autoName = false;
    bool m_caseSensitive = true;
    bool m_exclusive = false;
    bool m_readOnly = false;
    int m_type = Directory;
    QString m_location;
    int m_sharingMode = 1;
    int m_busyTimeout = 10000;
    bool m_connected = false;
    int m_transactionDepth = 0;
    // One connection per file, shared by the tables of this database that live in it, so
    // that a table lock or transaction of one table object never blocks another one of ours.
    QHash<QString, std::weak_ptr<SqliteConnection>> m_connections;
    QList<std::shared_ptr<SqliteConnection>> m_inTransaction;
    QStringList m_joined; // upper-case table names, the first one's file is the main one
    std::weak_ptr<SqliteConnection> m_joint;
    std::shared_ptr<SqliteConnection> jointConnection();
    QList<TTdbTable *> m_tables;
    // On the server: one connection for every table of the database, so that a transaction
    // or table lock spans them all, as joined tables do on SQLite.
    std::shared_ptr<PgConnection> m_pg;
    QString m_schema;
};
