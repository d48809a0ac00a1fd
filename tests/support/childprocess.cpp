#include "tests/support/childprocess.h"

#include <QCoreApplication>
#include <QHash>

namespace {
QHash<QString, ChildProcess::Entry> &entries()
{
    static QHash<QString, ChildProcess::Entry> map;
    return map;
}
} // namespace

bool ChildProcess::registerEntry(const QString &name, Entry entry)
{
    entries().insert(name, std::move(entry));
    return true;
}

int ChildProcess::runRegistered(const QString &name, const QStringList &args)
{
    auto it = entries().constFind(name);
    return it == entries().constEnd() ? 99 : (*it)(args);
}

std::unique_ptr<QProcess> ChildProcess::start(const QString &name, const QStringList &args)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QCoreApplication::applicationFilePath(),
             QStringList{QStringLiteral("--child"), name} + args);
    p->waitForStarted();
    return p;
}
