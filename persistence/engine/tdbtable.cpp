#include "persistence/engine/tdbtable.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/filterparser.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbdatabase.h"

#include <QFileInfo>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kFirstBatch = 8;
constexpr int kMaxBatch = 512;

const auto kFieldsTable = u"tdb_fields"_s;
const auto kIndexesTable = u"tdb_indexes"_s;

QString affinity(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
    case FieldType::Byte:
    case FieldType::Boolean:
        return u"INTEGER NOT NULL DEFAULT 0"_s;
    case FieldType::Float:
    case FieldType::DateTime:
        return u"REAL NOT NULL DEFAULT 0"_s;
    case FieldType::Blob:
        return u"BLOB NOT NULL DEFAULT x''"_s;
    default:
        return u"TEXT NOT NULL DEFAULT ''"_s;
    }
}

// The engine stores no NULLs: an unassigned column holds the empty value of its type. Rows
// are written with columns nobody sets (a required text left empty counts as given), and
// keyset paging compares index values, which NULLs would make unordered.
QVariant emptyValue(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
    case FieldType::Byte:
        return 0;
    case FieldType::Boolean:
        return false;
    case FieldType::Float:
    case FieldType::DateTime:
        return 0.0;
    case FieldType::Blob:
        return QByteArray();
    default:
        return QString();
    }
}

QString emptyLiteral(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
    case FieldType::Byte:
    case FieldType::Boolean:
    case FieldType::Float:
    case FieldType::DateTime:
        return u"0"_s;
    case FieldType::Blob:
        return u"x''"_s;
    default:
        return u"''"_s;
    }
}

// The expression that carries an old column's value into a rebuilt column of another type.
QString convertExpr(const QString &column, const TFieldDef &to)
{
    QString e;
    switch (to.type) {
    case FieldType::String:
    case FieldType::WideString:
        e = u"CAST(%1 AS TEXT)"_s.arg(column);
        if (to.size > 0)
            e = u"substr(%1, 1, %2)"_s.arg(e).arg(to.size);
        break;
    case FieldType::Memo:
    case FieldType::WideMemo:
        e = u"CAST(%1 AS TEXT)"_s.arg(column);
        break;
    case FieldType::Integer:
        e = u"CAST(%1 AS INTEGER)"_s.arg(column);
        break;
    case FieldType::Byte:
        e = u"min(max(CAST(%1 AS INTEGER), 0), 255)"_s.arg(column);
        break;
    case FieldType::Boolean:
        e = u"(CAST(%1 AS REAL) <> 0)"_s.arg(column);
        break;
    case FieldType::Float:
        e = to.precision > 0 ? u"round(CAST(%1 AS REAL), %2)"_s.arg(column).arg(to.precision)
                             : u"CAST(%1 AS REAL)"_s.arg(column);
        break;
    case FieldType::DateTime:
        e = u"CAST(%1 AS REAL)"_s.arg(column);
        break;
    case FieldType::Blob:
        e = u"CAST(%1 AS BLOB)"_s.arg(column);
        break;
    }
    return u"coalesce(%1, %2)"_s.arg(e, emptyLiteral(to.type));
}

QVariant readColumn(sqlite3_stmt *stmt, int col, FieldType type)
{
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_NULL:
        return QVariant();
    default:
        break;
    }
    switch (type) {
    case FieldType::Integer:
    case FieldType::Byte:
        return int(sqlite3_column_int64(stmt, col));
    case FieldType::Boolean:
        return sqlite3_column_int64(stmt, col) != 0;
    case FieldType::Float:
    case FieldType::DateTime:
        return sqlite3_column_double(stmt, col);
    case FieldType::Blob: {
        const void *data = sqlite3_column_blob(stmt, col);
        return QByteArray(static_cast<const char *>(data), sqlite3_column_bytes(stmt, col));
    }
    default: {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt, col));
    }
    }
}

QString sqliteIndexName(const QString &table, const QString &index)
{
    return sqlName(table.toUpper() + u'$' + index.toUpper());
}

// Statement holder that resets on scope exit, so no read lock outlives the call.
struct StmtGuard {
    sqlite3_stmt *stmt;
    ~StmtGuard() { sqlite3_reset(stmt); }
};

} // namespace

TTdbTable::TTdbTable(TTdbDatabase *database)
{
    SetDatabase(database);
}

TTdbTable::~TTdbTable()
{
    try {
        Close();
    } catch (...) {
    }
    if (m_database)
        m_database->unregisterTable(this);
}

void TTdbTable::SetDatabase(TTdbDatabase *database)
{
    if (Active())
        throw EngineError(u"Cannot move an open table to another database"_s);
    if (m_database)
        m_database->unregisterTable(this);
    m_database = database;
    if (m_database) {
        m_database->registerTable(this);
        m_databaseName = m_database->DatabaseName();
    }
}

void TTdbTable::SetTableName(const QString &name)
{
    if (Active())
        throw EngineError(u"Cannot rename an open table"_s);
    m_tableName = name;
}

QString TTdbTable::FileName() const
{
    return m_database ? m_database->tableFilePath(m_tableName) : QString();
}

SqliteConnection &TTdbTable::conn() const
{
    return *m_conn;
}

void TTdbTable::requireActive(const char *operation) const
{
    if (!Active())
        throw EngineError(
            u"%1: table %2 is not open"_s.arg(QLatin1StringView(operation), m_tableName));
}

void TTdbTable::requireBrowse(const char *operation) const
{
    requireActive(operation);
    if (m_state != DataSetState::Browse)
        throw EngineError(
            u"%1: table %2 is being edited"_s.arg(QLatin1StringView(operation), m_tableName));
}

// ---- definitions -----------------------------------------------------------------------

