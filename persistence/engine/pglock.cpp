#include "persistence/engine/pglock.h"

#include "persistence/engine/pgconnection.h"

using namespace Qt::StringLiterals;

namespace
{

// hashtext spreads the names over the two 32-bit keys of an advisory lock; two names that
// collide merely share a lock, which costs waiting, never correctness.
const auto kKeys = u"hashtext(?), hashtext(?)"_s;

// Every lock and every look at a holder needs the table: one round trip per session for it.
void ensureHolderTable(PgConnection &c)
{
    c.setUpOnce(u"tdb_lock_holders"_s, [&c] {
        c.exec(u"CREATE TABLE IF NOT EXISTS public.tdb_lock_holders(schema_name text COLLATE "
               "\"C\" NOT NULL, lock_name text COLLATE \"C\" NOT NULL, holder text NOT NULL, "
               "pid integer NOT NULL, PRIMARY KEY(schema_name, lock_name))"_s);
    });
}

} // namespace

PgLock::PgLock(PgConnection &c, const QString &schema, const QString &name)
    : m_c(c), m_schema(schema), m_name(name.toUpper())
{
}

PgLock::~PgLock()
{
    try {
        release();
    } catch (...) {
        // The connection is gone, and the server let the lock go with it.
    }
}

bool PgLock::tryLock(const QString &holderText)
{
    if (m_locked)
        return true;
    const PgResult r =
        m_c.exec(u"SELECT pg_try_advisory_lock(%1)"_s.arg(kKeys), {m_schema, m_name});
    if (r.text(0, 0) != u"t"_s)
        return false;
    m_locked = true;
    try {
        ensureHolderTable(m_c);
        m_c.exec(u"INSERT INTO public.tdb_lock_holders VALUES (?, ?, ?, pg_backend_pid()) ON "
                 "CONFLICT (schema_name, lock_name) DO UPDATE SET holder = excluded.holder, pid "
                 "= excluded.pid"_s,
                 {m_schema, m_name, holderText});
    } catch (...) {
        release();
        throw;
    }
    return true;
}

void PgLock::release()
{
    if (!m_locked)
        return;
    m_locked = false;
    m_c.exec(u"DELETE FROM public.tdb_lock_holders WHERE schema_name = ? AND lock_name = ? AND "
             "pid = pg_backend_pid()"_s,
             {m_schema, m_name});
    m_c.exec(u"SELECT pg_advisory_unlock(%1)"_s.arg(kKeys), {m_schema, m_name});
}

QString PgLock::holder(PgConnection &c, const QString &schema, const QString &name)
{
    const QString upper = name.toUpper();
    // Whether anybody holds it is the server's word, not the table's: try it ourselves.
    const PgResult free = c.exec(u"SELECT pg_try_advisory_lock(%1)"_s.arg(kKeys), {schema, upper});
    if (free.text(0, 0) == u"t"_s) {
        c.exec(u"SELECT pg_advisory_unlock(%1)"_s.arg(kKeys), {schema, upper});
        return {};
    }
    ensureHolderTable(c);
    const PgResult r = c.exec(u"SELECT h.holder FROM public.tdb_lock_holders h JOIN "
                              "pg_stat_activity a ON a.pid = h.pid WHERE h.schema_name = ? AND "
                              "h.lock_name = ?"_s,
                              {schema, upper});
    return r.rows() > 0 ? r.text(0, 0).trimmed() : QString();
}
