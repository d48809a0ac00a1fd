// Documents of an order, its lines and the ordering configuration against texts written by
// hand, and the computations the goods receipt relies on (net total, state, positions).
#include "ordering/bestellserverobj.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/paymentterm.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

const QString kDeclaration = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"_s;

QString document(const QStringList &lines)
{
    return kDeclaration + lines.join(u"\r\n"_s) + u"\r\n"_s;
}

QByteArray utf16le(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray savedBytes(TDBXMLCoreObject &object)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"DOC.XML"_s);
    object.SaveToFile(path);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TBestellartikel &addLine(TBestellServerObj &order, const QString &typ, double menge, double ek,
                         int pe, double rabatt, double geliefert = 0)
{
    auto line = std::make_unique<TBestellartikel>();
    line->Typ = typ;
    line->Menge = menge;
    line->EK = ek;
    line->PE = pe;
    line->Rabatt = rabatt;
    line->Geliefert = geliefert;
    TBestellartikel &ref = *line;
    order.Artikel.Add(std::move(line));
    return ref;
}

// An order that uses every part of the complete document, escaping included.
void fillSampleOrder(TBestellServerObj &o)
{
    o.BestellNr = u"B-2024-001"_s;
    o.Datum = 45292.5;
    o.Angelegt = 45290.25;
    o.AngelegtVon = u"MEIER"_s;
    o.Geaendert = 45291;
    o.GeaendertVon = u"Schulz & Co"_s;
    o.LieferDatum = 45300;
    o.Anzeigetext = u"Heizung \"Haus\" <A>"_s;
    o.WV = 45301.5;
    o.WVText = u"Nachfassen"_s;
    o.WVUser = u"MEIER"_s;
    o.TerminRef = 17;
    o.Waehrung = u"Euro"_s;
    o.WaehrungK = u"EUR"_s;
    o.Stadium = 4;
    o.BestellAdr = {u"L100"_s, u"Sanha O'Neil"_s, u"SANHA"_s};
    o.RgAdr = {u"R1"_s, u"Eigene Firma"_s};
    o.LieferAdr = {u"L1"_s, u"Baustelle"_s};
    o.Kennzeichen = {u"Dringend"_s, u"Fax"_s};
    TBestellartikel &a = addLine(o, u"N"_s, 10, 12.5, 1, 0, 4);
    a.ArtikelNr = u"4711"_s;
    a.BestellNr = u"K-4711"_s;
    a.Anzeigetext = u"Kupferrohr 15mm"_s;
    a.Mengeneinheit = u"m"_s;
    a.Langtext = u"Rolle\r\nblank"_s;
    TBestellartikel &b = addLine(o, u"F"_s, 2, 250, 100, 10);
    b.BestellNr = u"X1"_s;
    b.Anzeigetext = u"Sonderteil"_s;
    b.Mengeneinheit = u"Stk"_s;
    TBestellartikel &t = addLine(o, u"T"_s, 0, 0, 0, 0);
    t.Anzeigetext = u"Hinweis"_s;
    TDsnElement text;
    text.Name = u"Projekt"_s;
    text.Kind = TDsnElement::Text;
    text.TextValue = u"Nord"_s;
    o.DsnElements.Add(text);
    TDsnElement number;
    number.Name = u"Etage"_s;
    number.Kind = TDsnElement::Integer;
    number.IntValue = 3;
    o.DsnElements.Add(number);
    o.Info = u"Bitte anrufen"_s;
    o.CalcNetto(false);
}

const QStringList kSampleLines = {
    u"  <bestellung>"_s,
    u"    <artikelliste>"_s,
    u"      <artikel artnr=\"4711\" bnr=\"K-4711\" typ=\"N\" at=\"Kupferrohr 15mm\" me=\"m\" "
    u"menge=\"10\" ek=\"12,5\" pe=\"1\" rab=\"0\" gelief=\"4\">Rolle&#13;&#10;blank</artikel>"_s,
    u"      <artikel artnr=\"\" bnr=\"X1\" typ=\"F\" at=\"Sonderteil\" me=\"Stk\" menge=\"2\" "
    u"ek=\"250\" pe=\"100\" rab=\"10\" gelief=\"0\"></artikel>"_s,
    u"      <artikel artnr=\"\" bnr=\"\" typ=\"T\" at=\"Hinweis\" me=\"\" menge=\"0\" ek=\"0\" "
    u"pe=\"1\" rab=\"0\" gelief=\"0\"></artikel>"_s,
    u"    </artikelliste>"_s,
    u"  </bestellung>"_s,
};

