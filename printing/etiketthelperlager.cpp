#include "printing/etiketthelperlager.h"

#include "base/formatsettings.h"
#include "persistence/conversions.h"
#include "persistence/engine/tdbtable.h"
#include "printing/printetikett.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace Var
{
enum : int {
    OwnName = 1,
    Number = 1001000,
    // Our addition: the designer offers no variable for the EAN column, and shelf labels
    // want its barcode.
    Ean = 1001001,
    Description = 1001002,
    Group = 1001005,
    Place = 1001006,
    Unit = 1001012,
    VatRate = 1001016,
    Net1 = 1001021,
    Net5 = 1001025,
    LongText = 1001038,
    ShortText = 1001039,
    LabelText = 1001047,
    Gross1 = 1001200,
    Gross5 = 1001204,
    Vat1 = 1001205,
    Vat5 = 1001209,
    SupplierNumber = 1001301,
    HomeCurrency = 1012006,
};
}

TEtikettHelperLager::Settings TEtikettHelperLager::FromSuite()
{
    const TSystemEinstellungen &s = TSystemEinstellungen::instance();
    Settings settings;
    settings.salePriceIsGross = s.SalePriceIsGross;
    settings.fourDecimals = s.FullCurrency;
    settings.vatRate = [](int vatClass) {
        return TSystemEinstellungen::instance().VATRate(vatClass);
    };
    settings.formatMoney = [](Money m) { return TSystemEinstellungen::instance().FormatMoney(m); };
    settings.homeCurrencyShort = s.HouseCurrencyShort;
    return settings;
}

TEtikettHelperLager::Prices TEtikettHelperLager::prices(const TLagerArtikelDaten &article,
                                                        int index) const
{
    const Money stored = article.VKPreis[size_t(index)];
    const double rate = m_settings.vatRate ? m_settings.vatRate(article.MwStSatz) : 0.0;
    Prices p;
    try {
        if (m_settings.salePriceIsGross) {
            p.gross = stored;
            p.net = GrossToNet(m_settings.fourDecimals, stored, rate);
        } else {
            p.net = stored;
            p.gross = NetToGross(m_settings.fourDecimals, stored, rate);
        }
    } catch (const std::range_error &) {
        // A rate of -100 % or a price at the edge of the money range: the label shows the
        // stored price in both places rather than stopping the print.
        p.net = p.gross = stored;
    }
    p.vat = p.gross - p.net;
    return p;
}

int TEtikettHelperLager::VariableNumber(const QString &var)
{
    bool ok = false;
    const int n = var.trimmed().toInt(&ok);
    return ok ? n : 0;
}

QString TEtikettHelperLager::Value(int variable, const TLagerArtikelDaten &a,
                                   const QString &elementName) const
{
    auto money = [this](Money m) {
        return m_settings.formatMoney ? m_settings.formatMoney(m) : floatToText(m.toDouble());
    };
    if (variable >= Var::Net1 && variable <= Var::Net5)
        return money(prices(a, variable - Var::Net1).net);
    if (variable >= Var::Gross1 && variable <= Var::Gross5)
        return money(prices(a, variable - Var::Gross1).gross);
    if (variable >= Var::Vat1 && variable <= Var::Vat5)
        return money(prices(a, variable - Var::Vat1).vat);
    switch (variable) {
    case Var::OwnName:
        return elementName;
    case Var::Number:
        return a.LagerArtikelNr;
    case Var::Ean:
        return a.EAN;
    case Var::Description:
        return a.Bezeichnung;
    case Var::Group:
        return a.Gruppe;
    case Var::Place:
        return a.Lagerort;
    case Var::Unit:
        return a.ME;
    case Var::VatRate:
        return floatToText(m_settings.vatRate ? m_settings.vatRate(a.MwStSatz) : 0.0) + u" %"_s;
    case Var::LongText:
        return a.Langtext;
    case Var::ShortText:
        return a.Kurztext;
    case Var::LabelText:
        return a.Etikett;
    case Var::SupplierNumber:
        return a.KatRefs.Count() > 0 ? a.KatRefs[0].Value : QString();
    case Var::HomeCurrency:
        return m_settings.homeCurrencyShort;
    default:
        return {};
    }
}

void TEtikettHelperLager::Fill(TPrintEtikett &etikett, const TLagerArtikelDaten &article) const
{
    for (auto &element : etikett.Elements) {
        if (element->Kind() == EtikettElementKind::Variable) {
            auto &v = static_cast<TPrintEtikettElementVariable &>(*element);
            v.Value = Value(VariableNumber(v.Var), article, v.Name);
        } else if (element->Kind() == EtikettElementKind::Barcode) {
            auto &b = static_cast<TPrintEtikettElementBarcode &>(*element);
            b.Value = Value(VariableNumber(b.Var), article, b.Name);
        }
    }
}

std::function<int(TPrintEtikett &, int)>
TEtikettHelperLager::Callback(const std::vector<TLagerArtikelDaten> &articles) const
{
    return [this, &articles](TPrintEtikett &etikett, int index) {
        if (index < 0 || size_t(index) >= articles.size())
            return -1;
        Fill(etikett, articles[size_t(index)]);
        return int(articles.size()) - index - 1;
    };
}

bool TEtikettHelperLager::ReadArticle(IModLagerDBServerObj &db, const QString &nr,
                                      TLagerArtikelDaten &article)
{
    TLagerServerObj record;
    record.LagerArtikelNr = nr;
    if (db.ReadArticle(&record) != 0)
        return false;
    // ReadArticle leaves the table on the article it read.
    record.EAN = db.LagerTable().FieldByName(u"EAN"_s).AsString();
    article = record;
    return true;
}