namespace
{

std::shared_ptr<SqliteConnection> connectionOf(TTdbDatabase *db, const QString &table, bool create)
{
    if (!db)
        throw EngineError(u"Table %1 has no database"_s.arg(table));
    if (table.trimmed().isEmpty())
        throw EngineError(u"Table without name"_s);
    return db->connectionFor(table, create);
}

bool sqliteTableExists(SqliteConnection &c, const QString &name)
{
    sqlite3_stmt *stmt =
        c.prepare(u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"_s);
    StmtGuard guard{stmt};
    SqliteConnection::bind(stmt, 1, name);
    return c.step(stmt) == SQLITE_ROW;
}

} // namespace

bool TTdbTable::Exists() const
{
    if (!m_database || m_tableName.trimmed().isEmpty())
        return false;
    if (!QFileInfo::exists(FileName()))
        return false;
    auto c = connectionOf(m_database, m_tableName, false);
    return sqliteTableExists(*c, kFieldsTable) && sqliteTableExists(*c, m_tableName.toUpper());
}

void TTdbTable::ReadDefinitions()
{
    auto c = m_conn ? m_conn : connectionOf(m_database, m_tableName, false);
    if (!sqliteTableExists(*c, kFieldsTable) || !sqliteTableExists(*c, m_tableName.toUpper()))
        throw EngineError(u"Table %1 does not exist"_s.arg(m_tableName));
    TFieldDefs fields;
    {
        sqlite3_stmt *stmt = c->prepare(u"SELECT name, type, size, required, precision FROM "
                                        "tdb_fields WHERE tbl = ?1 ORDER BY pos"_s);
        StmtGuard guard{stmt};
        SqliteConnection::bind(stmt, 1, m_tableName.toUpper());
        while (c->step(stmt) == SQLITE_ROW) {
            const QString name = readColumn(stmt, 0, FieldType::WideString).toString();
            const int type = sqlite3_column_int(stmt, 1);
            if (!isValidFieldType(type))
                throw EngineError(u"Table %1: unknown type %2 of field %3"_s.arg(m_tableName)
                                      .arg(type)
                                      .arg(name));
            TFieldDef &def = fields.Add(name, FieldType(type), sqlite3_column_int(stmt, 2),
                                        sqlite3_column_int(stmt, 3) != 0);
            def.precision = sqlite3_column_int(stmt, 4);
        }
    }
    TIndexDefs indexes;
    if (sqliteTableExists(*c, kIndexesTable)) {
        sqlite3_stmt *stmt = c->prepare(
            u"SELECT name, fields, options FROM tdb_indexes WHERE tbl = ?1 ORDER BY rowid"_s);
        StmtGuard guard{stmt};
        SqliteConnection::bind(stmt, 1, m_tableName.toUpper());
        while (c->step(stmt) == SQLITE_ROW)
            indexes.Add(readColumn(stmt, 0, FieldType::WideString).toString(),
                        readColumn(stmt, 1, FieldType::WideString).toString(),
                        sqlite3_column_int(stmt, 2));
    }
    m_fieldDefs = fields;
    m_indexDefs = indexes;
}

void TTdbTable::writeDefinitions(SqliteConnection &c, const QString &table)
{
    c.exec(u"CREATE TABLE IF NOT EXISTS tdb_fields(tbl TEXT NOT NULL, pos INTEGER NOT NULL, "
           "name TEXT NOT NULL, type INTEGER NOT NULL, size INTEGER NOT NULL, "
           "required INTEGER NOT NULL, precision INTEGER NOT NULL, PRIMARY KEY(tbl, pos))"_s);
    c.exec(u"CREATE TABLE IF NOT EXISTS tdb_indexes(tbl TEXT NOT NULL, name TEXT NOT NULL, "
           "fields TEXT NOT NULL, options INTEGER NOT NULL)"_s);
    for (const QString &meta : {kFieldsTable, kIndexesTable}) {
        sqlite3_stmt *stmt = c.prepare(u"DELETE FROM %1 WHERE tbl = ?1"_s.arg(meta));
        SqliteConnection::bind(stmt, 1, table);
        c.step(stmt);
    }
    sqlite3_stmt *stmt = c.prepare(u"INSERT INTO tdb_fields(tbl, pos, name, type, size, "
                                   "required, precision) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"_s);
    for (int i = 0; i < m_fieldDefs.Count(); ++i) {
        const TFieldDef &d = m_fieldDefs[i];
        sqlite3_reset(stmt);
        SqliteConnection::bind(stmt, 1, table);
        SqliteConnection::bind(stmt, 2, i);
        SqliteConnection::bind(stmt, 3, d.name);
        SqliteConnection::bind(stmt, 4, int(d.type));
        SqliteConnection::bind(stmt, 5, d.size);
        SqliteConnection::bind(stmt, 6, d.required ? 1 : 0);
        SqliteConnection::bind(stmt, 7, d.precision);
        c.step(stmt);
    }
    sqlite3_reset(stmt);
    stmt = c.prepare(u"INSERT INTO tdb_indexes(tbl, name, fields, options) "
                     "VALUES (?1, ?2, ?3, ?4)"_s);
    for (const TIndexDef &d : m_indexDefs.list()) {
        sqlite3_reset(stmt);
        SqliteConnection::bind(stmt, 1, table);
        SqliteConnection::bind(stmt, 2, d.name);
        SqliteConnection::bind(stmt, 3, d.FieldList().join(u';'));
        SqliteConnection::bind(stmt, 4, d.options);
        c.step(stmt);
    }
    sqlite3_reset(stmt);
}

void TTdbTable::createIndexSql(SqliteConnection &c, const TIndexDef &def)
{
    const QStringList names = def.FieldList();
    if (names.isEmpty())
        throw EngineError(u"Index %1 of table %2 has no fields"_s.arg(def.name, m_tableName));
    QStringList cols;
    for (const QString &name : names) {
        const int pos = m_fieldDefs.IndexOf(name);
        if (pos < 0)
            throw EngineError(
                u"Index %1 of table %2: unknown field %3"_s.arg(def.name, m_tableName, name));
        QString col = sqlName(m_fieldDefs[pos].name);
        if ((def.options & ixCaseInsensitive) && isTextType(m_fieldDefs[pos].type))
            col += u" COLLATE NOCASE"_s;
        cols.append(col);
    }
    c.exec(u"CREATE %1INDEX %2 ON %3 (%4)"_s.arg(
        (def.options & ixUnique) ? u"UNIQUE "_s : QString(), sqliteIndexName(m_tableName, def.name),
        sqlName(m_tableName.toUpper()), cols.join(u", "_s)));
}

void TTdbTable::CreateTable()
{
    if (Active())
        throw EngineError(u"Cannot create the open table %1"_s.arg(m_tableName));
    if (m_fieldDefs.Count() == 0)
        throw EngineError(u"Table %1 has no field definitions"_s.arg(m_tableName));
    if (Exists())
        throw EngineError(u"Table %1 exists already"_s.arg(m_tableName));
    auto c = connectionOf(m_database, m_tableName, true);
    const QString table = m_tableName.toUpper();
    c->begin();
    try {
        QStringList cols;
        for (const TFieldDef &d : m_fieldDefs.list())
            cols.append(sqlName(d.name) + u' ' + affinity(d.type));
        c->exec(u"CREATE TABLE %1 (%2)"_s.arg(sqlName(table), cols.join(u", "_s)));
        for (const TIndexDef &d : m_indexDefs.list())
            createIndexSql(*c, d);
        writeDefinitions(*c, table);
        c->noteWrite();
        c->commit();
    } catch (...) {
        c->rollback();
        throw;
    }
}

void TTdbTable::DeleteTable()
{
    if (Active())
        Close();
    if (!Exists())
        return;
    auto c = connectionOf(m_database, m_tableName, false);
    const QString table = m_tableName.toUpper();
    c->begin();
    try {
        c->exec(u"DROP TABLE %1"_s.arg(sqlName(table)));
        for (const QString &meta : {kFieldsTable, kIndexesTable}) {
            sqlite3_stmt *stmt = c->prepare(u"DELETE FROM %1 WHERE tbl = ?1"_s.arg(meta));
            SqliteConnection::bind(stmt, 1, table);
            c->step(stmt);
        }
        c->noteWrite();
        c->commit();
    } catch (...) {
        c->rollback();
        throw;
    }
}

void TTdbTable::EmptyTable()
{
    auto c = m_conn ? m_conn : connectionOf(m_database, m_tableName, false);
    c->exec(u"DELETE FROM %1"_s.arg(sqlName(m_tableName.toUpper())));
    c->noteWrite();
    if (Active()) {
        clearCurrent();
        m_eof = m_bof = true;
    }
}

void TTdbTable::AlterTable()
{
    if (m_fieldDefs.Count() == 0)
        throw EngineError(u"AlterTable: table %1 has no field definitions"_s.arg(m_tableName));
    const bool wasActive = Active();
    if (wasActive && m_state != DataSetState::Browse)
        Cancel();
    const bool hadRow = wasActive && m_hasRow;
    const qint64 rowid = m_current.rowid;

    auto c = m_conn ? m_conn : connectionOf(m_database, m_tableName, false);
    const QString table = m_tableName.toUpper();
    const QString temp = table + u"$REBUILD"_s;
    // The new definitions; the stored ones say what the rows hold now.
    const TFieldDefs wanted = m_fieldDefs;
    const TIndexDefs wantedIndexes = m_indexDefs;
    TTdbTable stored(m_database);
    stored.m_tableName = m_tableName;
    stored.m_conn = c;
    stored.ReadDefinitions();
    stored.m_conn.reset();

    // Indexes on columns that are gone would make the rebuild fail half-way; check first.
    for (const TIndexDef &d : wantedIndexes.list()) {
        for (const QString &name : d.FieldList()) {
            if (!wanted.Contains(name))
                throw EngineError(
                    u"AlterTable: index %1 of table %2 names the missing field %3"_s.arg(
                        d.name, m_tableName, name));
        }
    }

    if (wasActive) {
        m_window.clear();
        m_windowPos = -1;
    }
    c->begin();
    try {
        QStringList cols;
        QStringList targets{u"rowid"_s};
        QStringList sources{u"rowid"_s};
        for (const TFieldDef &d : wanted.list()) {
            cols.append(sqlName(d.name) + u' ' + affinity(d.type));
            targets.append(sqlName(d.name));
            const int old = stored.m_fieldDefs.IndexOf(d.name);
            sources.append(old >= 0 ? convertExpr(sqlName(stored.m_fieldDefs[old].name), d)
                                    : emptyLiteral(d.type));
        }
        c->exec(u"DROP TABLE IF EXISTS %1"_s.arg(sqlName(temp)));
        c->exec(u"CREATE TABLE %1 (%2)"_s.arg(sqlName(temp), cols.join(u", "_s)));
        c->exec(u"INSERT INTO %1 (%2) SELECT %3 FROM %4"_s.arg(
            sqlName(temp), targets.join(u", "_s), sources.join(u", "_s), sqlName(table)));
        c->exec(u"DROP TABLE %1"_s.arg(sqlName(table)));
        c->exec(u"ALTER TABLE %1 RENAME TO %2"_s.arg(sqlName(temp), sqlName(table)));
        for (const TIndexDef &d : wantedIndexes.list())
            createIndexSql(*c, d);
        writeDefinitions(*c, table);
        c->noteWrite();
        c->commit();
    } catch (...) {
        c->rollback();
        throw;
    }
    // Old statements name the old columns.
    c->clearStatementCache();
    if (wasActive) {
        buildFields();
        prepareCursorSql();
        if (hadRow) {
            sqlite3_stmt *stmt = c->prepare(
                u"SELECT %1 FROM %2 WHERE rowid = ?1"_s.arg(m_selectList, sqlName(table)));
            StmtGuard guard{stmt};
            SqliteConnection::bind(stmt, 1, rowid);
            if (c->step(stmt) == SQLITE_ROW) {
                Row row;
                row.rowid = sqlite3_column_int64(stmt, 0);
                row.values.reserve(FieldCount());
                for (int i = 0; i < FieldCount(); ++i)
                    row.values.append(readColumn(stmt, i + 1, m_fieldDefs[i].type));
                setCurrent(row);
                m_recNo = 0;
            } else {
                First();
            }
        }
    }
}

void TTdbTable::AddIndex(const QString &name, const QString &fields, IndexOptions options)
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        throw EngineError(u"AddIndex: table %1 is being edited"_s.arg(m_tableName));
    auto c = m_conn ? m_conn : connectionOf(m_database, m_tableName, false);
    if (!Active())
        ReadDefinitions();
    if (m_indexDefs.IndexOf(name) >= 0)
        throw EngineError(u"Index %1 of table %2 exists already"_s.arg(name, m_tableName));
    const TIndexDef def{name, fields, options};
    c->begin();
    try {
        createIndexSql(*c, def);
        sqlite3_stmt *stmt = c->prepare(u"INSERT INTO tdb_indexes(tbl, name, fields, options) "
                                        "VALUES (?1, ?2, ?3, ?4)"_s);
        SqliteConnection::bind(stmt, 1, m_tableName.toUpper());
        SqliteConnection::bind(stmt, 2, name);
        SqliteConnection::bind(stmt, 3, def.FieldList().join(u';'));
        SqliteConnection::bind(stmt, 4, options);
        c->step(stmt);
        c->noteWrite();
        c->commit();
    } catch (...) {
        c->rollback();
        throw;
    }
    m_indexDefs.Add(name, fields, options);
}