void expectSameLines(const TBestellartikelObjectList &a, const TBestellartikelObjectList &b)
{
    ASSERT_EQ(a.Count(), b.Count());
    for (qsizetype i = 0; i < a.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i].Typ, b[i].Typ);
        EXPECT_EQ(a[i].ArtikelNr, b[i].ArtikelNr);
        EXPECT_EQ(a[i].BestellNr, b[i].BestellNr);
        EXPECT_EQ(a[i].Anzeigetext, b[i].Anzeigetext);
        EXPECT_EQ(a[i].Langtext, b[i].Langtext);
        EXPECT_EQ(a[i].Menge, b[i].Menge);
        EXPECT_EQ(a[i].Geliefert, b[i].Geliefert);
        EXPECT_EQ(a[i].EK, b[i].EK);
        EXPECT_EQ(a[i].EffectivePE(), b[i].EffectivePE());
        EXPECT_EQ(a[i].Rabatt, b[i].Rabatt);
        EXPECT_EQ(a[i].Mengeneinheit, b[i].Mengeneinheit);
    }
}

void expectSameOrder(const TBestellServerObj &a, const TBestellServerObj &b)
{
    EXPECT_EQ(a.BestellNr, b.BestellNr);
    EXPECT_EQ(a.Anzeigetext, b.Anzeigetext);
    EXPECT_EQ(a.Datum, b.Datum);
    EXPECT_EQ(a.LieferDatum, b.LieferDatum);
    EXPECT_EQ(a.Stadium, b.Stadium);
    EXPECT_EQ(a.Netto, b.Netto);
    EXPECT_EQ(a.Waehrung, b.Waehrung);
    EXPECT_EQ(a.WaehrungK, b.WaehrungK);
    EXPECT_EQ(a.BestellAdr.Text1, b.BestellAdr.Text1);
    EXPECT_EQ(a.BestellAdr.Text2, b.BestellAdr.Text2);
    EXPECT_EQ(a.BestellAdr.Text3, b.BestellAdr.Text3);
    EXPECT_EQ(a.LieferAdr.Key, b.LieferAdr.Key);
    EXPECT_EQ(a.LieferAdr.Value, b.LieferAdr.Value);
    EXPECT_EQ(a.RgAdr.Key, b.RgAdr.Key);
    EXPECT_EQ(a.RgAdr.Value, b.RgAdr.Value);
    EXPECT_EQ(a.Angelegt, b.Angelegt);
    EXPECT_EQ(a.AngelegtVon, b.AngelegtVon);
    EXPECT_EQ(a.Geaendert, b.Geaendert);
    EXPECT_EQ(a.GeaendertVon, b.GeaendertVon);
    EXPECT_EQ(a.TerminRef, b.TerminRef);
    EXPECT_EQ(a.Kennzeichen, b.Kennzeichen);
    EXPECT_EQ(a.WV, b.WV);
    EXPECT_EQ(a.WVText, b.WVText);
    EXPECT_EQ(a.WVUser, b.WVUser);
    EXPECT_TRUE(a.DsnElements == b.DsnElements);
    EXPECT_EQ(a.Info, b.Info);
    expectSameLines(a.Artikel, b.Artikel);
}

} // namespace

TEST(OrderDocument, CompleteFormByteForByte)
{
    TBestellServerObj order;
    fillSampleOrder(order);
    QStringList lines = {
        u"<bestelljitem>"_s,
        u"  <dbdata nr=\"B-2024-001\" datum=\"45292,5\" angelegt=\"45290,25\" "
        u"angelegtvon=\"MEIER\" geaendert=\"45291\" geaendertvon=\"Schulz &amp; Co\" "
        u"lieft=\"45300\" at=\"Heizung &quot;Haus&quot; &lt;A&gt;\" wv=\"45301,5\" "
        u"wvtxt=\"Nachfassen\" wvuser=\"MEIER\""_s,
        u" terminref=\"17\" netto=\"129,5\" waehr=\"Euro\" waehrk=\"EUR\" stadium=\"4\"/>"_s,
        u"  <b_adr id=\"L100\" katalog=\"SANHA\">Sanha O&apos;Neil</b_adr>"_s,
        u"  <r_adr id=\"R1\">Eigene Firma</r_adr>"_s,
        u"  <l_adr id=\"L1\">Baustelle</l_adr>"_s,
        u"  <kz>Dringend&#13;&#10;Fax</kz>"_s,
    };
    lines += kSampleLines;
    lines += {
        u"  <dsnobj name=\"Projekt\" type=\"1\" >Nord</dsnobj>"_s,
        u"  <dsnobj name=\"Etage\" type=\"2\" >3</dsnobj>"_s,
        u"  <info>Bitte anrufen</info>"_s,
        u"</bestelljitem>"_s,
    };
    EXPECT_EQ(savedBytes(order), utf16le(document(lines)));
}

