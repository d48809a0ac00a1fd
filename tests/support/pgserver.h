#pragma once

#include "persistence/engine/pgconnection.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>

// The test server's connection string (STOCK_TEST_PG, tools/pg-test-cluster prints one).
// Empty without it; in CI (CI=true) a missing server is a failure, not a skip, since a
// skipped suite would pass unnoticed forever.
QString testServer();

// A test against the server in a schema of its own, dropped afterwards. Skips without a
// server.
class PgServerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Another connection, as a second workstation would have.
    std::unique_ptr<PgConnection> connect() const;

    std::unique_ptr<PgConnection> pg;
    QString schema;
};
