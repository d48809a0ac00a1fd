#include "persistence/engine/tableschema.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/sqliteconnection.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{

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

QString emptyLiteral(FieldType type)
{
    switch (type) {
    case FieldType::Blob:
        return u"x''"_s;
    default:
        return isTextType(type) ? u"''"_s : u"0"_s;
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

QString sqliteIndexName(const QString &table, const QString &index)
{
    return sqlName(table.toUpper() + u'$' + index.toUpper());
}

// The schema prefix of the file that holds the table ("main". unless it is attached).
QString in(SqliteConnection &c, const QString &table)
{
    return sqlName(c.schemaOf(table)) + u'.';
}

bool sqliteTableExists(SqliteConnection &c, const QString &schemaOf, const QString &name)
{
    sqlite3_stmt *stmt = c.prepare(u"SELECT 1 FROM %1sqlite_master WHERE type = 'table' AND "
                                   "name = ?1"_s.arg(in(c, schemaOf)));
    StatementReset reset{stmt};
    SqliteConnection::bind(stmt, 1, name);
    return c.step(stmt) == SQLITE_ROW;
}

void runWithTable(SqliteConnection &c, const QString &sql, const QString &table)
{
    sqlite3_stmt *stmt = c.prepare(sql);
    StatementReset reset{stmt};
    SqliteConnection::bind(stmt, 1, table);
    c.step(stmt);
}

void writeDefinitions(SqliteConnection &c, const QString &table, const TFieldDefs &fields,
                      const TIndexDefs &indexes)
{
    const QString s = in(c, table);
    c.exec(u"CREATE TABLE IF NOT EXISTS %1tdb_fields(tbl TEXT NOT NULL, pos INTEGER NOT NULL, "
           "name TEXT NOT NULL, type INTEGER NOT NULL, size INTEGER NOT NULL, "
           "required INTEGER NOT NULL, precision INTEGER NOT NULL, PRIMARY KEY(tbl, pos))"_s.arg(
               s));
    c.exec(u"CREATE TABLE IF NOT EXISTS %1tdb_indexes(tbl TEXT NOT NULL, name TEXT NOT NULL, "
           "fields TEXT NOT NULL, options INTEGER NOT NULL)"_s.arg(s));
    runWithTable(c, u"DELETE FROM %1tdb_fields WHERE tbl = ?1"_s.arg(s), table);
    runWithTable(c, u"DELETE FROM %1tdb_indexes WHERE tbl = ?1"_s.arg(s), table);
    sqlite3_stmt *stmt =
        c.prepare(u"INSERT INTO %1tdb_fields(tbl, pos, name, type, size, "
                  "required, precision) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"_s.arg(s));
    for (int i = 0; i < fields.Count(); ++i) {
        const TFieldDef &d = fields[i];
        StatementReset reset{stmt};
        const QVariantList values{table,      i, d.name, int(d.type), d.size, d.required ? 1 : 0,
                                  d.precision};
        for (int p = 0; p < values.size(); ++p)
            SqliteConnection::bind(stmt, p + 1, values[p]);
        c.step(stmt);
    }
    for (const TIndexDef &d : indexes.list()) {
        stmt = c.prepare(u"INSERT INTO %1tdb_indexes(tbl, name, fields, options) "
                         "VALUES (?1, ?2, ?3, ?4)"_s.arg(s));
        StatementReset reset{stmt};
        SqliteConnection::bind(stmt, 1, table);
        SqliteConnection::bind(stmt, 2, d.name);
        SqliteConnection::bind(stmt, 3, d.FieldList().join(u';'));
        SqliteConnection::bind(stmt, 4, d.options);
        c.step(stmt);
    }
}

void createIndex(SqliteConnection &c, const QString &table, const TFieldDefs &fields,
                 const TIndexDef &def)
{
    const QStringList names = def.FieldList();
    if (names.isEmpty())
        throw EngineError(u"Index %1 of table %2 has no fields"_s.arg(def.name, table));
    QStringList cols;
    for (const QString &name : names) {
        const int pos = fields.IndexOf(name);
        if (pos < 0)
            throw EngineError(
                u"Index %1 of table %2: unknown field %3"_s.arg(def.name, table, name));
        QString col = sqlName(fields[pos].name);
        if ((def.options & ixCaseInsensitive) && isTextType(fields[pos].type))
            col += u" COLLATE NOCASE"_s;
        cols.append(col);
    }
    c.exec(u"CREATE %1INDEX %2%3 ON %4 (%5)"_s.arg(
        (def.options & ixUnique) ? u"UNIQUE "_s : QString(), in(c, table),
        sqliteIndexName(table, def.name), TableSchema::sqlTable(table), cols.join(u", "_s)));
}

QString columnList(const TFieldDefs &fields)
{
    QStringList cols;
    for (const TFieldDef &d : fields.list())
        cols.append(sqlName(d.name) + u' ' + affinity(d.type));
    return cols.join(u", "_s);
}

} // namespace

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

QString TableSchema::sqlTable(const QString &table)
{
    return sqlName(table.toUpper());
}

bool TableSchema::exists(SqliteConnection &c, const QString &table)
{
    return sqliteTableExists(c, table, kFieldsTable) &&
           sqliteTableExists(c, table, table.toUpper());
}

void TableSchema::read(SqliteConnection &c, const QString &table, TFieldDefs &fields,
                       TIndexDefs &indexes)
{
    if (!exists(c, table))
        throw EngineError(u"Table %1 does not exist"_s.arg(table));
    TFieldDefs f;
    {
        sqlite3_stmt *stmt = c.prepare(u"SELECT name, type, size, required, precision FROM "
                                       "%1tdb_fields WHERE tbl = ?1 ORDER BY pos"_s.arg(in(c, table)));
        StatementReset reset{stmt};
        SqliteConnection::bind(stmt, 1, table.toUpper());
        while (c.step(stmt) == SQLITE_ROW) {
            const QString name =
                SqliteConnection::column(stmt, 0, FieldType::WideString).toString();
            const int type = sqlite3_column_int(stmt, 1);
            if (!isValidFieldType(type))
                throw EngineError(
                    u"Table %1: unknown type %2 of field %3"_s.arg(table).arg(type).arg(name));
            f.Add(name, FieldType(type), sqlite3_column_int(stmt, 2),
                  sqlite3_column_int(stmt, 3) != 0)
                .precision = sqlite3_column_int(stmt, 4);
        }
    }
    TIndexDefs ix;
    if (sqliteTableExists(c, table, kIndexesTable)) {
        sqlite3_stmt *stmt = c.prepare(u"SELECT name, fields, options FROM %1tdb_indexes WHERE "
                                       "tbl = ?1 ORDER BY rowid"_s.arg(in(c, table)));
        StatementReset reset{stmt};
        SqliteConnection::bind(stmt, 1, table.toUpper());
        while (c.step(stmt) == SQLITE_ROW)
            ix.Add(SqliteConnection::column(stmt, 0, FieldType::WideString).toString(),
                   SqliteConnection::column(stmt, 1, FieldType::WideString).toString(),
                   sqlite3_column_int(stmt, 2));
    }
    fields = f;
    indexes = ix;
}

void TableSchema::create(SqliteConnection &c, const QString &table, const TFieldDefs &fields,
                         const TIndexDefs &indexes)
{
    const QString name = table.toUpper();
    c.transaction([&] {
        c.exec(u"CREATE TABLE %1%2 (%3)"_s.arg(in(c, name), sqlTable(name), columnList(fields)));
        for (const TIndexDef &d : indexes.list())
            createIndex(c, name, fields, d);
        writeDefinitions(c, name, fields, indexes);
    });
}

void TableSchema::drop(SqliteConnection &c, const QString &table)
{
    const QString name = table.toUpper();
    c.transaction([&] {
        const QString s = in(c, name);
        c.exec(u"DROP TABLE %1%2"_s.arg(s, sqlTable(name)));
        runWithTable(c, u"DELETE FROM %1tdb_fields WHERE tbl = ?1"_s.arg(s), name);
        runWithTable(c, u"DELETE FROM %1tdb_indexes WHERE tbl = ?1"_s.arg(s), name);
    });
}

void TableSchema::rebuild(SqliteConnection &c, const QString &table, const TFieldDefs &wanted,
                          const TIndexDefs &wantedIndexes)
{
    const QString name = table.toUpper();
    // An index on a column that is gone would stop the rebuild half-way; refuse it first.
    for (const TIndexDef &d : wantedIndexes.list()) {
        for (const QString &field : d.FieldList()) {
            if (!wanted.Contains(field))
                throw EngineError(
                    u"AlterTable: index %1 of table %2 names the missing field %3"_s.arg(
                        d.name, table, field));
        }
    }
    const QString s = in(c, name);
    const QString temp = s + sqlName(name + u"$REBUILD"_s);
    c.transaction([&] {
        // Read inside the transaction: another process may have altered the table already.
        TFieldDefs stored;
        TIndexDefs storedIndexes;
        read(c, name, stored, storedIndexes);
        QStringList targets{u"rowid"_s};
        QStringList sources{u"rowid"_s};
        for (const TFieldDef &d : wanted.list()) {
            targets.append(sqlName(d.name));
            const int old = stored.IndexOf(d.name);
            sources.append(old >= 0 ? convertExpr(sqlName(stored[old].name), d)
                                    : emptyLiteral(d.type));
        }
        c.exec(u"DROP TABLE IF EXISTS %1"_s.arg(temp));
        c.exec(u"CREATE TABLE %1 (%2)"_s.arg(temp, columnList(wanted)));
        c.exec(u"INSERT INTO %1 (%2) SELECT %3 FROM %4"_s.arg(
            temp, targets.join(u", "_s), sources.join(u", "_s), s + sqlTable(name)));
        c.exec(u"DROP TABLE %1"_s.arg(s + sqlTable(name)));
        c.exec(u"ALTER TABLE %1 RENAME TO %2"_s.arg(temp, sqlTable(name)));
        for (const TIndexDef &d : wantedIndexes.list())
            createIndex(c, name, wanted, d);
        writeDefinitions(c, name, wanted, wantedIndexes);
    });
    // Cached statements name the old columns.
    c.clearStatementCache();
}

void TableSchema::addIndex(SqliteConnection &c, const QString &table, const TFieldDefs &fields,
                           const TIndexDef &index)
{
    const QString name = table.toUpper();
    c.transaction([&] {
        createIndex(c, name, fields, index);
        sqlite3_stmt *stmt = c.prepare(u"INSERT INTO %1tdb_indexes(tbl, name, fields, options) "
                                       "VALUES (?1, ?2, ?3, ?4)"_s.arg(in(c, name)));
        StatementReset reset{stmt};
        SqliteConnection::bind(stmt, 1, name);
        SqliteConnection::bind(stmt, 2, index.name);
        SqliteConnection::bind(stmt, 3, index.FieldList().join(u';'));
        SqliteConnection::bind(stmt, 4, index.options);
        c.step(stmt);
    });
}

void TableSchema::dropIndex(SqliteConnection &c, const QString &table, const QString &index)
{
    const QString name = table.toUpper();
    c.transaction([&] {
        const QString s = in(c, name);
        c.exec(u"DROP INDEX IF EXISTS %1%2"_s.arg(s, sqliteIndexName(name, index)));
        sqlite3_stmt *stmt = c.prepare(
            u"DELETE FROM %1tdb_indexes WHERE tbl = ?1 AND name = ?2 COLLATE NOCASE"_s.arg(s));
        StatementReset reset{stmt};
        SqliteConnection::bind(stmt, 1, name);
        SqliteConnection::bind(stmt, 2, index);
        c.step(stmt);
    });
}
