#include "tests/cli/lagerprogram.h"

using namespace Qt::StringLiterals;

TEST_F(LagerProgram, CatalogListSearchAndShow)
{
    const QList<QByteArray> catalogs = expect(0, words(u"catalog list"_s)).out.split('\n');
    ASSERT_EQ(catalogs.size(), 4); // head, two catalogs, the empty rest
    EXPECT_TRUE(catalogs[1].startsWith("KOEHLER\tEinfacher Katalog\t")) << catalogs[1].constData();
    EXPECT_TRUE(catalogs[2].startsWith("MUELLER\tDATANORM-Katalog\t")) << catalogs[2].constData();
    EXPECT_TRUE(catalogs[2].contains("\t70001\t"));

    // Spelled with umlauts on the command line, found under the folded index words; the
    // article number comes first.
    const QList<QByteArray> lines =
        expect(0, words(u"catalog search koehler Röhrenheizkörper"_s)).out.split('\n');
    ASSERT_GE(lines.size(), 3);
    for (const QByteArray &line : lines.mid(1, lines.size() - 2))
        EXPECT_TRUE(line.startsWith('K') && line.contains("\tRöhrenheizkörper ")) << line.data();

    // A DATANORM article with its long text assembled from the blocks.
    const QJsonObject article =
        QJsonDocument::fromJson(expect(0, words(u"catalog show MUELLER D0000001"_s)).out).object();
    EXPECT_TRUE(article[u"Langtext"_s].toString().contains(u"Außendurchmesser "_s));
    EXPECT_GT(article[u"VKPreis1"_s].toDouble(), article[u"Netto"_s].toDouble());
    const QByteArray xml = expect(0, words(u"catalog show KOEHLER K0000001 --format xml"_s)).out;
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << xml.data();
    EXPECT_TRUE(xml.contains("<img key=\"Foto\">")) << xml.data();
}

TEST_F(LagerProgram, CatalogCommandsRefuseWhatIsNotThere)
{
    for (const auto &[line, exitCode] :
         {std::pair{u"search NIRGENDS rohr"_s, 3}, std::pair{u"search KOEHLER"_s, 1},
          std::pair{u"show KOEHLER GIBTSNICHT"_s, 3}, std::pair{u"show LAGER 1"_s, 3}})
        EXPECT_TRUE(expect(exitCode, words(u"catalog "_s + line)).out.isEmpty());
    // Without its index a catalog cannot be searched: the user is told, nothing is listed.
    QFile::remove(file(u"DATA/DEMO/KATALOGE/KOEHLER/STX.IDX"_s));
    const Outcome r = expect(6, words(u"catalog search KOEHLER rohr"_s));
    EXPECT_TRUE(r.err.contains(u"Kein Suchtext zu diesem Katalog vorhanden."_s))
        << qPrintable(r.err);
    EXPECT_TRUE(r.out.isEmpty());
}
