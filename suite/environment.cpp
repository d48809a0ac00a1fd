#include "suite/environment.h"

#include "base/formatsettings.h"
#include "base/inifile.h"
#include "base/messages.h"
#include "base/translation.h"
#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"

#include <QDir>

namespace
{
QString withSlash(QString dir)
{
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
} // namespace

QString RootFromProgramDir(const QString &programDir)
{
    QString dir = QDir::fromNativeSeparators(programDir);
    while (dir.endsWith(u'/') && dir.size() > 1)
        dir.chop(1);
    for (const QString &tail : {QStringLiteral("BIN"), QStringLiteral("RSC/UPDATE")}) {
        if (dir.endsWith(tail, Qt::CaseInsensitive))
            return withSlash(dir.left(dir.size() - tail.size()));
    }
    return {};
}

bool InitEnvironment(const QString &programDir, EnvironmentDirs *dirs)
{
    if (TSystemEinstellungen::created())
        return true;
    EnvironmentDirs d;
    d.root = RootFromProgramDir(programDir);
    if (d.root.isEmpty()) {
        ReportMessage(MessageKind::FatalError, QStringLiteral("Initst-") + programDir);
        return false;
    }
    d.program = withSlash(QDir::fromNativeSeparators(programDir));
    d.etc = d.root + QStringLiteral("ETC/");
    d.tmp = d.root + QStringLiteral("TMP/");
    d.log = d.tmp + QStringLiteral("LOG/");
    d.data = d.root + QStringLiteral("DATA/");
    d.usr = d.root + QStringLiteral("USR/");
    d.allUsers = d.usr + QStringLiteral("ALLUSERS/");
    d.hlp = d.root + QStringLiteral("HLP/");
    d.rsc = d.root + QStringLiteral("RSC/");
    for (const QString &dir : {d.etc, d.tmp, d.log, d.data, d.usr, d.allUsers, d.hlp, d.rsc}) {
        if (!QDir().mkpath(dir))
            ShowMessageBoxFmt(tx("Kann Verzeichnis nicht anlegen: %s"), {dir}, MsgDlgType::Error,
                              MsgButton::OK);
    }
    TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    sys.reset();
    sys.SetEnvironment(d);
    sys.Language = sys.ApplicationIni().readString(QStringLiteral("Language"),
                                                   QStringLiteral("Name"), QStringLiteral("de_DE"));
    Translation::setup(d.program + QStringLiteral("locale"), sys.Language);
    // Stored numbers follow the installation, never the locale this process started in.
    FormatSettings::loadInstallation(sys.ApplicationIni());
    TBenutzerEinstellungen::instance().reset();
    TSystemEinstellungen::setCreated(true);
    if (dirs)
        *dirs = d;
    return true;
}
