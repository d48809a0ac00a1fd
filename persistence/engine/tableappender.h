#pragma once

#include "persistence/engine/fielddefs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class SqliteConnection;
class TTdbTable;
struct sqlite3_stmt;

// Appends rows to an open table through one prepared insert, for bulk loops that add rows by
// the hundred thousand. The cursor's Append/Post builds an edit row of every column, copies it
// into its current row and looks every field up by name; here a row is only its values. The
// values are converted and cut as the table's fields do, so that a row reads the same whichever
// way it came in; columns not given are stored as Post stores unset ones. The table's cursor
// is not moved (its buffered rows are marked old), except on the database server, where the
// rows go in through the cursor.
class TTableAppender
{
public:
    // Throws EngineError for a column the table does not have or a table that cannot be written.
    TTableAppender(TTdbTable &table, const QStringList &columns);
    ~TTableAppender();
    TTableAppender(const TTableAppender &) = delete;
    TTableAppender &operator=(const TTableAppender &) = delete;

    // The value of the next row's column, by position in the columns given; as the field's
    // SetAsString, SetAsFloat, SetAsInteger and SetAsBoolean. Throws EngineError for a value
    // the column cannot hold.
    void Set(int column, const QString &value);
    void Set(int column, double value);
    void Set(int column, int value);
    void Set(int column, bool value);
    // Inserts the row and starts the next one with every column unset.
    void Post();

private:
    // Any value, converted by the column's field.
    void setVariant(int column, const QVariant &value);
    const TFieldDef &def(int column) const;

    TTdbTable &m_table;
    QList<int> m_columns;                     // field numbers of the given columns
    std::shared_ptr<SqliteConnection> m_conn; // null on the server
    sqlite3_stmt *m_stmt = nullptr;
    std::vector<QByteArray> m_texts; // the UTF-8 of the bound texts, kept until the insert ran
    std::vector<bool> m_set;
    QList<QVariant> m_pending; // on the server: the row until Post
};
