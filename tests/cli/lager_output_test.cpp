// What the companion writes where: help and errors on their streams, the stored XML text in an
// encoding XML tools accept, counts in the form their number needs, and dates readable as
// ISO 8601 without giving up the exact day numbers.
#include "base/translation.h"
#include "stock/lagerartikeljson.h"
#include "tests/cli/lagerprogram.h"

#include <QDate>
#include <QJsonArray>
#include <ctime>
#include <expat.h>

using namespace Qt::StringLiterals;

namespace
{

class LagerOutput : public LagerProgram
{
protected:
    void SetUp() override { generate(5); }
};

// Empty when expat, as any XML tool would, takes the bytes as a well-formed document.
QString xmlError(const QByteArray &bytes)
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    const bool ok = XML_Parse(parser, bytes.constData(), int(bytes.size()), 1) == XML_STATUS_OK;
    const char *error = ok ? "" : XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    return QString::fromUtf8(error);
}

TEST_F(LagerOutput, HelpAndErrorsGoWhereScriptsLookForThem)
{
    const struct {
        QStringList args;
        int exitCode;          // 0: the usage text on standard output
        const char *errorText; // on standard error; null: nothing there
    } cases[] = {
        {{u"--help"_s}, 0, nullptr},
        {{u"DEMO"_s, u"ADMIN"_s, u"-h"_s}, 0, nullptr},
        {{u"DEMO"_s, u"ADMIN"_s, u"zeigen"_s}, 1, "Aufruf: lager"},
        {{u""_s, u"ADMIN"_s, u"list"_s}, 2, "Der Mandant fehlt."},
        {{u"DEMO"_s, u"  "_s, u"list"_s}, 2, "Der Benutzer fehlt."},
        {{u"DEMO"_s, u"NIEMAND"_s, u"list"_s}, 2, "\"NIEMAND\" wurde nicht"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(u' ')));
        const Outcome run = this->run(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out.left(13), c.exitCode == 0 ? "Aufruf: lager" : "");
        EXPECT_TRUE(c.errorText ? run.err.contains(QString::fromUtf8(c.errorText))
                                : run.err.isEmpty())
            << qPrintable(run.err);
        // the report's trailer names the program for log files, not for a terminal
        EXPECT_FALSE(run.err.contains(u"Application:"_s));
    }
}

TEST_F(LagerOutput, StoredXmlComesOutInAnEncodingItsDeclarationNames)
{
    TLagerArtikelDaten a;
    a.LagerArtikelNr = u"XML-1"_s;
    // Words of the declaration inside the article must stay as they are.
    a.Bezeichnung = u"Kugelhahn Messing ½\" für UTF-16 encoding=\"UTF-16\""_s;
    a.Kurztext = u"Grüße & <Maße>"_s;
    writeArticles(stockDir(), {a.LagerArtikelNr}, [&](TLagerServerObj &o) { o.Assign(a); });
    const QString text = storedXml(u"XML-1"_s);
    ASSERT_TRUE(text.startsWith(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>"_s));

    // byte for byte the stored text, mark included
    const QByteArray utf16 = expect(0, words(u"article get XML-1 --format xml"_s)).out;
    EXPECT_EQ(utf16, TestDocuments::utf16(text));
    EXPECT_EQ(xmlError(utf16), QString());

    const QByteArray utf8 = expect(0, words(u"article get XML-1 --format xml-utf8"_s)).out;
    EXPECT_EQ(xmlError(utf8), QString());
    QString expected = text.mid(1);
    expected.replace(0, expected.indexOf(u"?>"), u"<?xml version=\"1.0\" encoding=\"UTF-8\""_s);
    EXPECT_EQ(QString::fromUtf8(utf8), expected);
}

// The program's own import summary uses the singular too (see the partial import test).
TEST(LagerCounts, CountsTakeTheFormTheirNumberNeeds)
{
    for (const qint64 n : {-1, 0, 1, 2, 11, 100000})
        EXPECT_EQ(txn("%s Feld", "%s Felder", n), n == 1 || n == -1 ? u"%s Feld"_s : u"%s Felder"_s)
            << n;
}

// Day numbers and their ISO texts; the one at 02:30 on 29 March 2026 does not exist as local
// time in Berlin, where the tests run, and must still come out as written.
double day(int y, int m, int d, int msOfDay)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d))) + msOfDay / 86400000.0;
}

// An article whose creation and one extra value of the kind carry the day number.
TLagerArtikelDaten dated(double value, quint8 kind = TDsnElement::DateAndTime)
{
    TLagerArtikelDaten a;
    a.Created = value;
    TDsnElement &e = a.Zusatzdaten.Add();
    e.Name = u"Geprueft"_s;
    e.Kind = kind;
    e.FloatValue = value;
    return a;
}