void TTdbTable::DeleteIndex(const QString &name)
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        throw EngineError(u"DeleteIndex: table %1 is being edited"_s.arg(m_tableName));
    auto c = m_conn ? m_conn : connectionOf(m_database, m_tableName, false);
    if (!Active())
        ReadDefinitions();
    const int pos = m_indexDefs.IndexOf(name);
    if (pos < 0)
        throw EngineError(u"Table %1 has no index %2"_s.arg(m_tableName, name));
    c->begin();
    try {
        c->exec(u"DROP INDEX IF EXISTS %1"_s.arg(sqliteIndexName(m_tableName, name)));
        sqlite3_stmt *stmt =
            c->prepare(u"DELETE FROM tdb_indexes WHERE tbl = ?1 AND name = ?2 COLLATE NOCASE"_s);
        SqliteConnection::bind(stmt, 1, m_tableName.toUpper());
        SqliteConnection::bind(stmt, 2, name);
        c->step(stmt);
        c->noteWrite();
        c->commit();
    } catch (...) {
        c->rollback();
        throw;
    }
    m_indexDefs.Delete(pos);
    if (Active() && m_indexName.compare(name, Qt::CaseInsensitive) == 0)
        SetIndexName(QString());
}

// ---- open and close --------------------------------------------------------------------

