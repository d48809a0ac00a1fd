#pragma once

#include <QByteArray>
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
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }

    // The server process of this connection: what its advisory locks belong to.
    int backendPid() const;

    pg_conn *handle() const { return m_conn; }

private:
    pg_conn *m_conn = nullptr;
    int m_depth = 0;
};

// '?' placeholders outside quotes and identifiers as $1, $2, ...
QString pgPlaceholders(const QString &sql);
