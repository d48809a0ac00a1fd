// What the companion and the import take from outside, checked without starting a process:
// amounts at the edge of the money range and article numbers no one could type again. The
// process tests check once that a refusal reaches the script.
#include "stock/inputchecks.h"
#include "stock/lagerartikeljson.h"
#include "stock/lagercsv.h"
#include "stock/lagerserverobj.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ArticleInput, AmountsOutsideTheMoneyRangeAreRefused)
{
    const struct {
        const char *json;
        bool valid;
    } cases[] = {
        {R"({"EKPreis": 1e15})", false},   // once stored as -922337203685477.58
        {R"({"VKPreis1": 1e300})", false}, // once stored as 0
        {R"({"Lohn": -1e15})", false},
        {R"({"EKProKg": 922337203685477.5})", false},
        {R"({"VKPreis5": 922337203685477})", true}, // the largest amount, exact
    };
    for (const auto &c : cases) {
        const QJsonObject doc = QJsonDocument::fromJson(c.json).object();
        TLagerArtikelDaten a;
        QStringList errors;
        EXPECT_EQ(LagerArtikelJson::FromJson(doc, a, errors), c.valid) << c.json;
        if (c.valid)
            EXPECT_EQ(LagerArtikelJson::ToJson(a)[doc.begin().key()], doc.begin().value());
        else
            EXPECT_TRUE(errors.join(u'\n').contains(u'"' + doc.begin().key() + u"\": "_s))
                << qPrintable(errors.join(u'\n'));
    }
}

// Such an article could be written but never named again in a command or a search.
TEST(ArticleInput, NumbersWithControlCharactersAreRefused)
{
    for (const QString &nr :
         {u"A\u0000B"_s, u"ZEILE\nUMBRUCH"_s, u"TAB\tX"_s, u"A\u2028B"_s, u"X\xD800"_s})
        EXPECT_TRUE(InputChecks::ArticleNumberProblem(nr).contains(u"Steuerzeichen"_s))
            << qPrintable(InputChecks::Echo(nr));
    EXPECT_EQ(InputChecks::ArticleNumberProblem(u"Rohr \U0001F600 7"_s), QString());

    TLagerCsvImport import;
    EXPECT_FALSE(import.Read(u"Artikel-Nr.;Bezeichnung\r\nA\u0000B;x\r\n"_s.toUtf8()));
    EXPECT_EQ(import.Errors(),
              QStringList{u"Zeile 2: Die Artikel-Nr. \"A\\x00B\" enthaelt Steuerzeichen."_s});
}

// A million bad cells once gave 45 MB of messages.
TEST(ArticleInput, ImportErrorsAreCutToTheFirstHundredAndEchoesShortened)
{
    QString rows = u"Artikel-Nr.;EK-Preis\r\n"_s;
    for (int i = 0; i < 150; ++i)
        rows += u"R%1;"_s.arg(i) + QString(5000, u'9') + u"x\r\n"_s;
    TLagerCsvImport import;
    EXPECT_FALSE(import.Read(rows.toUtf8()));
    const QStringList errors = import.Errors();
    ASSERT_EQ(errors.size(), 101);
    EXPECT_TRUE(errors[99].startsWith(u"Zeile 101: "_s)) << qPrintable(errors[99]);
    EXPECT_EQ(errors[100], u"... und 50 weitere Fehler."_s);
    EXPECT_LT(errors.join(u'\n').size(), 20000) << "echoed cells are cut";
}
