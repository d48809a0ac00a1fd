#pragma once

#include "catalogs/datanorm/datanormimport.h"

#include <QString>
#include <functional>

// The window's DATANORM import: asks for delivery, catalog name and supplier, refuses names
// that are no plain directory name and directories of another kind, confirms the update of an
// existing catalog, and reports through the message functions. The dialog comes through a
// hook, so that the flow runs without a window.
class DatanormImportCommand
{
public:
    struct Request {
        QString deliveryDir;
        QString catalogName;
        QString supplier; // address number; only written into a new catalog's SUPPLIER.INI
    };
    // The dialog; false when the user cancelled. It may be asked again after a refusal.
    using AskRequest = std::function<bool(Request &)>;

    DatanormImportCommand(QString catalogBaseDir, AskRequest ask);

    // The import's result; not ok when refused, cancelled or broken (each told to the user).
    DatanormImport::Result Run();
    // The name of a new catalog directory, upper-case; empty when it is not one: only
    // letters, digits, "_" and "-", at most 40, and never the stock's "LAGER".
    static QString CatalogDirectoryName(const QString &name);
    // True for a directory that holds files but no DATANORM catalog.
    static bool HoldsAnotherCatalog(const QString &dir);

private:
    // The catalog directory of the request; empty when refused (the user has been told).
    QString check(const Request &request) const;

    QString m_base; // with trailing separator
    AskRequest m_ask;
};
