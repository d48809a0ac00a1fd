#pragma once

#include "persistence/engine/fielddefs.h"

#include <QString>
#include <QVariant>

class SqliteConnection;

// How a table of the engine lies in its SQLite file: the data table under the upper-cased
// table name, its indexes as "<TABLE>$<INDEX>", and the definitions (type codes, widths,
// precision, index options, which SQLite does not keep) in the tables tdb_fields and
// tdb_indexes of the same file. A single-file database holds several tables this way.
namespace TableSchema
{

bool exists(SqliteConnection &c, const QString &table);
// Throws EngineError when the table is missing.
void read(SqliteConnection &c, const QString &table, TFieldDefs &fields, TIndexDefs &indexes);
void create(SqliteConnection &c, const QString &table, const TFieldDefs &fields,
            const TIndexDefs &indexes);
void drop(SqliteConnection &c, const QString &table);
// Rebuilds the table with the wanted columns and indexes, carrying every row (and its row id)
// over; columns are matched by name, values converted to the new type and width.
void rebuild(SqliteConnection &c, const QString &table, const TFieldDefs &wanted,
             const TIndexDefs &wantedIndexes);
void addIndex(SqliteConnection &c, const QString &table, const TFieldDefs &fields,
              const TIndexDef &index);
void dropIndex(SqliteConnection &c, const QString &table, const QString &index);

QString sqlTable(const QString &table); // the quoted data table name

} // namespace TableSchema

// What an unassigned column holds. The engine stores no NULLs: rows are written with columns
// nobody sets (a required text left empty counts as given), and keyset paging compares index
// values, which NULLs would leave unordered.
QVariant emptyValue(FieldType type);
