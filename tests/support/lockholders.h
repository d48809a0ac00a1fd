#pragma once

#include <QProcess>
#include <QString>
#include <memory>

// Colleagues in other processes holding a lock until the object goes: lock conflicts in tests
// are certain, not a matter of timing.

class LockHolder
{
public:
    ~LockHolder();
    bool holding() const { return m_holding; }
    QProcess &process() { return *m_process; }
    // Lets go of the lock now, as a colleague closing the window would.
    void release();

protected:
    LockHolder(const QString &entry, const QStringList &args);

private:
    std::unique_ptr<QProcess> m_process;
    bool m_holding = false;
};

// Holds the record lock of one article of a stock.
class ArticleLockHolder : public LockHolder
{
public:
    ArticleLockHolder(const QString &stockDir, const QString &articleNr,
                      const QString &owner = QStringLiteral("Kollege"))
        : LockHolder(QStringLiteral("hold-stock-lock"), {stockDir, articleNr, owner})
    {
    }
};

// Holds the lock of a whole stock database, as an import does.
class DatabaseLockHolder : public LockHolder
{
public:
    DatabaseLockHolder(const QString &stockDir, const QString &owner)
        : LockHolder(QStringLiteral("hold-stock-lock"), {stockDir, QString(), owner})
    {
    }
};

// Holds a lock file with the given holder record.
class FileLockHolder : public LockHolder
{
public:
    FileLockHolder(const QString &file, const QString &record)
        : LockHolder(QStringLiteral("hold-file-lock"), {file, record})
    {
    }
};
