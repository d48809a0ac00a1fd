#pragma once

#include "persistence/engine/field.h"
#include "persistence/engine/fielddefs.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

class PgConnection;
class PgTable;
class SqliteConnection;
struct sqlite3_stmt;
class TTdbDatabase;
struct CompiledFilter;

enum class DataSetState { Inactive, Browse, Edit, Insert };

// A table of the engine and its dataset cursor. The cursor walks the rows in the order of the
// current index (row id order without one), fetching small batches by key (keyset paging on
// the index columns and the row id) so that nothing is loaded as a whole and no read lock
// outlives a call: a cursor left standing on a row never keeps another process from
// committing. Between calls the current row and its batch are a copy; Refresh (or the
// database's RefreshDataSets) re-reads them, Edit re-reads the row before changing it.
//
// Texts compare by character code (case-sensitive) in index order, FindKey and filters;
// an index created with ixCaseInsensitive orders and finds ASCII letters without regard to
// case. Navigating, FindKey and Refresh post a pending Edit or Append first.
class TTdbTable
{
public:
    explicit TTdbTable(TTdbDatabase *database = nullptr);
    ~TTdbTable();
    TTdbTable(const TTdbTable &) = delete;
    TTdbTable &operator=(const TTdbTable &) = delete;

    TTdbDatabase *Database() const { return m_database; }
    void SetDatabase(TTdbDatabase *database);
    QString DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const QString &name) { m_databaseName = name; }
    QString TableName() const { return m_tableName; }
    void SetTableName(const QString &name);
    QString FileName() const; // the table's file
    int TableLevel() const { return m_tableLevel; }
    void SetTableLevel(int level) { m_tableLevel = level; }
    bool Exclusive() const { return m_exclusive; }
    void SetExclusive(bool value) { m_exclusive = value; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value) { m_readOnly = value; }

    // The index that orders and searches. Switching keeps the current row. Empty = row order.
    QString IndexName() const { return m_indexName; }
    void SetIndexName(const QString &name);

    // Definitions: filled by the caller before CreateTable; read from the table by Open (and
    // by Exists-checking callers through ReadDefinitions) before AlterTable.
    TFieldDefs &FieldDefs() { return m_fieldDefs; }
    TIndexDefs &IndexDefs() { return m_indexDefs; }
    void ReadDefinitions(); // loads the stored definitions of an existing table

    bool Exists() const;
    void CreateTable();
    void DeleteTable();
    void EmptyTable();
    // Rebuilds the table after columns were added, moved or retyped in FieldDefs, keeping
    // rows (and their row ids); columns are matched by name.
    void AlterTable();
    void AddIndex(const QString &name, const QString &fields, IndexOptions options = ixNone);
    void DeleteIndex(const QString &name);

    void Open();
    void Close();
    bool Active() const { return m_state != DataSetState::Inactive; }
    DataSetState State() const { return m_state; }

    // Navigation. After First on an empty table both Eof and Bof are true; Next on the last
    // row and Prior on the first stay on the row and set Eof or Bof.
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty();
    int RecordCount(); // rows under the current filter

    // Key search on the current index; keys match its first columns. FindKey stands on the
    // first matching row (and stays put when there is none); FindNearest on the first row at
    // or after the keys, or on the last row with Eof set when every key is smaller.
    bool FindKey(const QVariantList &keys);
    void FindNearest(const QVariantList &keys);
    // 1-based position in the current order under the current filter; 0 without a row.
    // Setting a number beyond the last row stands on the last row with Eof set.
    int RecordNo();
    void SetRecordNo(int recordNo);

    void Append();
    void Insert() { Append(); }
    void Edit(); // re-reads the row first, so an edit under a table lock starts from disk
    void Post();
    void Cancel();
    void Delete();
    void Refresh();
    // Sets one column of the rows whose columns of the named index equal keys, without reading
    // them first: a bulk change of one column costs one statement per row instead of a find,
    // a re-read and a post. The value is cut and converted as Post would store it. Returns the
    // number of rows changed; the cursor's copy of such a row is stale until it moves.
    int SetFieldByKey(const QString &indexName, const QVariantList &keys, const QString &field,
                      const QVariant &value);

    // Filter texts: comparisons (= <> < > <= >=) of a column with a quoted text or a number,
    // like with * wildcards, and/or/not, parentheses. Column names ignore case.
    QString Filter() const { return m_filterText; }
    void SetFilter(const QString &filter);
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool value);
    // Search with the Filter text whether or not Filtered is set; true when a row was found.
    bool FindFirst();
    bool FindNext();
    bool FindPrior();
    bool FindLast();

    int FieldCount() const { return int(m_fields.size()); }
    TField &Fields(int index) { return *m_fields[size_t(index)]; }
    TField *FindField(const QString &name);
    TField &FieldByName(const QString &name); // throws EngineError for an unknown name

    // Kept for the callers: the engine drives no data-aware controls.
    void DisableControls() { ++m_controlsDisabled; }
    void EnableControls();
    bool ControlsDisabled() const { return m_controlsDisabled > 0; }

    // Table lock: holds the table file's write lock (an immediate transaction on its
    // connection) until UnlockTable, which commits. Other processes keep reading; their
    // writes and locks wait (busy timeout, then retries) until it is released. Nests with
    // transactions. Closing the table gives up what a held lock or transaction wrote.
    void LockTable(int lockType = 0);
    void UnlockTable(int lockType = 0);
    bool TableLocked() const { return m_tableLocks > 0; }

    // A transaction on the table file for bulk loops; nests with table locks. Commit ends one
    // level; Rollback gives up every level on the file (table locks and the database's
    // transaction included), since SQLite cannot undo just the inner one.
    void StartTransaction();
    void Commit();
    void Rollback();

    // For TField.
    const QVariant &fieldValue(int index) const;
    void setFieldValue(int index, const QVariant &value);

