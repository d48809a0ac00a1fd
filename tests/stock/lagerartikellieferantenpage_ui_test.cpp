#include "stock/ui/lagerartikellieferantenpage.h"
#include "tests/stock/stocktest.h"

#include <QToolButton>

namespace
{
std::unique_ptr<TCustomerAddress> address(const QString &id, const QStringList &anschriftIds)
{
    auto a = std::make_unique<TCustomerAddress>();
    a->Id = id;
    for (const QString &anschrift : anschriftIds) {
        TCustomerAnschrift &x = a->Anschriften.Add(TCustomerAnschrift{});
        x.Id = anschrift;
        x.Name1 = u"Meier GmbH"_s;
        x.Strasse = u"Hauptstr. "_s + anschrift;
        x.Plz = u"80331"_s;
        x.Ort = u"Muenchen"_s;
    }
    return a;
}

struct SupplierPage : ::testing::Test {
    int asked = 0;
    std::function<std::unique_ptr<TCustomerAddress>()> next;
    QStringList searched;
    QList<std::pair<QString, QString>> chosen;
    TLagerArtikelEditContext context = [this] {
        TLagerArtikelEditContext c;
        c.chooseAddress = [this] { return ++asked, next ? next() : nullptr; };
        c.chooseCatalogArticles = [this](const QString &text) { return searched << text, chosen; };
        return c;
    }();
    TLagerArtikelLieferantenPage page{context};
    TLagerServerObj article;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};
};
} // namespace

// The refusals' texts are the reference list's; here what the page adds, remembers and shows.
TEST_F(SupplierPage, AddsTheFirstPostalAddressAndRemembersIt)
{
    EXPECT_FALSE(page.addCatalogArticleButton()->isEnabled());
    page.ShowArticle(&article);
    next = [] { return address(u"1047"_s, {u"2"_s, u"5"_s}); };
    page.addSupplierButton()->click();
    ASSERT_EQ(article.KatRefs.Count(), 1);
    EXPECT_EQ(article.KatRefs.Item(0).Key, u"[1047_2]"_s);
    EXPECT_EQ(article.KatRefs.Item(0).Value, u"Meier GmbH, Hauptstr. 2, 80331 Muenchen"_s);

    // The order number goes to the remembered supplier without choosing again.
    scripted.inputs = {u"ABC-1"_s};
    page.addSupplierWithOrderNumberButton()->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(page.supplierList()->item(1)->text(),
              u"Lieferant \"1047_2\" - Bestell-Nr. \"ABC-1\""_s);
    EXPECT_EQ(page.supplierList()->currentRow(), 1);

    // A new article in the same frame still knows the last supplier; cleared, it is asked.
    TLagerServerObj other;
    page.ShowArticle(&other);
    EXPECT_EQ(page.lastSupplierKey(), u"[1047_2]"_s);
    page.clearLastSupplierButton()->click();
    EXPECT_TRUE(page.lastSupplierEdit()->text().isEmpty());
    next = [] { return address(u"2"_s, {u"7"_s}); };
    scripted.inputs = {u"N-9"_s};
    page.addSupplierWithOrderNumberButton()->click();
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(other.KatRefs.Count(), 1);
    EXPECT_EQ(other.KatRefs.Item(0).Key, u"[2_7]"_s);
}

TEST_F(SupplierPage, AddressWithoutPostalAddressOrCancelledChoiceAddsNothing)
{
    page.ShowArticle(&article);
    next = [] { return address(u"99"_s, {}); };
    page.addSupplierButton()->click();
    ASSERT_EQ(scripted.messages.size(), 1);
    EXPECT_EQ(scripted.messages[0].text, u"Der Adresse ist keine Anschrift zugeordnet."_s);
    EXPECT_TRUE(page.lastSupplierEdit()->text().isEmpty());

    // Without a last supplier the order-number button chooses one first; cancelling ends it.
    next = nullptr;
    scripted.inputs = {u"X"_s};
    page.addSupplierWithOrderNumberButton()->click();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(article.KatRefs.IsEmpty());
    EXPECT_EQ(scripted.inputs.size(), 1) << "no order number is asked without a supplier";
}

TEST_F(SupplierPage, StandardAndRemoveWorkOnTheRecord)
{
    article.KatRefs.Add(u"GC"_s, u"1"_s);
    article.KatRefs.Add(u"[5_1]"_s, u"[77]"_s);
    article.KatRefs.Add(u"Richter"_s, u"3"_s);
    const TLagerArtikelDaten before = article;
    page.ShowArticle(&article);
    EXPECT_TRUE(static_cast<const TLagerArtikelDaten &>(article) == before);

    page.supplierList()->setCurrentRow(2);
    page.makeStandardButton()->click();
    EXPECT_EQ(page.supplierList()->item(0)->text(), u"Katalog \"Richter\" - Artikel-Nr. \"3\""_s);
    page.supplierList()->setCurrentRow(1);
    page.removeButton()->click();
    ASSERT_EQ(article.KatRefs.Count(), 2);
    EXPECT_EQ(article.KatRefs.Item(1).Key, u"GC"_s);

    page.Clear();
    EXPECT_EQ(page.supplierList()->count(), 0);
}

// "Hinzufuegen eines konkreten Artikels": what the article selection hands back becomes
// references, one article per catalog.
TEST_F(SupplierPage, ChosenCatalogArticlesBecomeReferencesOnePerCatalog)
{
    TLagerArtikelLieferantenPage withoutCatalogs(TLagerArtikelEditContext{});
    article.LagerArtikelNr = u"4711"_s;
    article.Bezeichnung = u"Kupferrohr 15 mm"_s;
    article.KatRefs.Add(u"HUBER"_s, u"H1"_s);
    withoutCatalogs.ShowArticle(&article);
    EXPECT_FALSE(withoutCatalogs.addCatalogArticleButton()->isEnabled());
    EXPECT_FALSE(page.addCatalogArticleButton()->isEnabled()); // no article yet
    page.ShowArticle(&article);
    ASSERT_TRUE(page.addCatalogArticleButton()->isEnabled());

    chosen = {{u"MUELLER"_s, u"D1"_s}, {u"MUELLER"_s, u"D2"_s}, {u"KOEHLER"_s, u"K3"_s}};
    page.addCatalogArticleButton()->click();
    EXPECT_EQ(searched, QStringList({u"4711 Kupferrohr 15 mm"_s}));
    // The second of MUELLER is refused (the list's rule); the rest is added after it.
    ASSERT_EQ(article.KatRefs.Count(), 3);
    EXPECT_EQ(std::pair(article.KatRefs[1].Value, article.KatRefs[2].Key),
              std::pair(u"D1"_s, u"KOEHLER"_s));
    EXPECT_EQ(page.supplierList()->count(), 3);

    // The editor's fields, not the stored record, say what to search for.
    page.SearchText = [] { return u"4712 Neu"_s; };
    chosen.clear();
    page.addCatalogArticleButton()->click();
    EXPECT_EQ(searched.last(), u"4712 Neu"_s);
    EXPECT_EQ(article.KatRefs.Count(), 3);
}
