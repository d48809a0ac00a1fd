// The demo firm is what a new user sees first; a smoke check that it opens and holds together.
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/stockassortment.h"
#include "tools/suitegen/suitegenerator.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

TEST(StockAssortment, Ean13CheckDigits)
{
    for (const auto &[digits, code] : {std::pair{"400638133393", "4006381333931"},
                                       {"590123412345", "5901234123457"},
                                       {"000000000000", "0000000000000"},
                                       {"400000000001", "4000000000013"}})
        EXPECT_EQ(StockAssortment::Ean13(QString::fromLatin1(digits)), QString::fromLatin1(code));
}

// One row per article; a serial article holds a number per unit in stock.
QStringList generateDemoFirm(const QString &root)
{
    SuiteGenerator::Options o;
    o.targetDir = root;
    o.articles = 300;
    o.seed = 11;
    QString error;
    EXPECT_TRUE(SuiteGenerator::generate(o, &error)) << qPrintable(error);

    IModLagerDBServerObj db;
    db.Open(root + u"/DATA/DEMO/LAGER/"_s);
    QHash<QString, int> serials;
    TTdbTable &sn = db.SerialTable();
    for (sn.First(); !sn.Eof(); sn.Next())
        ++serials[sn.FieldByName(u"LagerArtikelNr"_s).AsString()];
    QStringList rows;
    TTdbTable &t = db.LagerTable();
    for (t.First(); !t.Eof(); t.Next()) {
        TLagerServerObj a;
        db.ReadRow(a);
        EXPECT_EQ(serials.value(a.LagerArtikelNr), a.SNPflicht ? a.BuchungsBestand : 0)
            << qPrintable(a.LagerArtikelNr);
        rows.append(u"%1|%2|%3|%4|%5"_s.arg(a.EAN, a.LagerArtikelNr, a.Bezeichnung,
                                            QString::number(a.EKPreis.raw()),
                                            QString::number(a.BuchungsBestand)));
    }
    return rows;
}

// Article numbers are unique by the table's index; EANs must be too, where there are any.
TEST(StockAssortment, DemoFirmOpensConsistentAndReproducible)
{
    QTemporaryDir dir;
    const QStringList rows = generateDemoFirm(dir.filePath(u"a"_s));
    ASSERT_EQ(rows.size(), 300);
    const QStringList eans = rows.filter(QRegularExpression(u"^\\d{13}\\|"_s));
    EXPECT_GT(eans.size(), 250);
    QSet<QString> unique;
    for (const QString &row : eans)
        unique.insert(row.section(u'|', 0, 0));
    EXPECT_EQ(unique.size(), eans.size()) << "EANs repeat";
    EXPECT_EQ(generateDemoFirm(dir.filePath(u"b"_s)), rows);
}

} // namespace
