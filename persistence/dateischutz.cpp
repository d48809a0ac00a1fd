#include "persistence/dateischutz.h"

#include "base/interaction.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/pgfilelock.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{

constexpr int RecordBytes = TDateischutz::RecordChars * 2;

// One choice for the whole process: which program runs decides, not which store locks.
int g_settleMilliseconds = TDateischutz::DefaultSettleMilliseconds;

EngineError systemError(int code, const QByteArray &path = {})
{
    QString text =
        QStringLiteral("(Error %1) %2").arg(code).arg(QString::fromLocal8Bit(std::strerror(code)));
    if (!path.isEmpty())
        text += QStringLiteral(": ") + QFile::decodeName(path);
    return EngineError(text);
}

QByteArray nativePath(const QString &fileName)
{
    return QFile::encodeName(fileName);
}

bool sameFile(int fd, const QByteArray &path)
{
    struct stat opened {
    };
    struct stat named {
    };
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

enum class Attempt { Taken, Held };

// On Taken, fd is the locked handle. On Held, fd is a handle to read the holder's record from.
Attempt attempt(const QByteArray &path, int &fd)
{
    for (;;) {
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            // Not creatable (a read-only share, another user's file): someone else's lock
            // as long as we can read it.
            const int createError = errno;
            fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) // no lock file at all: why we could not create one is the cause
                throw systemError(errno == ENOENT ? createError : errno, path);
            return Attempt::Held;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            if (code == EWOULDBLOCK || code == EINTR)
                return Attempt::Held;
            ::close(fd);
            throw systemError(code);
        }
        // A releaser unlinks before it closes; if we opened the file before the unlink, our
        // lock is on a name nobody else will open any more, so start over on the new file.
        if (sameFile(fd, path))
            return Attempt::Taken;
        ::close(fd);
    }
}

// Other workstations show this text as it is: one form for all, the German one of the suite,
// in local time, whatever locale this process runs under.
QString recordText(const QString &infoText)
{
    return (infoText + QStringLiteral(" (") +
            QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) + u')')
        .leftJustified(TDateischutz::RecordChars, u' ', true);
}

QString decodeRecord(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t c = qFromLittleEndian<char16_t>(bytes.constData() + i);
        if (c == 0)
            break;
        text.append(QChar(c));
    }
    return text.trimmed();
}

// The holder truncates before it writes, so a reader that comes in between sees a short
// file; give the holder a moment to finish.
QString readRecord(int fd)
{
    QByteArray bytes(RecordBytes, '\0');
    for (int tries = 0;; ++tries) {
        const ssize_t n = ::pread(fd, bytes.data(), RecordBytes, 0);
        if (n == RecordBytes || tries >= 20)
            return decodeRecord(bytes.left(n > 0 ? n : 0));
        QThread::msleep(5);
    }
}

} // namespace

TDateischutz::TDateischutz(WaitCallback wait) : m_wait(std::move(wait)) {}

void TDateischutz::SetSettleMilliseconds(int milliseconds)
{
    g_settleMilliseconds = std::max(0, milliseconds);
}

int TDateischutz::SettleMilliseconds()
{
    return g_settleMilliseconds;
}

TDateischutz::~TDateischutz()
{
    Release();
}

bool TDateischutz::IsLocked() const
{
    return m_handle >= 0 || (m_server && m_server->isLocked());
}

QString TDateischutz::LockFileName(const QString &fileName)
{
    // Only the name is upper-case; the directories above it keep their spelling.
    const QFileInfo info(fileName);
    const QString name = info.fileName().toUpper();
    const qsizetype cut = fileName.size() - info.fileName().size();
    return fileName.left(cut) + name;
}

