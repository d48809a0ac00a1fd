#include "suite/environment.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
