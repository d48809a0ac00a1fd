#pragma once

#include <QString>
#include <functional>

class IModLagerDBServerObj;
class TBestellartikel;
class TBestellServerObj;
class TLagerServerObj;

// A free order line turned into a new stock article, on both receipt roads: the number asked
// for until it is free, and the article built from the line. Stock, price and serial numbers
// are the road's own business.
namespace FreeLineArticle
{
enum class Answer { Chosen, Declined, Failed };

// Asks for the number (proposal: the supplier number) until the user gives one that is not
// taken or gives up. takenHere names numbers this receipt has already claimed; nr is the
// trimmed answer on Chosen.
Answer AskNumber(IModLagerDBServerObj &db, const QString &proposal,
                 const std::function<bool(const QString &)> &takenHere, QString &nr);

// The catalog registered for the address number of the order's delivery address; empty
// when none is.
using CatalogOfSupplier = std::function<QString(const QString &addressNr)>;

// A plain text as formatted text in the suite's standard font.
using FormatText = std::function<QString(const QString &plain)>;

// Number, minimum-stock periods (stockDir ends with a separator), texts, stamps and, when
// a catalog is registered for the delivery address, the supplier reference to it. Without
// formatText the short and long text stay plain.
void Build(TLagerServerObj &article, const QString &nr, const TBestellServerObj &order,
           const TBestellartikel &line, const QString &stockDir, const QString &user, double stamp,
           const CatalogOfSupplier &catalogOf, const FormatText &formatText);

// The purchase price of a packed article is per piece, the line's per pack.
void ApplyPacking(TLagerServerObj &article, bool fourDecimals);

// "In einen Lagerartikel umwandeln" in the receipt table: the free line gets a new stock
// article as its matched article (written only when the line is booked) and becomes a stock
// line. Nothing changes when the user gives up.
struct TableConversion {
    IModLagerDBServerObj &db;
    QString stockDir; // with a trailing separator
    QString user;
    bool fourDecimals = false;
    std::function<bool(TLagerServerObj &article)> editNewArticle;
    CatalogOfSupplier catalogOf;
    std::function<double()> now;
    FormatText formatText;

    // True when the line is a stock line now.
    bool Convert(TBestellServerObj &order, TBestellartikel &line) const;
};
} // namespace FreeLineArticle