bool TDateischutz::Lock(const QString &fileName, const QString &infoText, bool showCallerText)
{
    Release();
    m_cancelled = false;
    m_idle = {};
    m_fileName = LockFileName(fileName);
    m_server = PgFileLock::forFile(m_fileName);
    if (m_server)
        return lockOnServer(infoText, showCallerText);
    const QByteArray path = nativePath(m_fileName);

    int fd = -1;
    if (attempt(path, fd) == Attempt::Taken) {
        m_handle = fd;
        writeRecord(infoText);
        return true;
    }
    if (!m_wait) {
        ::close(fd);
        return false;
    }
    const QString shown = showCallerText ? infoText : readRecord(fd);
    ::close(fd);
    m_idle = m_wait(shown, [this] { m_cancelled = true; });

    for (;;) {
        try {
            if (attempt(path, fd) == Attempt::Taken)
                break;
        } catch (const EngineError &) {
            // While waiting, a file we can neither create nor read (a share that went away
            // for a moment) means "not yet", as for the suite's other programs; the user can
            // still cancel.
            fd = -1;
        }
        if (fd >= 0)
            ::close(fd);
        if (m_cancelled)
            return false;
        QThread::msleep(PollMilliseconds);
        if (m_idle)
            m_idle();
    }
    m_handle = fd;
    writeRecord(infoText);
    settle();
    return true;
}

bool TDateischutz::lockOnServer(const QString &infoText, bool showCallerText)
{
    const QString record = recordText(infoText);
    if (m_server->tryLock(record))
        return true;
    if (!m_wait)
        return false;
    m_idle = m_wait(showCallerText ? infoText : m_server->holder(), [this] { m_cancelled = true; });
    for (;;) {
        try {
            if (m_server->tryLock(record))
                break;
        } catch (const EngineError &) {
            // A server out of reach for a moment means "not yet", as a share that went away
            // does for the lock files; the user can still cancel.
        }
        if (m_cancelled)
            return false;
        QThread::msleep(PollMilliseconds);
        if (m_idle)
            m_idle();
    }
    settle();
    return true;
}

void TDateischutz::settle()
{
    // The previous holder's last writes reach other workstations' caches with a delay.
    const int settle = g_settleMilliseconds;
    for (int waited = 0; waited < settle; waited += PollMilliseconds) {
        QThread::msleep(PollMilliseconds);
        if (m_idle)
            m_idle();
    }
}

void TDateischutz::writeRecord(const QString &infoText)
{
    const QString record = recordText(infoText);
    QByteArray bytes(RecordBytes, '\0');
    for (int i = 0; i < RecordChars; ++i)
        qToLittleEndian<char16_t>(record.at(i).unicode(), bytes.data() + 2 * i);
    // Everyone of the suite may take the lock after us, whatever our umask says.
    (void)::fchmod(m_handle, 0666);
    if (::ftruncate(m_handle, 0) != 0 ||
        ::pwrite(m_handle, bytes.constData(), RecordBytes, 0) != RecordBytes) {
        const int code = errno;
        Release();
        throw systemError(code);
    }
    ::fdatasync(m_handle);
}

void TDateischutz::Release()
{
    if (auto server = std::exchange(m_server, {})) {
        try {
            server->release();
        } catch (const EngineError &) {
            // The session is gone, and the server let the lock go with it.
        }
        return;
    }
    if (m_handle < 0)
        return;
    // Unlink while still holding: a waiter that opens the name from now on gets a new file,
    // one that opened it before notices the unlink after its flock succeeds.
    ::unlink(nativePath(m_fileName).constData());
    ::close(m_handle);
    m_handle = -1;
}

QString TDateischutz::HolderRecord(const QString &fileName)
{
    if (const auto server = PgFileLock::forFile(LockFileName(fileName)))
        return server->holder();
    const int fd = ::open(nativePath(LockFileName(fileName)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QString record;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0)
        ::flock(fd, LOCK_UN); // nobody holds it: a dead holder's record means nothing
    else
        record = readRecord(fd);
    ::close(fd);
    return record;
}

TDateischutzWF::TDateischutzWF(Interaction *asker)
    : m_interaction(asker),
      m_lock([this](const QString &text, const std::function<void()> &cancel) {
          m_window = (m_interaction ? *m_interaction : interaction()).waitWindow(text);
          return [this, cancel] {
              m_window->idle();
              if (m_window->cancelled())
                  cancel();
          };
      })
{
}

TDateischutzWF::~TDateischutzWF()
{
    Release();
}

bool TDateischutzWF::Lock(const QString &fileName, const QString &infoText, bool showCallerText)
{
    struct CloseWindow {
        std::unique_ptr<WaitWindow> &window;
        ~CloseWindow() { window.reset(); }
    } closeWindow{m_window};
    return m_lock.Lock(fileName, infoText, showCallerText);
}

void TDateischutzWF::Release()
{
    if (auto unlockTable = std::exchange(m_unlockTable, {}))
        unlockTable();
    m_lock.Release();
}
