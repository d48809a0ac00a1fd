#include "persistence/engine/pgtable.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/filterparser.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tableschema.h"

#include <QCryptographicHash>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace
{

constexpr qsizetype kMaxNameBytes = 63;

QString qualified(const QString &schema, const QString &name)
{
    return sqlName(schema) + u'.' + sqlName(name);
}

// A name the server keeps whole: long ones end in a hash of the full name.
QString serverName(const QString &name)
{
    if (name.toUtf8().size() <= kMaxNameBytes)
        return name;
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(24));
    QString head = name.left(30);
    while (head.toUtf8().size() > kMaxNameBytes - 25)
        head.chop(1);
    return head + u'~' + hash;
}

bool isText(FieldType type)
{
    return isTextType(type);
}

QString sqlType(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
    case FieldType::Byte:
    case FieldType::Boolean:
        return u"bigint"_s;
    case FieldType::Float:
    case FieldType::DateTime:
        return u"double precision"_s;
    case FieldType::Blob:
        return u"bytea"_s;
    default:
        return u"text"_s;
    }
}

} // namespace

QVariant PgTable::value(const PgResult &r, int row, int col, FieldType type)
{
    switch (type) {
    case FieldType::Integer:
    case FieldType::Byte:
        return int(r.integer(row, col));
    case FieldType::Boolean:
        return r.integer(row, col) != 0;
    case FieldType::Float:
    case FieldType::DateTime:
        return r.real(row, col);
    case FieldType::Blob:
        return r.bytes(row, col);
    default:
        return r.text(row, col);
    }
}

QString pgSchemaName(const QString &relativeDir)
{
    QString dir = relativeDir;
    dir.replace(u'\\', u'/');
    while (dir.endsWith(u'/'))
        dir.chop(1);
    while (dir.startsWith(u'/'))
        dir.remove(0, 1);
    if (dir.isEmpty())
        dir = u"."_s;
    return serverName(dir);
}

QString pgSchemaFor(PgConnection &c, const QString &relativeDir)
{
    const QString schema = pgSchemaName(relativeDir);
    c.begin();
    try {
        // Two workstations opening a new directory at once would both try to create it.
        c.exec(u"SELECT pg_advisory_xact_lock(0, 0)"_s);
        c.exec(u"CREATE TABLE IF NOT EXISTS public.tdb_schemas(schema_name text COLLATE \"C\" "
               "PRIMARY KEY, directory text COLLATE \"C\" NOT NULL UNIQUE)"_s);
        const PgResult known =
            c.exec(u"SELECT directory FROM public.tdb_schemas WHERE schema_name = ?"_s, {schema});
        QString dir = relativeDir;
        dir.replace(u'\\', u'/');
        if (known.rows() == 0) {
            c.exec(u"INSERT INTO public.tdb_schemas(schema_name, directory) VALUES (?, ?)"_s,
                   {schema, dir});
        } else if (known.text(0, 0) != dir && schema != dir) {
            throw EngineError(
                u"Schema %1 belongs to %2, not %3"_s.arg(schema, known.text(0, 0), dir));
        }
        c.exec(u"CREATE SCHEMA IF NOT EXISTS %1"_s.arg(sqlName(schema)));
        c.exec(u"CREATE TABLE IF NOT EXISTS %1(tbl text COLLATE \"C\" NOT NULL, pos integer NOT "
               "NULL, name text COLLATE \"C\" NOT NULL, type integer NOT NULL, size integer NOT "
               "NULL, required boolean NOT NULL, precision integer NOT NULL, PRIMARY KEY(tbl, "
               "pos))"_s.arg(qualified(schema, u"tdb_fields"_s)));
        c.exec(u"CREATE TABLE IF NOT EXISTS %1(id bigint GENERATED ALWAYS AS IDENTITY, tbl text "
               "COLLATE \"C\" NOT NULL, name text COLLATE \"C\" NOT NULL, fields text NOT NULL, "
               "options integer NOT NULL)"_s.arg(qualified(schema, u"tdb_indexes"_s)));
        c.commit();
    } catch (...) {
        c.rollback();
        throw;
    }
    return schema;
}

QString pgFoldAscii(const QString &expr)
{
    return u"translate(%1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')"_s.arg(expr);
}

