#pragma once

#include "catalogs/ukatkatalogtypehelper.h"
#include "persistence/databasewrapper.h"
#include "persistence/engine/engineerror.h"

#include <QString>
#include <memory>
#include <vector>

// One known catalog (or the stock under "LAGER"); its database is opened on first use.
class TKatalogDBPoolItem
{
public:
    TKatalogDBPoolItem(const QString &directory, TDatabaseWrapper::ErrorCallback onError,
                       const QString &name);
    ~TKatalogDBPoolItem();

    // Creates and opens the database on first use: TKatalog2DB for a simple catalog,
    // TKatalog1DB for a DATANORM catalog. Throws EngineError "Unbekannter Katalogtyp" for the
    // kinds without tables.
    TDatabaseWrapper *GetDB();
    TDatabaseWrapper *OpenedDB() const { return m_db.get(); }

    QString CatalogName;
    quint8 Kind = kkNone;
    QString Directory; // with trailing separator
    QString SupplierID;
    QString SupplierSubID;
    QString SupplierInfo;

private:
    TDatabaseWrapper::ErrorCallback m_onError;
    std::unique_ptr<TDatabaseWrapper> m_db;
};

// Every catalog of the client and the stock, each database opened once and kept open until
// the pool goes; the pool owns them all.
class TKatalogDBPool
{
public:
    TKatalogDBPool(const QString &catalogBaseDir, const QString &stockDir,
                   TDatabaseWrapper::ErrorCallback onError);
    ~TKatalogDBPool();

    // Null for an empty name, or for an unknown one unless addIfMissing finds its directory.
    TDatabaseWrapper *GetDB(const QString &name, bool addIfMissing);
    TKatalogDBPoolItem *GetItem(const QString &name, bool addIfMissing);
    // The first catalog (not the stock) whose supplier is this one; empty when none.
    QString CatalogNameOfSupplier(const QString &supplierId) const;

    int Count() const { return int(m_items.size()); }
    TKatalogDBPoolItem &Item(int index) { return *m_items[size_t(index)]; }

    QString CatalogBaseDir;
    QString StockDir;

private:
    TKatalogDBPoolItem *find(const QString &name) const;

    TDatabaseWrapper::ErrorCallback m_onError;
    std::vector<std::unique_ptr<TKatalogDBPoolItem>> m_items;
};