private:
    struct Row {
        qint64 rowid = 0;
        QList<QVariant> values;
    };
    friend class TTdbDatabase;
    friend class TTableScan;
    friend class TTableAppender;

    SqliteConnection &conn() const;
    void requireActive(const char *operation) const;
    void requireBrowse(const char *operation) const;
    void requireWritable(const char *operation) const;
    void checkBrowseMode();
    void buildFields();
    void prepareCursorSql();
    void invalidateBuffer();
    bool windowValid() const;
    QString whereClause(bool includeFilter) const;
    // The rows beyond a row in index order (op is "<", "<=", ">" or ">="), its key values and
    // row id bound after the first key column's value.
    QStringList keysetConditions(const QString &op) const;
    int fetch(bool forward, const Row *from, bool inclusive, int limit, QList<Row> &out,
              const CompiledFilter *extra = nullptr, int offset = 0);
    int countWhere(const QString &extraCond, const Row *before);
    void setCurrent(const Row &row);
    void standOn(QList<Row> &&rows, int pos); // the batch becomes the window, rows[pos] current
    bool fetchEnd(bool forward);              // first or last batch; false (and no row) when empty
    void clearCurrent();
    bool rereadCurrent();
    Row readRow(sqlite3_stmt *stmt) const;
    bool locate(const QVariantList &keys, bool exact);
    QVariant searchValue(int col, const QVariant &key) const;
    std::shared_ptr<SqliteConnection> schemaConnection() const;
    void commitLevel();
    void beginWriting();
    void postOnServer(Row &row);
    bool findWith(bool forward, bool fromCurrent);

    TTdbDatabase *m_database = nullptr;
    QString m_databaseName;
    QString m_tableName;
    QString m_indexName;
    int m_tableLevel = 4;
    bool m_exclusive = false;
    bool m_readOnly = false;
    TFieldDefs m_fieldDefs;
    TIndexDefs m_indexDefs;

    std::shared_ptr<SqliteConnection> m_conn;
    // On the database server instead of an SQLite file: the database's connection.
    std::shared_ptr<PgConnection> m_pg;
    bool onServer() const;
    PgTable serverTable() const;
    QString rowidName() const;
    QString noCase(const QString &expr) const;
    quint64 writes() const;
    // Runs a row query on the server and returns its rows.
    QList<Row> serverRows(const QString &sql, const QVariantList &params) const;
    QString tableSql() const; // the quoted data table of the current backend
    std::unique_ptr<CompiledFilter> compileFilter(const QString &text) const;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<std::unique_ptr<TField>> m_fields;
    QHash<QString, int> m_fieldIndex;                              // exact spellings
    QHash<const void *, std::pair<qsizetype, int>> m_literalIndex; // static name -> size, field
    QString m_insertSql;

    // Current order: index column positions and whether text compares ignore case.
    QList<int> m_keyColumns;
    bool m_keyNoCase = false;
    QString m_selectList;
    QString m_orderAsc;
    QString m_orderDesc;
    QStringList m_keyExprs;
    QStringList m_keyMarks; // the placeholder each key column is compared with
    QString m_keyTuple;

    // Cursor: the current row and a window of rows fetched around it.
    bool m_hasRow = false;
    Row m_current;
    QList<Row> m_window;
    int m_windowPos = -1;
    quint64 m_windowWrites = 0; // the connection's write count when the window was fetched
    int m_batch = 1;
    bool m_eof = true;
    bool m_bof = true;
    int m_recNo = 0; // known position, 0 = unknown

    // Edit buffer while in Edit/Insert.
    QList<QVariant> m_edit;
    // The UTF-8 of the texts an insert binds, kept until the statement ran.
    std::vector<QByteArray> m_boundTexts;

    QString m_filterText;
    bool m_filtered = false;
    std::unique_ptr<CompiledFilter> m_filter;

    // The statement of the last SetFieldByKey and what it was built for.
    struct KeyedUpdate {
        QString index;
        QString field;
        qsizetype keys = 0;
        QString sql;
        int target = -1;
        QList<int> keyColumns;
    };
    KeyedUpdate m_keyedUpdate;

    int m_controlsDisabled = 0;
    int m_tableLocks = 0;
    int m_transactions = 0;
};
