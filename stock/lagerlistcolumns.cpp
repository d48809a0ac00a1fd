#include "stock/lagerlistcolumns.h"

#include "base/inifile.h"
#include "base/translation.h"
#include "stock/dblagersearchresult.h"

using namespace Qt::StringLiterals;

namespace
{
void add(TLagerListLayout &l, int code, const char *caption, int width, bool right)
{
    l.Columns.push_back({code, caption, width, right});
}
} // namespace

QString TLagerListLayout::WidthKey(const QString &gridName, int position)
{
    return gridName + u"Column"_s + QString::number(position);
}

TLagerListLayout TLagerListLayout::Build(int layout, const IniFile &settings,
                                         const QString &section, const QString &gridName)
{
    using namespace LagerColumn;
    TLagerListLayout l;
    if (layout == 2) {
        // The stock-taking list is filled in by hand from paper, left to right.
        add(l, ArtikelNr, txNoop("Lagerartikel-Nr."), 80, false);
        add(l, Bezeichnung, txNoop("Bezeichnung"), 163, false);
        add(l, Gruppe, txNoop("Gruppe"), 54, false);
        add(l, Lagerort, txNoop("Lagerort"), 52, false);
        add(l, Bestand, txNoop("Bestand"), 80, false);
        add(l, EKPreis, txNoop("EK-Preis"), 73, false);
        add(l, ZugangGesamt, txNoop("Zugang gesamt"), 79, false);
        add(l, LagerColumn::Anfangsbestand, txNoop("Anfangsbestand"), 83, false);
        add(l, Inventurbestand, txNoop("Inventurbestand"), 83, false);
        l.OnlyStockTaking = true;
        l.WithoutKeptWithoutStock = true;
    } else if (layout == 4) {
        add(l, ArtikelNr, txNoop("Lagerartikel-Nr."), 100, false);
        add(l, Bezeichnung, txNoop("Bezeichnung"), 330, false);
        add(l, Gruppe, txNoop("Artikelgruppe"), 90, false);
        add(l, Lagerort, txNoop("Lagerort"), 90, false);
        add(l, Bestand, txNoop("Bestand"), 70, true);
        l.WithoutKeptWithoutStock = true;
    } else {
        const QString view = u"View"_s;
        auto on = [&](const char *key, bool def) {
            return settings.readBool(view, QString::fromLatin1(key), def);
        };
        add(l, ArtikelNr, txNoop("Lagerartikel-Nr."), 100, false);
        add(l, Bezeichnung, txNoop("Bezeichnung"), 330, false);
        if (on("ColArtGrp", true))
            add(l, Gruppe, txNoop("Artikelgruppe"), 90, false);
        if (on("ColLagOrt", true))
            add(l, Lagerort, txNoop("Lagerort"), 90, false);
        if (on("ColRabGrp", true))
            add(l, Rabattgruppe, txNoop("Rabattgruppe"), 90, false);
        if (on("ColEK", true))
            add(l, EKPreis, txNoop("EK-Preis"), 80, true);
        static const char *const vk[] = {txNoop("VK-Preis 1"), txNoop("VK-Preis 2"),
                                         txNoop("VK-Preis 3"), txNoop("VK-Preis 4"),
                                         txNoop("VK-Preis 5")};
        for (int i = 0; i < 5; ++i) {
            if (settings.readBool(view, u"ColVK%1"_s.arg(i + 1), false))
                add(l, VKPreis1 + i, vk[i], 80, true);
        }
        add(l, Bestand, txNoop("Bestand"), 70, true);
        if (on("ColBestWert", false))
            add(l, Bestandswert, txNoop("Bestandswert"), 80, true);
    }
    for (size_t i = 0; i < l.Columns.size(); ++i)
        l.Columns[i].Width =
            settings.readInteger(section, WidthKey(gridName, int(i)), l.Columns[i].Width);
    return l;
}

TLagerGotoResult LookupGoto(const TDBLagerSearchResultObjectList &list, QStringView text)
{
    TLagerGotoResult r;
    if (text.isEmpty())
        return r;
    r.Row = list.IndexOfArticle(text, false);
    r.Colour = r.Row >= 0 && list.Item(r.Row)->ArtikelNr().compare(text, Qt::CaseInsensitive) == 0
                   ? TLagerGotoResult::Found
                   : TLagerGotoResult::Partial;
    return r;
}

bool LagerSortNeedsDetails(int code)
{
    using namespace LagerColumn;
    return code == Lagerort || code == Rabattgruppe || code == EKPreis ||
           (code >= VKPreis1 && code <= VKPreis5);
}

bool SortLagerList(TDBLagerSearchResultObjectList &list, int code)
{
    using namespace LagerColumn;
    switch (code) {
    case ArtikelNr:
        list.SortByArtikelNr();
        return true;
    case Bezeichnung:
        list.SortByBezeichnung();
        return true;
    case Gruppe:
        list.SortByGruppe();
        return true;
    case Lagerort:
        list.SortByLagerort();
        return true;
    case Rabattgruppe:
        list.SortByRabattgruppe();
        return true;
    case EKPreis:
        list.SortByEKPreis();
        return true;
    default:
        if (code >= VKPreis1 && code <= VKPreis5) {
            list.SortByVKPreis(code - VKPreis1);
            return true;
        }
        return false;
    }
}
