#include "movements/freelinearticle.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "ordering/bestellserverobj.h"
#include "persistence/conversions.h"
#include "stock/articlecommands.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace FreeLineArticle
{
Answer AskNumber(IModLagerDBServerObj &db, const QString &proposal,
                 const std::function<bool(const QString &)> &takenHere, QString &nr)
{
    switch (ArticleCommands::AskNewNumber(db, proposal, nr, takenHere)) {
    case ArticleCommands::NumberAnswer::Chosen:
        return Answer::Chosen;
    case ArticleCommands::NumberAnswer::Failed:
        return Answer::Failed;
    case ArticleCommands::NumberAnswer::Declined:
        break;
    }
    return Answer::Declined;
}

void Build(TLagerServerObj &article, const QString &nr, const TBestellServerObj &order,
           const TBestellartikel &line, const QString &stockDir, const QString &user, double stamp,
           const CatalogOfSupplier &catalogOf, const FormatText &formatText)
{
    article.LagerArtikelNr = nr;
    article.InitPeriods(stockDir + u"STDMB.TXT"_s);
    article.Bezeichnung = line.Anzeigetext;
    article.Kurztext = formatText ? formatText(line.Anzeigetext) : line.Anzeigetext;
    article.Langtext = article.Kurztext;
    article.Created = article.Changed = stamp;
    article.CreatedBy = article.ChangedBy = user;
    const QString catalog =
        catalogOf ? catalogOf(order.LieferAdr.Key.section(u'_', 0, 0)) : QString();
    if (!catalog.isEmpty() && !line.BestellNr.isEmpty())
        article.KatRefs.Add(catalog, line.BestellNr);
}

void ApplyPacking(TLagerServerObj &article, bool fourDecimals)
{
    const double packing = article.Verpackungsmenge;
    if (packing == 1 || packing <= 0)
        return;
    article.EKPreis = RoundMoney(fourDecimals, article.EKPreis / packing);
}

bool TableConversion::Convert(TBestellServerObj &order, TBestellartikel &line) const
{
    if (line.Typ != u"F")
        return false;
    // A number given to another row of this table is not in the stock yet, but taken.
    const auto takenHere = [&order, &line](const QString &nr) {
        for (const TBestellartikel &other : order.Artikel) {
            if (&other != &line && other.Lagerartikel && other.Lagerartikel->LagerArtikelNr == nr)
                return true;
        }
        return false;
    };
    QString nr;
    if (AskNumber(db, line.BestellNr, takenHere, nr) != Answer::Chosen)
        return false;
    auto article = std::make_unique<TLagerServerObj>();
    Build(*article, nr, order, line, stockDir, user, now ? now() : 0, catalogOf, formatText);
    article->EKPreis =
        ApplyDiscount(fourDecimals, Money::fromDouble(line.EK / line.EffectivePE()), line.Rabatt);
    if (!editNewArticle || !editNewArticle(*article))
        return false;
    ApplyPacking(*article, fourDecimals);
    line.Lagerartikel = std::move(article);
    line.ArtikelNr = nr;
    line.Typ = u"N"_s;
    return true;
}
} // namespace FreeLineArticle
