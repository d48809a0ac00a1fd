#include "persistence/engine/pgfilelock.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/pgconnection.h"
#include "persistence/engine/pglock.h"
#include "persistence/engine/pgtable.h"
#include "persistence/engine/tdbdatabase.h"

#include <QFileInfo>
#include <QHash>
#include <mutex>
#include <postgresql/libpq-fe.h>
#include <unistd.h>

namespace
{

struct Shared {
    std::mutex mutex;
    pid_t pid = 0;
    QString conninfo;
    std::shared_ptr<PgConnection> connection;
    QHash<QString, QString> schemas; // directory -> schema
    QHash<QString, QString> held;    // schema '/' name -> record, held by this process
};

Shared &shared()
{
    static Shared *s = new Shared; // outlives the lock objects of static destructors
    return *s;
}

QString heldKey(const QString &schema, const QString &name)
{
    return schema + u'/' + name;
}

// Caller holds the mutex.
std::shared_ptr<PgConnection> connection(Shared &s, const QString &conninfo)
{
    if (s.connection && s.pid != ::getpid()) {
        // A forked child shares the parent's socket: closing it would end the parent's
        // session and with it the parent's locks.
        new std::shared_ptr<PgConnection>(std::move(s.connection));
        s.held.clear();
    }
    if (s.connection &&
        (s.conninfo != conninfo || PQstatus(s.connection->handle()) != CONNECTION_OK))
        s.connection.reset(); // its locks died with the server session anyway
    if (!s.connection) {
        s.connection = std::make_shared<PgConnection>(conninfo);
        s.conninfo = conninfo;
        s.pid = ::getpid();
        s.schemas.clear();
        s.held.clear();
    }
    return s.connection;
}

} // namespace

std::unique_ptr<PgFileLock> PgFileLock::forFile(const QString &lockFile)
{
    const QString server = TTdbDatabase::Server();
    if (server.isEmpty())
        return nullptr;
    const QFileInfo info(lockFile);
    // A directory that is not there gets no lock, on the server as on the files.
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (dir.isEmpty())
        return nullptr;
    Shared &s = shared();
    std::lock_guard guard(s.mutex);
    auto c = connection(s, server);
    auto schema = s.schemas.find(dir);
    if (schema == s.schemas.end())
        schema = s.schemas.insert(dir, pgSchemaFor(*c, TTdbDatabase::ServerDirectoryName(dir)));
    return std::unique_ptr<PgFileLock>(
        new PgFileLock(std::move(c), *schema, info.fileName().toUpper()));
}

PgFileLock::PgFileLock(std::shared_ptr<PgConnection> connection, QString schema, QString name)
    : m_connection(std::move(connection)), m_schema(std::move(schema)), m_name(std::move(name)),
      m_lock(std::make_unique<PgLock>(*m_connection, m_schema, m_name))
{
}

PgFileLock::~PgFileLock()
{
    try {
        release();
    } catch (...) {
        // The session is gone, and the server let the lock go with it.
    }
}

bool PgFileLock::tryLock(const QString &record)
{
    if (m_locked)
        return true;
    Shared &s = shared();
    std::lock_guard guard(s.mutex);
    const QString key = heldKey(m_schema, m_name);
    if (s.held.contains(key))
        return false;
    if (!m_lock->tryLock(record))
        return false;
    s.held.insert(key, record.trimmed());
    m_locked = true;
    return true;
}

void PgFileLock::release()
{
    if (!m_locked)
        return;
    m_locked = false;
    Shared &s = shared();
    std::lock_guard guard(s.mutex);
    if (s.connection == m_connection)
        s.held.remove(heldKey(m_schema, m_name));
    m_lock->release();
}

QString PgFileLock::holder() const
{
    Shared &s = shared();
    std::lock_guard guard(s.mutex);
    // The server would let our own session take the lock again: ask ourselves first.
    const auto own = s.held.constFind(heldKey(m_schema, m_name));
    if (own != s.held.cend())
        return *own;
    return PgLock::holder(*m_connection, m_schema, m_name);
}
