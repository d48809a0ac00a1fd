#include "persistence/engine/tdbtable.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/filterparser.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tableschema.h"
#include "persistence/engine/tdbdatabase.h"

#include <QFileInfo>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{

constexpr int kFirstBatch = 8;
constexpr int kMaxBatch = 256;

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

bool TTdbTable::onServer() const
{
    return m_pg || (m_database && m_database->onServer());
}

PgTable TTdbTable::serverTable() const
{
    if (!m_database)
        throw EngineError(u"Table %1 has no database"_s.arg(m_tableName));
    if (m_tableName.trimmed().isEmpty())
        throw EngineError(u"Table without name"_s);
    const auto pg = m_pg ? m_pg : m_database->serverConnection();
    return PgTable(*pg, m_database->serverSchema(), m_tableName);
}

QString TTdbTable::rowidName() const
{
    return m_pg ? u"tdb_rowid"_s : u"rowid"_s;
}

QString TTdbTable::noCase(const QString &expr) const
{
    return m_pg ? pgFoldAscii(expr) : expr + u" COLLATE NOCASE"_s;
}

QString TTdbTable::tableSql() const
{
    return m_pg ? serverTable().sqlTable() : TableSchema::sqlTable(m_tableName);
}

std::unique_ptr<CompiledFilter> TTdbTable::compileFilter(const QString &text) const
{
    auto compiled = std::make_unique<CompiledFilter>(FilterParser(m_fieldDefs).parse(text));
    if (m_pg)
        compiled->sql = pgFilterSql(compiled->sql);
    return compiled;
}

quint64 TTdbTable::writes() const
{
    return m_pg ? m_pg->writeCount() : m_conn->writeCount();
}

QList<TTdbTable::Row> TTdbTable::serverRows(const QString &sql, const QVariantList &params) const
{
    const PgResult r = m_pg->exec(sql, params);
    QList<Row> rows;
    rows.reserve(r.rows());
    const int n = FieldCount();
    for (int i = 0; i < r.rows(); ++i) {
        Row row;
        row.rowid = r.integer(i, 0);
        row.values.reserve(n);
        for (int c = 0; c < n; ++c)
            row.values.append(PgTable::value(r, i, c + 1, m_fieldDefs[c].type));
        rows.append(std::move(row));
    }
    return rows;
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

} // namespace

std::shared_ptr<SqliteConnection> TTdbTable::schemaConnection() const
{
    return m_conn ? m_conn : connectionOf(m_database, m_tableName, false);
}

bool TTdbTable::Exists() const
{
    if (m_database && !m_tableName.trimmed().isEmpty() && onServer())
        return serverTable().exists();
    if (!m_database || m_tableName.trimmed().isEmpty() || !QFileInfo::exists(FileName()))
        return false;
    return TableSchema::exists(*schemaConnection(), m_tableName);
}

void TTdbTable::ReadDefinitions()
{
    if (onServer()) {
        PgTable t = serverTable();
        t.open();
        m_fieldDefs = t.fields();
        m_indexDefs = t.indexes();
        return;
    }
    TableSchema::read(*schemaConnection(), m_tableName, m_fieldDefs, m_indexDefs);
}

void TTdbTable::CreateTable()
{
    if (Active())
        throw EngineError(u"Cannot create the open table %1"_s.arg(m_tableName));
    if (m_fieldDefs.Count() == 0)
        throw EngineError(u"Table %1 has no field definitions"_s.arg(m_tableName));
    if (Exists())
        throw EngineError(u"Table %1 exists already"_s.arg(m_tableName));
    if (onServer()) {
        serverTable().create(m_fieldDefs, m_indexDefs);
        return;
    }
    TableSchema::create(*connectionOf(m_database, m_tableName, true), m_tableName, m_fieldDefs,
                        m_indexDefs);
}

void TTdbTable::DeleteTable()
{
    Close();
    if (Exists() && onServer())
        serverTable().drop();
    else if (Exists())
        TableSchema::drop(*schemaConnection(), m_tableName);
}

