#include "stock/lagerserverobj.h"
#include "stock/ui/lagerartikellieferantenpage.h"
#include "tests/support/scriptedinteraction.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// "Hinzufuegen eines konkreten Artikels": what the article selection hands back becomes
// references, one article per catalog.
TEST(SupplierPageCatalogArticles, ChosenArticlesBecomeReferencesOnePerCatalog)
{
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};
    QStringList searched;
    QList<std::pair<QString, QString>> chosen;
    TLagerArtikelEditContext context;
    TLagerArtikelLieferantenPage withoutCatalogs(context);
    context.chooseCatalogArticles = [&](const QString &text) {
        searched << text;
        return chosen;
    };
    TLagerArtikelLieferantenPage page(context);
    TLagerServerObj article;
    article.LagerArtikelNr = u"4711"_s;
    article.Bezeichnung = u"Kupferrohr 15 mm"_s;
    article.KatRefs.Add(u"HUBER"_s, u"H1"_s);
    withoutCatalogs.ShowArticle(&article);
    EXPECT_FALSE(withoutCatalogs.addCatalogArticleButton()->isEnabled());
    EXPECT_FALSE(page.addCatalogArticleButton()->isEnabled()); // no article yet
    page.ShowArticle(&article);
    ASSERT_TRUE(page.addCatalogArticleButton()->isEnabled());

    chosen = {{u"MUELLER"_s, u"D0000001"_s},
              {u"MUELLER"_s, u"D0000002"_s},
              {u"HUBER"_s, u"H1"_s},
              {u"KOEHLER"_s, u"K0000003"_s}};
    page.addCatalogArticleButton()->click();
    EXPECT_EQ(searched, QStringList({u"4711 Kupferrohr 15 mm"_s}));
    ASSERT_EQ(article.KatRefs.Count(), 3);
    EXPECT_EQ(article.KatRefs[1].Key, u"MUELLER"_s);
    EXPECT_EQ(article.KatRefs[1].Value, u"D0000001"_s);
    EXPECT_EQ(article.KatRefs[2].Key, u"KOEHLER"_s);
    EXPECT_EQ(page.supplierList()->count(), 3);
    ASSERT_EQ(scripted.messages.size(), 2);
    EXPECT_EQ(scripted.messages[0].text,
              u"Ein Artikel aus dem Katalog \"MUELLER\" ist bereits in der Liste."_s);
    EXPECT_EQ(scripted.messages[1].text,
              u"Der Artikel \"H1\" aus \"HUBER\" ist bereits in der Liste."_s);

    // The editor's fields, not the stored record, say what to search for.
    page.SearchText = [] { return u"4712 Neu"_s; };
    chosen.clear();
    page.addCatalogArticleButton()->click();
    EXPECT_EQ(searched.last(), u"4712 Neu"_s);
    EXPECT_EQ(article.KatRefs.Count(), 3);
}