QString pgFilterSql(const QString &sqliteCondition)
{
    // The parser writes a like as: "<column>" [NOT ]LIKE ? ESCAPE '\'
    static const QRegularExpression like(uR"(("(?:[^"]|"")+") (NOT )?LIKE \? ESCAPE)"_s);
    QString out = sqliteCondition;
    out.replace(like, pgFoldAscii(u"\\1"_s) + u" \\2LIKE "_s + pgFoldAscii(u"?"_s) + u" ESCAPE"_s);
    return out;
}

PgTable::PgTable(PgConnection &c, const QString &schema, const QString &table)
    : m_c(c), m_schema(schema), m_table(table.toUpper())
{
}

QString PgTable::sqlTable() const
{
    return qualified(m_schema, m_table);
}

bool PgTable::exists()
{
    return m_c.exec(u"SELECT 1 FROM pg_tables WHERE schemaname = ? AND tablename = ?"_s,
                    {m_schema, m_table})
               .rows() > 0;
}

QString PgTable::columnSql(const TFieldDef &d) const
{
    const QString type = sqlType(d.type);
    QString def = u"0"_s;
    if (type == u"text"_s)
        return sqlName(d.name) + u" text COLLATE \"C\" NOT NULL DEFAULT ''"_s;
    if (type == u"bytea"_s)
        def = u"''"_s;
    return sqlName(d.name) + u' ' + type + u" NOT NULL DEFAULT "_s + def;
}

QString PgTable::indexName(const QString &index) const
{
    return sqlName(serverName(m_table + u'$' + index.toUpper()));
}

void PgTable::createIndex(const TIndexDef &def)
{
    QStringList cols;
    for (const QString &name : def.FieldList()) {
        const int pos = m_fields.IndexOf(name);
        if (pos < 0)
            throw EngineError(
                u"Index %1 of table %2: unknown field %3"_s.arg(def.name, m_table, name));
        const QString col = sqlName(m_fields[pos].name);
        cols.append((def.options & ixCaseInsensitive) && isText(m_fields[pos].type)
                        ? u"(%1)"_s.arg(pgFoldAscii(col))
                        : col);
    }
    // The row id ends every index: keyset paging orders by it after the keys.
    if (!(def.options & ixUnique))
        cols.append(u"tdb_rowid"_s);
    m_c.exec(
        u"CREATE %1INDEX %2 ON %3 (%4)"_s.arg((def.options & ixUnique) ? u"UNIQUE "_s : QString(),
                                              indexName(def.name), sqlTable(), cols.join(u", "_s)));
}

void PgTable::create(const TFieldDefs &fields, const TIndexDefs &indexes)
{
    m_fields = fields;
    m_indexes = indexes;
    QStringList cols{u"tdb_rowid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"_s};
    for (const TFieldDef &d : fields.list())
        cols.append(columnSql(d));
    m_c.begin();
    try {
        m_c.exec(u"CREATE TABLE %1 (%2)"_s.arg(sqlTable(), cols.join(u", "_s)));
        for (const TIndexDef &d : indexes.list())
            createIndex(d);
        writeDefinitions();
        m_c.commit();
    } catch (...) {
        m_c.rollback();
        throw;
    }
}

void PgTable::drop()
{
    m_c.begin();
    try {
        m_c.exec(u"DROP TABLE IF EXISTS %1"_s.arg(sqlTable()));
        m_c.exec(u"DELETE FROM %1 WHERE tbl = ?"_s.arg(qualified(m_schema, u"tdb_fields"_s)),
                 {m_table});
        m_c.exec(u"DELETE FROM %1 WHERE tbl = ?"_s.arg(qualified(m_schema, u"tdb_indexes"_s)),
                 {m_table});
        m_c.commit();
    } catch (...) {
        m_c.rollback();
        throw;
    }
}

void PgTable::readDefinitions()
{
    m_fields.Clear();
    m_indexes.Clear();
    const PgResult f = m_c.exec(u"SELECT name, type, size, required, precision FROM %1 WHERE "
                                "tbl = ? ORDER BY pos"_s.arg(qualified(m_schema, u"tdb_fields"_s)),
                                {m_table});
    for (int i = 0; i < f.rows(); ++i)
        m_fields
            .Add(f.text(i, 0), FieldType(f.integer(i, 1)), int(f.integer(i, 2)),
                 f.integer(i, 3) != 0)
            .precision = int(f.integer(i, 4));
    const PgResult x = m_c.exec(u"SELECT name, fields, options FROM %1 WHERE tbl = ? ORDER BY "
                                "id"_s.arg(qualified(m_schema, u"tdb_indexes"_s)),
                                {m_table});
    for (int i = 0; i < x.rows(); ++i)
        m_indexes.Add(x.text(i, 0), x.text(i, 1), int(x.integer(i, 2)));
}

void PgTable::open()
{
    if (!exists())
        throw EngineError(u"Table %1 does not exist (%2)"_s.arg(m_table, m_schema));
    readDefinitions();
}

void PgTable::writeDefinitions()
{
    const QString defs = qualified(m_schema, u"tdb_fields"_s);
    const QString indexes = qualified(m_schema, u"tdb_indexes"_s);
    m_c.exec(u"DELETE FROM %1 WHERE tbl = ?"_s.arg(defs), {m_table});
    m_c.exec(u"DELETE FROM %1 WHERE tbl = ?"_s.arg(indexes), {m_table});
    for (int i = 0; i < m_fields.Count(); ++i) {
        const TFieldDef &d = m_fields[i];
        m_c.exec(u"INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?, ?)"_s.arg(defs),
                 {m_table, i, d.name, int(d.type), d.size, d.required, d.precision});
    }
    for (const TIndexDef &d : m_indexes.list())
        m_c.exec(u"INSERT INTO %1(tbl, name, fields, options) VALUES (?, ?, ?, ?)"_s.arg(indexes),
                 {m_table, d.name, d.FieldList().join(u';'), d.options});
}

void PgTable::alter(const TFieldDefs &wanted, const TIndexDefs &wantedIndexes)
{
    const TFieldDefs old = m_fields;
    const TIndexDefs oldIndexes = m_indexes;
    m_c.transaction([&] {
        for (const TIndexDef &d : oldIndexes.list())
            m_c.exec(u"DROP INDEX IF EXISTS %1.%2"_s.arg(sqlName(m_schema), indexName(d.name)));
        // Rows and their ids stay where they are; only columns come, go or change type.
        for (const TFieldDef &d : old.list()) {
            if (!wanted.Contains(d.name))
                m_c.exec(u"ALTER TABLE %1 DROP COLUMN %2"_s.arg(sqlTable(), sqlName(d.name)));
        }
        for (const TFieldDef &d : wanted.list()) {
            const int was = old.IndexOf(d.name);
            const QString col = sqlName(old.Contains(d.name) ? old[was].name : d.name);
            if (was < 0) {
                m_c.exec(u"ALTER TABLE %1 ADD COLUMN %2"_s.arg(sqlTable(), columnSql(d)));
                continue;
            }
            if (old[was].name != d.name)
                m_c.exec(u"ALTER TABLE %1 RENAME COLUMN %2 TO %3"_s.arg(sqlTable(), col,
                                                                        sqlName(d.name)));
            const QString name = sqlName(d.name);
            const QString from = sqlType(old[was].type);
            const QString to = sqlType(d.type);
            if (from != to) {
                // Texts that do not read as numbers become 0, as SQLite's conversion has it.
                QString cast = u"%1::%2"_s.arg(name, to);
                if (from == u"text"_s && to != u"bytea"_s)
                    cast = u"CASE WHEN %1 ~ '^\\s*[-+]?[0-9]+(\\.[0-9]*)?\\s*$' THEN "
                           "trim(%1)::double precision ELSE 0 END"_s.arg(name);
                else if (to == u"bigint"_s)
                    cast = u"trunc(%1)::bigint"_s.arg(name);
                m_c.exec(u"ALTER TABLE %1 ALTER COLUMN %2 DROP DEFAULT, ALTER COLUMN %2 TYPE %3 "
                         "USING %4"_s.arg(sqlTable(), name, to, cast));
                m_c.exec(u"ALTER TABLE %1 ALTER COLUMN %2 SET DEFAULT %3"_s.arg(
                    sqlTable(), name, to == u"text"_s || to == u"bytea"_s ? u"''"_s : u"0"_s));
                if (to == u"text"_s)
                    m_c.exec(u"ALTER TABLE %1 ALTER COLUMN %2 TYPE text COLLATE \"C\""_s.arg(
                        sqlTable(), name));
            }
            if (isText(d.type) && d.size > 0 &&
                (old[was].size == 0 || d.size < old[was].size || !isText(old[was].type)))
                m_c.exec(
                    u"UPDATE %1 SET %2 = left(%2, %3) WHERE length(%2) > %3"_s.arg(sqlTable(), name)
                        .arg(d.size));
        }
        m_fields = wanted;
        m_indexes = wantedIndexes;
        for (const TIndexDef &d : wantedIndexes.list())
            createIndex(d);
        writeDefinitions();
    });
}

void PgTable::addIndex(const TIndexDef &index)
{
    m_c.transaction([&] {
        createIndex(index);
        m_indexes.Add(index.name, index.FieldList().join(u';'), index.options);
        writeDefinitions();
    });
}

void PgTable::dropIndex(const QString &name)
{
    m_c.transaction([&] {
        m_c.exec(u"DROP INDEX IF EXISTS %1.%2"_s.arg(sqlName(m_schema), indexName(name)));
        const int pos = m_indexes.IndexOf(name);
        if (pos >= 0)
            m_indexes.Delete(pos);
        writeDefinitions();
    });
}

QStringList PgTable::tableNames(PgConnection &c, const QString &schema)
{
    const PgResult r = c.exec(
        u"SELECT DISTINCT tbl FROM %1 ORDER BY tbl"_s.arg(qualified(schema, u"tdb_fields"_s)));
    QStringList names;
    for (int i = 0; i < r.rows(); ++i)
        names.append(r.text(i, 0));
    return names;
}

qint64 PgTable::append(const QList<QVariant> &values)
{
    QStringList cols;
    QStringList marks;
    QVariantList params;
    for (int i = 0; i < m_fields.Count() && i < values.size(); ++i) {
        const TFieldDef &d = m_fields[i];
        cols.append(sqlName(d.name));
        marks.append(u"?"_s);
        QVariant v = values[i].isValid() ? values[i] : emptyValue(d.type);
        if (isText(d.type) && d.size > 0)
            v = v.toString().left(d.size);
        params.append(v);
    }
    const PgResult r = m_c.exec(u"INSERT INTO %1 (%2) VALUES (%3) RETURNING tdb_rowid"_s.arg(
                                    sqlTable(), cols.join(u", "_s), marks.join(u", "_s)),
                                params);
    return r.integer(0, 0);
}

QList<PgTable::Row> PgTable::fetch(const QString &index, const CompiledFilter *filter,
                                   const Row *after, int limit)
{
    QStringList keys;
    QList<int> keyCols;
    if (!index.isEmpty()) {
        const int ix = m_indexes.IndexOf(index);
        if (ix < 0)
            throw EngineError(u"Table %1 has no index %2"_s.arg(m_table, index));
        const TIndexDef &def = m_indexes[ix];
        for (const QString &name : def.FieldList()) {
            const int pos = m_fields.IndexOf(name);
            const QString col = sqlName(m_fields[pos].name);
            keys.append((def.options & ixCaseInsensitive) && isText(m_fields[pos].type)
                            ? pgFoldAscii(col)
                            : col);
            keyCols.append(pos);
        }
    }
    keys.append(u"tdb_rowid"_s);
    QStringList select{u"tdb_rowid"_s};
    for (const TFieldDef &d : m_fields.list())
        select.append(sqlName(d.name));
    QStringList where;
    QVariantList params;
    if (filter && !filter->sql.isEmpty()) {
        where.append(u'(' + pgFilterSql(filter->sql) + u')');
        params += filter->params;
    }
    if (after) {
        QStringList marks;
        for (qsizetype i = 0; i + 1 < keys.size(); ++i) {
            const bool folded = keys[i].startsWith(u"translate("_s);
            marks.append(folded ? pgFoldAscii(u"?"_s) : u"?"_s);
            params.append(after->values.value(keyCols[i]));
        }
        marks.append(u"?"_s);
        params.append(after->rowid);
        where.append(u"(%1) > (%2)"_s.arg(keys.join(u", "_s), marks.join(u", "_s)));
    }
    const QString sql =
        u"SELECT %1 FROM %2%3 ORDER BY %4 LIMIT %5"_s
            .arg(select.join(u", "_s), sqlTable(),
                 where.isEmpty() ? QString() : u" WHERE "_s + where.join(u" AND "_s),
                 keys.join(u", "_s))
            .arg(limit);
    const PgResult r = m_c.exec(sql, params);
    QList<Row> rows;
    rows.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i) {
        Row row;
        row.rowid = r.integer(i, 0);
        for (int c = 0; c < m_fields.Count(); ++c)
            row.values.append(value(r, i, c + 1, m_fields[c].type));
        rows.append(std::move(row));
    }
    return rows;
}

int PgTable::count(const CompiledFilter *filter)
{
    if (!filter || filter->sql.isEmpty())
        return int(m_c.exec(u"SELECT count(*) FROM %1"_s.arg(sqlTable())).integer(0, 0));
    return int(
        m_c.exec(u"SELECT count(*) FROM %1 WHERE %2"_s.arg(sqlTable(), pgFilterSql(filter->sql)),
                 filter->params)
            .integer(0, 0));
}