void TTdbTable::Open()
{
    if (Active())
        return;
    m_conn = connectionOf(m_database, m_tableName, false);
    try {
        ReadDefinitions();
        buildFields();
        if (!m_indexName.isEmpty() && m_indexDefs.IndexOf(m_indexName) < 0)
            throw EngineError(u"Table %1 has no index %2"_s.arg(m_tableName, m_indexName));
        prepareCursorSql();
        m_filter.reset();
        if (!m_filterText.trimmed().isEmpty())
            m_filter =
                std::make_unique<CompiledFilter>(FilterParser(m_fieldDefs).parse(m_filterText));
    } catch (...) {
        m_conn.reset();
        m_fields.clear();
        throw;
    }
    m_state = DataSetState::Browse;
    m_tableLocks = 0;
    m_transactions = 0;
    First();
}

void TTdbTable::Close()
{
    if (!Active())
        return;
    m_edit.clear();
    if ((m_tableLocks > 0 || m_transactions > 0) && m_conn) {
        // A lock or transaction still held by this table ends with it; what it wrote is
        // given up rather than half-committed.
        m_conn->rollback();
    }
    m_tableLocks = 0;
    m_transactions = 0;
    m_state = DataSetState::Inactive;
    clearCurrent();
    m_eof = m_bof = true;
    m_fields.clear();
    m_filter.reset();
    m_conn.reset();
}

void TTdbTable::buildFields()
{
    m_fields.clear();
    m_fieldIndex.clear();
    for (int i = 0; i < m_fieldDefs.Count(); ++i) {
        m_fields.push_back(std::make_unique<TField>(this, i, m_fieldDefs[i]));
        m_fieldIndex.insert(m_fieldDefs[i].name, i);
    }
    QStringList cols{u"rowid"_s};
    for (const TFieldDef &d : m_fieldDefs.list())
        cols.append(sqlName(d.name));
    m_selectList = cols.join(u", "_s);
    QStringList params;
    for (int i = 0; i < m_fieldDefs.Count(); ++i)
        params.append(u"?%1"_s.arg(i + 1));
    m_insertSql = u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
        sqlName(m_tableName.toUpper()), cols.mid(1).join(u", "_s), params.join(u", "_s));
}

void TTdbTable::prepareCursorSql()
{
    m_keyColumns.clear();
    m_keyNoCase = false;
    QStringList keyExprs;
    if (!m_indexName.isEmpty()) {
        const int pos = m_indexDefs.IndexOf(m_indexName);
        if (pos < 0)
            throw EngineError(u"Table %1 has no index %2"_s.arg(m_tableName, m_indexName));
        const TIndexDef &def = m_indexDefs[pos];
        m_keyNoCase = (def.options & ixCaseInsensitive) != 0;
        for (const QString &name : def.FieldList()) {
            const int col = m_fieldDefs.IndexOf(name);
            if (col < 0)
                throw EngineError(
                    u"Index %1 of table %2: unknown field %3"_s.arg(def.name, m_tableName, name));
            m_keyColumns.append(col);
            QString e = sqlName(m_fieldDefs[col].name);
            if (m_keyNoCase && isTextType(m_fieldDefs[col].type))
                e += u" COLLATE NOCASE"_s;
            keyExprs.append(e);
        }
    }
    m_keyExprs = keyExprs;
    QStringList asc;
    QStringList desc;
    for (const QString &e : keyExprs) {
        asc.append(e);
        desc.append(e + u" DESC"_s);
    }
    asc.append(u"rowid"_s);
    desc.append(u"rowid DESC"_s);
    m_orderAsc = asc.join(u", "_s);
    m_orderDesc = desc.join(u", "_s);
    keyExprs.append(u"rowid"_s);
    m_keyTuple = u'(' + keyExprs.join(u", "_s) + u')';
}

