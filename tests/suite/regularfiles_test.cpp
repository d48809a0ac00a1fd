#include "base/regularfile.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/orderingconfigloader.h"
#include "stock/lagerconfig.h"
#include "suite/benutzereinstellungen.h"
#include "suite/environment.h"
#include "suite/pluginmanager.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/childprocess.h"
#include "tests/support/installation.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace
{

// Starts as the program does in the installation args[0] and reads every settings file of
// the start-up; prints "login <0|1>" and then each message shown, one per line.
int startAndReadSettings(const QStringList &args)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    const QString root = args.at(0) + u'/';
    bool loggedOn =
        InitEnvironment(root + u"BIN"_s) && TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s);
    if (loggedOn) {
        const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
        QStringList units;
        sys.FillUnits(units);
        if (units.isEmpty())
            loggedOn = false;
        LoadPlugins(sys.EtcDir, sys.ClientName);
        LoadOrderingConfig(ProgramOrderingConfig(), sys.BestellwesenDir);
        TLagerConfig stock;
        stock.LoadFromFile(TLagerConfig::FileNameIn(sys.LagerDir));
    }
    std::printf("login %d\n", loggedOn ? 1 : 0);
    for (const auto &m : ui.messages)
        std::printf("%s\n", qUtf8Printable(m.text.section(u'\n', 0, 0)));
    std::fflush(stdout);
    return 0;
}
STOCK_CHILD_ENTRY("start-read-settings", startAndReadSettings);

} // namespace

// A FIFO in place of a settings file would block the start-up for ever. Each file is tried in
// a child process, so that a start-up that does block fails this test instead of hanging it.
TEST(RegularFiles, FifoInPlaceOfASettingsFileIsReportedAndNeverBlocks)
{
    const struct {
        const char16_t *file;
        bool logsOn;
    } cases[] = {
        {u"ETC/APPLICATION.INI", true},
        {u"ETC/SYSDATB.INI", false},
        {u"DATA/DEMO/ETC/SYSDATA.INI", false},
        {u"ETC/UNITS.TXT", true},
        {u"ETC/PLUGINS.INI", true},
        {u"DATA/DEMO/BESTELLWESEN/CONFIG.XML", true},
        {u"DATA/DEMO/LAGER/CONFIG.XML", true},
    };
    for (const auto &c : cases) {
        const QString file = QString::fromUtf16(c.file);
        SCOPED_TRACE(file.toStdString());
        QTemporaryDir tmp;
        ASSERT_TRUE(generateInstallation(tmp.path()));
        const QString path = tmp.path() + u'/' + file;
        QFile::remove(path);
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

        auto child = ChildProcess::start(u"start-read-settings"_s, {tmp.path()});
        // Bounded only so that a blocking start-up fails; a working one returns at once.
        if (!child->waitForFinished(30000)) {
            child->kill();
            child->waitForFinished();
            ADD_FAILURE() << "the start-up blocked on the FIFO";
            continue;
        }
        const QStringList lines =
            QString::fromUtf8(child->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.first(), c.logsOn ? u"login 1"_s : u"login 0"_s);
        EXPECT_TRUE(lines.contains(notRegularFileMessage(path))) << lines.join(u'|').toStdString();
    }
}

TEST(Environment, RootOnlyForKnownLayouts)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    QTemporaryDir tmp;
    const QString bin = tmp.filePath(u"Suite/bin"_s);
    QDir().mkpath(bin);
    EnvironmentDirs d;
    ASSERT_TRUE(InitEnvironment(bin, &d));
    EXPECT_EQ(d.root, tmp.filePath(u"Suite/"_s));
    EXPECT_TRUE(QDir(d.log).exists());
    EXPECT_TRUE(QDir(d.allUsers).exists());
    EXPECT_EQ(RootFromProgramDir(u"/x/RSC/UPDATE"_s), u"/x/"_s);
    EXPECT_TRUE(RootFromProgramDir(u"/x/BIN/tools"_s).isEmpty());

    // only the first call of a process prepares the environment
    EXPECT_TRUE(InitEnvironment(tmp.filePath(u"Suite/tools"_s)));
    TSystemEinstellungen::instance().reset();
    EXPECT_FALSE(InitEnvironment(tmp.filePath(u"Suite/tools"_s)));
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.messages.last().text.contains(u"Initst-"_s));
}
