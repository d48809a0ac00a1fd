#include "base/inifile.h"
#include "suite/calculationplugin.h"
#include "suite/pluginmanager.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class PluginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        scope = std::make_unique<ScopedInteraction>(&ui);
        // The plug-in file name is relative to the program directory.
        TSystemEinstellungen::instance().ProgramDir =
            QFileInfo(QStringLiteral(TEST_CALC_PLUGIN)).absolutePath() + u'/';
    }
    void TearDown() override
    {
        FreePlugins();
        TSystemEinstellungen::instance().reset();
    }
    void configure(const QString &section, const QString &fileName, bool enabled = true,
                   const QString &type = {})
    {
        IniFile ini;
        ini.writeBool(section, QStringLiteral("PlugIn_Calculation_Enabled"), enabled);
        if (!type.isEmpty())
            ini.writeString(section, QStringLiteral("PlugIn_Calculation_Type"), type);
        ini.writeString(section, QStringLiteral("PlugIn_Calculation_Filename"), fileName);
        ASSERT_TRUE(ini.saveAs(tmp.filePath(QStringLiteral("PLUGINS.INI"))));
    }

    ScriptedInteraction ui;
    std::unique_ptr<ScopedInteraction> scope;
    QTemporaryDir tmp;
    const QString pluginName = QFileInfo(QStringLiteral(TEST_CALC_PLUGIN)).fileName();
};

} // namespace

TEST_F(PluginTest, LoadsTheClientsCalculationOnce)
{
    configure(QStringLiteral("DEMO"), pluginName, true, QStringLiteral("hydra"));
    ASSERT_TRUE(LoadPlugins(tmp.path(), QStringLiteral("DEMO")));
    ASSERT_NE(PluginManager(), nullptr);
    EXPECT_TRUE(PluginManager()->CalculationIsHydra);
    ICalculationPlugin *calc = PluginManager()->Calculation();
    ASSERT_NE(calc, nullptr);
    EXPECT_EQ(calc->salePrice(QStringLiteral("A1"), {}, 10.0), 15.0);
    EXPECT_FALSE(LoadPlugins(tmp.path(), QStringLiteral("DEMO"))); // already loaded
    FreePlugins();
    EXPECT_EQ(PluginManager(), nullptr);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PluginTest, NothingLoadedWithoutFileSectionOrSwitchBrokenOneReported)
{
    EXPECT_FALSE(LoadPlugins(tmp.path(), QStringLiteral("DEMO"))); // no PLUGINS.INI
    configure(QStringLiteral("OTHER"), pluginName);
    EXPECT_FALSE(LoadPlugins(tmp.path(), QStringLiteral("DEMO")));
    EXPECT_EQ(PluginManager(), nullptr);

    configure(QStringLiteral("DEMO"), pluginName, false);
    EXPECT_FALSE(LoadPlugins(tmp.path(), QStringLiteral("DEMO")));
    ASSERT_NE(PluginManager(), nullptr);
    EXPECT_FALSE(PluginManager()->CalculationIsHydra);
    EXPECT_EQ(PluginManager()->Calculation(), nullptr);
    FreePlugins();

    // a configured file that does not exist only clears the switch
    configure(QStringLiteral("DEMO"), QStringLiteral("missing.so"));
    EXPECT_FALSE(LoadPlugins(tmp.path(), QStringLiteral("DEMO")));
    ASSERT_NE(PluginManager(), nullptr);
    EXPECT_FALSE(PluginManager()->CalculationEnabled);
    EXPECT_TRUE(ui.messages.isEmpty());
    FreePlugins();

    // A broken plug-in is reported once and forgotten.
    const QString bad = tmp.filePath(QStringLiteral("bad.so"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a library");
    f.close();
    configure(QStringLiteral("DEMO"), bad);
    EXPECT_FALSE(LoadPlugins(tmp.path(), QStringLiteral("DEMO")));
    EXPECT_EQ(PluginManager(), nullptr);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().text.startsWith(
        QStringLiteral("Fehler beim Laden des Plugins \"") + bad + QStringLiteral("\".")));
    EXPECT_EQ(ui.messages.first().type, MsgDlgType::Error);
}
