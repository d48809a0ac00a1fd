#pragma once

#include <QString>

class PgConnection;

// A record or database lock on the server, the counterpart of the lock files: an advisory
// lock of the connection keyed by (schema, lock name), so that it dies with the connection
// as a flock dies with its process. The holder's text lies in public.tdb_lock_holders for
// whoever waits; a row left by a holder that died is ignored, since only a held lock counts.
class PgLock
{
public:
    PgLock(PgConnection &c, const QString &schema, const QString &name);
    ~PgLock();
    PgLock(const PgLock &) = delete;
    PgLock &operator=(const PgLock &) = delete;

    // Takes the lock without waiting; false when another connection holds it.
    bool tryLock(const QString &holderText);
    void release();
    bool isLocked() const { return m_locked; }

    // The text of whoever holds the lock now; empty when nobody does.
    static QString holder(PgConnection &c, const QString &schema, const QString &name);

private:
    PgConnection &m_c;
    QString m_schema;
    QString m_name;
    bool m_locked = false;
};
