#include "persistence/engine/tableappender.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/sqliteconnection.h"
#include "persistence/engine/tableschema.h"
#include "persistence/engine/tdbtable.h"

#include <cmath>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

TTableAppender::TTableAppender(TTdbTable &table, const QStringList &columns) : m_table(table)
{
    table.requireWritable("Append");
    for (const QString &name : columns) {
        const TField *field = table.FindField(name);
        if (!field)
            throw EngineError(u"Table %1 has no field %2"_s.arg(table.TableName(), name));
        m_columns.append(field->FieldNo());
    }
    m_set.assign(size_t(m_columns.size()), false);
    m_texts.resize(size_t(m_columns.size()));
    table.checkBrowseMode();
    if (table.onServer()) {
        m_pending = QList<QVariant>(m_columns.size());
        return;
    }
    m_conn = table.m_conn;
    // A statement of our own, not the connection's shared one: the bindings of the columns
    // nobody sets are made once and stay.
    const QByteArray sql = table.m_insertSql.toUtf8();
    if (sqlite3_prepare_v3(m_conn->handle(), sql.constData(), int(sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_conn->fail(u"Cannot prepare statement"_s);
    }
    const TFieldDefs &defs = table.m_fieldDefs;
    for (int i = 0; i < defs.Count(); ++i) {
        if (!m_columns.contains(i))
            SqliteConnection::bind(m_stmt, i + 1, emptyValue(defs[i].type));
    }
}

TTableAppender::~TTableAppender()
{
    sqlite3_finalize(m_stmt);
}

const TFieldDef &TTableAppender::def(int column) const
{
    return m_table.m_fieldDefs[m_columns[column]];
}

void TTableAppender::setVariant(int column, const QVariant &value)
{
    const int field = m_columns[column];
    QVariant v = m_table.Fields(field).normalised(value);
    if (!m_conn) {
        m_pending[column] = std::move(v);
        return;
    }
    if (!v.isValid())
        v = emptyValue(m_table.m_fieldDefs[field].type);
    SqliteConnection::bind(m_stmt, field + 1, v, m_texts[size_t(column)]);
    m_set[size_t(column)] = true;
}

// The typed setters bind the common cases straight away; they store what TField::normalised
// makes of the value, and leave everything else (single-byte texts, rounded floats, numbers
// in text columns) to it.
void TTableAppender::Set(int column, const QString &value)
{
    const TFieldDef &d = def(column);
    if (!m_conn || (d.type != FieldType::WideString && d.type != FieldType::WideMemo)) {
        setVariant(column, value);
        return;
    }
    QByteArray &utf8 = m_texts[size_t(column)];
    if (d.type == FieldType::WideString && d.size > 0 && value.size() > d.size)
        utf8 = QStringView(value).left(d.size).toUtf8();
    else
        utf8 = value.toUtf8();
    sqlite3_bind_text64(m_stmt, m_columns[column] + 1, utf8.constData(),
                        sqlite3_uint64(utf8.size()), SQLITE_STATIC, SQLITE_UTF8);
    m_set[size_t(column)] = true;
}

void TTableAppender::Set(int column, double value)
{
    const TFieldDef &d = def(column);
    const bool plain =
        (d.type == FieldType::Float && d.precision <= 0) || d.type == FieldType::DateTime;
    if (!m_conn || !plain || !std::isfinite(value)) {
        setVariant(column, value);
        return;
    }
    sqlite3_bind_double(m_stmt, m_columns[column] + 1, value);
    m_set[size_t(column)] = true;
}

void TTableAppender::Set(int column, int value)
{
    if (!m_conn || def(column).type != FieldType::Integer) {
        setVariant(column, value);
        return;
    }
    sqlite3_bind_int64(m_stmt, m_columns[column] + 1, value);
    m_set[size_t(column)] = true;
}

void TTableAppender::Set(int column, bool value)
{
    if (!m_conn || def(column).type != FieldType::Boolean) {
        setVariant(column, value);
        return;
    }
    sqlite3_bind_int(m_stmt, m_columns[column] + 1, value ? 1 : 0);
    m_set[size_t(column)] = true;
}

void TTableAppender::Post()
{
    if (!m_conn) {
        // A refused row must not stay in the cursor's insert state, or the next Append
        // would post it again.
        m_table.Append();
        try {
            for (qsizetype i = 0; i < m_columns.size(); ++i) {
                if (m_pending[i].isValid())
                    m_table.Fields(m_columns[i]).SetAsVariant(m_pending[i]);
            }
            m_table.Post();
        } catch (...) {
            m_pending.fill(QVariant());
            m_table.Cancel();
            throw;
        }
        m_pending.fill(QVariant());
        return;
    }
    const TFieldDefs &defs = m_table.m_fieldDefs;
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        const bool set = m_set[size_t(i)];
        m_set[size_t(i)] = false;
        if (!set)
            SqliteConnection::bind(m_stmt, m_columns[i] + 1, emptyValue(defs[m_columns[i]].type));
    }
    try {
        m_conn->step(m_stmt);
    } catch (const EngineError &e) {
        throw EngineError(u"Post: %1"_s.arg(e.message()));
    }
    sqlite3_reset(m_stmt);
    // Cursors of the connection fetch their rows anew.
    m_conn->noteWrite();
}
