// What the companion writes where: help and errors on their streams, the stored XML text in an
// encoding XML tools accept, counts in the form their number needs, and dates readable as
// ISO 8601 without giving up the exact day numbers.
#include "base/translation.h"
#include "stock/lagerartikeljson.h"
#include "tests/cli/lagerprogram.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <ctime>
#include <expat.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

class LagerOutput : public LagerProgram
{
protected:
    void SetUp() override { generate(5); }
};

// Whether expat, as any XML tool would, takes the bytes as a well-formed document.
bool wellFormed(const QByteArray &bytes, QString *message)
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    const bool ok = XML_Parse(parser, bytes.constData(), int(bytes.size()), 1) == XML_STATUS_OK;
    if (!ok)
        *message = QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser)));
    XML_ParserFree(parser);
    return ok;
}

TEST_F(LagerOutput, HelpAndErrorsGoWhereScriptsLookForThem)
{
    const struct {
        QStringList args;
        int exitCode;
        bool outputExpected;   // on standard output
        const char *errorText; // on standard error; null: nothing there
    } cases[] = {
        {{u"--help"_s}, 0, true, nullptr},
        {{u"DEMO"_s, u"ADMIN"_s, u"-h"_s}, 0, true, nullptr},
        {{}, 1, false, "Aufruf: lager"},
        {{u"DEMO"_s, u"ADMIN"_s, u"zeigen"_s}, 1, false, "Aufruf: lager"},
        {{u"DEMO"_s, u"ADMIN"_s, u"list"_s, u"--format"_s, u"xls"_s}, 1, false, "xls"},
        {{u""_s, u"ADMIN"_s, u"list"_s}, 2, false, "Der Mandant fehlt."},
        {{u"DEMO"_s, u"  "_s, u"list"_s}, 2, false, "Der Benutzer fehlt."},
        {{u"DEMO"_s, u"NIEMAND"_s, u"list"_s}, 2, false, "\"NIEMAND\" wurde nicht"},
    };
    for (const auto &c : cases) {
        const Outcome run = this->run(c.args);
        const QString label = c.args.join(u' ');
        EXPECT_EQ(run.exitCode, c.exitCode) << qPrintable(label);
        EXPECT_EQ(!run.out.isEmpty(), c.outputExpected) << qPrintable(label);
        if (c.outputExpected) {
            EXPECT_TRUE(run.out.startsWith("Aufruf: lager")) << qPrintable(label);
        }
        if (c.errorText) {
            EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.errorText)))
                << qPrintable(label) << qPrintable(run.err);
        } else {
            EXPECT_TRUE(run.err.isEmpty()) << qPrintable(label) << qPrintable(run.err);
        }
        // the report's trailer names the program for log files, not for a terminal
        EXPECT_FALSE(run.err.contains(u"Application:"_s)) << qPrintable(label);
    }
}

