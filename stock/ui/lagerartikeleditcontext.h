#pragma once

#include "ordering/customeraddress.h"
#include "stock/lagerbuchung.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

class TSystemEinstellungen;

// What the article editor and its pages need from the running program.
struct TLagerArtikelEditContext {
    // VAT classes and rates, units, money mode, "ArtikelVKPreisIsBrutto", images directory.
    const TSystemEinstellungen *settings = nullptr;
    QString stockDir; // with a trailing "/": CONFIG.XML and the STDMB.TXT period template
    QString userName; // the log-on name, for the suite programs started on the user's behalf
    // Lets the user choose a supplier address; null when cancelled. The program plugs in the
    // suite's address program, tests a fixed address.
    std::function<std::unique_ptr<TCustomerAddress>()> chooseAddress;
    QString userFullName; // stamped as "changed by"
    // The article's booking history for the tab "Buchungen"; empty hides nothing but shows no
    // rows (the receipt dialog's frame has no use for it).
    std::function<TLagerBuchungList(const QString &nr)> bookings = nullptr;
    // The catalog article selection, opened with a search text; the chosen articles as pairs
    // of catalog name and article number. Null leaves "Hinzufuegen eines konkreten Artikels"
    // disabled: the catalogs belong to a layer above the editor.
    std::function<QList<std::pair<QString, QString>>(const QString &searchText)>
        chooseCatalogArticles = nullptr;
};
