#include "base/inifile.h"
#include "suite/calculationplugin.h"
#include "suite/pluginmanager.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
        ini.writeBool(section, u"PlugIn_Calculation_Enabled"_s, enabled);
        if (!type.isEmpty())
            ini.writeString(section, u"PlugIn_Calculation_Type"_s, type);
        ini.writeString(section, u"PlugIn_Calculation_Filename"_s, fileName);
        ASSERT_TRUE(ini.saveAs(tmp.filePath(u"PLUGINS.INI"_s)));
    }

    ScriptedInteraction ui;
    std::unique_ptr<ScopedInteraction> scope;
    QTemporaryDir tmp;
    const QString pluginName = QFileInfo(QStringLiteral(TEST_CALC_PLUGIN)).fileName();
};

} // namespace

TEST_F(PluginTest, LoadsTheClientsCalculationOnce)
{
    configure(u"DEMO"_s, pluginName, true, u"hydra"_s);
    ASSERT_TRUE(LoadPlugins(tmp.path(), u"DEMO"_s));
    EXPECT_TRUE(PluginManager()->CalculationIsHydra);
    ASSERT_NE(PluginManager()->Calculation(), nullptr);
    EXPECT_EQ(PluginManager()->Calculation()->salePrice(u"A1"_s, {}, 10.0), 15.0);
    EXPECT_FALSE(LoadPlugins(tmp.path(), u"DEMO"_s)); // already loaded
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PluginTest, NothingLoadedWithoutFileSectionOrSwitchBrokenOneReported)
{
    EXPECT_FALSE(LoadPlugins(tmp.path(), u"DEMO"_s)); // no PLUGINS.INI
    configure(u"OTHER"_s, pluginName);
    EXPECT_FALSE(LoadPlugins(tmp.path(), u"DEMO"_s));
    EXPECT_EQ(PluginManager(), nullptr);

    // Switched off, or a configured file that does not exist: no calculation, nothing said.
    for (const auto &[file, enabled] : {std::pair{pluginName, false}, {u"missing.so"_s, true}}) {
        configure(u"DEMO"_s, file, enabled);
        EXPECT_FALSE(LoadPlugins(tmp.path(), u"DEMO"_s));
        ASSERT_NE(PluginManager(), nullptr);
        EXPECT_EQ(PluginManager()->Calculation(), nullptr);
        EXPECT_FALSE(PluginManager()->CalculationEnabled);
        FreePlugins();
    }
    EXPECT_TRUE(ui.messages.isEmpty());

    // A broken plug-in is reported once and forgotten.
    const QString bad = tmp.filePath(u"bad.so"_s);
    ASSERT_TRUE(TestDocuments::writeFile(bad, "not a library"));
    configure(u"DEMO"_s, bad);
    EXPECT_FALSE(LoadPlugins(tmp.path(), u"DEMO"_s));
    EXPECT_EQ(PluginManager(), nullptr);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.first().text.startsWith(u"Fehler beim Laden des Plugins \""_s + bad +
                                                    u"\"."_s));
}
