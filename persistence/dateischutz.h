#pragma once

#include <QString>
#include <functional>
#include <memory>

class Interaction;
class PgFileLock;
class WaitWindow;

// A lock shared with the suite's other programs on a shared directory. The lock is an
// exclusive flock on the open lock file, not the file's existence, so a holder that died
// leaves a file that blocks nobody. The holder writes a record (why it locks, and since when)
// into the file; whoever waits shows that record. When the process keeps its directory
// tables on a database server, the server holds the lock and the record instead and no file
// is made, so that workstations without the shared directory meet the same lock.
class TDateischutz
{
public:
    using IdleCallback = std::function<void()>;
    // Called once when the lock is held by another: shows the text and may call cancel at
    // any time; the returned callback runs between two polls.
    using WaitCallback =
        std::function<IdleCallback(const QString &text, const std::function<void()> &cancel)>;

    // 500 UTF-16 characters: the size the suite's other programs read.
    static constexpr int RecordChars = 500;
    static constexpr int PollMilliseconds = 10;
    // After a wait the new holder pauses this long before it goes on (keeping the wait
    // window's idle callback running), so that the previous holder's last writes reach this
    // workstation first. The window keeps the default: a person was waiting anyway. A program
    // that re-reads under the lock inside a transaction needs no pause and sets 0.
    static constexpr int DefaultSettleMilliseconds = 1000;
    static void SetSettleMilliseconds(int milliseconds);
    static int SettleMilliseconds();

    explicit TDateischutz(WaitCallback wait = {});
    ~TDateischutz();
    TDateischutz(const TDateischutz &) = delete;
    TDateischutz &operator=(const TDateischutz &) = delete;

    // Takes the lock on fileName, whose last component is upper-cased. While another holds
    // it, the wait callback shows infoText (showCallerText) or the holder's record. False
    // when it is held and there is no wait callback, or when the wait was cancelled.
    // Throws EngineError "(Error <code>) <text>" when the file can be neither created nor
    // read.
    bool Lock(const QString &fileName, const QString &infoText, bool showCallerText = false);
    // Deletes the file, then lets the lock go; nothing happens when not locked.
    void Release();
    void Cancel() { m_cancelled = true; }

    bool IsLocked() const;
    QString FileName() const { return m_fileName; }

    // The record of whoever holds the lock file now, trimmed; empty when nobody holds it.
    static QString HolderRecord(const QString &fileName);
    // The file name a lock on fileName uses.
    static QString LockFileName(const QString &fileName);

private:
    void writeRecord(const QString &infoText);
    bool lockOnServer(const QString &infoText, bool showCallerText);
    void settle();

    int m_handle = -1;
    std::unique_ptr<PgFileLock> m_server;
    QString m_fileName;
    bool m_cancelled = false;
    WaitCallback m_wait;
    IdleCallback m_idle;
};

// The file lock as the stores use it: waiting opens the interaction's wait window with
// "Abbrechen", and an engine table locked together with the file is released with it.
class TDateischutzWF
{
public:
    // Without an interaction the one in force for the process is used.
    explicit TDateischutzWF(Interaction *interaction = nullptr);
    ~TDateischutzWF();

    bool Lock(const QString &fileName, const QString &infoText, bool showCallerText = false);
    // Releases the engine table first, then the file.
    void Release();

    // Called once by Release; the database lock puts its engine table unlock here.
    void SetReleaseTable(std::function<void()> unlockTable)
    {
        m_unlockTable = std::move(unlockTable);
    }
    bool HasTable() const { return bool(m_unlockTable); }

    TDateischutz &FileLock() { return m_lock; }
    const TDateischutz &FileLock() const { return m_lock; }

private:
    Interaction *m_interaction;
    TDateischutz m_lock;
    std::unique_ptr<WaitWindow> m_window;
    std::function<void()> m_unlockTable;
};
