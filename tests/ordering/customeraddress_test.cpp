#include "ordering/customeraddress.h"
#include "tests/ordering/orderingtest.h"

namespace
{

QByteArray utf16leDocument(const QString &body)
{
    return TestDocuments::utf16(TestDocuments::withDeclaration(body));
}

// The golden document sets every field, with texts that need escaping and umlauts.
void readFull(TCustomerAddress &a)
{
    TestDocuments::read(a, TestDocuments::utf16(QString::fromUtf8(
                               TestDocuments::golden("ordering", "kundenadr_full.xml"))));
    ASSERT_FALSE(a.HasError()) << qPrintable(a.ErrorText());
}

} // namespace

// Read from the golden document and saved again: a field that the reader or the writer forgets
// is missing from the file.
TEST(CustomerAddressDocument, CompleteFormFileAndReadBack)
{
    QTemporaryDir dir;
    TCustomerAddress a;
    readFull(a);
    EXPECT_EQ(a.Info, u"Zeile 1\r\nZeile <2>"_s);
    const QString path = dir.filePath(u"1047.XML"_s);
    a.SaveToFile(path);
    TestDocuments::expectGoldenText("ordering", "kundenadr_full.xml",
                                    TestDocuments::fromUtf16(TestDocuments::fileBytes(path)));

    // A second load starts from scratch instead of appending to the lists.
    ASSERT_TRUE(a.LoadFromXMLText(a.GetXMLText(false)));
    EXPECT_EQ(a.Anschriften.Count(), 2);
    EXPECT_TRUE(a.Id.isEmpty());
}

// The short form leaves out the stamps, the display text and the marks; an empty address
// writes only alarm and extra info (a follow-up only with a date), while its complete form
// always carries the stamps and the marks.
TEST(CustomerAddressDocument, ShortFormAndEmptyAddress)
{
    TCustomerAddress a;
    readFull(a);
    TCustomerAddress empty;
    empty.WvTxt = u"ohne Datum"_s;
    empty.WvUser = u"ADMIN"_s;
    TestDocuments::expectGoldenText("ordering", "kundenadr_short_and_empty.xml",
                                    a.GetXMLFragment(false, u"\t"_s) +
                                        empty.GetXMLFragment(false, QString()) +
                                        empty.GetXMLFragment(true, QString()));
}

TEST(CustomerAddressDocument, ReadingToleratesMissingAndBrokenValues)
{
    TCustomerAddress a;
    ASSERT_TRUE(a.LoadFromXMLText(
        u"<kundenadr id=\"7\" mwstausw=\"x\" paragr13b=\"ja\" cr=\"kaputt\">"
        u"<kontaktdata cdtype=\"1\" cdvalue=\"verwaist\"/>"
        u"<kontakt name=\"K\"><kontaktdata cdtype=\"zwei\" cdvalue=\"0711\"/></kontakt>"
        u"<pt type=\"1\" perc=\"3\"/><kz>X\r\nY\r\n</kz><unbekannt a=\"1\"/></kundenadr>"_s));
    EXPECT_EQ(std::tuple(a.Id, a.MwStAusw, a.Paragr13b, a.Cr), std::tuple(u"7"_s, 0, false, 0.0));
    // Contact data without a contact has nowhere to go.
    ASSERT_EQ(a.Kontakte.Count(), 1);
    ASSERT_EQ(a.Kontakte[0].Data.Count(), 1);
    EXPECT_EQ(std::tuple(a.Kontakte[0].Data[0].CdType, a.Kontakte[0].Data[0].CdValue),
              std::tuple(0, u"0711"_s));
    ASSERT_EQ(a.PaymentTerms.Count(), 1);
    EXPECT_EQ(std::tuple(a.PaymentTerms[0].Days, a.PaymentTerms[0].DaysPerWeek), std::tuple(0, 7));
    EXPECT_EQ(a.Kz.mid(0, 2), (QStringList{u"X"_s, u"Y"_s}));
    // Marks are trimmed on writing, so a trailing line break does not grow with each save.
    EXPECT_TRUE(a.GetXMLText(true).contains(u"<kz>X&#13;&#10;Y</kz>"_s));
}

TEST(ReadAddressFile, ReadsEveryDocumentOfTheFileInOrderUpToATruncatedOne)
{
    QTemporaryDir dir;
    TCustomerAddress first;
    first.Id = u"1047"_s;
    first.Anschriften.Add(TCustomerAnschrift{}).Id = u"2"_s;
    TCustomerAddress second;
    second.Id = u"2048"_s;
    const QString path = dir.filePath(u"ADR.$$$"_s);
    const QString whole = second.GetXMLFragment(true, QString());
    // Reading stops at a truncated document.
    TestDocuments::writeFile(path, utf16leDocument(first.GetXMLFragment(true, QString())) +
                                       utf16leDocument(whole) + utf16leDocument(whole.left(20)));

    TCustomerAddressObjectList list;
    list.Add(std::make_unique<TCustomerAddress>());
    list[0].Id = u"schon da"_s;
    ReadAddressFile(list, path);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(std::tuple(list[0].Id, list[1].Id, list[2].Id),
              std::tuple(u"schon da"_s, u"1047"_s, u"2048"_s));
    EXPECT_EQ(std::tuple(list[1].Anschriften.Count(), list[2].Anschriften.Count()),
              std::tuple(1, 0));

    ReadAddressFile(list, dir.filePath(u"fehlt.$$$"_s));
    EXPECT_EQ(list.Count(), 3);
}

TEST(AddressNumberOf, TakesThePartBeforeTheFirstUnderscore)
{
    for (const auto &[key, number] :
         {std::pair(u"1047_2"_s, u"1047"_s), std::pair(u"1047"_s, QString()),
          std::pair(u"1047_2_3"_s, u"1047"_s), std::pair(u"_2"_s, QString())})
        EXPECT_EQ(AddressNumberOf(key), number) << qPrintable(key);
}
