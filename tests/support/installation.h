#pragma once

#include "tests/support/scriptedinteraction.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Writes a generated installation into dir (client DEMO unless given, with so many generated
// articles); false after reporting the generator's error as a test failure.
bool generateInstallation(const QString &dir, const QString &client = {},
                          const QString &binDir = {}, int articles = 0);

// A generated installation with the environment prepared as MOD00501 in its BIN would, every
// message recorded, and the settings of the log-on reset before and after each test.
class GeneratedInstallation : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString client; // set in the constructor for another client than DEMO
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QTemporaryDir tmp;
    QString root; // the installation, with a trailing slash
};
