// Documents of an order, its lines and the ordering configuration against golden files, and
// the computations the goods receipt relies on (net total, state, positions).
#include "ordering/bestellwesenconfig.h"
#include "tests/ordering/orderingtest.h"

namespace
{

QString savedText(TDBXMLCoreObject &object)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"DOC.XML"_s);
    object.SaveToFile(path);
    return TestDocuments::fromUtf16(TestDocuments::fileBytes(path));
}

// The golden order uses every part of the complete document, escaping included.
void readSampleOrder(TBestellServerObj &o)
{
    TestDocuments::read(o, TestDocuments::utf16(QString::fromUtf8(
                               TestDocuments::golden("ordering", "bestellung_full.xml"))));
    ASSERT_FALSE(o.HasError()) << qPrintable(o.ErrorText());
}

} // namespace

// Read from the golden file and saved again, the whole order and its lines document alone: a
// field that the reader or the writer drops shows up.
TEST(OrderDocument, CompleteFormLinesDocumentAndReadBack)
{
    TBestellServerObj order;
    readSampleOrder(order);
    // Line breaks survive as element text and as an attribute.
    EXPECT_EQ(std::tuple(order.Artikel[0].Langtext, order.WVText),
              std::tuple(u"Rolle\r\nblank"_s, u"Nach\r\nfassen"_s));
    TestDocuments::expectGoldenText("ordering", "bestellung_full.xml", savedText(order));
    TestDocuments::expectGoldenText("ordering", "bestellung_lines.xml",
                                    order.LineWriter().GetXMLText(true));

    // The lines document appends to the list.
    TBestellServerObj target;
    addLine(target, u"N"_s, 1, 1, 1, 0);
    target.LineWriter().LoadFromXMLText(order.LineWriter().GetXMLText(true));
    ASSERT_EQ(target.Artikel.Count(), 4);
    EXPECT_EQ(target.Artikel[1].ArtikelNr, u"4711"_s);
    EXPECT_DOUBLE_EQ(target.Netto, 130.5);
}

// The short form keeps only what the table's columns lack; an empty order leaves out the
// optional parts in both forms.
TEST(OrderDocument, ShortFormAndEmptyOrder)
{
    TBestellServerObj order;
    readSampleOrder(order);
    TBestellServerObj empty;
    TestDocuments::expectGoldenText("ordering", "bestellung_short_and_empty.xml",
                                    order.GetXMLText(false) + empty.GetXMLText(true) +
                                        empty.GetXMLText(false) +
                                        empty.LineWriter().GetXMLText(true));
}

TEST(OrderDocument, ReadingRecomputesTheNetTotalAndRepairsPriceUnits)
{
    // A stored netto that disagrees with the lines is replaced once the lines are read.
    TBestellServerObj order;
    ASSERT_TRUE(order.LoadFromXMLText(
        u"<bestelljitem><dbdata nr=\"X\" netto=\"999\" "
        u"terminref=\"abc\"/><bestellung><artikelliste>"
        u"<artikel typ=\"N\" menge=\"3\" ek=\"2,5\" pe=\"-4\"/></artikelliste></bestellung>"
        u"</bestelljitem>"_s));
    ASSERT_EQ(order.Artikel.Count(), 1);
    EXPECT_EQ(std::tuple(order.Artikel[0].PE, order.Netto, order.TerminRef, order.Stadium),
              std::tuple(1, 7.5, -1, 0));
}

