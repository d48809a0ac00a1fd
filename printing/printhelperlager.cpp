#include "printing/printhelperlager.h"

#include "base/formatsettings.h"
#include "persistence/datetime.h"
#include "printing/lagerbewertung.h"
#include "printing/printarealayoutscore.h"
#include "stock/artikelbilder.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
namespace Var
{
enum : int {
    Number = 1000,
    Catalog = 1001,
    Description = 1002,
    Stock = 1003,
    Received = 1004,
    Group = 1005,
    Place = 1006,
    StockTaking = 1007,
    OpeningStock = 1008,
    Counted = 1009,
    Difference = 1010,
    DiscountGroups = 1011,
    Unit = 1012,
    CostPriceForming = 1013,
    PurchasePrice = 1014,
    Markup = 1015,
    VatClass = 1016,
    Created = 1017,
    CreatedBy = 1018,
    Changed = 1019,
    ChangedBy = 1020,
    SalePrice1 = 1021,
    SalePrice5 = 1025,
    Weight = 1026,
    Surface = 1027,
    Length = 1028,
    Volume = 1029,
    Packing = 1030,
    WorkingTime = 1031,
    Wage = 1032,
    NoDiscount = 1033,
    NoCommission = 1034,
    PurchaseLock = 1035,
    SaleLock = 1036,
    SerialDuty = 1037,
    LongText = 1038,
    ShortText = 1039,
    SerialLines = 1040,
    SerialList = 1041,
    Picture = 1043,
    LabelText = 1047,
    Currency = 1100,
    CountedMinusStock = 1101,
    DifferenceValue = 1102,
    CountedValue = 1103,
    StockValue = 1104,
};
}

int text(TPrintValue &v, const QString &t)
{
    v.Text = t;
    return pvText;
}

int number(TPrintValue &v, double d)
{
    v.Text = floatToText(d);
    return pvText;
}

int boolean(TPrintValue &v, bool b)
{
    v.Boolean = b;
    return pvBoolean;
}

int amount(TPrintValue &v, double d)
{
    v.Amount = d;
    return pvAmount;
}

int integer(TPrintValue &v, qint64 i)
{
    v.Integer = i;
    return pvInteger;
}

int richText(TPrintValue &v, const QString &html, const QString &variable)
{
    v.RichText = html;
    v.RichTextParam = variable;
    return pvRichText;
}

// A time stamp that was never set prints nothing rather than 30.12.1899.
QString dateTimeText(double when, bool date, bool time)
{
    if (when == 0 && date)
        return {};
    const FormatSettings &fs = FormatSettings::current();
    const QDateTime dt = DateTime::toQDateTime(when);
    QStringList parts;
    if (date)
        parts << dt.toString(fs.shortDateFormat);
    if (time)
        parts << dt.toString(fs.shortTimeFormat);
    return parts.join(u' ');
}

int extraValue(const TDsnElement &e, TPrintValue &v)
{
    switch (e.Kind) {
    case TDsnElement::Text:
        return text(v, e.TextValue);
    case TDsnElement::Integer:
        return integer(v, e.IntValue);
    case TDsnElement::Boolean:
        return boolean(v, e.BoolValue);
    case TDsnElement::Date:
        return text(v, dateTimeText(e.FloatValue, true, false));
    case TDsnElement::Time:
        return text(v, dateTimeText(e.FloatValue, false, true));
    case TDsnElement::DateAndTime:
        return text(v, dateTimeText(e.FloatValue, true, true));
    default:
        return pvNone;
    }
}
} // namespace

TPrintHelperLager::Settings TPrintHelperLager::FromSuite(IModLagerDBServerObj &db)
{
    const TSystemEinstellungen &s = TSystemEinstellungen::instance();
    Settings settings;
    settings.fourDecimals = s.FullCurrency;
    settings.currencyText = s.HouseCurrencyShort;
    settings.imagesDir = s.ImagesDir;
    settings.serialNumbers = [&db](const QString &nr) {
        QStringList list;
        db.SerialsOfArticle(nr, list);
        return list;
    };
    return settings;
}