TEST_F(LagerOutput, StoredXmlComesOutInAnEncodingItsDeclarationNames)
{
    TLagerArtikelDaten a;
    a.LagerArtikelNr = u"XML-1"_s;
    // Words of the declaration inside the article must stay as they are.
    a.Bezeichnung = u"Kugelhahn Messing ½\" für UTF-16 encoding=\"UTF-16\""_s;
    a.Kurztext = u"Grüße & <Maße>"_s;
    writeArticle(a);
    const QString text = storedXml(u"XML-1"_s);
    ASSERT_TRUE(text.startsWith(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>"_s));

    const Outcome utf16 = expect(0, {u"article"_s, u"get"_s, u"XML-1"_s, u"--format"_s, u"xml"_s});
    ASSERT_TRUE(utf16.out.startsWith("\xFF\xFE<\0?\0x\0m\0l\0"_ba));
    QString message;
    EXPECT_TRUE(wellFormed(utf16.out, &message)) << qPrintable(message);
    // byte for byte the stored text, mark included (x86 is little-endian)
    EXPECT_EQ(utf16.out, QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));

    const Outcome utf8 =
        expect(0, {u"article"_s, u"get"_s, u"XML-1"_s, u"--format"_s, u"xml-utf8"_s});
    EXPECT_TRUE(utf8.out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<lagerartikel"));
    EXPECT_TRUE(wellFormed(utf8.out, &message)) << qPrintable(message);
    QString expected = text.mid(1);
    expected.replace(0, expected.indexOf(u"?>"), u"<?xml version=\"1.0\" encoding=\"UTF-8\""_s);
    EXPECT_EQ(QString::fromUtf8(utf8.out), expected);
}

// The program's own import summary uses the singular too (see the partial import test).
TEST(LagerCounts, CountsTakeTheFormTheirNumberNeeds)
{
    EXPECT_EQ(txn("%s Feld", "%s Felder", 1), u"%s Feld"_s);
    for (const qint64 n : {0, 2, 11, 100000})
        EXPECT_EQ(txn("%s Feld", "%s Felder", n), u"%s Felder"_s) << n;
    EXPECT_EQ(txn("%s Feld", "%s Felder", -1), u"%s Feld"_s);
}

// Day numbers and their ISO texts; the one at 02:30 on 29 March 2026 does not exist as local
// time in Berlin, where the tests run, and must still come out as written.
double day(int y, int m, int d, int msOfDay)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d))) + msOfDay / 86400000.0;
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
            TLagerArtikelDaten a;
            a.Created = c.value;
            TDsnElement e;
            e.Name = u"Geprueft"_s;
            e.Kind = TDsnElement::DateAndTime;
            e.FloatValue = c.value;
            a.Zusatzdaten.Add(e);
            const QJsonObject o = LagerArtikelJson::ToJson(a);
            EXPECT_EQ(o[u"CreatedIso"_s].toString(), QString::fromLatin1(c.iso)) << tz;
            EXPECT_EQ(o[u"Zusatzdaten"_s][0][u"iso"_s].toString(), QString::fromLatin1(c.iso));

            // Only the text given: the day number comes back from it.
            QJsonObject onlyIso{{u"CreatedIso"_s, o[u"CreatedIso"_s]}};
            TLagerArtikelDaten back;
            QStringList errors;
            ASSERT_TRUE(LagerArtikelJson::FromJson(onlyIso, back, errors))
                << qPrintable(errors.join(u'\n'));
            EXPECT_NEAR(back.Created, c.value, 0.5 / 86400000) << c.iso; // half a millisecond
            // Both given: the number, which the text rounds to milliseconds, is kept exactly.
            back = {};
            ASSERT_TRUE(LagerArtikelJson::FromJson(o, back, errors));
            EXPECT_EQ(back.Created, c.value);
            EXPECT_EQ(back.Zusatzdaten.Item(0).FloatValue, c.value);
        }
    }
    qputenv("TZ", zone);
    tzset();

    TLagerArtikelDaten a;
    for (const auto &[kind, value, iso] : {std::tuple{TDsnElement::Date, 45123.75, "2023-07-16"},
                                           std::tuple{TDsnElement::Time, 0.75, "18:00:00"}}) {
        TDsnElement e;
        e.Kind = kind;
        e.FloatValue = value;
        a.Zusatzdaten.Add(e);
        const QJsonObject o = LagerArtikelJson::ToJson(a);
        EXPECT_EQ(o[u"Zusatzdaten"_s].toArray().last()[u"iso"_s].toString(),
                  QString::fromLatin1(iso));
    }
}

TEST(LagerArtikelJsonDates, TextsThatNameNoLocalReadingOrContradictTheNumberAreRefused)
{
    const struct {
        const char *json;
        const char *named; // in the error
    } cases[] = {
        {R"({"CreatedIso": "2026-12-06T09:35:02Z"})", "CreatedIso"},
        {R"({"CreatedIso": "2026-12-06T09:35:02+01:00"})", "CreatedIso"},
        {R"({"ChangedIso": "2026-02-30T10:00:00"})", "ChangedIso"},
        {R"({"ChangedIso": 46000})", "ChangedIso"},
        {R"({"Created": 46000.5, "CreatedIso": "2025-12-09T12:00:01"})", "CreatedIso"},
        {R"({"Zusatzdaten": [{"name": "Termin", "type": 4, "iso": "06.12.2026"}]})", "Termin"},
        {R"({"Zusatzdaten": [{"name": "Uhr", "type": 5, "iso": "2026-12-06T10:00"}]})", "Uhr"},
        {R"({"Zusatzdaten": [{"name": "Ab", "type": 6, "value": 1, "iso": "1900-01-01"}]})", "Ab"},
    };
    for (const auto &c : cases) {
        TLagerArtikelDaten a;
        QStringList errors;
        EXPECT_FALSE(LagerArtikelJson::FromJson(
            QJsonDocument::fromJson(QByteArray(c.json)).object(), a, errors))
            << c.json;
        EXPECT_TRUE(errors.join(u'\n').contains(QString::fromLatin1(c.named)))
            << c.json << qPrintable(errors.join(u'\n'));
    }
    // Agreeing to the millisecond is agreeing: 46000.5 is 2025-12-09 12:00.
    TLagerArtikelDaten a;
    QStringList errors;
    EXPECT_TRUE(LagerArtikelJson::FromJson(
        QJsonDocument::fromJson(
            R"({"Created": 46000.5, "CreatedIso": "2025-12-09T12:00:00.000",
                "Zusatzdaten": [{"name": "Termin", "type": 4, "iso": "2026-12-06"}]})")
            .object(),
        a, errors))
        << qPrintable(errors.join(u'\n'));
    EXPECT_EQ(a.Created, 46000.5);
    EXPECT_EQ(a.Zusatzdaten.Item(0).FloatValue, day(2026, 12, 6, 0));
}

} // namespace
