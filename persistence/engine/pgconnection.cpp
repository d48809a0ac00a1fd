#include "persistence/engine/pgconnection.h"

#include "persistence/engine/engineerror.h"

#include <cstring>
#include <postgresql/libpq-fe.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{

// The server's text forms, independent of the process's locale: numbers with a dot, bytes
// as bytea hex.
QByteArray paramText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: // the engine keeps booleans in integer columns, as SQLite does
        return value.toBool() ? "1" : "0";
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        return QByteArray::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(value.toDouble(), 'g', 17);
    case QMetaType::QByteArray:
        return "\\x" + value.toByteArray().toHex();
    default:
        return value.toString().toUtf8();
    }
}

} // namespace

void PgResult::Free::operator()(pg_result *r) const
{
    PQclear(r);
}

int PgResult::rows() const
{
    return m_result ? PQntuples(m_result.get()) : 0;
}

bool PgResult::isNull(int row, int col) const
{
    return PQgetisnull(m_result.get(), row, col) != 0;
}

QString PgResult::text(int row, int col) const
{
    const char *text = PQgetvalue(m_result.get(), row, col);
    const int size = PQgetlength(m_result.get(), row, col);
    // fromUtf8 skips a leading byte-order mark; XML texts keep theirs.
    if (size >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        return QString(QChar(0xFEFF)) + QString::fromUtf8(text + 3, size - 3);
    return QString::fromUtf8(text, size);
}

QByteArrayView PgResult::utf8(int row, int col) const
{
    return QByteArrayView(PQgetvalue(m_result.get(), row, col),
                          PQgetlength(m_result.get(), row, col));
}

qint64 PgResult::integer(int row, int col) const
{
    const char *v = PQgetvalue(m_result.get(), row, col);
    if (v[0] == 't' || v[0] == 'f') // a boolean column
        return v[0] == 't';
    return QByteArray(v).toLongLong();
}

double PgResult::real(int row, int col) const
{
    return QByteArray(PQgetvalue(m_result.get(), row, col)).toDouble();
}

QByteArray PgResult::bytes(int row, int col) const
{
    size_t size = 0;
    unsigned char *raw = PQunescapeBytea(
        reinterpret_cast<const unsigned char *>(PQgetvalue(m_result.get(), row, col)), &size);
    QByteArray out(reinterpret_cast<const char *>(raw), qsizetype(size));
    PQfreemem(raw);
    return out;
}

int PgResult::affected() const
{
    return m_result ? QByteArray(PQcmdTuples(m_result.get())).toInt() : 0;
}

QString pgPlaceholders(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 8);
    int n = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += u'$';
            if (i + 1 < sql.size() && sql[i + 1].isDigit())
                continue;
            out += QString::number(++n);
            continue;
        }
        out += c;
    }
    return out;
}

PgConnection::PgConnection(const QString &conninfo)
{
    m_conn = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString msg = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        PQfinish(m_conn);
        m_conn = nullptr;
        throw EngineError(u"Cannot connect to the database server: %1"_s.arg(msg));
    }
    // Server notices (e.g. "relation already exists, skipping") are no news to a user.
    PQsetNoticeProcessor(
        m_conn, [](void *, const char *) {}, nullptr);
    // Whatever the server or the role says: UTF-8 texts, UTC, ISO numbers. Stored data must
    // not depend on where the server stands.
    exec(u"SET client_encoding = 'UTF8'; SET TimeZone = 'UTC'; SET DateStyle = 'ISO'"_s);
}

PgConnection::~PgConnection()
{
    PQfinish(m_conn);
}

PgResult PgConnection::exec(const QString &sql, const QVariantList &params)
{
    const QByteArray text = (params.isEmpty() ? sql : pgPlaceholders(sql)).toUtf8();
    PGresult *raw = nullptr;
    if (params.isEmpty()) {
        raw = PQexec(m_conn, text.constData());
    } else {
        std::vector<QByteArray> values;
        std::vector<const char *> pointers;
        values.reserve(size_t(params.size()));
        for (const QVariant &v : params) {
            values.push_back(paramText(v));
            pointers.push_back(v.isValid() ? values.back().constData() : nullptr);
        }
        raw = PQexecParams(m_conn, text.constData(), int(params.size()), nullptr, pointers.data(),
                           nullptr, nullptr, 0);
    }
    PgResult result(raw);
    const ExecStatusType status = PQresultStatus(raw);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString msg = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        throw EngineError(u"%1 (%2)"_s.arg(msg, sql.left(200)));
    }
    return result;
}

PgResult PgConnection::execGuarded(const QString &sql, const QVariantList &params)
{
    if (m_depth == 0)
        return exec(sql, params);
    exec(u"SAVEPOINT tdb_statement"_s);
    try {
        PgResult r = exec(sql, params);
        exec(u"RELEASE SAVEPOINT tdb_statement"_s);
        return r;
    } catch (...) {
        PQclear(PQexec(m_conn, "ROLLBACK TO SAVEPOINT tdb_statement"));
        throw;
    }
}

void PgConnection::setLockTimeout(int ms)
{
    exec(u"SET lock_timeout = %1"_s.arg(qMax(ms, 1)));
}

void PgConnection::begin()
{
    if (m_depth == 0)
        exec(u"BEGIN"_s);
    ++m_depth;
}

void PgConnection::commit()
{
    if (m_depth == 0)
        throw EngineError(u"Commit without transaction"_s);
    if (--m_depth > 0)
        return;
    try {
        exec(u"COMMIT"_s);
    } catch (...) {
        PQclear(PQexec(m_conn, "ROLLBACK"));
        throw;
    }
}

void PgConnection::rollback()
{
    if (m_depth == 0)
        return;
    m_depth = 0;
    PQclear(PQexec(m_conn, "ROLLBACK"));
}

int PgConnection::backendPid() const
{
    return PQbackendPID(m_conn);
}
