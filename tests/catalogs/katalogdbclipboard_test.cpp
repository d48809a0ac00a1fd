#include "catalogs/katalogdbclipboard.h"
#include "stock/lagerserverobj.h"

#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/documents.h"

#include <QTextStream>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace CatalogTest;

namespace
{
Money m(double value)
{
    return Money::fromDouble(value);
}

template <typename Article> Article normalUnit(Article a)
{
    a.MEKalkulationSpezial = false;
    return a;
}

std::unique_ptr<TKatalog1Artikel> datanorm(const QString &catalog, const QString &nr)
{
    auto a = std::make_unique<TKatalog1Artikel>();
    a->Katalog = catalog;
    a->ArtikelNr = nr;
    a->KurzZeile1 = u"Kupferrohr 22 x 1,0"_s;
    a->KurzZeile2 = u"hart"_s;
    return a;
}

std::unique_ptr<TKatalog2Artikel> simple(const QString &catalog, const QString &nr)
{
    auto a = std::make_unique<TKatalog2Artikel>();
    a->Katalog = catalog;
    a->ArtikelNr = nr;
    a->Beschreibung = u"Waschtisch"_s;
    a->Kurztext = u"Waschtisch weiss"_s;
    return a;
}
} // namespace

// ---- The clipboard --------------------------------------------------------------------

TEST(KatalogDBClipBoard, EntriesAnswerNumberCatalogAndTextByKindAndOtherClassesNothing)
{
    TKatalogDBClipBoard clip;
    clip.Add(datanorm(u"GC"_s, u"CU22"_s));
    auto oneLine = datanorm(u"GC"_s, u"CU15"_s);
    oneLine->KurzZeile2.clear();
    clip.Add(std::move(oneLine));
    clip.Add(simple(u"SAN"_s, u"WT-100"_s));
    auto stock = std::make_unique<TLagerServerObj>();
    stock->LagerArtikelNr = u"L-1"_s; // a stock article has no place here
    clip.Add(std::move(stock));
    ASSERT_EQ(clip.Count(), 4);

    // The simple article shows its short text, not the description; the stock article's
    // number must not count.
    const QStringList expected[] = {{u"CU22"_s, u"GC"_s, u"Kupferrohr 22 x 1,0 hart"_s},
                                    {u"CU15"_s, u"GC"_s, u"Kupferrohr 22 x 1,0 "_s},
                                    {u"WT-100"_s, u"SAN"_s, u"Waschtisch weiss"_s},
                                    {QString(), QString(), QString()}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ((QStringList{clip.ArtikelNr(i), clip.KatalogName(i), clip.Text(i)}), expected[i]);
        EXPECT_EQ(clip.MergeObj(i, priceSettings(false)) != nullptr, i != 3) << i;
    }

    // Contains compares exactly and never matches an empty number or a stock article's.
    clip.Add(simple(u"SAN"_s, QString()));
    EXPECT_TRUE(clip.Contains(u"CU22"_s));
    EXPECT_TRUE(clip.Contains(u"WT-100"_s));
    for (const QString &nr : {u"cu22"_s, u"wt-100"_s, u"CU22 "_s, u"L-1"_s, QString()})
        EXPECT_FALSE(clip.Contains(nr)) << nr.toStdString();
}

// The article window's test adds the same number from two catalogs; here what it cannot reach.
TEST(KatalogDBClipBoard, ArticlesWithoutANumberAreNeverTheSameAndADeletedOneMayComeAgain)
{
    TKatalogDBClipBoard clip;
    EXPECT_TRUE(clip.AddIfNew(datanorm(u"GC"_s, u"4711"_s)));
    EXPECT_FALSE(clip.AddIfNew(simple(u"SAN"_s, u"4711"_s)));
    EXPECT_TRUE(clip.AddIfNew(simple(u"SAN"_s, QString())));
    EXPECT_TRUE(clip.AddIfNew(simple(u"SAN"_s, QString())));
    clip.Delete(0);
    EXPECT_TRUE(clip.AddIfNew(simple(u"SAN"_s, u"4711"_s)));
    EXPECT_EQ(clip.KatalogName(2), u"SAN"_s);
}

// ---- Merge records ---------------------------------------------------------------------

