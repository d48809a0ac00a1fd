#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

struct pg_conn;
struct pg_result;

// One result of the server, freed with the object.
class PgResult
{
public:
    explicit PgResult(pg_result *result = nullptr) : m_result(result) {}
    int rows() const;
    bool isNull(int row, int col) const;
    QString text(int row, int col) const;
    qint64 integer(int row, int col) const;
    double real(int row, int col) const;
    QByteArray bytes(int row, int col) const; // a bytea column
    QByteArrayView utf8(int row, int col) const; // the text as the server sent it
    // Rows changed by an INSERT, UPDATE or DELETE.
    int affected() const;

private:
    struct Free {
        void operator()(pg_result *r) const;
    };
    std::unique_ptr<pg_result, Free> m_result;
};

// A connection to the database server. Values always travel as parameters, never inside the
// SQL text; the text may use SQLite's '?' placeholders, which become $1, $2, ... here, so
// that the filter parser's conditions serve both backends. Transactions nest as on the
// SQLite side: only the outermost level reaches the server.
class PgConnection
{
public:
    // conninfo: key=value pairs or a postgresql:// URL, without a password (the server's
    // password file supplies it). Throws EngineError when the server cannot be reached.
    explicit PgConnection(const QString &conninfo);
    ~PgConnection();
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    PgResult exec(const QString &sql, const QVariantList &params = {});
    // A statement that may fail (a unique key) without ending the surrounding transaction,
    // as a failed statement leaves an SQLite transaction intact.
    PgResult execGuarded(const QString &sql, const QVariantList &params = {});
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }
    int depth() const { return m_depth; }
    // Incremented whenever this connection wrote, so cursors can tell that their batch is old.
    quint64 writeCount() const { return m_writes; }
    void noteWrite() { ++m_writes; }
    // How long a statement waits for another connection's lock before it fails.
    void setLockTimeout(int ms);

    template <class Fn> void transaction(Fn &&fn)
    {
        begin();
        try {
            fn();
            noteWrite();
            commit();
        } catch (...) {
            rollback();
            throw;
        }
    }

    // The server process of this connection: what its advisory locks belong to.
    int backendPid() const;

    pg_conn *handle() const { return m_conn; }

    // Set-up a session needs only once (a table created when missing), run again while a
    // rollback could still take it back.
    template <class Fn> void setUpOnce(const QString &what, Fn &&fn)
    {
        if (m_setUp.contains(what))
            return;
        fn();
        if (!inTransaction())
            m_setUp.insert(what);
    }

private:
    pg_conn *m_conn = nullptr;
    int m_depth = 0;
    quint64 m_writes = 0;
    QSet<QString> m_setUp;
};

// '?' placeholders outside quotes and identifiers as $1, $2, ...; SQLite's numbered ones
// (?3) keep their number.
QString pgPlaceholders(const QString &sql);