TEST(OrderNetTotal, PriceUnitsDiscountsAndMoneyModes)
{
    struct Case {
        double menge, ek;
        int pe;
        double rabatt;
        double twoDecimals, fourDecimals;
    };
    // The unit price is exact to four decimals; with two-decimal money it is brought to
    // cents after the discount, while the line value is always whole cents.
    const Case cases[] = {
        {250, 123.45, 100, 12.5, 270.00, 270.05}, // 1,2345 less 12,5 % = 1,0801875
        {7, 1.2345, 1, 3, 8.40, 8.38},
        {3, 3.333, 0, 0, 9.99, 10.00}, // price unit 0 counts as 1
        {3, 10, 3, 0, 9.99, 10.00},    // 3,3333... per unit
        {2, 250, 100, 10, 4.50, 4.50},
        {-2, 19.99, 1, 0, -39.98, -39.98},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ek);
        for (bool four : {false, true}) {
            TBestellServerObj order;
            addLine(order, u"N"_s, c.menge, c.ek, c.pe, c.rabatt);
            order.CalcNetto(four);
            const double expected = four ? c.fourDecimals : c.twoDecimals;
            EXPECT_DOUBLE_EQ(order.Netto, expected) << (four ? "four" : "two");
            EXPECT_DOUBLE_EQ(order.Artikel[0].Zeilenwert, expected);
            EXPECT_GE(order.Artikel[0].PE, 1);
        }
    }
    TBestellServerObj sum;
    addLine(sum, u"N"_s, 250, 123.45, 100, 12.5);
    addLine(sum, u"T"_s, 0, 0, 1, 0);
    addLine(sum, u"F"_s, 7, 1.2345, 1, 3);
    EXPECT_EQ(sum.Artikel.CalcNetTotal(true).raw(), 2784300);
    EXPECT_EQ(sum.Artikel.CalcNetTotal(false).raw(), 2784000);
}

TEST(OrderState, UpdateStadiumTable)
{
    struct Case {
        int before;
        std::vector<std::pair<double, double>> lines; // ordered, delivered
        int after;
    };
    const Case cases[] = {
        {2, {}, 2},
        {0, {}, 1},
        {1, {}, 1},
        {5, {}, 2},
        {2, {{10, 10}, {5, 5}}, 5},
        {2, {{10, 12}}, 5},
        {2, {{10, 4}, {10, 0}, {3, 0}}, 4},
        {4, {{10, 0}, {5, 0}}, 2},
        {3, {{10, 10}}, 5},
        {3, {{10, 0}}, 2},
        {1, {{10, 10}}, 1},
        {0, {{10, 4}}, 1},
        // Only the sums count: a surplus on one line covers a gap on another.
        {2, {{10, 15}, {10, 5}}, 5},
        {2, {{10, 15}, {10, 0}}, 4},
    };
    for (const Case &c : cases) {
        TBestellServerObj order;
        order.Stadium = quint8(c.before);
        for (const auto &[ordered, delivered] : c.lines)
            addLine(order, u"N"_s, ordered, 1, 1, 0, delivered);
        order.UpdateStadium();
        EXPECT_EQ(order.Stadium, c.after) << "before " << c.before << ", lines " << c.lines.size();
    }
    EXPECT_EQ(OrderStateName(4), u"Teillieferung"_s);
    EXPECT_TRUE(OrderStateName(6).isEmpty());
}

TEST(OrderPositions, TwelveLinesWithATextLine)
{
    TBestellServerObj order;
    for (int i = 1; i <= 12; ++i)
        addLine(order, i == 3 ? u"T"_s : u"N"_s, 1, 1, 1, 0);
    order.Artikel[2].PosNr = u"keep"_s;
    order.Artikel.NumberPositions();
    QStringList numbers;
    for (const TBestellartikel &line : order.Artikel)
        numbers.append(line.PosNr);
    EXPECT_EQ(numbers, QStringList({u"01"_s, u"02"_s, u"keep"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s,
                                    u"07"_s, u"08"_s, u"09"_s, u"10"_s, u"11"_s}));
    TBestellServerObj few;
    addLine(few, u"T"_s, 1, 1, 1, 0);
    addLine(few, u"F"_s, 1, 1, 1, 0);
    few.Artikel.NumberPositions();
    EXPECT_EQ(few.Artikel[1].PosNr, u"1"_s);
}

TEST(OrderingConfig, DocumentAndReadBack)
{
    TBestellwesenConfig config;
    TestDocuments::read(config, TestDocuments::utf16(QString::fromUtf8(
                                    TestDocuments::golden("ordering", "bestellwesenconfig.xml"))));
    EXPECT_EQ(config.StdLiefAdr.Value, u"Lager <Nord>"_s);
    TestDocuments::expectGoldenText("ordering", "bestellwesenconfig.xml", savedText(config));
}
