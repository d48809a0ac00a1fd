#include "catalogs/katalogdbclipboardmergeobj.h"

#include "catalogs/katalog1artikel.h"
#include "catalogs/katalog2artikel.h"
#include "persistence/conversions.h"

using namespace Qt::StringLiterals;

void TKatalogDBClipBoardMergeObj::Clear()
{
    *this = TKatalogDBClipBoardMergeObj();
}

void TKatalogDBClipBoardMergeObj::SetTexts(const QString &kurztext, const QString &langtext)
{
    Kurztext = kurztext.trimmed();
    if (Kurztext.isEmpty())
        Kurztext = Beschreibung;
    Langtext = langtext.trimmed();
    if (Langtext.isEmpty())
        Langtext = Kurztext;
}

void TKatalogDBClipBoardMergeObj::ConvertToOtherUnit(const QString &unit, double factor,
                                                     bool fourDecimals)
{
    ME = unit;
    Basispreis = RoundMoney(fourDecimals, Basispreis * factor);
    for (size_t i = 1; i < VKPreise.size(); ++i)
        VKPreise[i] = RoundMoney(fourDecimals, VKPreise[i] * factor);
    NettoEK = ApplyDiscount(fourDecimals, Basispreis, Rabatt);
}

void TKatalogDBClipBoardMergeObj::LoadFrom(const TKatalog1ArtikelDaten &a,
                                           const TKatalogPreisEinstellungen &settings)
{
    Clear();
    ArtikelNr = a.ArtikelNr;
    EAN = a.EAN;
    Katalog = a.Katalog;
    KatalogTyp = kkDatanorm;
    Beschreibung = a.Kurzzeilen();
    Kurzzeilen = TKurzzeilenPaar{{a.KurzZeile1, a.KurzZeile2}};
    MwStSatz = settings.VATRateOf(a.MwStMerker);
    MwStMerker = a.MwStMerker;
    Basispreis = a.PreisKZ == 1 ? a.Listenpreis : a.Netto;
    Rabatt = a.Rabatt;
    NettoEK = a.Netto;
    Preiseinheit = a.Preiseinheit;
    VKPreise[0] = a.VKPreis1(settings.FullCurrency);
    for (size_t i = 0; i < a.VKPreise.size(); ++i)
        VKPreise[i + 1] = a.VKPreise[i];
    ME = a.ME;
    SetTexts(Beschreibung, a.Langtext);
    Arbeitszeit = a.Arbeitszeit;
    // The graphics all belong to the article's AnbindNr, which is their key in the catalog.
    for (const TKatalog1AnbindObj &g : a.AnbindObjekte) {
        QString key = a.AnbindNr;
        if (!g.Beschreibung.isEmpty())
            key += u' ' + g.Beschreibung;
        Bilder.Add(key, g.Dateiname + u'.' + g.Erweiterung);
    }
    Text1 = a.Text1;
    Text2 = a.Text2;

    if (a.MEKalkulationSpezial) {
        ConvertToOtherUnit(a.MEKalkulation, a.MEKalkulationUmrechFakt, settings.FullCurrency);
        VKPreise[0] = NettoEK;
    }
}

void TKatalogDBClipBoardMergeObj::LoadFrom(const TKatalog2ArtikelDaten &a,
                                           const TKatalogPreisEinstellungen &settings)
{
    Clear();
    ArtikelNr = a.ArtikelNr;
    // The catalog never reads an EAN into a simple catalog's article.
    Katalog = a.Katalog;
    KatalogTyp = kkSimple;
    Beschreibung = a.Beschreibung;
    MwStSatz = settings.VATRateOf(a.MwStSatz);
    MwStMerker = a.MwStSatz;
    Basispreis = a.EK;
    Rabatt = a.Rabatt;
    Rabattgruppe = a.Rabattgruppe;
    NettoEK = a.Nettopreis(settings.FullCurrency);
    VKFaktor = a.VKZuschlag;
    Preiseinheit = a.Preiseinheit;
    VKPreise[0] = a.BerechneVKPreis1(settings);
    for (size_t i = 0; i < a.VKPreise.size(); ++i)
        VKPreise[i + 1] = a.VKPreise[i];
    MindBestMenge = a.MindBestMenge;
    ME = a.ME;
    SetTexts(a.Kurztext, a.Langtext);
    Bilder = a.Bilder;
    Text1 = a.Text1;
    Text2 = a.Text2;

    if (a.MEKalkulationSpezial) {
        ConvertToOtherUnit(a.MEKalkulation, a.MEKalkulationUmrechFakt, settings.FullCurrency);
        // In the other unit sales price 1 stays a net price, gross sale prices or not.
        VKPreise[0] = RoundMoney(settings.FullCurrency, NettoEK * VKFaktor);
    }
}

void TKatalogDBClipBoardMergeObj::LoadFrom(const TLagerArtikelDaten &a,
                                           const TKatalogPreisEinstellungen &settings)
{
    Clear();
    ArtikelNr = a.LagerArtikelNr;
    EAN = a.EAN;
    Katalog = u"LAGER"_s;
    KatalogTyp = kkStock;
    Beschreibung = a.Bezeichnung;
    MwStSatz = settings.VATRateOf(a.MwStSatz);
    MwStMerker = a.MwStSatz;
    Basispreis = a.EKPreis;
    NettoEK = a.EKPreis;
    VKFaktor = a.VKZuschlag;
    Preiseinheit = a.PE;
    VKPreise = a.VKPreis;
    ME = a.ME;
    Arbeitszeit = a.Arbeitszeit;
    Bilder = a.Bilder;
}
