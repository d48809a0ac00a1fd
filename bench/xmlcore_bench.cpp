// The XML core under an article-sized record: how long reading and writing the XMLDATA text of
// 100,000 stock articles takes is this figure times 100,000.
#include "base/formatsettings.h"
#include "persistence/conversions.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/doublestring.h"
#include "persistence/xml/xmltext.h"

#include <benchmark/benchmark.h>

namespace
{
// Shaped like the stock article's text: three attribute lines, texts, a list.
class TBenchArticle : public TDBXMLCoreObject
{
public:
    TBenchArticle() { TBenchArticle::Clear(); }

    double Values[9] = {};
    Money Prices[5];
    bool Flags[5] = {};
    QString Long, Short, Periods;
    TDoubleStringListObjectList Refs;

    void StartElement(const QString &name, const TXMLAttributes &a) override
    {
        static const char *const values[] = {"gew",   "gewqm",  "obf", "laenge", "breite",
                                             "dicke", "dichte", "vol", "uf"};
        static const char *const prices[] = {"vkp1", "vkp2", "vkp3", "vkp4", "vkp5"};
        static const char *const flags[] = {"orab", "oprov", "eksp", "vksp", "ncek"};
        CurrentElement = name;
        if (name == u"ainfo") {
            for (int i = 0; i < 9; ++i)
                Values[i] = a.Float(values[i], Values[i]);
        } else if (name == u"pinfo") {
            for (int i = 0; i < 5; ++i)
                Prices[i] = a.Curr(prices[i], Prices[i]);
        } else if (name == u"minfo") {
            for (int i = 0; i < 5; ++i)
                Flags[i] = a.Bool(flags[i], false);
        } else if (name == u"katref") {
            Refs.Add(a.Value("key"), a.Value("val"));
        } else {
            ResetCharacters();
        }
    }
    void Characters(QStringView text) override
    {
        if (CurrentElement == u"lt" || CurrentElement == u"kt" || CurrentElement == u"mindb")
            AppendCharacters(text);
    }
    void EndElement(const QString &name) override
    {
        if (name == u"lt")
            Long = CharacterText();
        else if (name == u"kt")
            Short = CharacterText();
        else if (name == u"mindb")
            Periods = CharacterText();
        CurrentElement.clear();
    }
    void Clear() override
    {
        std::fill(std::begin(Values), std::end(Values), 0.0);
        std::fill(std::begin(Prices), std::end(Prices), Money());
        std::fill(std::begin(Flags), std::end(Flags), false);
        Long.clear();
        Short.clear();
        Periods.clear();
        Refs.Clear();
    }
    void WriteXML(bool, const QString &indent) override
    {
        static const char16_t *const values[] = {u"gew",   u"gewqm",  u"obf", u"laenge", u"breite",
                                                 u"dicke", u"dichte", u"vol", u"uf"};
        QString &out = Output();
        out +=
            indent + QStringLiteral("<lagerartikel nr=\"4711\" c=\"45000,5\" cby=\"ADMIN\">\r\n");
        out += indent + QStringLiteral("  <ainfo");
        for (int i = 0; i < 9; ++i) {
            out += u' ' + QStringView(values[i]).toString() + QStringLiteral("=\"") +
                   floatToText(Values[i]) + u'"';
        }
        out += QStringLiteral(" />\r\n") + indent + QStringLiteral("  <pinfo");
        for (int i = 0; i < 5; ++i)
            out +=
                QStringLiteral(" vkp%1=\"%2\"").arg(i + 1).arg(floatToText(Prices[i].toDouble()));
        out += QStringLiteral(" />\r\n") + indent + QStringLiteral("  <lt>");
        AppendEncodedXMLText(out, Long);
        out += QStringLiteral("</lt>\r\n") + indent + QStringLiteral("  <kt>");
        AppendEncodedXMLText(out, Short);
        out += QStringLiteral("</kt>\r\n") + indent +
               QStringLiteral("  <minfo orab=\"-1\" eksp=\"-1\" />\r\n") + indent +
               QStringLiteral("  <mindb>");
        AppendEncodedXMLText(out, Periods);
        out += QStringLiteral("</mindb>\r\n") + indent + QStringLiteral("  <katrefs>\r\n");
        for (const TDoubleString &r : Refs) {
            out += indent + QStringLiteral("    <katref key=\"");
            AppendEncodedXMLText(out, r.Key);
            out += QStringLiteral("\" val=\"");
            AppendEncodedXMLText(out, r.Value);
            out += QStringLiteral("\"/>\r\n");
        }
        out += indent + QStringLiteral("  </katrefs>\r\n") + indent +
               QStringLiteral("</lagerartikel>\r\n");
    }
};

void fill(TBenchArticle &a)
{
    for (int i = 0; i < 9; ++i)
        a.Values[i] = 0.125 * (i + 1);
    for (int i = 0; i < 5; ++i)
        a.Prices[i] = Money::fromRaw(123456 + i * 1111);
    a.Long = QStringLiteral("Kupferrohr halbhart, 15 x 1 mm, Stange 5 m\r\nnach DVGW GW 392 "
                            "& EN 1057, f\u00fcr Trinkwasser- und Heizungsinstallation");
    a.Short = QStringLiteral("Kupferrohr 15x1 <5 m>");
    a.Periods = QStringLiteral("<from>0101</from><to>1406</to><mb>10</mb><bm>20</bm>\r\n"
                               "<from>1506</from><to>3112</to><mb>5</mb><bm>10</bm>\r\n");
    a.Refs.Add(QStringLiteral("DATANORM-WIEDEMANN"), QStringLiteral("CU15-5"));
    a.Refs.Add(QStringLiteral("[1002_1]"), QStringLiteral("Wiedemann GmbH, Hamburg"));
}

void BM_ReadArticleText(benchmark::State &state)
{
    FormatSettings::current() = FormatSettings::german();
    TBenchArticle source;
    fill(source);
    const QString text = source.GetXMLFragment(true, QString());
    TBenchArticle target;
    for (auto _ : state) {
        target.LoadFromXMLText(text);
        benchmark::DoNotOptimize(target.Prices[0]);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_ReadArticleText);

void BM_WriteArticleText(benchmark::State &state)
{
    FormatSettings::current() = FormatSettings::german();
    TBenchArticle source;
    fill(source);
    QString text;
    for (auto _ : state) {
        source.GetXMLText(true, text);
        benchmark::DoNotOptimize(text.size());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteArticleText);
} // namespace

BENCHMARK_MAIN();
