#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/katalogtransfer.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/cataloggenerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 23;

Money m(double v)
{
    return Money::fromDouble(v);
}

// The generated catalogs beside an empty stock, as the program opens them.
struct Transfer : CatalogTest::Fixture {
    QString base = tmp.path() + u"/KATALOGE/"_s;
    QString stockDir = tmp.path() + u"/LAGER/"_s;
    std::unique_ptr<TKatalogDBPool> pool;
    IModLagerDBServerObj db;
    KatalogTransfer::Settings settings;
    QStringList chosenCatalogs;
    int refreshed = 0;

    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(CatalogGenerator::GenerateCatalogs(base, kArticles, 3, &error))
            << error.toStdString();
        pool = std::make_unique<TKatalogDBPool>(base, stockDir, TDatabaseWrapper::ErrorCallback{});
        db.Open(stockDir);
        settings.catalogBaseDir = base;
        settings.stockDir = stockDir;
        settings.imagesDir = stockDir + u"IMAGES/"_s;
        settings.userFullName = u"Tester"_s;
        settings.prices = CatalogTest::priceSettings(false);
    }
    KatalogTransfer transfer(KatalogTransfer::Hooks hooks = {})
    {
        hooks.selectCatalog = [this] {
            return chosenCatalogs.isEmpty() ? QString() : chosenCatalogs.takeFirst();
        };
        hooks.refreshList = [this] { ++refreshed; };
        return KatalogTransfer(*pool, db, settings, std::move(hooks));
    }
    TLagerServerObj article(const QString &nr)
    {
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        EXPECT_EQ(db.ReadArticle(&a), 0) << nr.toStdString();
        return a;
    }
    TLagerBuchungList history(const QString &nr)
    {
        TLagerBuchungList rows;
        EXPECT_EQ(db.ReadBookings(nr, rows), 0);
        return rows;
    }
};

TKatalogDBClipBoardMergeObj mergeOfKind(quint8 kind)
{
    TKatalogDBClipBoardMergeObj r;
    r.ArtikelNr = u"CU22"_s;
    r.EAN = u"4000000000017"_s;
    r.Katalog = u"MUELLER"_s;
    r.KatalogTyp = kind;
    r.MwStSatz = 19;
    r.MwStMerker = 1;
    r.NettoEK = m(80);
    r.VKFaktor = 1.25;
    r.Preiseinheit = 10;
    r.VKPreise = {m(100), m(10), m(0), m(0), m(0)};
    r.Kurztext = u"Kupferrohr"_s;
    r.Langtext = u"Kupferrohr <22>\r\nhart"_s;
    r.Rabattgruppe = u"R1"_s;
    return r;
}
} // namespace

// ---- Building the stock article ---------------------------------------------------------

TEST_F(Transfer, TheStockArticleCarriesTheRecordAndGrossPricesOnlyForDatanorm)
{
    const auto a = KatalogTransfer::BuildStockArticle(mergeOfKind(kkDatanorm), u"L-7"_s, settings);
    EXPECT_EQ((QStringList{a->LagerArtikelNr, a->EAN, a->CreatedBy, a->Katalog, a->Rabattgruppen}),
              (QStringList{u"L-7"_s, u"4000000000017"_s, u"Tester"_s, u"MUELLER"_s, u"R1"_s}));
    ASSERT_EQ(a->KatRefs.Count(), 1);
    EXPECT_EQ(a->KatRefs.Item(0).Key + u'/' + a->KatRefs.Item(0).Value, u"MUELLER/CU22"_s)
        << "the catalog's number, not the stock's";
    EXPECT_TRUE(a->Inventurartikel);
    EXPECT_EQ(a->EKPreis, m(80));
    EXPECT_DOUBLE_EQ(a->VKZuschlag, 1.25);
    EXPECT_EQ(a->PE, 10);
    EXPECT_EQ(a->MwStSatz, 1);
    // Stored as the editor's rich text; markup in the catalog text stays text.
    EXPECT_TRUE(a->Langtext.startsWith(u"<html>"_s));
    EXPECT_TRUE(a->Langtext.contains(u"Kupferrohr &lt;22&gt;</p>"_s));
    EXPECT_TRUE(a->Langtext.contains(u"font-family:'Arial'; font-size:8pt"_s));

    settings.prices = CatalogTest::priceSettings(false, true);
    const struct {
        quint8 kind;
        double price1;
        double price2;
    } cases[] = {{kkDatanorm, 119.00, 11.90}, {kkSimple, 100, 10}, {kkStock, 100, 10}};
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.kind));
        auto b = KatalogTransfer::BuildStockArticle(mergeOfKind(c.kind), u"L-1"_s, settings);
        EXPECT_EQ(b->VKPreis[0], m(c.price1));
        EXPECT_EQ(b->VKPreis[1], m(c.price2));
    }
    EXPECT_EQ(a->VKPreis[0], m(100)) << "net sale prices stay net";
}

