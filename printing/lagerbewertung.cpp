#include "printing/lagerbewertung.h"

#include "persistence/conversions.h"
#include "printing/printarealayoutscore.h"
#include "stock/lagerserverobj.h"

#include <cmath>

using namespace Qt::StringLiterals;

QString StockListVariableRest(const QString &variable)
{
    if (variable.size() < 4 || !variable.startsWith(u'$') ||
        QStringView(variable).mid(1, 3) != u"100")
        return {};
    return variable.mid(4);
}

Money RoundedProduct(Money price, double quantity, bool fourDecimals)
{
    const long double raw = static_cast<long double>(price.raw()) * quantity;
    // Also false for NaN.
    if (!(std::fabs(raw) < 9.2e18L))
        return {};
    return RoundMoney(fourDecimals, Money::fromRaw(std::llroundl(raw)));
}

Money TLagerBewertung::Value(const TLagerArtikelDaten &article)
{
    return RoundedProduct(article.EKPreis, article.BuchungsBestand, false);
}

void TLagerBewertung::Add(const TLagerArtikelDaten &article)
{
    const Money value = Value(article);
    if (article.BuchungsBestand > 0) {
        ++Count;
        PositiveValue += value;
    } else {
        NonPositiveValue += value;
    }
}

int TLagerBewertung::Resolve(const QString &variable, TPrintValue &value) const
{
    const QString rest = StockListVariableRest(variable);
    if (rest.isNull())
        return pvNone;
    switch (rest.toInt()) {
    case 1100:
        value.Text = CurrencyText;
        return pvText;
    case 102:
        value.Integer = Count;
        return pvInteger;
    case 4:
        value.Amount = PositiveValue.toDouble();
        return pvAmount;
    case 1:
        value.Amount = NonPositiveValue.toDouble();
        return pvAmount;
    default:
        return pvNone;
    }
}
