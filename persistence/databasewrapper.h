#pragma once

#include "persistence/databasestorebase.h"

#include <functional>

// Base of the stores that describe each table by its object (the stock database, the
// catalog databases): opening creates the tables that are missing and opens all of them.
class TDatabaseWrapper : public TDatabaseStoreBase
{
public:
    // Receives failures with "<class>.<context>" texts; TLogHelper::DatabaseError in the
    // program.
    using ErrorCallback = std::function<void(const std::exception *e, const QString &text)>;

    explicit TDatabaseWrapper(ErrorCallback onError = {});

    // Opens the database in directory (created with its parents when missing), creates the
    // tables that are missing, opens all of them and then upgrades older tables once.
    // Throws EngineError when the directory cannot be created or a table not opened.
    void Open(const QString &directory, bool alternativeMode = false, bool readOnly = false);

    // Hands the failure to the error callback as "<class>.<text>"; without one it is
    // reported as a fatal error.
    void ReportError(const std::exception *e, const QString &text);

protected:
    // Fills the field and index definitions of a new table, chosen by its name.
    virtual void DefineTable(TTdbTable &table) = 0;
    // Adds the store's tables with AddTable; runs once, before the first open.
    virtual void CreateTableObjects() = 0;
    // Sets each table's current index; runs before the tables are opened.
    virtual void SelectIndexes() = 0;
    // Adds the columns older tables lack; runs once after each open, tables open.
    virtual void UpgradeTable() = 0;

private:
    void PrepareTablesForOpen() override { SelectIndexes(); }
    void ReportOpenFailure(const std::exception &e, const QString &text) override;
    void CreateTableObjectsOnce() override { CreateTableObjects(); }
    void deliver(const std::exception *e, const QString &text);

    ErrorCallback m_onError;
};
