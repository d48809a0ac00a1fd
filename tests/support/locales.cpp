#include "tests/support/locales.h"

#include <QProcess>
#include <QStringList>

bool LocaleInstalled(const QString &name)
{
    if (name.startsWith(QStringLiteral("C.")) || name == u"C" || name == u"POSIX")
        return true;
    QProcess p;
    p.start(QStringLiteral("locale"), {QStringLiteral("-a")});
    if (!p.waitForFinished())
        return false;
    // "locale -a" writes "de_DE.utf8" for "de_DE.UTF-8"
    const auto normal = [](QString s) { return s.trimmed().toLower().remove(u'-'); };
    const QString wanted = normal(name);
    for (const QString &line : QString::fromLocal8Bit(p.readAllStandardOutput()).split(u'\n'))
        if (normal(line) == wanted)
            return true;
    return false;
}
