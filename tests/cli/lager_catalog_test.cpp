#include "tests/cli/lagerprogram.h"

using namespace Qt::StringLiterals;

TEST_F(LagerProgram, CatalogListSearchAndShow)
{
    Outcome r = expect(0, {u"catalog"_s, u"list"_s});
    const QList<QByteArray> catalogs = r.out.split('\n');
    ASSERT_EQ(catalogs.size(), 4); // head, two catalogs, the empty rest
    EXPECT_EQ(catalogs[0], "Katalog\tArt\tBeschreibung\tLieferant\tLieferanten-Info");
    EXPECT_TRUE(catalogs[1].startsWith("KOEHLER\tEinfacher Katalog\t")) << catalogs[1].constData();
    EXPECT_TRUE(catalogs[2].startsWith("MUELLER\tDATANORM-Katalog\t")) << catalogs[2].constData();
    EXPECT_TRUE(catalogs[2].contains("\t70001\t"));

    // Spelled with umlauts on the command line, found under the folded index words; the
    // article number comes first.
    r = expect(0, {u"catalog"_s, u"search"_s, u"koehler"_s, u"Röhrenheizkörper"_s});
    const QList<QByteArray> lines = r.out.split('\n');
    EXPECT_EQ(lines[0], "Artikel-Nr.\tText\tNettopreis\tVK-Preis 1\tMengeneinheit");
    ASSERT_GE(lines.size(), 3);
    for (const QByteArray &line : lines.mid(1, lines.size() - 2)) {
        EXPECT_TRUE(line.startsWith('K')) << line.constData();
        EXPECT_TRUE(line.contains("\tRöhrenheizkörper ")) << line.constData();
    }

    // A DATANORM article with its long text assembled from the blocks.
    r = expect(0, {u"catalog"_s, u"show"_s, u"MUELLER"_s, u"D0000001"_s});
    const QJsonObject article = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(article[u"Katalog"_s].toString(), u"MUELLER"_s);
    EXPECT_TRUE(article[u"Langtext"_s].toString().contains(u"Außendurchmesser "_s));
    EXPECT_GT(article[u"VKPreis1"_s].toDouble(), article[u"Netto"_s].toDouble());

    r = expect(0, {u"catalog"_s, u"show"_s, u"KOEHLER"_s, u"K0000001"_s, u"--format"_s, u"xml"_s});
    EXPECT_TRUE(r.out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"))
        << r.out.constData();
    EXPECT_TRUE(r.out.contains("<img key=\"Foto\">")) << r.out.constData();
}

TEST_F(LagerProgram, CatalogCommandsRefuseWhatIsNotThere)
{
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{u"catalog"_s, u"search"_s, u"NIRGENDS"_s, u"rohr"_s}, 3},
        {{u"catalog"_s, u"search"_s, u"KOEHLER"_s}, 1},
        {{u"catalog"_s, u"search"_s, u"KOEHLER"_s, u"rohr"_s, u"--format"_s, u"xml"_s}, 1},
        {{u"catalog"_s, u"show"_s, u"KOEHLER"_s, u"GIBTSNICHT"_s}, 3},
        {{u"catalog"_s, u"show"_s, u"LAGER"_s, u"1"_s}, 3},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(expect(c.exitCode, c.args).out.isEmpty());
    // Without its index a catalog cannot be searched: the user is told, nothing is listed.
    QFile::remove(file(u"DATA/DEMO/KATALOGE/KOEHLER/STX.IDX"_s));
    const Outcome r = expect(6, {u"catalog"_s, u"search"_s, u"KOEHLER"_s, u"rohr"_s});
    EXPECT_TRUE(r.err.contains(u"Kein Suchtext zu diesem Katalog vorhanden."_s))
        << qPrintable(r.err);
    EXPECT_TRUE(r.out.isEmpty());
}
