#include "base/regularfile.h"

#include "base/messages.h"
#include "base/translation.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool isOtherThanRegularFile(const QString &fileName)
{
    struct stat st {
    };
    return ::stat(QFile::encodeName(fileName).constData(), &st) == 0 && !S_ISREG(st.st_mode);
}

RegularFile openRegularFile(QFile &file, const QString &fileName)
{
    if (isOtherThanRegularFile(fileName))
        return RegularFile::NotRegular;
    // Non-blocking, so that a FIFO swapped in after the check cannot block the open either;
    // the check on the open handle is the one that counts.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? RegularFile::Missing : RegularFile::Unreadable;
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return RegularFile::NotRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return RegularFile::Unreadable;
    }
    return RegularFile::Opened;
}

QString notRegularFileMessage(const QString &fileName)
{
    return formatText(tx("Die Datei \"%s\" ist keine gewoehnliche Datei und wird nicht gelesen."),
                      {fileName});
}
