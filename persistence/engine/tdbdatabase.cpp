#include "persistence/engine/tdbdatabase.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbtable.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{
int g_autoNameCounter = 0;
QString g_server;
QString g_suiteRoot;
const auto kTableSuffix = u".DAT"_s;
} // namespace

TTdbDatabase::TTdbDatabase() = default;

void TTdbDatabase::UseServer(const QString &conninfo, const QString &suiteRoot)
{
    g_server = conninfo;
    g_suiteRoot = suiteRoot;
}

QString TTdbDatabase::Server()
{
    return g_server;
}

QString TTdbDatabase::ServerDirectoryName(const QString &directory)
{
    const QString dir = QFileInfo(directory).canonicalFilePath();
    if (!g_suiteRoot.isEmpty()) {
        const QString root = QFileInfo(g_suiteRoot).canonicalFilePath();
        if (dir.startsWith(root + u'/'))
            return dir.mid(root.size() + 1);
    }
    return dir;
}

bool TTdbDatabase::onServer() const
{
    return m_connected ? bool(m_pg) : (m_type == Directory && !g_server.isEmpty());
}

std::shared_ptr<PgConnection> TTdbDatabase::serverConnection()
{
    if (!m_connected)
        Connect();
    return m_pg;
}

TTdbDatabase::~TTdbDatabase()
{
    Disconnect();
    for (TTdbTable *table : std::as_const(m_tables))
        table->m_database = nullptr;
}

void TTdbDatabase::SetAutoDatabaseName(bool value)
{
    m_autoName = value;
    if (value && m_name.isEmpty())
        m_name = u"TDBDB%1"_s.arg(++g_autoNameCounter);
}

void TTdbDatabase::SetDatabaseType(int type)
{
    if (type != Directory && type != SingleFile)
        throw EngineError(u"Unknown database type %1"_s.arg(type));
    if (m_connected)
        throw EngineError(u"Cannot change the type of a connected database"_s);
    m_type = type;
}

void TTdbDatabase::SetLocation(const QString &location)
{
    if (m_connected)
        throw EngineError(u"Cannot move a connected database"_s);
    // The suite writes Windows paths with backslashes; on this side they are separators.
    QString path = location;
    path.replace(u'\\', u'/');
    m_location = path;
}

QString TTdbDatabase::tableFilePath(const QString &tableName) const
{
    if (m_type == SingleFile)
        return m_location;
    QString dir = m_location;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    // Upper case so that "Lager" and "LAGER" name one file on case-sensitive file systems too;
    // a table copied in from elsewhere under another spelling ("lager.dat") is still found.
    const QString upper = tableName.toUpper() + kTableSuffix;
    if (QFileInfo::exists(dir + upper))
        return dir + upper;
    const QStringList files = QDir(dir).entryList(QDir::Files);
    for (const QString &file : files) {
        if (file.compare(upper, Qt::CaseInsensitive) == 0)
            return dir + file;
    }
    return dir + upper;
}

void TTdbDatabase::CreateDatabase()
{
    if (m_type != SingleFile)
        throw EngineError(u"CreateDatabase needs a single-file database"_s);
    if (m_location.isEmpty())
        throw EngineError(u"Database without location"_s);
    if (QFileInfo::exists(m_location))
        throw EngineError(u"Database file exists already: %1"_s.arg(m_location));
    SqliteConnection conn(m_location, true, false, m_busyTimeout);
    conn.exec(u"CREATE TABLE IF NOT EXISTS tdb_fields(tbl TEXT NOT NULL, pos INTEGER NOT NULL, "
              "name TEXT NOT NULL, type INTEGER NOT NULL, size INTEGER NOT NULL, "
              "required INTEGER NOT NULL, precision INTEGER NOT NULL, PRIMARY KEY(tbl, pos))"_s);
}

void TTdbDatabase::Connect()
{
    if (m_connected)
        return;
    if (m_location.isEmpty())
        throw EngineError(u"Database without location"_s);
    if (m_type == Directory) {
        if (!QFileInfo(m_location).isDir())
            throw EngineError(u"Database directory does not exist: %1"_s.arg(m_location));
    } else if (!QFileInfo::exists(m_location)) {
        throw EngineError(u"Database file does not exist: %1"_s.arg(m_location));
    }
    if (m_type == Directory && !g_server.isEmpty()) {
        // The directory stays: INI files, word indexes and pictures keep living in it.
        auto pg = std::make_shared<PgConnection>(g_server);
        pg->setLockTimeout(m_busyTimeout);
        m_schema = pgSchemaFor(*pg, ServerDirectoryName(m_location));
        m_pg = std::move(pg);
    }
    m_connected = true;
}

void TTdbDatabase::Disconnect()
{
    if (!m_connected)
        return;
    for (TTdbTable *table : std::as_const(m_tables))
        table->Close();
    while (!m_inTransaction.isEmpty())
        m_inTransaction.takeLast()->rollback();
    m_transactionDepth = 0;
    m_connections.clear();
    m_joint.reset();
    if (m_pg)
        m_pg->rollback();
    m_pg.reset();
    m_connected = false;
}

