#include "tests/support/lockholders.h"

#include "persistence/dateischutz.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/childprocess.h"

#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{
int lockedUntilKilled()
{
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}

// The record lock of article args[1], or with args[1] empty the whole database, for the
// owner args[2].
int holdStockLock(const QStringList &args)
{
    IModLagerDBServerObj db;
    db.Open(args.value(0));
    auto lock = args.value(1).isEmpty() ? db.LockDatabase(args.value(2))
                                        : db.LockRecord(args.value(2), args.value(1));
    return lock ? lockedUntilKilled() : 2;
}
STOCK_CHILD_ENTRY("hold-stock-lock", holdStockLock);

int holdFileLock(const QStringList &args)
{
    TDateischutz lock;
    return lock.Lock(args.at(0), args.at(1)) ? lockedUntilKilled() : 2;
}
STOCK_CHILD_ENTRY("hold-file-lock", holdFileLock);
} // namespace

LockHolder::LockHolder(const QString &entry, const QStringList &args)
    : m_process(ChildProcess::start(entry, args))
{
    m_process->setReadChannel(QProcess::StandardOutput);
    while (!m_process->canReadLine()) {
        if (!m_process->waitForReadyRead(20000))
            return;
    }
    m_holding = m_process->readLine().startsWith("locked");
}

LockHolder::~LockHolder()
{
    release();
}

void LockHolder::release()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished();
    }
}