TEST(OrderDocument, ShortFormKeepsOnlyWhatTheColumnsLack)
{
    TBestellServerObj order;
    fillSampleOrder(order);
    EXPECT_EQ(order.GetXMLText(false),
              document({
                  u"<bestelljitem>"_s,
                  u"  <b_adr katalog=\"SANHA\"/>"_s,
                  u"  <dsnobj name=\"Projekt\" type=\"1\" >Nord</dsnobj>"_s,
                  u"  <dsnobj name=\"Etage\" type=\"2\" >3</dsnobj>"_s,
                  u"  <info>Bitte anrufen</info>"_s,
                  u"</bestelljitem>"_s,
              }));
}

TEST(OrderDocument, EmptyOrderLeavesOutOptionalParts)
{
    TBestellServerObj order;
    EXPECT_EQ(order.GetXMLText(true),
              document({
                  u"<bestelljitem>"_s,
                  u"  <dbdata nr=\"\" datum=\"0\" angelegt=\"0\" angelegtvon=\"\" geaendert=\"0\" "
                  u"geaendertvon=\"\" lieft=\"0\" at=\"\" netto=\"0\" waehr=\"\" waehrk=\"\" "
                  u"stadium=\"0\"/>"_s,
                  u"  <bestellung>"_s,
                  u"  </bestellung>"_s,
                  u"</bestelljitem>"_s,
              }));
    EXPECT_EQ(order.GetXMLText(false), document({u"<bestelljitem>"_s, u"</bestelljitem>"_s}));
    EXPECT_EQ(order.LineWriter().GetXMLText(true),
              document({u"<bestellung>"_s, u"</bestellung>"_s}));
}

TEST(OrderDocument, LinesDocumentStandsAloneWithoutPrefix)
{
    TBestellServerObj order;
    fillSampleOrder(order);
    QStringList expected;
    for (const QString &line : kSampleLines)
        expected.append(line.mid(2));
    EXPECT_EQ(utf16le(order.LineWriter().GetXMLText(true)), utf16le(document(expected)));
}

TEST(OrderDocument, CompleteFormReadsBackEqual)
{
    TBestellServerObj order;
    fillSampleOrder(order);
    TBestellServerObj copy;
    ASSERT_TRUE(copy.LoadFromXMLText(order.GetXMLText(true)));
    EXPECT_FALSE(copy.HasError());
    expectSameOrder(order, copy);
    EXPECT_EQ(copy.Artikel[0].Langtext, u"Rolle\r\nblank"_s);
}

TEST(OrderDocument, ReadingRecomputesTheNetTotalAndRepairsPriceUnits)
{
    // A stored netto that disagrees with the lines is replaced once the lines are read.
    const QString text = document({
        u"<bestelljitem>"_s,
        u"  <dbdata nr=\"X\" netto=\"999\" terminref=\"abc\"/>"_s,
        u"  <bestellung>"_s,
        u"    <artikelliste>"_s,
        u"      <artikel typ=\"N\" menge=\"3\" ek=\"2,5\" pe=\"-4\"/>"_s,
        u"    </artikelliste>"_s,
        u"  </bestellung>"_s,
        u"</bestelljitem>"_s,
    });
    TBestellServerObj order;
    ASSERT_TRUE(order.LoadFromXMLText(text));
    ASSERT_EQ(order.Artikel.Count(), 1);
    EXPECT_EQ(order.Artikel[0].PE, 1);
    EXPECT_DOUBLE_EQ(order.Netto, 7.5);
    EXPECT_EQ(order.TerminRef, -1);
    EXPECT_EQ(order.Stadium, 0);
}