void TTdbDatabase::GetTableNames(QStringList &names) const
{
    names.clear();
    if (onServer()) {
        if (m_pg) {
            names = PgTable::tableNames(*m_pg, m_schema);
        } else {
            TTdbDatabase probe;
            probe.SetLocation(m_location);
            probe.Connect();
            names = PgTable::tableNames(*probe.m_pg, probe.m_schema);
        }
        return;
    }
    if (m_type == Directory) {
        const QDir dir(m_location);
        const QStringList files = dir.entryList(QDir::Files);
        for (const QString &file : files) {
            if (file.endsWith(kTableSuffix, Qt::CaseInsensitive))
                names.append(file.left(file.size() - kTableSuffix.size()));
        }
        return;
    }
    if (!QFileInfo::exists(m_location))
        return;
    SqliteConnection conn(m_location, false, true, m_busyTimeout);
    sqlite3_stmt *stmt = conn.prepare(u"SELECT DISTINCT tbl FROM tdb_fields ORDER BY tbl"_s);
    while (conn.step(stmt) == SQLITE_ROW)
        names.append(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))));
    sqlite3_reset(stmt);
}

QStringList TTdbDatabase::TableNames() const
{
    QStringList names;
    GetTableNames(names);
    return names;
}

void TTdbDatabase::JoinTables(const QStringList &tables)
{
    if (m_type != Directory)
        throw EngineError(u"Only the tables of a directory database can be joined"_s);
    QStringList upper;
    for (const QString &table : tables) {
        for (const TTdbTable *open : std::as_const(m_tables)) {
            if (open->Active() && open->TableName().compare(table, Qt::CaseInsensitive) == 0)
                throw EngineError(u"Table %1 is open already and cannot be joined"_s.arg(table));
        }
        if (!m_connections.value(QFileInfo(tableFilePath(table)).absoluteFilePath()).expired())
            throw EngineError(u"Table %1 is open already and cannot be joined"_s.arg(table));
        upper.append(table.toUpper());
    }
    m_joined = upper;
    m_joint.reset();
}

std::shared_ptr<SqliteConnection> TTdbDatabase::jointConnection()
{
    if (auto existing = m_joint.lock())
        return existing;
    auto conn = std::make_shared<SqliteConnection>(tableFilePath(m_joined.first()), !m_readOnly,
                                                   m_readOnly, m_busyTimeout);
    m_connections.insert(QFileInfo(conn->path()).absoluteFilePath(), conn);
    for (qsizetype i = 1; i < m_joined.size(); ++i) {
        const QString path = tableFilePath(m_joined[i]);
        // Attaching creates a missing file, which a reader must not do; its table then
        // stays unopenable, as it would be alone.
        if (m_readOnly && !QFileInfo::exists(path))
            continue;
        conn->attach(path, u"t%1"_s.arg(i), {m_joined[i]});
        m_connections.insert(QFileInfo(path).absoluteFilePath(), conn);
    }
    m_joint = conn;
    if (m_transactionDepth > 0) {
        conn->begin();
        m_inTransaction.append(conn);
    }
    return conn;
}

std::shared_ptr<SqliteConnection> TTdbDatabase::connectionFor(const QString &tableName, bool create)
{
    if (!m_connected)
        Connect();
    if (m_joined.contains(tableName.toUpper()))
        return jointConnection();
    const QString path = tableFilePath(tableName);
    const QString key = QFileInfo(path).absoluteFilePath();
    if (auto existing = m_connections.value(key).lock())
        return existing;
    auto conn = std::make_shared<SqliteConnection>(path, create, m_readOnly, m_busyTimeout);
    m_connections.insert(key, conn);
    if (m_transactionDepth > 0) {
        conn->begin();
        m_inTransaction.append(conn);
    }
    return conn;
}

void TTdbDatabase::registerTable(TTdbTable *table)
{
    if (!m_tables.contains(table))
        m_tables.append(table);
}

void TTdbDatabase::unregisterTable(TTdbTable *table)
{
    m_tables.removeAll(table);
}

void TTdbDatabase::RefreshDataSets()
{
    for (TTdbTable *table : std::as_const(m_tables)) {
        if (table->Active() && table->State() == DataSetState::Browse)
            table->Refresh();
    }
}

void TTdbDatabase::StartTransaction()
{
    if (m_transactionDepth++ > 0)
        return;
    if (m_pg) {
        m_pg->begin();
        // As a transaction over the SQLite files holds each file's write lock: other writers
        // of the open tables wait, in one order for everyone.
        QStringList open;
        for (const TTdbTable *table : std::as_const(m_tables)) {
            if (table->Active())
                open.append(PgTable(*m_pg, m_schema, table->TableName()).sqlTable());
        }
        open.sort();
        open.removeDuplicates();
        try {
            if (!open.isEmpty())
                m_pg->exec(u"LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE"_s.arg(open.join(u", "_s)));
        } catch (...) {
            Rollback();
            throw;
        }
        return;
    }
    try {
        for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
            // A joined connection stands under each of its files' names; it begins once.
            if (auto conn = it.value().lock(); conn && !m_inTransaction.contains(conn)) {
                conn->begin();
                m_inTransaction.append(conn);
            }
        }
    } catch (...) {
        Rollback();
        throw;
    }
}

void TTdbDatabase::Commit()
{
    if (m_transactionDepth == 0)
        throw EngineError(u"Commit without transaction"_s);
    if (--m_transactionDepth > 0)
        return;
    if (m_pg) {
        m_pg->commit();
        return;
    }
    const auto conns = std::exchange(m_inTransaction, {});
    for (const auto &conn : conns)
        conn->commit();
}

void TTdbDatabase::Rollback()
{
    m_transactionDepth = 0;
    const auto conns = std::exchange(m_inTransaction, {});
    for (const auto &conn : conns)
        conn->rollback();
    if (m_pg) {
        m_pg->rollback();
        m_pg->noteWrite();
    }
    for (TTdbTable *table : std::as_const(m_tables)) {
        if (table->Active())
            table->invalidateBuffer();
    }
}

bool TTdbDatabase::InTransaction() const
{
    return m_transactionDepth > 0;
}