TEST(LagerArtikelJsonDates, IsoTextsStandBesideTheDayNumbers)
{
    const struct {
        double value;
        const char *iso;
    } cases[] = {
        {0, "1899-12-30T00:00:00"},
        {day(2026, 3, 29, 9000000), "2026-03-29T02:30:00"},
        {day(2026, 10, 25, 9000000), "2026-10-25T02:30:00"},
        {day(2024, 2, 29, 86399999), "2024-02-29T23:59:59.999"},
        {45123.123456789, "2023-07-16T02:57:46.667"},
        {-1.25, "1899-12-29T06:00:00"},
    };
    const QByteArray zone = qgetenv("TZ");
    for (const char *tz : {"Europe/Berlin", "America/Los_Angeles", "Asia/Kolkata"}) {
        qputenv("TZ", tz);
        tzset();
        for (const auto &c : cases) {
            const QJsonObject o = LagerArtikelJson::ToJson(dated(c.value));
            const QString iso = QString::fromLatin1(c.iso);
            EXPECT_EQ(o[u"CreatedIso"_s].toString(), iso) << tz;
            EXPECT_EQ(o[u"Zusatzdaten"_s][0][u"iso"_s].toString(), iso);
            // Only the text given, the day number comes back from it; with both, the number,
            // which the text rounds to milliseconds, is kept exactly.
            TLagerArtikelDaten fromIso, fromBoth;
            QStringList errors;
            ASSERT_TRUE(LagerArtikelJson::FromJson({{u"CreatedIso"_s, iso}}, fromIso, errors) &&
                        LagerArtikelJson::FromJson(o, fromBoth, errors))
                << qPrintable(errors.join(u'\n'));
            EXPECT_NEAR(fromIso.Created, c.value, 0.5 / 86400000) << c.iso; // half a millisecond
            EXPECT_EQ(fromBoth.Created, c.value);
            EXPECT_EQ(fromBoth.Zusatzdaten.Item(0).FloatValue, c.value);
        }
    }
    qputenv("TZ", zone);
    tzset();
    for (const auto &[kind, value, iso] : {std::tuple{TDsnElement::Date, 45123.75, "2023-07-16"},
                                           std::tuple{TDsnElement::Time, 0.75, "18:00:00"}})
        EXPECT_EQ(LagerArtikelJson::ToJson(dated(value, kind))[u"Zusatzdaten"_s][0][u"iso"_s],
                  QString::fromLatin1(iso));
}

TEST(LagerArtikelJsonDates, TextsThatNameNoLocalReadingOrContradictTheNumberAreRefused)
{
    const struct {
        const char *json;
        const char *named; // in the error; null: taken, with this day number
        double value = 0;
    } cases[] = {
        {R"({"CreatedIso": "2026-12-06T09:35:02Z"})", "CreatedIso"},
        {R"({"CreatedIso": "2026-12-06T09:35:02+01:00"})", "CreatedIso"},
        {R"({"ChangedIso": "2026-02-30T10:00:00"})", "ChangedIso"},
        {R"({"ChangedIso": 46000})", "ChangedIso"},
        {R"({"Created": 46000.5, "CreatedIso": "2025-12-09T12:00:01"})", "CreatedIso"},
        {R"({"Zusatzdaten": [{"name": "Termin", "type": 4, "iso": "06.12.2026"}]})", "Termin"},
        {R"({"Zusatzdaten": [{"name": "Uhr", "type": 5, "iso": "2026-12-06T10:00"}]})", "Uhr"},
        {R"({"Zusatzdaten": [{"name": "Ab", "type": 6, "value": 1, "iso": "1900-01-01"}]})", "Ab"},
        // Agreeing to the millisecond is agreeing: 46000.5 is 2025-12-09 12:00.
        {R"({"Created": 46000.5, "CreatedIso": "2025-12-09T12:00:00.000"})", nullptr, 46000.5},
        {R"({"Zusatzdaten": [{"name": "Termin", "type": 4, "iso": "2026-12-06"}]})", nullptr,
         day(2026, 12, 6, 0)},
    };
    for (const auto &c : cases) {
        TLagerArtikelDaten a;
        QStringList errors;
        EXPECT_EQ(LagerArtikelJson::FromJson(QJsonDocument::fromJson(c.json).object(), a, errors),
                  !c.named)
            << c.json;
        if (c.named)
            EXPECT_TRUE(errors.join(u'\n').contains(QString::fromLatin1(c.named)))
                << c.json << qPrintable(errors.join(u'\n'));
        else
            EXPECT_EQ(a.Zusatzdaten.Count() ? a.Zusatzdaten.Item(0).FloatValue : a.Created,
                      c.value);
    }
}

} // namespace
