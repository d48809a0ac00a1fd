// Writing and reading one fully populated stock article, against expat alone parsing the same
// bytes with empty handlers: the article's own work should cost at most as much again as the
// bare parse.
#include "base/formatsettings.h"
#include "stock/lagerserverobj.h"

#include <benchmark/benchmark.h>
#include <expat.h>

using namespace Qt::StringLiterals;

namespace
{
TLagerArtikelDaten populatedArticle()
{
    TLagerArtikelDaten a;
    a.Created = 45678.4375;
    a.CreatedBy = u"Meister"_s;
    a.Changed = 45690.71875;
    a.ChangedBy = u"Geselle"_s;
    a.PE = 10;
    a.VKPreis = {Money::fromDouble(12.3456), Money::fromDouble(11.9), Money::fromDouble(10.5),
                 Money::fromDouble(9.95), Money::fromDouble(8.4)};
    a.EKProKg = Money::fromDouble(4.1234);
    a.Breite = 0.5;
    a.Laenge = 3;
    a.Dicke = 0.0025;
    a.Dichte = 7.85;
    a.Oberflaeche = 1.5;
    a.Volumen = 0.00375;
    a.GewichtQm = 19.625;
    a.Gewicht = 29.4375;
    a.Verpackungsmenge = 25;
    a.VerpackungsME = u"Karton"_s;
    a.Arbeitszeit = 7.5;
    a.Lohn = Money::fromDouble(45.5);
    a.OhneRabatt = a.EKSperre = true;
    a.Langtext = u"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 Kupferrohr "
                 u"hart, 15 x 1 mm, in Stangen zu 5 m, DVGW-gepr\u00fcft. Geeignet f\u00fcr "
                 u"Trinkwasser- und Heizungsinstallationen <DIN EN 1057> & \"R290\".\\par\r\n"
                 u"Lieferung nur in ganzen Stangen.\\par\r\n}"_s;
    a.Kurztext = u"Kupferrohr 15 x 1 mm hart, 5 m"_s;
    a.Etikett = u"Cu 15x1\r\n5 m"_s;
    a.LetzteSeriennummer = u"SN-2025-000417"_s;
    a.MindestBestand = {u"<from>0101</from><to>3103</to><mb>10,000</mb><bm>50,000</bm>"_s,
                        u"<from>0104</from><to>3009</to><mb>25,000</mb><bm>100,000</bm>"_s,
                        u"<from>0110</from><to>3112</to><mb>10,000</mb><bm>50,000</bm>"_s};
    a.Bilder.Add(QString(), u"KUPFERROHR_15.JPG"_s);
    a.Bilder.Add(QString(), u"KUPFERROHR_15_DETAIL.JPG"_s);
    const auto extra = [&](const QString &name, quint8 kind) -> TDsnElement & {
        TDsnElement &e = a.Zusatzdaten.Add();
        e.Name = name;
        e.Kind = kind;
        return e;
    };
    extra(u"Werkstoff"_s, TDsnElement::Text).TextValue = u"Cu-DHP"_s;
    extra(u"Biegeradius"_s, TDsnElement::Integer).IntValue = 45;
    extra(u"Pressfitting"_s, TDsnElement::Boolean).BoolValue = true;
    extra(u"Pruefdatum"_s, TDsnElement::Date).FloatValue = 45600;
    extra(u"Schicht"_s, TDsnElement::Time).FloatValue = 0.25;
    extra(u"Eingang"_s, TDsnElement::DateAndTime).FloatValue = 45601.5;
    a.KatRefs.Add(u"DATANORM_GC"_s, u"1234567"_s);
    a.KatRefs.Add(u"[10001_1]"_s, u"Sanit\u00e4r-Gro\u00dfhandel GmbH, Industriestr. 4"_s);
    a.KatRefs.Add(u"[10001_1]"_s, u"[B-2025-117]"_s);
    a.ExtensionData = u"<ext><shop id=\"17\" sync=\"45690.5\"/></ext>"_s;
    return a;
}

void XMLCALL noStart(void *, const XML_Char *, const XML_Char **) {}
void XMLCALL noEnd(void *, const XML_Char *) {}
void XMLCALL noText(void *, const XML_Char *, int) {}

void BM_article_xml_roundtrip_Reference(benchmark::State &state)
{
    FormatSettings::current() = FormatSettings::german();
    TLagerServerObj article;
    article.Assign(populatedArticle());
    const QString text = article.GetXMLText(true);
    const auto *bytes = reinterpret_cast<const char *>(text.utf16());
    const int size = int(text.size() * 2);
    XML_Parser parser = XML_ParserCreate("UTF-16LE");
    for (auto _ : state) {
        XML_ParserReset(parser, "UTF-16LE");
        XML_SetElementHandler(parser, noStart, noEnd);
        XML_SetCharacterDataHandler(parser, noText);
        if (XML_Parse(parser, bytes, size, XML_TRUE) != XML_STATUS_OK)
            state.SkipWithError("expat refused the document");
    }
    XML_ParserFree(parser);
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_article_xml_roundtrip_Ours(benchmark::State &state)
{
    FormatSettings::current() = FormatSettings::german();
    TLagerServerObj article;
    article.Assign(populatedArticle());
    TLagerServerObj read;
    QString text;
    for (auto _ : state) {
        article.GetXMLText(true, text);
        if (!read.LoadFromXMLText(text))
            state.SkipWithError("the article was not read");
        benchmark::DoNotOptimize(read.VKPreis);
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}

void BM_ArticleWrite(benchmark::State &state)
{
    FormatSettings::current() = FormatSettings::german();
    TLagerServerObj article;
    article.Assign(populatedArticle());
    QString text;
    for (auto _ : state) {
        article.GetXMLText(true, text);
        benchmark::DoNotOptimize(text.constData());
    }
}

void BM_ArticleRead(benchmark::State &state)
{
    FormatSettings::current() = FormatSettings::german();
    TLagerServerObj article;
    article.Assign(populatedArticle());
    const QString text = article.GetXMLText(true);
    TLagerServerObj read;
    for (auto _ : state) {
        read.LoadFromXMLText(text);
        benchmark::DoNotOptimize(read.VKPreis);
    }
}
} // namespace

BENCHMARK(BM_article_xml_roundtrip_Reference);
BENCHMARK(BM_article_xml_roundtrip_Ours);
BENCHMARK(BM_ArticleWrite);
BENCHMARK(BM_ArticleRead);
BENCHMARK_MAIN();