void TTdbTable::EmptyTable()
{
    if (onServer()) {
        const auto pg = m_pg ? m_pg : m_database->serverConnection();
        pg->transaction([&] { pg->exec(u"DELETE FROM "_s + serverTable().sqlTable()); });
    } else {
        auto c = schemaConnection();
        c->transaction([&] { c->exec(u"DELETE FROM "_s + TableSchema::sqlTable(m_tableName)); });
    }
    if (Active()) {
        clearCurrent();
        m_eof = m_bof = true;
    }
}

void TTdbTable::AlterTable()
{
    m_keyedUpdate = {};
    if (m_fieldDefs.Count() == 0)
        throw EngineError(u"AlterTable: table %1 has no field definitions"_s.arg(m_tableName));
    const bool wasActive = Active();
    if (wasActive && m_state != DataSetState::Browse)
        Cancel();
    invalidateBuffer();
    if (onServer()) {
        PgTable t = serverTable();
        t.open();
        t.alter(m_fieldDefs, m_indexDefs);
    } else {
        TableSchema::rebuild(*schemaConnection(), m_tableName, m_fieldDefs, m_indexDefs);
    }
    if (!wasActive)
        return;
    buildFields();
    prepareCursorSql();
    // Row ids survive the rebuild: the cursor stays on its row, now with the new columns.
    if (m_hasRow) {
        m_recNo = 0;
        if (!rereadCurrent())
            First();
    }
}

void TTdbTable::AddIndex(const QString &name, const QString &fields, IndexOptions options)
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        throw EngineError(u"AddIndex: table %1 is being edited"_s.arg(m_tableName));
    if (!Active())
        ReadDefinitions();
    if (m_indexDefs.IndexOf(name) >= 0)
        throw EngineError(u"Index %1 of table %2 exists already"_s.arg(name, m_tableName));
    if (onServer()) {
        PgTable t = serverTable();
        t.open();
        t.addIndex(TIndexDef{name, fields, options});
    } else {
        TableSchema::addIndex(*schemaConnection(), m_tableName, m_fieldDefs,
                              TIndexDef{name, fields, options});
    }
    m_indexDefs.Add(name, fields, options);
}

void TTdbTable::DeleteIndex(const QString &name)
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        throw EngineError(u"DeleteIndex: table %1 is being edited"_s.arg(m_tableName));
    if (!Active())
        ReadDefinitions();
    const int pos = m_indexDefs.IndexOf(name);
    if (pos < 0)
        throw EngineError(u"Table %1 has no index %2"_s.arg(m_tableName, name));
    if (onServer()) {
        PgTable t = serverTable();
        t.open();
        t.dropIndex(name);
    } else {
        TableSchema::dropIndex(*schemaConnection(), m_tableName, name);
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
    m_keyedUpdate = {}; // built for the columns the table had before
    if (onServer()) {
        serverTable(); // checks database and name as connectionOf does
        m_pg = m_database->serverConnection();
    } else
        m_conn = connectionOf(m_database, m_tableName, false);
    try {
        ReadDefinitions();
        buildFields();
        if (!m_indexName.isEmpty() && m_indexDefs.IndexOf(m_indexName) < 0)
            throw EngineError(u"Table %1 has no index %2"_s.arg(m_tableName, m_indexName));
        prepareCursorSql();
        m_filter.reset();
        if (!m_filterText.trimmed().isEmpty())
            m_filter = compileFilter(m_filterText);
    } catch (...) {
        m_conn.reset();
        m_pg.reset();
        m_fields.clear();
        throw;
    }
    if (m_pg && m_database->InTransaction() && !m_readOnly && !m_database->ReadOnly())
        m_pg->exec(u"LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE"_s.arg(tableSql()));
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
    if ((m_tableLocks > 0 || m_transactions > 0) && m_pg)
        m_pg->rollback();
    m_tableLocks = 0;
    m_transactions = 0;
    m_state = DataSetState::Inactive;
    clearCurrent();
    m_eof = m_bof = true;
    m_fields.clear();
    m_filter.reset();
    m_conn.reset();
    m_pg.reset();
}

