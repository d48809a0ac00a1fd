#include "persistence/engine/sqliteconnection.h"

#include "persistence/engine/engineerror.h"

#include <QDeadlineTimer>
#include <QThread>
#include <cstring>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

QString sqlName(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

SqliteConnection::SqliteConnection(const QString &path, bool create, bool readOnly,
                                   int busyTimeoutMs)
    : m_path(path), m_busyTimeout(busyTimeoutMs)
{
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    // Each table object runs on the one thread that made it; no mutex is needed.
    flags |= SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EngineError(u"Cannot open %1: %2"_s.arg(path, msg));
    }
    sqlite3_extended_result_codes(m_db, 0);
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    try {
        if (!readOnly)
            exec(u"PRAGMA journal_mode=DELETE"_s);
        exec(u"PRAGMA synchronous=FULL"_s);
        // Reading through a memory map saves a system call and a copy per page; scans of the
        // stock table are bound by exactly that. Writes still go through the journal.
        exec(u"PRAGMA mmap_size=1073741824"_s);
        // Bulk imports write tens of thousands of rows per transaction; with SQLite's default
        // 2 MB the changed pages spill to the file before the commit and are written twice.
        exec(u"PRAGMA cache_size=-32768"_s);
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

SqliteConnection::~SqliteConnection()
{
    clearStatementCache();
    if (m_db) {
        if (m_depth > 0)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
}

void SqliteConnection::attach(const QString &path, const QString &alias, const QStringList &tables)
{
    if (m_depth > 0)
        throw EngineError(u"Cannot attach %1 inside a transaction (%2)"_s.arg(path, m_path));
    // The file name is bound, not pasted: directories may hold apostrophes.
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = u"ATTACH DATABASE ?1 AS %1"_s.arg(sqlName(alias)).toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(u"Cannot attach %1"_s.arg(path));
    }
    bind(stmt, 1, path);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        fail(u"Cannot attach %1"_s.arg(path));
    // Every file of the transaction must be as durable as the first one: the super-journal
    // only helps files that keep a rollback journal and sync it.
    const QString schema = sqlName(alias);
    if (!sqlite3_db_readonly(m_db, alias.toUtf8().constData()))
        exec(u"PRAGMA %1.journal_mode=DELETE"_s.arg(schema));
    exec(u"PRAGMA %1.synchronous=FULL"_s.arg(schema));
    exec(u"PRAGMA %1.mmap_size=1073741824"_s.arg(schema));
    exec(u"PRAGMA %1.cache_size=-32768"_s.arg(schema));
    for (const QString &table : tables)
        m_schemas.insert(table.toUpper(), alias);
}

QString SqliteConnection::schemaOf(const QString &table) const
{
    return m_schemas.value(table.toUpper(), u"main"_s);
}

void SqliteConnection::clearStatementCache()
{
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
}

sqlite3_stmt *SqliteConnection::prepare(const QString &sql)
{
    auto it = m_statements.constFind(sql);
    if (it != m_statements.constEnd()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(u"Cannot prepare statement"_s);
    }
    m_statements.insert(sql, stmt);
    return stmt;
}

void SqliteConnection::exec(const QString &sql)
{
    char *err = nullptr;
    QDeadlineTimer deadline(m_busyTimeout * 3);
    for (;;) {
        const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        if (rc == SQLITE_OK)
            return;
        const QString msg = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        err = nullptr;
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && m_depth == 0 && !deadline.hasExpired()) {
            QThread::msleep(5);
            continue;
        }
        throw EngineError(u"%1 (%2)"_s.arg(msg, m_path));
    }
}

int SqliteConnection::step(sqlite3_stmt *stmt)
{
    // The busy handler has already waited the timeout when SQLITE_BUSY comes back. Outside a
    // transaction nothing is held, so trying again cannot deadlock; inside one, only COMMIT
    // (waiting for readers to finish) may be retried, which begin()/commit() do themselves.
    QDeadlineTimer deadline(m_busyTimeout * 3);
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW || rc == SQLITE_DONE)
            return rc;
        sqlite3_reset(stmt);
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && m_depth == 0 &&
            sqlite3_get_autocommit(m_db) && !deadline.hasExpired()) {
            QThread::msleep(5);
            continue;
        }
        fail(u"Statement failed"_s);
    }
}

