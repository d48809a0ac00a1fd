#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

class SqliteConnection;
class TTdbTable;
struct sqlite3_stmt;

// One walk over chosen columns of an open table, first row to last in the order of its current
// index (and under its filter), for bulk loops that visit every row once. The cursor builds a
// row of variants for every column and prepares its paging query anew for each batch; this
// keeps one query over the wanted columns and reads the values straight from it. Like the
// cursor it fetches pages by key, so that no read lock outlives a page and writers of other
// processes get in between. The table's own cursor is not moved, except on the database
// server, where the walk is the cursor's.
//
// The readers convert as the table's fields do (AsString, AsFloat, AsLargeInt, AsBoolean), so
// that a value reads the same whichever way it was fetched.
class TTableScan
{
public:
    static constexpr int kPageSize = 1000;

    // Throws EngineError for a column the table does not have or a table that is not open.
    TTableScan(TTdbTable &table, const QStringList &columns, int pageSize = kPageSize);
    ~TTableScan();
    TTableScan(const TTableScan &) = delete;
    TTableScan &operator=(const TTableScan &) = delete;

    // Stands on the next row (the first one at the first call); false after the last.
    bool Next();

    // Values of the current row by position in the columns given: Text for text and memo
    // columns, Float for float and date-time columns, Integer for integer and byte columns,
    // Boolean for boolean ones.
    QString Text(int column) const;
    double Float(int column) const;
    qint64 Integer(int column) const;
    bool Boolean(int column) const;

private:
    void startPage();
    // The query's column of a wanted column.
    int at(int column) const { return m_keyCount + 1 + column; }

    TTdbTable &m_table;
    QList<int> m_columns; // field numbers of the wanted columns
    int m_pageSize;
    std::shared_ptr<SqliteConnection> m_conn; // null on the server
    QString m_firstSql;
    QString m_nextSql;
    QVariantList m_filterParams;
    int m_keyCount = 0;
    sqlite3_stmt *m_stmt = nullptr;
    int m_inPage = 0;
    bool m_started = false;
    bool m_done = false;
    // Where the next page starts: the last row of a full page.
    QVariantList m_lastKey;
};