void TTdbTable::buildFields()
{
    m_fields.clear();
    m_fieldIndex.clear();
    m_literalIndex.clear();
    for (int i = 0; i < m_fieldDefs.Count(); ++i) {
        m_fields.push_back(std::make_unique<TField>(this, i, m_fieldDefs[i]));
        m_fieldIndex.insert(m_fieldDefs[i].name, i);
    }
    QStringList cols{rowidName()};
    for (const TFieldDef &d : m_fieldDefs.list())
        cols.append(sqlName(d.name));
    m_selectList = cols.join(u", "_s);
    QStringList params;
    for (int i = 0; i < m_fieldDefs.Count(); ++i)
        params.append(u"?%1"_s.arg(i + 1));
    m_insertSql = u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(tableSql(), cols.mid(1).join(u", "_s),
                                                           params.join(u", "_s));
    if (m_pg)
        m_insertSql += u" RETURNING tdb_rowid"_s;
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
                e = noCase(e);
            keyExprs.append(e);
        }
    }
    m_keyExprs = keyExprs;
    // SQLite's NOCASE folds both sides of a comparison; the server's folded key must be
    // compared with a folded value.
    m_keyMarks.clear();
    for (const int col : std::as_const(m_keyColumns))
        m_keyMarks.append(m_pg && m_keyNoCase && isTextType(m_fieldDefs[col].type)
                              ? pgFoldAscii(u"?"_s)
                              : u"?"_s);
    QStringList asc;
    QStringList desc;
    for (const QString &e : keyExprs) {
        asc.append(e);
        desc.append(e + u" DESC"_s);
    }
    asc.append(rowidName());
    desc.append(rowidName() + u" DESC"_s);
    m_orderAsc = asc.join(u", "_s);
    m_orderDesc = desc.join(u", "_s);
    keyExprs.append(rowidName());
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

QStringList TTdbTable::keysetConditions(const QString &op) const
{
    QStringList params = m_keyMarks;
    params.append(u"?"_s);
    QStringList conds;
    // The extra range on the first key column lets SQLite seek in the index when it cannot do
    // so from the row value alone (it cannot with a NOCASE column).
    if (!m_keyColumns.isEmpty())
        conds.append(m_keyExprs[0] + u' ' + op.left(1) + u"= "_s + m_keyMarks[0]);
    conds.append(m_keyTuple + u' ' + op + u" ("_s + params.join(u", "_s) + u')');
    return conds;
}

