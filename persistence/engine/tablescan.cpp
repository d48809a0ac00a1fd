#include "persistence/engine/tablescan.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/filterparser.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tdbtable.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

TTableScan::TTableScan(TTdbTable &table, const QStringList &columns, int pageSize)
    : m_table(table), m_pageSize(std::max(1, pageSize))
{
    table.requireActive("Scan");
    for (const QString &name : columns) {
        const TField *field = table.FindField(name);
        if (!field)
            throw EngineError(u"Table %1 has no field %2"_s.arg(table.TableName(), name));
        m_columns.append(field->FieldNo());
    }
    if (table.onServer())
        return;
    table.checkBrowseMode();
    m_conn = table.m_conn;

    const TFieldDefs &defs = table.m_fieldDefs;
    QStringList select{u"rowid"_s};
    for (const int col : std::as_const(table.m_keyColumns))
        select.append(sqlName(defs[col].name));
    for (const int col : std::as_const(m_columns))
        select.append(sqlName(defs[col].name));
    m_keyCount = int(table.m_keyColumns.size());

    QStringList conds;
    QVariantList filterParams;
    if (table.m_filtered && table.m_filter) {
        conds.append(u'(' + table.m_filter->sql + u')');
        filterParams = table.m_filter->params;
    }
    const QString head = u"SELECT "_s + select.join(u", "_s) + u" FROM "_s + table.tableSql();
    const QString tail = u" ORDER BY "_s + table.m_orderAsc + u" LIMIT ?"_s;
    m_firstSql =
        head + (conds.isEmpty() ? QString() : u" WHERE "_s + conds.join(u" AND "_s)) + tail;

    // The page after a row, as the cursor pages.
    m_nextSql =
        head + u" WHERE "_s + (table.keysetConditions(u">"_s) + conds).join(u" AND "_s) + tail;
    m_filterParams = filterParams;
}

TTableScan::~TTableScan()
{
    if (m_stmt)
        sqlite3_reset(m_stmt);
}

void TTableScan::startPage()
{
    const bool first = m_lastKey.isEmpty();
    m_stmt = m_conn->prepare(first ? m_firstSql : m_nextSql);
    int p = 1;
    if (!first) {
        // The last key: row id first, then the index columns.
        if (m_keyCount > 0)
            SqliteConnection::bind(m_stmt, p++, m_lastKey[1]);
        for (int i = 1; i <= m_keyCount; ++i)
            SqliteConnection::bind(m_stmt, p++, m_lastKey[i]);
        SqliteConnection::bind(m_stmt, p++, m_lastKey[0]);
    }
    for (const QVariant &v : std::as_const(m_filterParams))
        SqliteConnection::bind(m_stmt, p++, v);
    SqliteConnection::bind(m_stmt, p, m_pageSize);
    m_inPage = 0;
}

bool TTableScan::Next()
{
    if (m_done)
        return false;
    if (!m_conn) {
        if (m_started)
            m_table.Next();
        else
            m_table.First();
        m_started = true;
        m_done = m_table.Eof();
        return !m_done;
    }
    if (!m_started) {
        m_started = true;
        startPage();
    }
    for (;;) {
        if (m_conn->step(m_stmt) == SQLITE_ROW) {
            if (++m_inPage == m_pageSize) {
                m_lastKey.clear();
                m_lastKey.append(sqlite3_column_int64(m_stmt, 0));
                const TFieldDefs &defs = m_table.m_fieldDefs;
                for (int i = 0; i < m_keyCount; ++i)
                    m_lastKey.append(SqliteConnection::column(m_stmt, i + 1,
                                                              defs[m_table.m_keyColumns[i]].type));
            }
            return true;
        }
        // The page is over; resetting gives up its read lock.
        sqlite3_reset(m_stmt);
        if (m_inPage < m_pageSize) {
            m_stmt = nullptr;
            m_done = true;
            return false;
        }
        startPage();
    }
}

QString TTableScan::Text(int column) const
{
    if (!m_conn)
        return m_table.Fields(m_columns[column]).AsString();
    return SqliteConnection::text(m_stmt, at(column));
}

double TTableScan::Float(int column) const
{
    if (!m_conn)
        return m_table.Fields(m_columns[column]).AsFloat();
    return sqlite3_column_double(m_stmt, at(column));
}

qint64 TTableScan::Integer(int column) const
{
    if (!m_conn)
        return m_table.Fields(m_columns[column]).AsLargeInt();
    // The cursor holds integer columns as int.
    return int(sqlite3_column_int64(m_stmt, at(column)));
}

bool TTableScan::Boolean(int column) const
{
    if (!m_conn)
        return m_table.Fields(m_columns[column]).AsBoolean();
    return sqlite3_column_int64(m_stmt, at(column)) != 0;
}