// ---- cursor ----------------------------------------------------------------------------

void TTdbTable::invalidateBuffer()
{
    m_window.clear();
    m_windowPos = -1;
}

void TTdbTable::clearCurrent()
{
    m_hasRow = false;
    m_current = Row();
    m_recNo = 0;
    invalidateBuffer();
}

void TTdbTable::setCurrent(const Row &row)
{
    m_current = row;
    m_hasRow = true;
}

QString TTdbTable::whereClause(bool includeFilter) const
{
    if (includeFilter && m_filtered && m_filter)
        return u'(' + m_filter->sql + u')';
    return QString();
}

int TTdbTable::fetch(bool forward, const Row *from, bool inclusive, int limit, QList<Row> &out,
                     const CompiledFilter *extra, int offset)
{
    out.clear();
    QStringList conds;
    if (from) {
        const QString op =
            forward ? (inclusive ? u">="_s : u">"_s) : (inclusive ? u"<="_s : u"<"_s);
        QStringList params;
        for (int i = 0; i <= m_keyColumns.size(); ++i)
            params.append(u"?"_s);
        // The extra range on the first key column lets SQLite seek in the index when it
        // cannot do so from the row value alone (it cannot with a NOCASE column).
        if (!m_keyColumns.isEmpty())
            conds.append(m_keyExprs[0] + (forward ? u" >= ?"_s : u" <= ?"_s));
        conds.append(m_keyTuple + u' ' + op + u" ("_s + params.join(u", "_s) + u')');
    }
    const QString filter = whereClause(true);
    if (!filter.isEmpty())
        conds.append(filter);
    if (extra)
        conds.append(u'(' + extra->sql + u')');
    QString sql = u"SELECT "_s + m_selectList + u" FROM "_s + sqlName(m_tableName.toUpper());
    if (!conds.isEmpty())
        sql += u" WHERE "_s + conds.join(u" AND "_s);
    sql += u" ORDER BY "_s + (forward ? m_orderAsc : m_orderDesc) + u" LIMIT ?"_s;
    if (offset > 0)
        sql += u" OFFSET ?"_s;

    sqlite3_stmt *stmt = conn().prepare(sql);
    StmtGuard guard{stmt};
    int p = 1;
    if (from) {
        if (!m_keyColumns.isEmpty())
            SqliteConnection::bind(stmt, p++, from->values[m_keyColumns[0]]);
        for (int col : std::as_const(m_keyColumns))
            SqliteConnection::bind(stmt, p++, from->values[col]);
        SqliteConnection::bind(stmt, p++, from->rowid);
    }
    if (!filter.isEmpty())
        for (const QVariant &v : std::as_const(m_filter->params))
            SqliteConnection::bind(stmt, p++, v);
    if (extra)
        for (const QVariant &v : extra->params)
            SqliteConnection::bind(stmt, p++, v);
    SqliteConnection::bind(stmt, p++, limit);
    if (offset > 0)
        SqliteConnection::bind(stmt, p++, offset);

    const int n = FieldCount();
    while (conn().step(stmt) == SQLITE_ROW) {
        Row row;
        row.rowid = sqlite3_column_int64(stmt, 0);
        row.values.reserve(n);
        for (int i = 0; i < n; ++i)
            row.values.append(readColumn(stmt, i + 1, m_fieldDefs[i].type));
        out.append(std::move(row));
    }
    if (!forward)
        std::reverse(out.begin(), out.end());
    m_windowWrites = conn().writeCount();
    return int(out.size());
}

void TTdbTable::checkBrowseMode()
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        Post();
}

void TTdbTable::First()
{
    requireActive("First");
    checkBrowseMode();
    m_batch = kFirstBatch;
    QList<Row> rows;
    fetch(true, nullptr, false, m_batch, rows);
    if (rows.isEmpty()) {
        clearCurrent();
        m_eof = m_bof = true;
        return;
    }
    m_window = std::move(rows);
    m_windowPos = 0;
    setCurrent(m_window[0]);
    m_recNo = 1;
    m_bof = true;
    m_eof = false;
}

void TTdbTable::Last()
{
    requireActive("Last");
    checkBrowseMode();
    m_batch = kFirstBatch;
    QList<Row> rows;
    fetch(false, nullptr, false, m_batch, rows);
    if (rows.isEmpty()) {
        clearCurrent();
        m_eof = m_bof = true;
        return;
    }
    m_window = std::move(rows);
    m_windowPos = int(m_window.size()) - 1;
    setCurrent(m_window[m_windowPos]);
    m_recNo = 0;
    m_eof = true;
    m_bof = false;
}

bool TTdbTable::windowValid() const
{
    return m_windowPos >= 0 && m_windowPos < m_window.size() &&
           m_windowWrites == conn().writeCount() && m_window[m_windowPos].rowid == m_current.rowid;
}

void TTdbTable::Next()
{
    requireActive("Next");
    checkBrowseMode();
    if (!m_hasRow) {
        m_eof = true;
        return;
    }
    if (windowValid() && m_windowPos + 1 < m_window.size()) {
        ++m_windowPos;
    } else {
        // Sequential reading: fetch more each time, up to a limit that keeps memory small.
        m_batch = std::min(m_batch * 4, kMaxBatch);
        QList<Row> rows;
        if (fetch(true, &m_current, false, m_batch, rows) == 0) {
            m_eof = true;
            m_bof = false;
            invalidateBuffer();
            return;
        }
        m_window = std::move(rows);
        m_windowPos = 0;
    }
    setCurrent(m_window[m_windowPos]);
    if (m_recNo > 0)
        ++m_recNo;
    m_eof = false;
    m_bof = false;
}

