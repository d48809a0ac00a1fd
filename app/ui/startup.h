#pragma once

#include <QStringList>
#include <memory>

class TMOD00501Form1;

// Start-up of the program up to the shown main window: environment of the installation the
// program directory belongs to, log-on with client and user of the command line, the "-E"
// switch, window appearance and plug-ins. Null when the environment or the log-on failed
// (their messages have been shown); the program then ends.
std::unique_ptr<TMOD00501Form1> StartMainWindow(const QString &programDir,
                                                const QStringList &arguments);
