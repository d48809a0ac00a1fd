#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/suitegenerator.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
struct Summary {
    QStringList rows; // number, description, group, details
    int negative = 0;
    int notStock = 0;
    int stockTaking = 0;
    QSet<QString> serialArticles;
    int serials = 0;
};

Summary summarise(const QString &stockDir)
{
    Summary s;
    IModLagerDBServerObj db;
    db.Open(stockDir);
    TDBLagerSearchResultObjectList list;
    db.Search(QString(), QString(), list, false, false);
    for (TDBLagerSearchResult *e : list) {
        db.LoadDetails(*e);
        const auto &d = e->Info();
        s.rows.append(u"%1|%2|%3|%4|%5|%6"_s.arg(e->ArtikelNr(), e->Bezeichnung(), e->Gruppe(),
                                                 d.Lagerort, QString::number(d.EKPreis.raw()),
                                                 QString::number(d.VKPreis[0].raw())));
        const double stock = db.GetArticleValue(e->ArtikelNr().toString(), u"BuchungsBestand"_s);
        s.negative += stock < 0;
        s.notStock += d.IsNotBestandsartikel;
        if (db.GetArticleValue(e->ArtikelNr().toString(), u"SNPflicht"_s) != 0)
            s.serialArticles.insert(e->ArtikelNr().toString());
    }
    TDBLagerSearchResultObjectList stockTaking;
    db.Search(QString(), QString(), stockTaking, false, true);
    s.stockTaking = int(stockTaking.Count());
    TTdbTable &sn = db.SerialTable();
    for (sn.First(); !sn.Eof(); sn.Next()) {
        ++s.serials;
        EXPECT_TRUE(s.serialArticles.contains(sn.FieldByName(u"LagerArtikelNr"_s).AsString()));
    }
    return s;
}
} // namespace

TEST(StockGenerator, WritesAVariedReproducibleStock)
{
    QTemporaryDir a;
    QTemporaryDir b;
    QString error;
    ASSERT_TRUE(SuiteGenerator::generateStock(a.path(), 600, 7, &error)) << qPrintable(error);
    ASSERT_TRUE(SuiteGenerator::generateStock(b.path(), 600, 7, &error)) << qPrintable(error);

    const Summary s = summarise(a.path());
    ASSERT_EQ(s.rows.size(), 600);
    EXPECT_GT(s.negative, 5);
    EXPECT_GT(s.notStock, 3);
    EXPECT_GT(s.stockTaking, 50);
    EXPECT_GT(s.serials, 0);
    EXPECT_GE(s.serials, s.serialArticles.size());
    const QSet<QString> unique(s.rows.cbegin(), s.rows.cend());
    EXPECT_EQ(unique.size(), 600);
    EXPECT_EQ(summarise(b.path()).rows, s.rows);
}

TEST(StockGenerator, InstallationTreeGetsItsStockInTheClientsStockDirectory)
{
    QTemporaryDir root;
    SuiteGenerator::Options o;
    o.targetDir = root.path();
    o.articles = 50;
    o.seed = 3;
    QString error;
    ASSERT_TRUE(SuiteGenerator::generate(o, &error)) << qPrintable(error);
    IModLagerDBServerObj db;
    db.Open(root.path() + u"/DATA/DEMO/LAGER"_s);
    EXPECT_EQ(db.ArticleCount(), 50);
}
