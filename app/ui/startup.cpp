#include "app/ui/startup.h"

#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "base/messages.h"
#include "base/regularfile.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"
#include "catalogs/katalogdbpool.h"
#include "ordering/orderingconfigloader.h"
#include "ordering/selectaddress.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/ui/lageranzeigenframe.h"
#include "suite/benutzereinstellungen.h"
#include "suite/environment.h"
#include "suite/pluginmanager.h"
#include "suite/systemeinstellungen.h"

#include <QDir>

#include <QApplication>

namespace
{

// The program goes on with the defaults of a settings file that is no regular file.
void reportIfNotRegular(const IniFile &ini)
{
    if (ini.notRegular())
        ReportMessage(MessageKind::Warning, notRegularFileMessage(ini.fileName()));
}

} // namespace

std::unique_ptr<TMOD00501Form1> StartMainWindow(const QString &programDir,
                                                const QStringList &arguments)
{
    if (!InitEnvironment(programDir))
        return nullptr;
    // No application display name: the window system would append it to every caption,
    // and the suite's captions are exact ("[0501 - 02] - Lagerartikel bearbeiten").

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
    context.userFullName = user.FullName;
    context.editContext.settings = &sys;
    context.editContext.stockDir = sys.LagerDir;
    context.editContext.userName = user.UserName;
    context.editContext.userFullName = user.FullName;
    // The address program logs on with our client and user.
    context.editContext.chooseAddress = [programDir = sys.ProgramDir, tmpDir = sys.TmpDir,
                                         args = arguments.mid(1)] {
        return SelectAddress(programDir, tmpDir, args);
    };
    auto window = std::make_unique<TMOD00501Form1>(context);
    if (arguments.value(3) == u"-E")
        window->disableGoodsReceipt();
    const IniFile userApplicationIni(user.UserEtcDir + QStringLiteral("APPLICATION.INI"));
    reportIfNotRegular(userApplicationIni);
    ApplyWindowStyle(window.get(), true, userApplicationIni, client);
    auto pool =
        std::make_unique<TKatalogDBPool>(sys.KatalogeDir, sys.LagerDir, &TLogHelper::DatabaseError);
    auto *db = dynamic_cast<IModLagerDBServerObj *>(pool->GetDB(QStringLiteral("LAGER"), true));
    LoadPlugins(sys.EtcDir, sys.ClientName);
    const IniFile settings(QDir(user.UserClientEtcDir).filePath(QStringLiteral("MOD00501.INI")));
    reportIfNotRegular(settings);
    auto *frame = new TLagerAnzeigenFrame(window.get(), sys.LagerDir, settings, 0, user.FullName);
    window->attachStock(std::move(pool), db, frame);
    // Goods receipt from orders follows its automatic stock article search.
    LoadOrderingConfig(ProgramOrderingConfig(), sys.BestellwesenDir);
    return window;
}