TEST(OrderDocument, LinesDocumentAppendsToTheList)
{
    TBestellServerObj source;
    fillSampleOrder(source);
    const QString lines = source.LineWriter().GetXMLText(true);
    TBestellServerObj target;
    addLine(target, u"N"_s, 1, 1, 1, 0);
    target.LineWriter().LoadFromXMLText(lines);
    ASSERT_EQ(target.Artikel.Count(), 4);
    EXPECT_EQ(target.Artikel[1].ArtikelNr, u"4711"_s);
    EXPECT_DOUBLE_EQ(target.Netto, 130.5);
}

TEST(OrderDocument, FollowUpBreaksTheStartTagAndReadsBack)
{
    TBestellServerObj order;
    order.BestellNr = u"A"_s;
    order.WV = 45000.75;
    order.WVText = u"a\r\nb"_s;
    const QString text = order.GetXMLText(true);
    EXPECT_TRUE(text.contains(u" wvuser=\"\"\r\n netto=\"0\""_s));
    TBestellServerObj copy;
    ASSERT_TRUE(copy.LoadFromXMLText(text));
    EXPECT_EQ(copy.WV, 45000.75);
    EXPECT_EQ(copy.WVText, u"a\r\nb"_s);
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

TEST(OrderingConfig, DocumentByteForByteAndReadBack)
{
    TBestellwesenConfig config;
    config.StdLiefAdr = {u"L1"_s, u"Lager <Nord>"_s};
    config.StdRgAdr = {u"R1"_s, u"Buchhaltung"_s};
    config.EigeneAdrId = u"E7"_s;
    config.Kennzeichen = {u"Dringend"_s, u"Fax & Mail"_s};
    config.NK = {u"Fracht"_s};
    config.PosBeschrGenType = 2;
    config.AutoSearchLagerartikel = true;
    EXPECT_EQ(savedBytes(config), utf16le(document({
                                      u"<bestellwesenconfig>"_s,
                                      u"  <stdliefadr key=\"L1\" val=\"Lager &lt;Nord&gt;\" />"_s,
                                      u"  <stdrgadr key=\"R1\" val=\"Buchhaltung\" />"_s,
                                      u"  <eigeneadrid val=\"E7\" />"_s,
                                      u"  <kz>Dringend&#13;&#10;Fax &amp; Mail</kz>"_s,
                                      u"  <nk>Fracht</nk>"_s,
                                      u"  <posbeschrgentype val=\"2\" />"_s,
                                      u"  <autosearchla val=\"-1\" />"_s,
                                      u"  <autofillbnr val=\"0\" />"_s,
                                      u"</bestellwesenconfig>"_s,
                                  })));

    TBestellwesenConfig copy;
    copy.AutoFillBestellNr = true; // a load starts from the cleared state
    ASSERT_TRUE(copy.LoadFromXMLText(config.GetXMLText(true)));
    EXPECT_EQ(copy.StdLiefAdr.Key, u"L1"_s);
    EXPECT_EQ(copy.StdLiefAdr.Value, u"Lager <Nord>"_s);
    EXPECT_EQ(copy.StdRgAdr.Value, u"Buchhaltung"_s);
    EXPECT_EQ(copy.EigeneAdrId, u"E7"_s);
    EXPECT_EQ(copy.Kennzeichen, config.Kennzeichen);
    EXPECT_EQ(copy.NK, config.NK);
    EXPECT_EQ(copy.PosBeschrGenType, 2);
    EXPECT_TRUE(copy.AutoSearchLagerartikel);
    EXPECT_FALSE(copy.AutoFillBestellNr);
}

TEST(PaymentTerms, ListDocumentAndAttributes)
{
    TPaymentTermObjectList terms;
    terms.Add(TPaymentTerm{1, 2.5, 14, 5});
    terms.Add(TPaymentTerm{});
    QString out;
    terms.AppendXML(out, u"  "_s);
    EXPECT_EQ(out, u"  <ptl>\r\n"
                   u"    <pt type=\"1\" perc=\"2,5\" days=\"14\" dpw=\"5\"/>\r\n"
                   u"    <pt type=\"0\" perc=\"0\" days=\"0\" dpw=\"7\"/>\r\n"
                   u"  </ptl>\r\n"_s);
}