void SqliteConnection::fail(const QString &what) const
{
    throw EngineError(u"%1: %2 (%3)"_s.arg(what, QString::fromUtf8(sqlite3_errmsg(m_db)), m_path));
}

void SqliteConnection::check(int rc, const QString &what) const
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        fail(what);
}

void SqliteConnection::begin()
{
    if (m_depth == 0)
        exec(u"BEGIN IMMEDIATE"_s); // exec retries BUSY while nothing is held
    ++m_depth;
}

void SqliteConnection::commit()
{
    if (m_depth == 0)
        throw EngineError(u"Commit without transaction (%1)"_s.arg(m_path));
    if (m_depth > 1) {
        --m_depth;
        return;
    }
    // COMMIT waits for readers of other processes to let go; a reader that outlasts the
    // busy timeout leaves the transaction open, so keep trying for a while.
    QDeadlineTimer deadline(m_busyTimeout * 3);
    for (;;) {
        const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            break;
        if (rc == SQLITE_BUSY && !deadline.hasExpired()) {
            QThread::msleep(5);
            continue;
        }
        const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
        rollback();
        throw EngineError(u"Commit failed: %1 (%2)"_s.arg(msg, m_path));
    }
    m_depth = 0;
}

void SqliteConnection::rollback()
{
    if (m_depth == 0)
        return;
    m_depth = 0;
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteConnection::bind(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_bind_null(stmt, index);
        break;
    case QMetaType::Bool:
        sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob64(stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                            SQLITE_TRANSIENT);
        break;
    }
    default: {
        // UTF-8: SQLite takes a leading U+FEFF of UTF-16 input for a byte-order mark and drops
        // it, and the stored XML texts begin with one.
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text64(stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                            SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
}

void SqliteConnection::bind(sqlite3_stmt *stmt, int index, const QVariant &value, QByteArray &keep)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        keep = static_cast<const QString *>(value.constData())->toUtf8();
        sqlite3_bind_text64(stmt, index, keep.constData(), sqlite3_uint64(keep.size()),
                            SQLITE_STATIC, SQLITE_UTF8);
        break;
    case QMetaType::QByteArray:
        keep = value.toByteArray();
        sqlite3_bind_blob64(stmt, index, keep.constData(), sqlite3_uint64(keep.size()),
                            SQLITE_STATIC);
        break;
    default:
        bind(stmt, index, value);
        break;
    }
}

StatementReset::~StatementReset()
{
    sqlite3_reset(stmt);
}

QVariant SqliteConnection::column(sqlite3_stmt *stmt, int col, FieldType type)
{
    if (sqlite3_column_type(stmt, col) == SQLITE_NULL)
        return QVariant();
    switch (type) {
    case FieldType::Integer:
    case FieldType::Byte:
        return int(sqlite3_column_int64(stmt, col));
    case FieldType::Boolean:
        return sqlite3_column_int64(stmt, col) != 0;
    case FieldType::Float:
    case FieldType::DateTime:
        return sqlite3_column_double(stmt, col);
    case FieldType::Blob: {
        const void *data = sqlite3_column_blob(stmt, col);
        return QByteArray(static_cast<const char *>(data), sqlite3_column_bytes(stmt, col));
    }
    default:
        return text(stmt, col);
    }
}

QString SqliteConnection::text(sqlite3_stmt *stmt, int col)
{
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    const int size = sqlite3_column_bytes(stmt, col);
    // fromUtf8 skips a leading byte-order mark; XML texts keep theirs.
    if (size >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        return QString(QChar(0xFEFF)) + QString::fromUtf8(text + 3, size - 3);
    return QString::fromUtf8(text, size);
}