bool TPrintHelperLager::Resolve(const QString &variable, int &kind, TPrintValue &v,
                                const TLagerArtikelDaten &a) const
{
    const QString rest = StockListVariableRest(variable);
    if (rest.isNull())
        return false;
    bool isNumber = false;
    const int n = rest.toInt(&isNumber);
    auto rounded = [&](double quantity) {
        return amount(v, RoundedProduct(a.EKPreis, quantity, m_settings.fourDecimals).toDouble());
    };
    int k = pvNone;
    if (isNumber && n >= Var::SalePrice1 && n <= Var::SalePrice5) {
        k = amount(v, a.VKPreis[size_t(n - Var::SalePrice1)].toDouble());
    } else if (isNumber) {
        switch (n) {
        case Var::Number:
            k = text(v, a.LagerArtikelNr);
            break;
        case Var::Catalog:
            k = text(v, a.Katalog);
            break;
        case Var::Description:
            k = text(v, a.Bezeichnung);
            break;
        case Var::Stock:
            k = number(v, a.BuchungsBestand);
            break;
        case Var::Received:
            k = number(v, a.SummeWareneingangMe);
            break;
        case Var::Group:
            k = text(v, a.Gruppe);
            break;
        case Var::Place:
            k = text(v, a.Lagerort);
            break;
        case Var::StockTaking:
            k = boolean(v, a.Inventurartikel);
            break;
        case Var::OpeningStock:
            k = number(v, a.Anfangsbestand);
            break;
        case Var::Counted:
            k = number(v, a.InventurErfassung);
            break;
        case Var::Difference:
            k = number(v, a.Inventurdifferenz);
            break;
        case Var::DiscountGroups:
            k = text(v, a.Rabattgruppen);
            break;
        case Var::Unit:
            k = text(v, a.ME);
            break;
        case Var::CostPriceForming:
            k = boolean(v, a.DEinstandsPreisbildung);
            break;
        case Var::PurchasePrice:
            k = amount(v, a.EKPreis.toDouble());
            break;
        case Var::Markup:
            k = number(v, a.VKZuschlag);
            break;
        case Var::VatClass:
            k = integer(v, a.MwStSatz);
            break;
        case Var::Created:
            k = text(v, dateTimeText(a.Created, true, true));
            break;
        case Var::CreatedBy:
            k = text(v, a.CreatedBy);
            break;
        case Var::Changed:
            k = text(v, dateTimeText(a.Changed, true, true));
            break;
        case Var::ChangedBy:
            k = text(v, a.ChangedBy);
            break;
        case Var::Weight:
            k = number(v, a.Gewicht);
            break;
        case Var::Surface:
            k = number(v, a.Oberflaeche);
            break;
        case Var::Length:
            k = number(v, a.Laenge);
            break;
        case Var::Volume:
            k = number(v, a.Volumen);
            break;
        case Var::Packing:
            k = number(v, a.Verpackungsmenge);
            break;
        case Var::WorkingTime:
            k = integer(v, std::isfinite(a.Arbeitszeit) && std::fabs(a.Arbeitszeit) < 9e18
                               ? std::llround(a.Arbeitszeit)
                               : 0);
            break;
        case Var::Wage:
            k = amount(v, a.Lohn.toDouble());
            break;
        case Var::NoDiscount:
            k = boolean(v, a.OhneRabatt);
            break;
        case Var::NoCommission:
            k = boolean(v, a.OhneProvision);
            break;
        case Var::PurchaseLock:
            k = boolean(v, a.EKSperre);
            break;
        case Var::SaleLock:
            k = boolean(v, a.VKSperre);
            break;
        case Var::SerialDuty:
            k = boolean(v, a.SNPflicht);
            break;
        case Var::LongText:
            k = richText(v, a.Langtext, variable);
            break;
        case Var::ShortText:
            k = richText(v, a.Kurztext, variable);
            break;
        case Var::LabelText:
            k = richText(v, a.Etikett, variable);
            break;
        case Var::Currency:
            k = text(v, m_settings.currencyText);
            break;
        case Var::CountedMinusStock:
            k = number(v, a.InventurErfassung - a.BuchungsBestand);
            break;
        case Var::DifferenceValue:
            k = rounded(a.InventurErfassung - a.BuchungsBestand);
            break;
        case Var::CountedValue:
            k = rounded(a.InventurErfassung);
            break;
        case Var::StockValue:
            k = rounded(a.BuchungsBestand);
            break;
        default:
            break;
        }
    }
    if (k == pvNone && !(isNumber && (n == Var::SerialLines || n == Var::SerialList))) {
        const qsizetype eq = rest.indexOf(u'=');
        if (eq >= 0 && rest.left(eq).trimmed() == QString::number(Var::Picture)) {
            const QString key = rest.mid(eq + 1);
            for (qsizetype i = 0; i < a.Bilder.Count(); ++i)
                if (a.Bilder[i].Key.compare(key, Qt::CaseInsensitive) == 0) {
                    v.ImagePath = PictureFilePath(a.Bilder[i].Value, m_settings.imagesDir);
                    break;
                }
            // Without such a picture the row shows nothing, as for any missing picture.
            k = pvImage;
        } else {
            for (const TDsnElement &e : a.Zusatzdaten)
                if (e.Name.compare(rest, Qt::CaseInsensitive) == 0) {
                    k = extraValue(e, v);
                    break;
                }
        }
    }
    if (k == pvNone)
        return false;
    kind = k;
    return true;
}

int TPrintHelperLager::ResolveSerials(const QString &variable, TPrintValue &v,
                                      const TLagerArtikelDaten &a) const
{
    const QString rest = StockListVariableRest(variable);
    bool isNumber = false;
    const int n = rest.toInt(&isNumber);
    if (!isNumber || (n != Var::SerialLines && n != Var::SerialList))
        return pvNone;
    const QStringList serials =
        m_settings.serialNumbers ? m_settings.serialNumbers(a.LagerArtikelNr) : QStringList();
    if (serials.isEmpty())
        return pvImage; // the image kind without a picture prints nothing
    v.Text = serials.join(n == Var::SerialLines ? u"\n"_s : u", "_s);
    return pvText;
}

int TPrintHelperLager::ResolveRow(const QString &variable, TPrintValue &value,
                                  const TLagerArtikelDaten &article) const
{
    int kind = pvNone;
    if (Resolve(variable, kind, value, article))
        return kind;
    return ResolveSerials(variable, value, article);
}
