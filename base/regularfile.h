#pragma once

#include <QString>

class QFile;

// Settings files are read only when they are regular files: a FIFO or a device put in their
// place would block the open or the read for ever, and the log-on with it.
enum class RegularFile { Opened, Missing, NotRegular, Unreadable };

// Opens fileName for reading into file when it is a regular file; file stays closed otherwise.
RegularFile openRegularFile(QFile &file, const QString &fileName);
// True when something other than a regular file (or a link to one) stands at fileName.
bool isOtherThanRegularFile(const QString &fileName);
// The message for a settings file that is not a regular file.
QString notRegularFileMessage(const QString &fileName);