namespace
{
QString money(const Money &v)
{
    return QString::number(v.toDouble(), 'f', 4);
}

// Every field, one line each: a field that one source forgets or converts wrongly shows up in
// the diff against the golden file.
QString dump(const QString &title, const TKatalogDBClipBoardMergeObj &r)
{
    QStringList prices, pictures;
    for (const Money &p : r.VKPreise)
        prices.append(money(p));
    for (const TDoubleString &b : r.Bilder)
        pictures.append(b.Key + u'=' + b.Value);
    QString out;
    QTextStream(&out) << '[' << title << "]\nNr=" << r.ArtikelNr << " EAN=" << r.EAN
                      << " Katalog=" << r.Katalog << " Typ=" << int(r.KatalogTyp)
                      << "\nBeschreibung=<" << r.Beschreibung << "> Kurzzeilen=<"
                      << r.Kurzzeilen.Key << '|' << r.Kurzzeilen.Value << ">\nMwSt=" << r.MwStSatz
                      << " Merker=" << int(r.MwStMerker) << " Basis=" << money(r.Basispreis)
                      << " Rabatt=" << r.Rabatt << " Gruppe=" << r.Rabattgruppe
                      << " Netto=" << money(r.NettoEK) << " Faktor=" << r.VKFaktor
                      << " PE=" << r.Preiseinheit << "\nVK=" << prices.join(u' ')
                      << " MindBest=" << r.MindBestMenge << " ME=" << r.ME
                      << " Arbeitszeit=" << r.Arbeitszeit << "\nKurztext=<" << r.Kurztext
                      << ">\nLangtext=<" << r.Langtext << ">\nBilder=" << pictures.join(u';')
                      << " Text=<" << r.Text1 << '|' << r.Text2 << ">\n";
    return out;
}
} // namespace

// The prices behind the golden file: DATANORM list price 48.50, 35 % off, net 31.53, surcharge
// 12.345 %, factor 2.5 in the other unit (price flag 1 takes the list price, any other the net
// price, from which the discount is taken once more); simple EK 100.00, 10 % off, factor 1.5,
// VAT code 1 (gross: only sales price 1 carries the VAT), factor 3 in the other unit, where
// 93.00465 is a tie to even at the fourth decimal. The stock article is taken as it is.
TEST(KatalogMergeObj, EveryFieldFromEverySourceInBothMoneyModes)
{
    QString out;
    TKatalogDBClipBoardMergeObj merge;
    const auto load = [&](const QString &title, const auto &article,
                          const TKatalogPreisEinstellungen &settings) {
        merge.LoadFrom(article, settings);
        out += dump(title, merge);
    };
    TKatalog1ArtikelDaten dn = normalUnit(fullDatanormArticle());
    load(u"DATANORM list price, cents"_s, dn, priceSettings(false));
    dn.PreisKZ = 2;
    dn.Langtext = u" \r\n "_s; // empty: the short text stands in
    load(u"DATANORM net price, four decimals, after a load"_s, dn, priceSettings(true));
    TKatalog1ArtikelDaten dnUnit = fullDatanormArticle();
    load(u"DATANORM other unit, cents"_s, dnUnit, priceSettings(false));
    load(u"DATANORM other unit, four decimals"_s, dnUnit, priceSettings(true));
    dnUnit.PreisKZ = 0;
    load(u"DATANORM other unit, net price, cents"_s, dnUnit, priceSettings(false));

    TKatalog2ArtikelDaten simple = normalUnit(fullSimpleArticle());
    load(u"simple, cents"_s, simple, priceSettings(false));
    load(u"simple, gross, cents"_s, simple, priceSettings(false, true));
    simple.Kurztext.clear();
    simple.Langtext = u" \r\n"_s;
    load(u"simple without texts"_s, simple, priceSettings(false));
    TKatalog2ArtikelDaten simpleUnit = fullSimpleArticle();
    simpleUnit.EK = m(33.335);
    simpleUnit.Rabatt = 7;
    simpleUnit.VKZuschlag = 1.333;
    load(u"simple other unit, gross, cents"_s, simpleUnit, priceSettings(false, true));
    load(u"simple other unit, gross, four decimals"_s, simpleUnit, priceSettings(true, true));

    TLagerArtikelDaten s;
    s.LagerArtikelNr = u"L-4711"_s;
    s.Katalog = u"GC"_s; // the stock, not the article's supplier catalog
    s.MwStSatz = 3;
    s.EKPreis = m(12.3456);
    s.VKZuschlag = 1.8;
    s.VKPreis = {m(22.22), m(21), m(20), m(19), m(18)};
    s.Kurztext = u"kurz"_s;
    s.Langtext = u"lang"_s;
    s.Rabattgruppen = u"R1"_s;
    s.Bilder.Add(u"Bild"_s, u"rohr.png"_s);
    load(u"stock, gross"_s, s, priceSettings(false, true));
    merge.Clear();
    out += dump(u"cleared"_s, merge);
    TestDocuments::expectGoldenText("catalogs", "mergeobj.txt", out);
}