TEST_F(Transfer, PicturesAreCopiedSkippedWhenMissingAndNotLinkedWhenPresent)
{
    const QString source = base + u"MUELLER/IMAGES/"_s;
    QDir().mkpath(source);
    QDir().mkpath(settings.imagesDir);
    ASSERT_TRUE(TestDocuments::writeFile(source + u"neu.png"_s, "catalog"));
    ASSERT_TRUE(TestDocuments::writeFile(source + u"da.png"_s, "catalog"));
    ASSERT_TRUE(TestDocuments::writeFile(settings.imagesDir + u"da.png"_s, "stock"));

    TKatalogDBClipBoardMergeObj r = mergeOfKind(kkDatanorm);
    r.Bilder.Add(u"G1 Ansicht"_s, u"neu.png"_s);
    r.Bilder.Add(u"G2"_s, u"fehlt.png"_s);
    r.Bilder.Add(u"G3"_s, u"da.png"_s);
    const auto a = KatalogTransfer::BuildStockArticle(r, u"L"_s, settings);

    ASSERT_EQ(a->Bilder.Count(), 1);
    EXPECT_EQ(a->Bilder.Item(0).Key + u'=' + a->Bilder.Item(0).Value, u"G1 Ansicht=neu.png"_s);
    EXPECT_EQ(TestDocuments::fileBytes(settings.imagesDir + u"neu.png"_s), "catalog");
    EXPECT_EQ(TestDocuments::fileBytes(settings.imagesDir + u"da.png"_s), "stock")
        << "a present file is never replaced";
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Datei \"%1fehlt.png\" nicht gefunden."_s.arg(source));
}

// ---- Chosen articles --------------------------------------------------------------------

TEST_F(Transfer, ChosenArticlesAreNumberedEditedAndSavedOneByOne)
{
    TLagerServerObj existing;
    existing.LagerArtikelNr = u"D0000001"_s;
    ASSERT_EQ(db.WriteArticle(&existing), 0);

    QStringList edited;
    QString shownLast;
    KatalogTransfer::Hooks hooks;
    hooks.selectArticles = [this](const QString &) {
        auto clip = std::make_unique<TKatalogDBClipBoard>();
        auto *dn = dynamic_cast<TKatalog1DB *>(pool->GetDB(u"MUELLER"_s, false));
        for (const QString &nr : {u"D0000001"_s, u"D0000002"_s, u"D0000003"_s}) {
            auto a = std::make_unique<TKatalog1Artikel>();
            a->ArtikelNr = nr;
            EXPECT_EQ(dn->ReadArticle(*a), 0);
            a->Katalog = u"MUELLER"_s;
            clip->Add(std::move(a));
        }
        return clip;
    };
    hooks.showArticleWindow = [&edited](TLagerServerObj &r) {
        edited << r.LagerArtikelNr;
        return r.LagerArtikelNr != u"D0000003"_s; // the editor of the third is cancelled
    };
    hooks.gotoArticle = [&shownLast](const QString &nr) { shownLast = nr; };

    // The first number is taken: Yes asks again, and the answer is trimmed.
    ui.inputs = {u"D0000001"_s, u"  NEU-1  "_s, u""_s, u"D0000003"_s};
    ui.answers = {ModalResult::Yes};
    EXPECT_EQ(transfer(hooks).ImportArticles(), 1);

    EXPECT_EQ(edited, (QStringList{u"NEU-1"_s, u"D0000003"_s}));
    EXPECT_EQ(shownLast, u"NEU-1"_s);
    EXPECT_EQ(db.ArticleExists(u"D0000002"_s), 0) << "an empty answer skips the entry";
    EXPECT_EQ(db.ArticleExists(u"D0000003"_s), 0);
    EXPECT_EQ(article(u"NEU-1"_s).KatRefs.Item(0).Value, u"D0000001"_s);
    const TLagerBuchungList rows = history(u"NEU-1"_s);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Art, TLagerBuchung::Import);
    EXPECT_FALSE(QFile::exists(stockDir + u"LOCKDB.SRW"_s)) << "the lock goes with the command";
}