void TTdbTable::Prior()
{
    requireActive("Prior");
    checkBrowseMode();
    if (!m_hasRow) {
        m_bof = true;
        return;
    }
    if (windowValid() && m_windowPos > 0) {
        --m_windowPos;
    } else {
        m_batch = std::min(m_batch * 4, kMaxBatch);
        QList<Row> rows;
        if (fetch(false, &m_current, false, m_batch, rows) == 0) {
            m_bof = true;
            m_eof = false;
            invalidateBuffer();
            if (m_recNo == 0)
                m_recNo = 1;
            return;
        }
        m_window = std::move(rows);
        m_windowPos = int(m_window.size()) - 1;
    }
    setCurrent(m_window[m_windowPos]);
    if (m_recNo > 1)
        --m_recNo;
    m_eof = false;
    m_bof = false;
}

int TTdbTable::MoveBy(int distance)
{
    int moved = 0;
    while (distance > 0) {
        Next();
        if (m_eof)
            break;
        ++moved;
        --distance;
    }
    while (distance < 0) {
        Prior();
        if (m_bof)
            break;
        --moved;
        ++distance;
    }
    return moved;
}

bool TTdbTable::IsEmpty()
{
    requireActive("IsEmpty");
    QString sql = u"SELECT 1 FROM "_s + sqlName(m_tableName.toUpper());
    const QString filter = whereClause(true);
    if (!filter.isEmpty())
        sql += u" WHERE "_s + filter;
    sql += u" LIMIT 1"_s;
    sqlite3_stmt *stmt = conn().prepare(sql);
    StmtGuard guard{stmt};
    int p = 1;
    if (!filter.isEmpty())
        for (const QVariant &v : std::as_const(m_filter->params))
            SqliteConnection::bind(stmt, p++, v);
    return conn().step(stmt) != SQLITE_ROW;
}

int TTdbTable::countWhere(const QString &extraCond, const Row *before)
{
    QStringList conds;
    const QString filter = whereClause(true);
    if (!filter.isEmpty())
        conds.append(filter);
    if (before) {
        QStringList params;
        for (int i = 0; i <= m_keyColumns.size(); ++i)
            params.append(u"?"_s);
        if (!m_keyColumns.isEmpty())
            conds.append(m_keyExprs[0] + u" <= ?"_s);
        conds.append(m_keyTuple + u" < ("_s + params.join(u", "_s) + u')');
    }
    if (!extraCond.isEmpty())
        conds.append(extraCond);
    QString sql = u"SELECT count(*) FROM "_s + sqlName(m_tableName.toUpper());
    if (!conds.isEmpty())
        sql += u" WHERE "_s + conds.join(u" AND "_s);
    sqlite3_stmt *stmt = conn().prepare(sql);
    StmtGuard guard{stmt};
    int p = 1;
    if (!filter.isEmpty())
        for (const QVariant &v : std::as_const(m_filter->params))
            SqliteConnection::bind(stmt, p++, v);
    if (before) {
        if (!m_keyColumns.isEmpty())
            SqliteConnection::bind(stmt, p++, before->values[m_keyColumns[0]]);
        for (int col : std::as_const(m_keyColumns))
            SqliteConnection::bind(stmt, p++, before->values[col]);
        SqliteConnection::bind(stmt, p++, before->rowid);
    }
    conn().step(stmt);
    return sqlite3_column_int(stmt, 0);
}

int TTdbTable::RecordCount()
{
    requireActive("RecordCount");
    return countWhere(QString(), nullptr);
}

int TTdbTable::RecordNo()
{
    requireActive("RecordNo");
    if (!m_hasRow)
        return 0;
    if (m_state == DataSetState::Insert)
        return 0;
    if (m_recNo <= 0)
        m_recNo = countWhere(QString(), &m_current) + 1;
    return m_recNo;
}

void TTdbTable::SetRecordNo(int recordNo)
{
    requireActive("RecordNo");
    checkBrowseMode();
    if (recordNo <= 1) {
        First();
        return;
    }
    m_batch = kFirstBatch;
    QList<Row> rows;
    fetch(true, nullptr, false, m_batch, rows, nullptr, recordNo - 1);
    if (rows.isEmpty()) {
        // Beyond the end: stand on the last row, as Next past the end does.
        Last();
        return;
    }
    m_window = std::move(rows);
    m_windowPos = 0;
    setCurrent(m_window[0]);
    m_recNo = recordNo;
    m_eof = m_bof = false;
}

QVariant TTdbTable::searchValue(int col, const QVariant &key) const
{
    const TFieldDef &def = m_fieldDefs[col];
    // Search texts are not cut to the column width: a longer key must not find a row
    // that only shares its first characters.
    if (isTextType(def.type))
        return key.isValid() ? QVariant(key.toString()) : QVariant(QString());
    const QVariant v = m_fields[size_t(col)]->normalised(key);
    return v.isValid() ? v : emptyValue(def.type);
}

bool TTdbTable::locate(const QVariantList &keys, bool exact)
{
    requireActive(exact ? "FindKey" : "FindNearest");
    checkBrowseMode();
    if (m_keyColumns.isEmpty())
        throw EngineError(u"Table %1: key search needs an index"_s.arg(m_tableName));
    if (keys.isEmpty() || keys.size() > m_keyColumns.size())
        throw EngineError(u"Table %1: %2 key values for index %3"_s.arg(m_tableName)
                              .arg(keys.size())
                              .arg(m_indexName));
    CompiledFilter cond;
    QStringList lhs;
    QStringList rhs;
    for (int i = 0; i < keys.size(); ++i) {
        lhs.append(m_keyExprs[i]);
        rhs.append(u"?"_s);
        cond.params.append(searchValue(m_keyColumns[i], keys[i]));
    }
    cond.sql =
        u'(' + lhs.join(u", "_s) + (exact ? u") = ("_s : u") >= ("_s) + rhs.join(u", "_s) + u')';
    m_batch = exact ? 1 : kFirstBatch;
    QList<Row> rows;
    fetch(true, nullptr, false, m_batch, rows, &cond);
    if (rows.isEmpty()) {
        if (exact)
            return false; // the cursor stays where it was
        Last();
        m_eof = true;
        return false;
    }
    m_window = std::move(rows);
    m_windowPos = 0;
    setCurrent(m_window[0]);
    // The window came from a narrower query; Next must fetch by key from here.
    m_window.resize(1);
    m_recNo = 0;
    m_eof = m_bof = false;
    return true;
}