int TTdbTable::fetch(bool forward, const Row *from, bool inclusive, int limit, QList<Row> &out,
                     const CompiledFilter *extra, int offset)
{
    out.clear();
    QStringList conds;
    if (from) {
        conds = keysetConditions(forward ? (inclusive ? u">="_s : u">"_s)
                                         : (inclusive ? u"<="_s : u"<"_s));
    }
    const QString filter = whereClause(true);
    if (!filter.isEmpty())
        conds.append(filter);
    if (extra)
        conds.append(u'(' + extra->sql + u')');
    QString sql = u"SELECT "_s + m_selectList + u" FROM "_s + tableSql();
    if (!conds.isEmpty())
        sql += u" WHERE "_s + conds.join(u" AND "_s);
    sql += u" ORDER BY "_s + (forward ? m_orderAsc : m_orderDesc) + u" LIMIT ?"_s;
    if (offset > 0)
        sql += u" OFFSET ?"_s;

    if (m_pg) {
        QVariantList params;
        if (from) {
            if (!m_keyColumns.isEmpty())
                params.append(from->values[m_keyColumns[0]]);
            for (int col : std::as_const(m_keyColumns))
                params.append(from->values[col]);
            params.append(from->rowid);
        }
        if (!filter.isEmpty())
            params += m_filter->params;
        if (extra)
            params += extra->params;
        params.append(limit);
        if (offset > 0)
            params.append(offset);
        out = serverRows(sql, params);
        if (!forward)
            std::reverse(out.begin(), out.end());
        m_windowWrites = writes();
        return int(out.size());
    }

    sqlite3_stmt *stmt = conn().prepare(sql);
    StatementReset reset{stmt};
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

    while (conn().step(stmt) == SQLITE_ROW)
        out.append(readRow(stmt));
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

bool TTdbTable::fetchEnd(bool forward)
{
    checkBrowseMode();
    m_batch = kFirstBatch;
    QList<Row> rows;
    fetch(forward, nullptr, false, m_batch, rows);
    if (rows.isEmpty()) {
        clearCurrent();
        m_eof = m_bof = true;
        return false;
    }
    const int pos = forward ? 0 : int(rows.size()) - 1;
    standOn(std::move(rows), pos);
    return true;
}

void TTdbTable::standOn(QList<Row> &&rows, int pos)
{
    m_window = std::move(rows);
    m_windowPos = pos;
    setCurrent(m_window[pos]);
}

void TTdbTable::First()
{
    requireActive("First");
    if (!fetchEnd(true))
        return;
    m_recNo = 1;
    m_bof = true;
    m_eof = false;
}

void TTdbTable::Last()
{
    requireActive("Last");
    if (!fetchEnd(false))
        return;
    m_recNo = 0;
    m_eof = true;
    m_bof = false;
}

bool TTdbTable::windowValid() const
{
    return m_windowPos >= 0 && m_windowPos < m_window.size() && m_windowWrites == writes() &&
           m_window[m_windowPos].rowid == m_current.rowid;
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
    QString sql = u"SELECT 1 FROM "_s + tableSql();
    const QString filter = whereClause(true);
    if (!filter.isEmpty())
        sql += u" WHERE "_s + filter;
    sql += u" LIMIT 1"_s;
    if (m_pg)
        return m_pg->exec(sql, filter.isEmpty() ? QVariantList() : m_filter->params).rows() == 0;
    sqlite3_stmt *stmt = conn().prepare(sql);
    StatementReset reset{stmt};
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
    if (before)
        conds += keysetConditions(u"<"_s);
    if (!extraCond.isEmpty())
        conds.append(extraCond);
    QString sql = u"SELECT count(*) FROM "_s + tableSql();
    if (!conds.isEmpty())
        sql += u" WHERE "_s + conds.join(u" AND "_s);
    if (m_pg) {
        QVariantList params;
        if (!filter.isEmpty())
            params += m_filter->params;
        if (before) {
            if (!m_keyColumns.isEmpty())
                params.append(before->values[m_keyColumns[0]]);
            for (int col : std::as_const(m_keyColumns))
                params.append(before->values[col]);
            params.append(before->rowid);
        }
        return int(m_pg->exec(sql, params).integer(0, 0));
    }
    sqlite3_stmt *stmt = conn().prepare(sql);
    StatementReset reset{stmt};
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
    standOn(std::move(rows), 0);
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
        rhs.append(m_keyMarks[i]);
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
    standOn(std::move(rows), 0);
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
        standOn(std::move(rows), 0);
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
    if (m_pg) {
        const QList<Row> rows =
            serverRows(u"SELECT %1 FROM %2 WHERE tdb_rowid = ?"_s.arg(m_selectList, tableSql()),
                       {m_current.rowid});
        if (rows.isEmpty())
            return false;
        m_current = rows.first();
        return true;
    }
    sqlite3_stmt *stmt = conn().prepare(u"SELECT %1 FROM %2 WHERE rowid = ?1"_s.arg(
        m_selectList, TableSchema::sqlTable(m_tableName)));
    StatementReset reset{stmt};
    SqliteConnection::bind(stmt, 1, m_current.rowid);
    if (conn().step(stmt) != SQLITE_ROW)
        return false;
    m_current = readRow(stmt);
    return true;
}

TTdbTable::Row TTdbTable::readRow(sqlite3_stmt *stmt) const
{
    Row row;
    row.rowid = sqlite3_column_int64(stmt, 0);
    const int n = FieldCount();
    row.values.reserve(n);
    for (int i = 0; i < n; ++i)
        row.values.append(SqliteConnection::column(stmt, i + 1, m_fieldDefs[i].type));
    return row;
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
    if (m_pg) {
        postOnServer(row);
        return;
    }
    SqliteConnection &c = conn();
    if (m_state == DataSetState::Insert) {
        sqlite3_stmt *stmt = c.prepare(m_insertSql);
        StatementReset reset{stmt};
        // Texts are bound where their UTF-8 lies, not copied once more by SQLite: bulk loops
        // append rows by the hundred thousand.
        m_boundTexts.resize(n);
        for (int i = 0; i < n; ++i)
            SqliteConnection::bind(stmt, i + 1, row.values[i], m_boundTexts[i]);
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
                TableSchema::sqlTable(m_tableName), sets.join(u", "_s)));
            StatementReset reset{stmt};
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

void TTdbTable::postOnServer(Row &row)
{
    const int n = FieldCount();
    try {
        if (m_state == DataSetState::Insert) {
            row.rowid =
                m_pg->execGuarded(m_insertSql, QVariantList(row.values.begin(), row.values.end()))
                    .integer(0, 0);
        } else {
            row.rowid = m_current.rowid;
            QStringList sets;
            QVariantList params;
            for (int i = 0; i < n; ++i) {
                if (row.values[i] != m_current.values[i]) {
                    sets.append(sqlName(m_fieldDefs[i].name) + u" = ?"_s);
                    params.append(row.values[i]);
                }
            }
            if (!sets.isEmpty()) {
                params.append(row.rowid);
                const PgResult r = m_pg->execGuarded(
                    u"UPDATE %1 SET %2 WHERE tdb_rowid = ?"_s.arg(tableSql(), sets.join(u", "_s)),
                    params);
                if (r.affected() == 0)
                    throw EngineError(
                        u"the row of table %1 was deleted by another user"_s.arg(m_tableName));
            }
        }
    } catch (const EngineError &e) {
        throw EngineError(u"Post: %1"_s.arg(e.message()));
    }
    m_pg->noteWrite();
    m_edit.clear();
    m_state = DataSetState::Browse;
    setCurrent(row);
    invalidateBuffer();
    m_recNo = 0;
    m_eof = m_bof = false;
}

int TTdbTable::SetFieldByKey(const QString &indexName, const QVariantList &keys,
                             const QString &field, const QVariant &value)
{
    requireWritable("SetFieldByKey");
    checkBrowseMode();
    // A bulk change sends the same statement for every row: it is built once.
    KeyedUpdate &u = m_keyedUpdate;
    if (u.sql.isEmpty() || u.index != indexName || u.field != field || u.keys != keys.size()) {
        const int pos = m_indexDefs.IndexOf(indexName);
        if (pos < 0)
            throw EngineError(u"Table %1 has no index %2"_s.arg(m_tableName, indexName));
        const TIndexDef &def = m_indexDefs[pos];
        const QStringList keyFields = def.FieldList();
        if (keys.isEmpty() || keys.size() > keyFields.size())
            throw EngineError(u"Table %1: %2 key values for index %3"_s.arg(m_tableName)
                                  .arg(keys.size())
                                  .arg(indexName));
        const int target = m_fieldDefs.IndexOf(field);
        if (target < 0)
            throw EngineError(u"Table %1 has no field %2"_s.arg(m_tableName, field));
        KeyedUpdate built{indexName, field, keys.size(), {}, target, {}};
        QStringList conds;
        for (int i = 0; i < keys.size(); ++i) {
            const int col = m_fieldDefs.IndexOf(keyFields[i]);
            QString e = sqlName(m_fieldDefs[col].name);
            const bool folded =
                (def.options & ixCaseInsensitive) && isTextType(m_fieldDefs[col].type);
            if (folded)
                e = noCase(e);
            conds.append(e + (folded && m_pg ? u" = "_s + pgFoldAscii(u"?"_s) : u" = ?"_s));
            built.keyColumns.append(col);
        }
        built.sql = u"UPDATE %1 SET %2 = ? WHERE %3"_s.arg(
            tableSql(), sqlName(m_fieldDefs[target].name), conds.join(u" AND "_s));
        u = std::move(built);
    }
    if (m_pg) {
        QVariantList params{m_fields[size_t(u.target)]->normalised(value)};
        for (int i = 0; i < keys.size(); ++i)
            params.append(searchValue(u.keyColumns[i], keys[i]));
        int changed = 0;
        try {
            changed = m_pg->execGuarded(u.sql, params).affected();
        } catch (const EngineError &e) {
            throw EngineError(u"SetFieldByKey: %1"_s.arg(e.message()));
        }
        if (changed > 0)
            m_pg->noteWrite();
        return changed;
    }
    SqliteConnection &c = conn();
    sqlite3_stmt *stmt = c.prepare(u.sql);
    StatementReset reset{stmt};
    SqliteConnection::bind(stmt, 1, m_fields[size_t(u.target)]->normalised(value));
    for (int i = 0; i < keys.size(); ++i)
        SqliteConnection::bind(stmt, i + 2, searchValue(u.keyColumns[i], keys[i]));
    try {
        c.step(stmt);
    } catch (const EngineError &e) {
        throw EngineError(u"SetFieldByKey: %1"_s.arg(e.message()));
    }
    const int changed = sqlite3_changes(c.handle());
    if (changed > 0)
        c.noteWrite();
    return changed;
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
    if (m_pg) {
        m_pg->exec(u"DELETE FROM %1 WHERE tdb_rowid = ?"_s.arg(tableSql()), {m_current.rowid});
        m_pg->noteWrite();
    } else {
        SqliteConnection &c = conn();
        sqlite3_stmt *stmt =
            c.prepare(u"DELETE FROM %1 WHERE rowid = ?1"_s.arg(TableSchema::sqlTable(m_tableName)));
        StatementReset reset{stmt};
        SqliteConnection::bind(stmt, 1, m_current.rowid);
        c.step(stmt);
        c.noteWrite();
    }
    const int recNo = m_recNo;
    invalidateBuffer();
    // Stand on the following row, or on the previous one after deleting the last.
    m_batch = kFirstBatch;
    QList<Row> rows;
    if (fetch(true, &m_current, false, m_batch, rows) > 0) {
        standOn(std::move(rows), 0);
        m_recNo = recNo;
        m_eof = m_bof = false;
        return;
    }
    if (fetch(false, &m_current, false, m_batch, rows) > 0) {
        const int last = int(rows.size()) - 1;
        standOn(std::move(rows), last);
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
            compiled = compileFilter(filter);
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
    const auto cond = compileFilter(m_filterText);
    if (fromCurrent && !m_hasRow)
        return false;
    QList<Row> rows;
    fetch(forward, fromCurrent ? &m_current : nullptr, false, 1, rows, cond.get());
    if (rows.isEmpty())
        return false;
    standOn(std::move(rows), 0);
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
    // Names written as literals (u"..."_s, as the stores do) keep their characters in static
    // storage, so the address identifies the name for good and saves hashing it on every
    // access of a scan. Heap strings are looked up by content.
    const bool literal = !name.data_ptr().isMutable();
    if (literal) {
        const auto it = m_literalIndex.constFind(name.constData());
        if (it != m_literalIndex.constEnd() && it->first == name.size())
            return m_fields[size_t(it->second)].get();
    }
    int pos = m_fieldIndex.value(name, -1);
    if (pos < 0)
        pos = m_fieldDefs.IndexOf(name);
    if (pos < 0 || size_t(pos) >= m_fields.size())
        return nullptr;
    if (literal)
        m_literalIndex.insert(name.constData(), {name.size(), pos});
    return m_fields[size_t(pos)].get();
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

void TTdbTable::beginWriting()
{
    if (!m_pg) {
        conn().begin();
        return;
    }
    m_pg->begin();
    try {
        // What BEGIN IMMEDIATE is to an SQLite file: other writers of the table wait,
        // readers go on.
        m_pg->exec(u"LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE"_s.arg(tableSql()));
    } catch (...) {
        m_pg->rollback();
        throw;
    }
}

void TTdbTable::LockTable(int)
{
    requireWritable("LockTable");
    beginWriting();
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
    commitLevel();
}

void TTdbTable::commitLevel()
{
    try {
        if (m_pg)
            m_pg->commit();
        else
            conn().commit();
    } catch (...) {
        // A failed commit has rolled the connection back, all levels of it.
        m_tableLocks = 0;
        m_transactions = 0;
        invalidateBuffer();
        throw;
    }
}

void TTdbTable::StartTransaction()
{
    requireWritable("StartTransaction");
    beginWriting();
    ++m_transactions;
}

void TTdbTable::Commit()
{
    requireActive("Commit");
    if (m_transactions == 0)
        throw EngineError(u"Commit: table %1 has no transaction"_s.arg(m_tableName));
    --m_transactions;
    commitLevel();
}

void TTdbTable::Rollback()
{
    requireActive("Rollback");
    if (m_state != DataSetState::Browse)
        Cancel();
    if (m_pg) {
        m_pg->rollback();
        m_pg->noteWrite();
    } else {
        conn().rollback();
        conn().noteWrite();
    }
    m_tableLocks = 0;
    m_transactions = 0;
    Refresh();
}
