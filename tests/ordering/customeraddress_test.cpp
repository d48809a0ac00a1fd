#include "ordering/customeraddress.h"
#include "tests/support/documents.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

QByteArray utf16leDocument(const QString &body)
{
    return TestDocuments::utf16(TestDocuments::withDeclaration(body));
}

// Every field set, with texts that need escaping and umlauts, so that a field the writer or the
// reader forgets shows up in the golden document or in the round trip.
void fillFull(TCustomerAddress &a)
{
    a.Id = u"1047"_s;
    a.AddrGrp = u"LIEF"_s;
    a.Cr = 45292.5;
    a.CrBy = u"ADMIN"_s;
    a.Ch = 45300;
    a.ChBy = u"LAGER"_s;
    a.IdWeiterl = u"1046"_s;
    a.Wv = 45310.25;
    a.WvTxt = u"Rückruf"_s;
    a.WvUser = u"ADMIN"_s;
    a.KndVerz = u"K1047"_s;
    a.Sprache = u"de_DE"_s;
    a.UstIdNr = u"DE123"_s;
    a.StNr = u"12/345"_s;
    a.MwStAusw = 2;
    a.Paragr13b = true;
    a.Paragr6a = true;
    a.MahnTyp = 3;
    a.OwnId = u"X-1"_s;
    TCustomerAnschrift &first = a.Anschriften.Add(TCustomerAnschrift{});
    first.Id = u"1"_s;
    first.Name1 = u"Müller & Co."_s;
    first.Strasse = u"Hauptstr. 1"_s;
    first.Land = u"D"_s;
    first.Plz = u"70173"_s;
    first.Ort = u"Stuttgart"_s;
    first.Std = true;
    TCustomerAnschrift &second = a.Anschriften.Add(TCustomerAnschrift{});
    second.Id = u"2"_s;
    second.Name1 = u"Lager"_s;
    second.Name2 = u"Tor \"3\""_s;
    second.Name3 = u"O'Neil"_s;
    second.Name4 = u"n4"_s;
    second.Ort = u"Esslingen"_s;
    second.AArt = u"Lieferanschrift"_s;
    a.Info = u"Zeile 1\r\nZeile <2>"_s;
    a.At = u"Müller"_s;
    a.DebitorNr = u"D-1"_s;
    a.DebitorRating = u"A"_s;
    a.KreditorSachbearbeiter = u"Frau Weiß"_s;
    a.Alarm = true;
    a.AlarmText = u"Nur Vorkasse"_s;
    a.ZInfo = u"z"_s;
    TCustomerContact &juergen = a.Kontakte.Add(TCustomerContact{});
    juergen.Name = u"Jürgen"_s;
    juergen.Std = true;
    juergen.Data.Add(TCustomerContactData{1, u"Telefon"_s, u"0711 1"_s, u"mobil"_s});
    juergen.Data.Add(TCustomerContactData{3, u"E-Mail"_s, u"j@x.example"_s, QString()});
    a.Kontakte.Add(TCustomerContact{}).Name = u"Anja"_s;
    TPaymentWay &way = a.PaymentWays.Add(TPaymentWay{});
    way.Kind = 1;
    way.Comment = u"Überweisung"_s;
    way.Institute = u"Bank"_s;
    way.BankCode = u"60090100"_s;
    way.Account = u"123"_s;
    way.IBAN = u"DE02"_s;
    way.BIC = u"VOBA"_s;
    a.PaymentTerms.Add(TPaymentTerm{1, 2.5, 10, 7});
    a.PaymentTerms.Add(TPaymentTerm{0, 0, 30, 5});
    TDsnElement &colour = a.DsnElements.Add();
    colour.Name = u"Farbe"_s;
    colour.Kind = TDsnElement::Text;
    colour.TextValue = u"grün"_s;
    TDsnElement &count = a.DsnElements.Add();
    count.Name = u"Menge"_s;
    count.Kind = TDsnElement::Integer;
    count.IntValue = 42;
    a.Kz = QStringList{u"A"_s, u"B"_s};
}

} // namespace

// The golden document and a read-back that writes the same text again: a field that the writer
// or the reader forgets shows up in one of the two.
TEST(CustomerAddressDocument, CompleteFormFileAndReadBack)
{
    QTemporaryDir dir;
    TCustomerAddress a;
    fillFull(a);
    const QString path = dir.filePath(u"1047.XML"_s);
    a.SaveToFile(path);
    TestDocuments::expectGoldenText("ordering", "kundenadr_full.xml",
                                    TestDocuments::fromUtf16(TestDocuments::fileBytes(path)));
    TCustomerAddress b;
    ASSERT_TRUE(b.LoadFromXMLText(a.GetXMLText(true)));
    ASSERT_FALSE(b.HasError()) << qPrintable(b.ErrorText());
    EXPECT_EQ(b.GetXMLText(true), a.GetXMLText(true));
    EXPECT_EQ(b.Info, u"Zeile 1\r\nZeile <2>"_s);

    // A second load starts from scratch instead of appending to the lists.
    ASSERT_TRUE(b.LoadFromXMLText(a.GetXMLText(false)));
    EXPECT_EQ(b.Anschriften.Count(), 2);
    EXPECT_TRUE(b.Id.isEmpty());
}

// The short form leaves out the stamps, the display text and the marks; an empty address
// writes only alarm and extra info (a follow-up only with a date), while its complete form
// always carries the stamps and the marks.
TEST(CustomerAddressDocument, ShortFormAndEmptyAddress)
{
    TCustomerAddress a;
    fillFull(a);
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
    EXPECT_EQ(a.Id, u"7"_s);
    EXPECT_EQ(a.MwStAusw, 0);
    EXPECT_FALSE(a.Paragr13b);
    EXPECT_EQ(a.Cr, 0);
    // Contact data without a contact has nowhere to go.
    ASSERT_EQ(a.Kontakte.Count(), 1);
    ASSERT_EQ(a.Kontakte[0].Data.Count(), 1);
    EXPECT_EQ(a.Kontakte[0].Data[0].CdType, 0);
    EXPECT_EQ(a.Kontakte[0].Data[0].CdValue, u"0711"_s);
    ASSERT_EQ(a.PaymentTerms.Count(), 1);
    EXPECT_EQ(a.PaymentTerms[0].Days, 0);
    EXPECT_EQ(a.PaymentTerms[0].DaysPerWeek, 7);
    EXPECT_EQ(a.Kz.value(0), u"X"_s);
    EXPECT_EQ(a.Kz.value(1), u"Y"_s);
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
    EXPECT_EQ(list[0].Id, u"schon da"_s);
    EXPECT_EQ(list[1].Id, u"1047"_s);
    EXPECT_EQ(list[1].Anschriften.Count(), 1);
    EXPECT_EQ(list[2].Id, u"2048"_s);
    EXPECT_EQ(list[2].Anschriften.Count(), 0);

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
