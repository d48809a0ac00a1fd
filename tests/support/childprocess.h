#pragma once

#include <QProcess>
#include <QStringList>
#include <functional>
#include <memory>

// Cross-process tests run the test program itself as a child: a test registers a named entry
// (at static-initialisation time) and starts it with start(); the child runs only that entry.
namespace ChildProcess {
using Entry = std::function<int(const QStringList &args)>;

bool registerEntry(const QString &name, Entry entry);
int runRegistered(const QString &name, const QStringList &args);
// Starts the entry in a child process; the caller waits or kills it.
std::unique_ptr<QProcess> start(const QString &name, const QStringList &args = {});
} // namespace ChildProcess

#define STOCK_CHILD_ENTRY(name, fn)                                                             \
    static const bool stock_child_registered_##fn = ChildProcess::registerEntry(QStringLiteral(name), fn)
