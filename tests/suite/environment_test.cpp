#include "suite/environment.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Environment, RootOnlyForKnownLayouts)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    QTemporaryDir tmp;
    const QString bin = tmp.filePath(QStringLiteral("Suite/bin"));
    QDir().mkpath(bin);
    EnvironmentDirs d;
    ASSERT_TRUE(InitEnvironment(bin, &d));
    EXPECT_EQ(d.root, tmp.filePath(QStringLiteral("Suite/")));
    EXPECT_TRUE(QDir(d.log).exists());
    EXPECT_TRUE(QDir(d.allUsers).exists());
    EXPECT_EQ(RootFromProgramDir(QStringLiteral("/x/RSC/UPDATE")), QStringLiteral("/x/"));
    EXPECT_TRUE(RootFromProgramDir(QStringLiteral("/x/BIN/tools")).isEmpty());

    // only the first call of a process prepares the environment
    EXPECT_TRUE(InitEnvironment(tmp.filePath(QStringLiteral("Suite/tools"))));
    TSystemEinstellungen::instance().reset();
    EXPECT_FALSE(InitEnvironment(tmp.filePath(QStringLiteral("Suite/tools"))));
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.messages.last().text.contains(QStringLiteral("Initst-")));
}
