// The demo firm must look like one: what its articles say, cost and refer to has to fit
// together, or a new user takes the program for a toy.
#include "persistence/engine/tdbtable.h"
#include "stock/lagerconfig.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/documents.h"
#include "tools/suitegen/stockassortment.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestDocuments::fileBytes;

namespace
{

// The check digit computed the other way round: weights 3 and 1 from the right.
bool validEan13(const QString &code)
{
    if (code.size() != 13 || !QRegularExpression(u"^\\d{13}$"_s).match(code).hasMatch())
        return false;
    int sum = 0;
    for (int fromRight = 0; fromRight < 13; ++fromRight)
        sum += code[12 - fromRight].digitValue() * (fromRight % 2 ? 3 : 1);
    return sum % 10 == 0;
}

TEST(StockAssortment, Ean13CheckDigits)
{
    const struct {
        const char *digits;
        const char *code;
    } cases[] = {{"400638133393", "4006381333931"},
                 {"590123412345", "5901234123457"},
                 {"000000000000", "0000000000000"},
                 {"400000000001", "4000000000013"}};
    for (const auto &c : cases)
        EXPECT_EQ(StockAssortment::Ean13(QString::fromLatin1(c.digits)),
                  QString::fromLatin1(c.code));
}

class DemoFirm : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        SuiteGenerator::Options o;
        o.targetDir = s_dir->path();
        o.articles = 1500;
        o.seed = 11;
        QString error;
        ASSERT_TRUE(SuiteGenerator::generate(o, &error)) << qPrintable(error);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString stockDir() { return s_dir->filePath(u"DATA/DEMO/LAGER/"_s); }

    struct Row {
        TLagerServerObj article;
        QString ean;
        int serials = 0;
        QString lastSerial; // in the serial table's order
    };
    static std::vector<std::unique_ptr<Row>> rows()
    {
        std::vector<std::unique_ptr<Row>> out;
        IModLagerDBServerObj db;
        db.Open(stockDir());
        TTdbTable &t = db.LagerTable();
        for (t.First(); !t.Eof(); t.Next()) {
            auto row = std::make_unique<Row>();
            db.ReadRow(row->article);
            row->ean = t.FieldByName(u"EAN"_s).AsString();
            out.push_back(std::move(row));
        }
        QHash<QString, std::pair<int, QString>> serials;
        TTdbTable &sn = db.SerialTable();
        for (sn.First(); !sn.Eof(); sn.Next()) {
            auto &[count, last] = serials[sn.FieldByName(u"LagerArtikelNr"_s).AsString()];
            ++count;
            last = sn.FieldByName(u"SN"_s).AsString();
        }
        for (auto &row : out)
            std::tie(row->serials, row->lastSerial) = serials.value(row->article.LagerArtikelNr);
        return out;
    }

    static QTemporaryDir *s_dir;
};
QTemporaryDir *DemoFirm::s_dir = nullptr;

TEST_F(DemoFirm, ArticlesUseTheListsOfTheirInstallation)
{
    const QStringList units = QString::fromUtf8(fileBytes(s_dir->filePath(u"ETC/UNITS.TXT"_s)))
                                  .split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_EQ(units.size(), 19);
    EXPECT_EQ(units.first(), u"Stck (Stück)"_s);
    TLagerConfig config;
    config.LoadFromFile(TLagerConfig::FileNameIn(stockDir()));
    ASSERT_FALSE(config.Artikelgruppen.isEmpty());
    ASSERT_FALSE(config.Lagerorte.isEmpty());
    ASSERT_GE(config.Rabattgruppen.Count(), 3);

    QSet<QString> eans, groups;
    int negative = 0, withoutStock = 0, serialArticles = 0, pictures = 0, longTexts = 0,
        stockTaking = 0;
    for (const auto &row : rows()) {
        const TLagerServerObj &a = row->article;
        const QString what = a.LagerArtikelNr + u' ' + a.Bezeichnung;
        EXPECT_TRUE(units.contains(a.ME)) << qPrintable(what);
        EXPECT_TRUE(config.Artikelgruppen.contains(a.Gruppe)) << qPrintable(what);
        groups.insert(a.Gruppe);
        EXPECT_FALSE(a.Kurztext.isEmpty()) << qPrintable(what);
        longTexts += !a.Langtext.isEmpty();
        EXPECT_EQ(a.CreatedBy, u"Administrator"_s); // the full name, as the program stamps
        for (const TDoubleString &picture : a.Bilder) {
            ++pictures;
            EXPECT_FALSE(QImage(stockDir() + u"IMAGES/"_s + picture.Value).isNull())
                << qPrintable(picture.Value);
        }
        if (a.IsNotBestandsartikel) {
            ++withoutStock;
            EXPECT_TRUE(row->ean.isEmpty()) << qPrintable(what);
            continue;
        }
        EXPECT_TRUE(config.Lagerorte.contains(a.Lagerort)) << qPrintable(what);
        EXPECT_GE(config.Rabattgruppen.IndexOfKey(a.Rabattgruppen), 0) << qPrintable(what);
        EXPECT_TRUE(validEan13(row->ean)) << qPrintable(what + u' ' + row->ean);
        eans.insert(row->ean);
        negative += a.BuchungsBestand < 0;
        stockTaking += a.Inventurartikel;
        // Three periods through the whole year, as the installation's template has them.
        ASSERT_EQ(a.MindestBestand.size(), 3) << qPrintable(what);
        EXPECT_TRUE(a.MindestBestand.first().startsWith(u"<from>0101</from>"_s));
        EXPECT_TRUE(a.MindestBestand.last().contains(u"<to>3112</to>"_s));
        if (a.SNPflicht) {
            // a number per unit, the last one remembered for the next receipt
            ++serialArticles;
            EXPECT_GT(a.BuchungsBestand, 0) << qPrintable(what);
            EXPECT_EQ(row->serials, a.BuchungsBestand) << qPrintable(what);
            EXPECT_EQ(a.LetzteSeriennummer, row->lastSerial) << qPrintable(what);
        } else {
            EXPECT_EQ(row->serials, 0) << qPrintable(what);
        }
    }
    EXPECT_EQ(groups.size(), config.Artikelgruppen.size());
    EXPECT_EQ(eans.size(), 1500 - withoutStock) << "EANs repeat";
    EXPECT_GT(negative, 10);
    EXPECT_GT(withoutStock, 10);
    EXPECT_GT(serialArticles, 10);
    EXPECT_GT(stockTaking, 100);
    EXPECT_GT(pictures, 200);
    EXPECT_GT(longTexts, 200);
}