bool TTdbTable::FindKey(const QVariantList &keys)
{
    return locate(keys, true);
}

void TTdbTable::FindNearest(const QVariantList &keys)
{
    locate(keys, false);
}

void TTdbTable::SetIndexName(const QString &name)
{
    QString clean = name;
    if (clean.compare(m_indexName, Qt::CaseInsensitive) == 0 && !clean.isEmpty()) {
        m_indexName = clean;
        return;
    }
    if (!Active()) {
        m_indexName = clean;
        return;
    }
    checkBrowseMode();
    const QString old = m_indexName;
    m_indexName = clean;
    try {
        prepareCursorSql();
    } catch (...) {
        m_indexName = old;
        prepareCursorSql();
        throw;
    }
    // The current row stays current; its neighbours are now other rows.
    invalidateBuffer();
    m_recNo = 0;
}

void TTdbTable::Refresh()
{
    requireActive("Refresh");
    checkBrowseMode();
    invalidateBuffer();
    m_recNo = 0;
    if (!m_hasRow) {
        First();
        return;
    }
    m_batch = kFirstBatch;
    QList<Row> rows;
    if (fetch(true, &m_current, true, m_batch, rows) > 0) {
        // The row itself when it still has its key, else the one that took its place.
        m_window = std::move(rows);
        m_windowPos = 0;
        setCurrent(m_window[0]);
        m_eof = m_bof = false;
        return;
    }
    Last();
    m_eof = !m_hasRow;
}

// ---- editing ---------------------------------------------------------------------------

void TTdbTable::requireWritable(const char *operation) const
{
    requireActive(operation);
    if (m_readOnly || (m_database && m_database->ReadOnly()))
        throw EngineError(
            u"%1: table %2 is read-only"_s.arg(QLatin1StringView(operation), m_tableName));
}

void TTdbTable::Append()
{
    requireWritable("Append");
    checkBrowseMode();
    m_edit = QList<QVariant>(FieldCount());
    m_state = DataSetState::Insert;
}

bool TTdbTable::rereadCurrent()
{
    sqlite3_stmt *stmt = conn().prepare(
        u"SELECT %1 FROM %2 WHERE rowid = ?1"_s.arg(m_selectList, sqlName(m_tableName.toUpper())));
    StmtGuard guard{stmt};
    SqliteConnection::bind(stmt, 1, m_current.rowid);
    if (conn().step(stmt) != SQLITE_ROW)
        return false;
    Row row;
    row.rowid = m_current.rowid;
    row.values.reserve(FieldCount());
    for (int i = 0; i < FieldCount(); ++i)
        row.values.append(readColumn(stmt, i + 1, m_fieldDefs[i].type));
    m_current = std::move(row);
    return true;
}

void TTdbTable::Edit()
{
    requireWritable("Edit");
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    if (!m_hasRow)
        throw EngineError(u"Edit: table %1 has no current row"_s.arg(m_tableName));
    if (!rereadCurrent()) {
        invalidateBuffer();
        throw EngineError(
            u"Edit: the row of table %1 was deleted by another user"_s.arg(m_tableName));
    }
    invalidateBuffer();
    m_edit = m_current.values;
    m_state = DataSetState::Edit;
}

void TTdbTable::Post()
{
    requireActive("Post");
    if (m_state == DataSetState::Browse)
        return;
    const int n = FieldCount();
    Row row;
    row.values.reserve(n);
    for (int i = 0; i < n; ++i)
        row.values.append(m_edit[i].isValid() ? m_edit[i] : emptyValue(m_fieldDefs[i].type));
    SqliteConnection &c = conn();
    if (m_state == DataSetState::Insert) {
        sqlite3_stmt *stmt = c.prepare(m_insertSql);
        StmtGuard guard{stmt};
        for (int i = 0; i < n; ++i)
            SqliteConnection::bind(stmt, i + 1, row.values[i]);
        try {
            c.step(stmt);
        } catch (const EngineError &e) {
            throw EngineError(u"Post: %1"_s.arg(e.message()));
        }
        row.rowid = sqlite3_last_insert_rowid(c.handle());
    } else {
        row.rowid = m_current.rowid;
        QStringList sets;
        QList<int> changed;
        for (int i = 0; i < n; ++i) {
            if (row.values[i] != m_current.values[i]) {
                changed.append(i);
                sets.append(sqlName(m_fieldDefs[i].name) + u" = ?"_s);
            }
        }
        if (!changed.isEmpty()) {
            sqlite3_stmt *stmt = c.prepare(u"UPDATE %1 SET %2 WHERE rowid = ?"_s.arg(
                sqlName(m_tableName.toUpper()), sets.join(u", "_s)));
            StmtGuard guard{stmt};
            int p = 1;
            for (int i : std::as_const(changed))
                SqliteConnection::bind(stmt, p++, row.values[i]);
            SqliteConnection::bind(stmt, p++, row.rowid);
            try {
                c.step(stmt);
            } catch (const EngineError &e) {
                throw EngineError(u"Post: %1"_s.arg(e.message()));
            }
            if (sqlite3_changes(c.handle()) == 0)
                throw EngineError(
                    u"Post: the row of table %1 was deleted by another user"_s.arg(m_tableName));
        }
    }
    c.noteWrite();
    m_edit.clear();
    m_state = DataSetState::Browse;
    // The posted row is current at its (possibly new) place in the index order.
    setCurrent(row);
    invalidateBuffer();
    m_recNo = 0;
    m_eof = m_bof = false;
}

void TTdbTable::Cancel()
{
    requireActive("Cancel");
    m_edit.clear();
    m_state = DataSetState::Browse;
}

