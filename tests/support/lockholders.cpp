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

int holdArticleLock(const QStringList &args)
{
    IModLagerDBServerObj db;
    db.Open(args.value(0));
    auto lock = db.LockRecord(u"Kollege"_s, args.value(1));
    return lock ? lockedUntilKilled() : 2;
}
// The article commands' test starts this entry by its name as well.
STOCK_CHILD_ENTRY("window-hold-lock", holdArticleLock);

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

ArticleLockHolder::ArticleLockHolder(const QString &stockDir, const QString &articleNr)
    : LockHolder(u"window-hold-lock"_s, {stockDir, articleNr})
{
}

LockHolder::~LockHolder()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished();
    }
}

FileLockHolder::FileLockHolder(const QString &file, const QString &record)
    : LockHolder(u"hold-file-lock"_s, {file, record})
{
}
