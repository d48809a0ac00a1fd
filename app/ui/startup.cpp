#include "app/ui/startup.h"

#include "app/base/translation.h"
#include "app/benutzereinstellungen.h"
#include "app/environment.h"
#include "app/pluginmanager.h"
#include "app/systemeinstellungen.h"
#include "app/ui/mod00501form1.h"
#include "app/base/ui/windowstyle.h"

#include <QApplication>

std::unique_ptr<TMOD00501Form1> StartMainWindow(const QString &programDir,
                                                const QStringList &arguments)
{
    if (!InitEnvironment(programDir))
        return nullptr;
    QApplication::setApplicationDisplayName(tx("Lagerartikel verwalten"));

    const QString client = arguments.value(1);
    if (!TSystemEinstellungen::Login(client, arguments.value(2)))
        return nullptr;

    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    const TBenutzerEinstellungen &user = TBenutzerEinstellungen::instance();
    MainWindowContext context;
    context.client = client;
    context.etcDir = user.UserClientEtcDir;
    context.hasRight = [](const QString &right) {
        return TBenutzerEinstellungen::instance().HasRight(right);
    };
    context.freePlugins = [] { FreePlugins(); };
    auto window = std::make_unique<TMOD00501Form1>(context);
    if (arguments.value(3) == u"-E")
        window->disableGoodsReceipt();
    const IniFile userApplicationIni(user.UserEtcDir + QStringLiteral("APPLICATION.INI"));
    ApplyWindowStyle(window.get(), true, userApplicationIni, client);
    LoadPlugins(sys.EtcDir, sys.ClientName);
    return window;
}