TEST_F(DemoFirm, KindsComeInTheirSizesAtTheirPrices)
{
    // Description pattern, and the range of the purchase price in euros across sizes and
    // materials; what the user found is outside of them.
    const struct {
        const char *pattern;
        double lowest, highest;
    } kinds[] = {
        {"^Pressfitting .* (Kupfer|Edelstahl) \\d\\d(x\\d\\d)? mm$", 1.5, 110},
        {"^Kugelhahn Messing( vernickelt)? (1/2|3/4|1|1 1/4|1 1/2|2)\"$", 7, 110},
        {"^Umwälzpumpe Hocheffizienz \\d\\d-\\d\\d 180 mm$", 150, 430},
        {"^Heizkörper Typ (11|22|33) weiß \\d00x\\d+ mm$", 45, 380},
        {"^Thermostatkopf Flüssigfühler weiß$", 10, 15},
        {"^Membran-Ausdehnungsgefäß \\d\\d l$", 25, 100},
        {"^Rohrschelle verzinkt \\d\\d-\\d\\d mm$", 0.5, 3},
    };
    QHash<int, int> seen;
    for (const auto &row : rows()) {
        const TLagerServerObj &a = row->article;
        for (int k = 0; k < int(std::size(kinds)); ++k) {
            const QString first = QString::fromUtf8(kinds[k].pattern).mid(1).section(u' ', 0, 0);
            if (!a.Bezeichnung.startsWith(first))
                continue;
            ++seen[k];
            EXPECT_TRUE(QRegularExpression(QString::fromUtf8(kinds[k].pattern))
                            .match(a.Bezeichnung)
                            .hasMatch())
                << qPrintable(a.Bezeichnung);
            EXPECT_GE(a.EKPreis.toDouble(), kinds[k].lowest) << qPrintable(a.Bezeichnung);
            EXPECT_LE(a.EKPreis.toDouble(), kinds[k].highest) << qPrintable(a.Bezeichnung);
            // sale price 1 follows from the surcharge, to the cent
            EXPECT_NEAR(a.VKPreis[0].toDouble(), a.EKPreis.toDouble() * a.VKZuschlag, 0.006);
        }
    }
    for (int k = 0; k < int(std::size(kinds)); ++k)
        EXPECT_GT(seen.value(k), 0) << kinds[k].pattern;
}

TEST_F(DemoFirm, TheSameSeedGivesTheSameFirm)
{
    QTemporaryDir again;
    SuiteGenerator::Options o;
    o.targetDir = again.path();
    o.articles = 1500;
    o.seed = 11;
    QString error;
    ASSERT_TRUE(SuiteGenerator::generate(o, &error)) << qPrintable(error);
    QStringList paths{u"ETC/UNITS.TXT"_s, u"DATA/DEMO/LAGER/CONFIG.XML"_s, u"ETC/SYSDATB.INI"_s,
                      u"ETC/APPLICATION.INI"_s, u"DATA/DEMO/ETC/SYSDATA.INI"_s};
    const QStringList files = QDir(stockDir() + u"IMAGES"_s).entryList(QDir::Files);
    EXPECT_GE(files.size(), 5);
    for (const QString &f : files)
        paths.append(u"DATA/DEMO/LAGER/IMAGES/"_s + f);
    for (const QString &rel : paths)
        EXPECT_EQ(fileBytes(s_dir->filePath(rel)), fileBytes(again.filePath(rel)))
            << qPrintable(rel);

    // The stock itself, row for row; the other generation is read through the same table.
    auto summary = [](const QString &dir) {
        QStringList out;
        IModLagerDBServerObj db;
        db.Open(dir);
        TTdbTable &t = db.LagerTable();
        for (t.First(); !t.Eof(); t.Next()) {
            TLagerServerObj a;
            db.ReadRow(a);
            out.append(u"%1|%2|%3|%4|%5|%6"_s.arg(
                a.LagerArtikelNr, a.Bezeichnung, a.Gruppe, QString::number(a.EKPreis.raw()),
                QString::number(a.BuchungsBestand), t.FieldByName(u"EAN"_s).AsString()));
        }
        return out;
    };
    const QStringList first = summary(stockDir());
    EXPECT_EQ(first.size(), 1500);
    EXPECT_EQ(QSet<QString>(first.cbegin(), first.cend()).size(), 1500);
    EXPECT_EQ(summary(again.filePath(u"DATA/DEMO/LAGER/"_s)), first);
}

} // namespace