void TTdbTable::Delete()
{
    requireWritable("Delete");
    if (m_state == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (m_state == DataSetState::Edit)
        Cancel();
    if (!m_hasRow)
        throw EngineError(u"Delete: table %1 has no current row"_s.arg(m_tableName));
    SqliteConnection &c = conn();
    {
        sqlite3_stmt *stmt =
            c.prepare(u"DELETE FROM %1 WHERE rowid = ?1"_s.arg(sqlName(m_tableName.toUpper())));
        StmtGuard guard{stmt};
        SqliteConnection::bind(stmt, 1, m_current.rowid);
        c.step(stmt);
    }
    c.noteWrite();
    const int recNo = m_recNo;
    invalidateBuffer();
    // Stand on the following row, or on the previous one after deleting the last.
    m_batch = kFirstBatch;
    QList<Row> rows;
    if (fetch(true, &m_current, false, m_batch, rows) > 0) {
        m_window = std::move(rows);
        m_windowPos = 0;
        setCurrent(m_window[0]);
        m_recNo = recNo;
        m_eof = m_bof = false;
        return;
    }
    if (fetch(false, &m_current, false, m_batch, rows) > 0) {
        m_window = std::move(rows);
        m_windowPos = int(m_window.size()) - 1;
        setCurrent(m_window[m_windowPos]);
        m_recNo = recNo > 1 ? recNo - 1 : 0;
        m_eof = true;
        m_bof = false;
        return;
    }
    clearCurrent();
    m_eof = m_bof = true;
}

// ---- filters ---------------------------------------------------------------------------

void TTdbTable::SetFilter(const QString &filter)
{
    if (Active()) {
        std::unique_ptr<CompiledFilter> compiled;
        if (!filter.trimmed().isEmpty())
            compiled = std::make_unique<CompiledFilter>(FilterParser(m_fieldDefs).parse(filter));
        checkBrowseMode();
        m_filter = std::move(compiled);
        m_filterText = filter;
        if (m_filtered)
            First();
        return;
    }
    m_filterText = filter;
}

void TTdbTable::SetFiltered(bool value)
{
    if (m_filtered == value)
        return;
    m_filtered = value;
    if (Active())
        First();
}

bool TTdbTable::findWith(bool forward, bool fromCurrent)
{
    requireActive("FindFirst");
    checkBrowseMode();
    if (m_filterText.trimmed().isEmpty())
        return fromCurrent ? (forward ? (Next(), !m_eof) : (Prior(), !m_bof))
                           : (forward ? (First(), m_hasRow) : (Last(), m_hasRow));
    const CompiledFilter cond = FilterParser(m_fieldDefs).parse(m_filterText);
    if (fromCurrent && !m_hasRow)
        return false;
    QList<Row> rows;
    fetch(forward, fromCurrent ? &m_current : nullptr, false, 1, rows, &cond);
    if (rows.isEmpty())
        return false;
    m_window = std::move(rows);
    m_windowPos = 0;
    setCurrent(m_window[0]);
    m_recNo = 0;
    m_eof = m_bof = false;
    return true;
}

bool TTdbTable::FindFirst()
{
    return findWith(true, false);
}
bool TTdbTable::FindNext()
{
    return findWith(true, true);
}
bool TTdbTable::FindPrior()
{
    return findWith(false, true);
}
bool TTdbTable::FindLast()
{
    return findWith(false, false);
}

// ---- fields ----------------------------------------------------------------------------

TField *TTdbTable::FindField(const QString &name)
{
    // Exact spelling first: the stores write the names as defined, and the hash saves the
    // case-insensitive walk on every access of a scan.
    const auto it = m_fieldIndex.constFind(name);
    if (it != m_fieldIndex.constEnd())
        return m_fields[size_t(*it)].get();
    const int pos = m_fieldDefs.IndexOf(name);
    return (pos >= 0 && size_t(pos) < m_fields.size()) ? m_fields[size_t(pos)].get() : nullptr;
}

TField &TTdbTable::FieldByName(const QString &name)
{
    requireActive("FieldByName");
    TField *field = FindField(name);
    if (!field)
        throw EngineError(u"Table %1 has no field %2"_s.arg(m_tableName, name));
    return *field;
}

const QVariant &TTdbTable::fieldValue(int index) const
{
    static const QVariant null;
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return m_edit[index];
    if (!m_hasRow)
        return null;
    return m_current.values[index];
}

void TTdbTable::setFieldValue(int index, const QVariant &value)
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        throw EngineError(u"Table %1 is not in edit or insert mode"_s.arg(m_tableName));
    m_edit[index] = value;
}

void TTdbTable::EnableControls()
{
    if (m_controlsDisabled > 0)
        --m_controlsDisabled;
}

// ---- locks and transactions ------------------------------------------------------------

void TTdbTable::LockTable(int)
{
    requireWritable("LockTable");
    conn().begin();
    ++m_tableLocks;
    // What was fetched before the lock may be older than what the lock now protects.
    invalidateBuffer();
}

void TTdbTable::UnlockTable(int)
{
    requireActive("UnlockTable");
    if (m_tableLocks == 0)
        throw EngineError(u"UnlockTable: table %1 is not locked"_s.arg(m_tableName));
    --m_tableLocks;
    try {
        conn().commit();
    } catch (...) {
        m_tableLocks = 0;
        m_transactions = 0;
        invalidateBuffer();
        throw;
    }
}

void TTdbTable::StartTransaction()
{
    requireWritable("StartTransaction");
    conn().begin();
    ++m_transactions;
}

void TTdbTable::Commit()
{
    requireActive("Commit");
    if (m_transactions == 0)
        throw EngineError(u"Commit: table %1 has no transaction"_s.arg(m_tableName));
    --m_transactions;
    try {
        conn().commit();
    } catch (...) {
        m_tableLocks = 0;
        m_transactions = 0;
        invalidateBuffer();
        throw;
    }
}

void TTdbTable::Rollback()
{
    requireActive("Rollback");
    if (m_state != DataSetState::Browse)
        Cancel();
    conn().rollback();
    m_tableLocks = 0;
    m_transactions = 0;
    conn().noteWrite();
    Refresh();
}
