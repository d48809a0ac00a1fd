#pragma once

#include "persistence/money.h"
#include "stock/artikelpreisrechner.h"

#include <QString>
#include <functional>
#include <vector>

struct TLagerArtikelDaten;
class TSeriennummerObjectList;

// The arithmetic and rules of a goods receipt, apart from any window: the price update the
// receipt dialog runs whenever a field is left, its checks on OK and what a confirmed
// receipt does to the article; and the prices the grouped articles take over afterwards.
// The dialog, the command line and the receipts from orders all go through here, so that a
// receipt booked by script costs what the same receipt booked in the window costs.
//
// Dependent prices follow the article editor's rules (TArtikelPreisRechner): a new purchase
// price leaves the sale prices as they are and moves the price per kg along; a new price per
// kg recomputes the purchase price and the sale prices from it.
class GoodsReceipt
{
public:
    enum class Basis { PerUnit, PerKg };

    struct Settings {
        TArtikelPreisRechner::Settings prices;
        // The rate of a VAT class in percent.
        std::function<double(int vatClass)> vatRate = [](int) { return 0.0; };
        // The suite's settings and the stock configuration of the stock directory.
        static Settings FromSuite(const QString &stockDir);
    };

    explicit GoodsReceipt(Settings settings) : m_settings(std::move(settings)) {}
    const Settings &settings() const { return m_settings; }

    // The price after the discount (percent) as money.
    Money NetPrice(Money price, double discount) const;
    // Stock units a quantity of packages makes; a packing quantity of 1 or none counts units.
    static double Units(double quantity, double packing);
    // The net price of one unit when the price is per package.
    Money UnitPrice(Money netPrice, double packing) const;

    // The price update on the article as the dialog shows it: the new purchase price (or
    // price per kg) from the receipt, averaged over the stock of the article and its grouped
    // articles when the article asks for average prices, and the prices that follow from
    // it. stored is the article as read: its prices value the stock already there.
    void UpdatePrices(TLagerArtikelDaten &article, const TLagerArtikelDaten &stored,
                      const std::vector<const TLagerArtikelDaten *> &grouped, double quantity,
                      Money netPrice, Basis basis) const;

    // Why a receipt of quantity cannot be booked (a msgid), null when it can.
    static const char *Refusal(const TLagerArtikelDaten &article, double quantity);
    // How many serial numbers a receipt asks for: its units for a serial-number article.
    static qint64 SerialsWanted(const TLagerArtikelDaten &article, double quantity);
    // A confirmed receipt: booked stock and receipts total raised by the units, the serial
    // numbers attached (after any attached already) and the article stamped.
    static void Apply(TLagerArtikelDaten &article, double quantity,
                      const TSeriennummerObjectList *serials, double now, const QString &user);

    // A grouped article takes over the booked one's purchase prices; sale price 1 and the one
    // that follows the price per kg are computed anew from them.
    void CopyPrices(const TLagerArtikelDaten &booked, TLagerArtikelDaten &member) const;

private:
    TArtikelPreisRechner calculator(const TLagerArtikelDaten &article) const;
    static void takeFrom(const TArtikelPreisRechner &calc, TLagerArtikelDaten &article);

    Settings m_settings;
};
