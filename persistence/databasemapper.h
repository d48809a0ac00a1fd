#pragma once

#include "persistence/databasestorebase.h"

#include <functional>

// The older store base (the order database, the text phrases): tables are addressed by their
// position in the list, and all of them may live in one database file.
class TDatabaseMapper : public TDatabaseStoreBase
{
public:
    using AfterOpenCallback = std::function<void()>;

    explicit TDatabaseMapper(bool singleFile = false);

    // Opens the tables in directory (created when missing); with the single-file flag they
    // live in directory + fileName. Missing tables are created. False after the failure was
    // reported.
    bool Open(const QString &directory, const QString &fileName = QString(),
              bool exclusive = false);

    void SetAfterOpen(AfterOpenCallback callback) { m_afterOpen = std::move(callback); }
    bool SingleFile() const { return m_singleFile; }
    QString DatabaseFileName() const { return m_fileName; }

protected:
    // Fills the definitions of table index for its creation.
    virtual void DefineTable(int index) = 0;
    // Adds the store's tables with AddTable; runs once, before the first open.
    virtual void CreateTableObjects() = 0;
    // Prepares table index (its current index, say) before it is examined and opened.
    virtual void PrepareTable(int index) = 0;
    // Adds what older tables lack; runs once after each open, before the after-open callback.
    virtual void UpgradeTable() {}

    // Reports as an error under "Datenbankfehler.".
    void ReportError(const std::exception *e, const QString &text);

private:
    void PrepareTablesForOpen() override;
    void ReportOpenFailure(const std::exception &e, const QString &text) override;
    void CreateTableObjectsOnce() override { CreateTableObjects(); }
    void openOrThrow(const QString &directory, bool exclusive);

    AfterOpenCallback m_afterOpen;
    bool m_singleFile;
    QString m_errorPrefix;
    QString m_fileName;
};