// ---- The whole catalog ------------------------------------------------------------------

TEST_F(Transfer, EveryQuestionCanStopTheWholeCatalogBeforeAnythingIsWritten)
{
    const std::pair<QList<int>, QStringList> stops[] = {
        {{ModalResult::Cancel}, {u"MUELLER"_s}},
        {{ModalResult::OK}, {}},
        {{ModalResult::OK, ModalResult::No}, {u"MUELLER"_s}}};
    for (const auto &[answers, catalogs] : stops) {
        ui.answers = answers;
        chosenCatalogs = catalogs;
        EXPECT_EQ(transfer().ImportCatalog(), -1);
    }
    EXPECT_EQ(db.ArticleCount(), 0);
    EXPECT_EQ(refreshed, 0);
}

TEST_F(Transfer, AWholeDatanormCatalogSellsAtNetAndOverwritesStockWithBalancedHistory)
{
    // An article of the same number with stock and a history of its own.
    TLagerServerObj old;
    old.LagerArtikelNr = u"D0000004"_s;
    old.BuchungsBestand = 7;
    ASSERT_EQ(db.BookArticle(old, TLagerBuchung::Change(TLagerBuchung::Opening, old.LagerArtikelNr,
                                                        0, 7, 45000, u"x"_s)),
              0);

    ui.answers = {ModalResult::OK, ModalResult::Yes};
    chosenCatalogs = {u"MUELLER"_s};
    settings.batchSize = 5;
    EXPECT_EQ(transfer().ImportCatalog(), kArticles);
    EXPECT_EQ(db.ArticleCount(), kArticles);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(ui.messages.last().text, u"Fertig!"_s);

    for (const QString &nr : {u"D0000001"_s, u"D0000004"_s, u"D0000023"_s}) {
        SCOPED_TRACE(nr.toStdString());
        const TLagerServerObj a = article(nr);
        EXPECT_EQ(a.VKPreis[0], a.EKPreis);
        EXPECT_EQ(a.Langtext, a.Kurztext);
        EXPECT_EQ(a.Bilder.Count(), 0);
    }
    const TLagerServerObj overwritten = article(u"D0000004"_s);
    EXPECT_EQ(overwritten.BuchungsBestand, 0);
    const TLagerBuchungList rows = history(u"D0000004"_s);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].Art, TLagerBuchung::Import);
    EXPECT_EQ(rows[1].BestandVorher, 7);
    EXPECT_EQ(rows[0].Menge + rows[1].Menge, overwritten.BuchungsBestand);
}

TEST_F(Transfer, ACancelKeepsWhatWasWrittenAndASimpleCatalogKeepsItsPrices)
{
    ui.cancelProgressAfter = 12;
    settings.batchSize = 5;
    bool cancelled = false;
    EXPECT_EQ(transfer().ImportWholeCatalog(u"MUELLER"_s, &cancelled), 12);
    EXPECT_TRUE(cancelled);
    db.Refresh();
    EXPECT_EQ(db.ArticleCount(), 12);

    ui.cancelProgressAfter = -1;
    EXPECT_EQ(transfer().ImportWholeCatalog(u"KOEHLER"_s), kArticles);
    auto *simple = dynamic_cast<TKatalog2DB *>(pool->GetDB(u"KOEHLER"_s, false));
    TKatalog2Artikel k;
    k.ArtikelNr = u"K0000002"_s;
    ASSERT_EQ(simple->ReadArticle(k), 0);
    const TLagerServerObj a = article(u"K0000002"_s);
    EXPECT_EQ(a.VKPreis[0], k.VKPreis1);
    EXPECT_DOUBLE_EQ(a.VKZuschlag, k.VKZuschlag);
    EXPECT_EQ(transfer().ImportWholeCatalog(u"GIBTESNICHT"_s), -1);
}
