#pragma once

#include <QString>
#include <memory>

class PgConnection;
class PgLock;

// A lock file's lock when the process keeps its directory tables on the database server: the
// directory's schema and the file's name key an advisory lock, so that a workstation without
// the shared directory is kept out the same way. Every lock of the process goes through one
// connection of its own, outside the tables' transactions: the holder's text is visible at
// once, and a rolled-back booking cannot take it away. Two lock objects of one process
// exclude each other, as two opened lock files do.
class PgFileLock
{
public:
    // Null when the process keeps its tables in files, or the file's directory is missing:
    // then the file is the lock (or the error).
    static std::unique_ptr<PgFileLock> forFile(const QString &lockFile);
    ~PgFileLock();
    PgFileLock(const PgFileLock &) = delete;
    PgFileLock &operator=(const PgFileLock &) = delete;

    // Without waiting; false while another process or another lock object of ours holds it.
    // Throws EngineError when the server cannot be reached.
    bool tryLock(const QString &record);
    void release();
    bool isLocked() const { return m_locked; }
    // The record of whoever holds the lock now; empty when nobody does.
    QString holder() const;

private:
    PgFileLock(std::shared_ptr<PgConnection> connection, QString schema, QString name);

    std::shared_ptr<PgConnection> m_connection;
    QString m_schema;
    QString m_name;
    std::unique_ptr<PgLock> m_lock;
    bool m_locked = false;
};
