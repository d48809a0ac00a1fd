#include "stock/lagercsv.h"
#include "tests/stock/stocktest.h"

namespace
{
// What a hand-made or spreadsheet-made file looks like, judged before anything is written.
struct Checked {
    bool ok;
    QStringList errors;
    qsizetype rows;
};

Checked check(const QByteArray &data)
{
    TLagerCsvImport import;
    const bool ok = import.Read(data);
    return {ok, import.Errors(), import.RowCount()};
}

TEST(LagerCsvCells, MoneyKeepsFourPlacesAndShowsAtLeastTwo)
{
    EXPECT_EQ(LagerCsv::MoneyCell(0), u"0,00"_s);
    EXPECT_EQ(LagerCsv::MoneyCell(123456), u"12,3456"_s);
    EXPECT_EQ(LagerCsv::MoneyCell(125000), u"12,50"_s);
    EXPECT_EQ(LagerCsv::MoneyCell(-5), u"-0,0005"_s);
    EXPECT_EQ(LagerCsv::FloatCell(-2.5), u"-2,5"_s);
}

TEST(LagerCsvRead, AcceptsWhatSpreadsheetsWrite)
{
    // Quoted cells over two lines, no byte-order mark, LF, trailing blank lines, headers in
    // other case, exponents and "ja".
    const Checked c = check("artikel-nr.;Kurztext;Bestand;Inventurartikel;EK-Preis\n"
                            "A1;\"zwei\nZeilen; mit \"\"Zitat\"\"\";1,5E3;ja;12,3456\n"
                            "A2;;-0,25;Nein;7\n\n\n");
    EXPECT_TRUE(c.ok) << qPrintable(c.errors.join(u'\n'));
    EXPECT_EQ(c.rows, 2);
}

TEST(LagerCsvRead, ReportsEveryBadCellWithTheLineItStartsOn)
{
    const Checked c = check("\xEF\xBB\xBF"
                            "Artikel-Nr.;Kurztext;EK-Preis;Preiseinheit;MwSt-Satz;Farbe\r\n"
                            "A1;\"Zeile 1\r\nZeile 2\";1,23456;1;1;0\r\n" // line 2: five places
                            "A1;;1;0;1;0\r\n"                             // line 4: twice, PE 0
                            ";;1;1;4;0\r\n"                               // line 5: no nr, VAT 4
                            "A3;;1.000,00;1;1;x\r\n"                      // line 6: two cells
                            "A4;;1;1\r\n");                               // line 7: too short
    EXPECT_FALSE(c.ok);
    const QString all = c.errors.join(u'\n');
    for (const QString &line :
         {u"Zeile 2:"_s, u"Zeile 4:"_s, u"Zeile 5:"_s, u"Zeile 6:"_s, u"Zeile 7:"_s})
        EXPECT_TRUE(all.contains(line)) << qPrintable(all);
    EXPECT_FALSE(all.contains(u"Zeile 3:"_s)) << "a quoted line break is no new line";
    EXPECT_EQ(c.errors.size(), 8) << qPrintable(all);
}

TEST(LagerCsvRead, RefusesFilesItCannotReadSafely)
{
    EXPECT_FALSE(check("Artikel-Nr.;Bezeichnung\r\nA1;Gr\xFCn\r\n").ok) << "Latin-1, not UTF-8";
    EXPECT_FALSE(check("Bezeichnung\r\nRohr\r\n").ok) << "no article number column";
    EXPECT_FALSE(check("Artikel-Nr.;Bezeichnung;bezeichnung\r\n").ok) << "a column twice";
    EXPECT_FALSE(check("Artikel-Nr.;Bezeichnung\r\nA1;\"offen\r\n").ok) << "unclosed quote";
    EXPECT_FALSE(check("").ok);
}
} // namespace
