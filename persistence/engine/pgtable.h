#pragma once

#include "persistence/engine/fielddefs.h"

#include <QList>
#include <QString>
#include <QVariant>

class PgConnection;
class PgResult;
struct CompiledFilter;

// The server's place for a database directory: one schema per directory, named by the
// directory's path relative to the suite root. Names longer than the server's 63 bytes are
// replaced by a hash; the table tdb_schemas (in public) maps every schema back to its path.
// Creates the schema when it is missing and returns its (unquoted) name.
QString pgSchemaFor(PgConnection &c, const QString &relativeDir);
// The schema name a directory gets, without asking the server.
QString pgSchemaName(const QString &relativeDir);

// The server-side expression that folds ASCII letters as SQLite's NOCASE and LIKE do: other
// letters (umlauts) keep their case, where the server's lower() or ILIKE would fold them.
QString pgFoldAscii(const QString &expr);
// A filter parser condition for the server: like compares ASCII-folded both sides.
QString pgFilterSql(const QString &sqliteCondition);

// A table of the engine on the server: the rows under the upper-cased table name with a
// row id column (tdb_rowid, an identity, stable for keyset paging as SQLite's rowid is),
// texts in COLLATE "C" so that order is by character code whatever the server's locale;
// the definitions in tdb_fields and tdb_indexes of the same schema.
class PgTable
{
public:
    struct Row {
        qint64 rowid = 0;
        QList<QVariant> values;
    };

    PgTable(PgConnection &c, const QString &schema, const QString &table);

    bool exists();
    void create(const TFieldDefs &fields, const TIndexDefs &indexes);
    void drop();
    // Loads the stored definitions; throws EngineError when the table is missing.
    void open();
    // Rebuilds the columns after FieldDefs changed (matched by name, values converted to the
    // new type and width, row ids kept) and the indexes as wanted.
    void alter(const TFieldDefs &wanted, const TIndexDefs &wantedIndexes);
    void alter(const TFieldDefs &wanted) { alter(wanted, m_indexes); }
    void addIndex(const TIndexDef &index);
    void dropIndex(const QString &name);

    const TFieldDefs &fields() const { return m_fields; }
    const TIndexDefs &indexes() const { return m_indexes; }

    // Values in column order; texts are cut to the column width. Returns the row id.
    qint64 append(const QList<QVariant> &values);
    // At most limit rows in the order of index (row id order for an empty name) under filter
    // (a condition of the filter parser, may be null), after the row "after" when given.
    QList<Row> fetch(const QString &index, const CompiledFilter *filter, const Row *after,
                     int limit);
    int count(const CompiledFilter *filter = nullptr);

    QString sqlTable() const; // schema-qualified, quoted
    // The tables of a schema, as their definitions name them.
    static QStringList tableNames(PgConnection &c, const QString &schema);
    // A column of a result as the value type of the engine's field type.
    static QVariant value(const PgResult &r, int row, int col, FieldType type);

private:
    void readDefinitions();
    void createIndex(const TIndexDef &def);
    QString columnSql(const TFieldDef &def) const;
    QString indexName(const QString &index) const;
    void writeDefinitions();

    PgConnection &m_c;
    QString m_schema;
    QString m_table;
    TFieldDefs m_fields;
    TIndexDefs m_indexes;
};
