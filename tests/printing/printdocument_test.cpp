// The print document a list print hands to MOD00003, from the layout files in
// tests/printing/data/layouts.
#include "base/formatsettings.h"
#include "persistence/datetime.h"
#include "printing/layoutsetmanager.h"
#include "printing/printarealayoutscore.h"
#include "printing/rowtextformat.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
const QString kLayouts = QStringLiteral(STOCK_TESTS_DIR "/printing/data/layouts");

// The first line: ReportMessage appends the program's name below the text.
QStringList messageTexts(const ScriptedInteraction &ui)
{
    QStringList texts;
    for (const auto &m : ui.messages)
        texts << m.text.section(u'\n', 0, 0);
    return texts;
}

std::unique_ptr<TPrintAreaLayoutsCore> stockListJob(ScriptedInteraction &ui)
{
    TLayoutsetManager sets;
    sets.Load(kLayouts, u"01"_s, u"002"_s);
    ScopedInteraction scope(&ui);
    auto job = TPrintAreaLayoutsCore::Create(sets, kLayouts, u"01"_s, u"  Lagerliste "_s);
    if (job)
        job->FormatMoney = [](double v) { return FormatRowText(u"%.2n EUR"_s, {TRowAmount{v}}); };
    return job;
}

// Values of one stock row; the second article is a rich-text row without picture.
int articleValue(int article, const QString &name, TPrintValue &v)
{
    if (name == u"Nr")
        return v.Text = article == 0 ? u"4711"_s : u"0815 \"B\""_s, pvText;
    if (name == u"Gruppe")
        return v.Text = u"SAN"_s, pvText;
    if (name == u"Text")
        return v.Text = u"Ventil <DN 15>"_s, pvText;
    if (name == u"Menge")
        return v.Integer = 12, pvInteger;
    if (name == u"Preis")
        return v.Amount = 1234.5, pvAmount;
    if (name == u"Aktiv")
        return v.Boolean = article == 0, pvBoolean | 0x80; // high bits are the caller's own
    if (name == u"Bild") {
        if (article != 0)
            return pvNone;
        v.ImagePath = u"/bilder/4711.png"_s;
        return pvImage;
    }
    if (name == u"Langtext") {
        v.RichText = u"<p><b>fett</b></p>"_s;
        v.RichTextParam = u"1038"_s;
        return pvRichText;
    }
    return pvNone;
}
} // namespace

TEST(PrintDocument, JobWithTwoAreasMatchesGoldenDocument)
{
    ScriptedInteraction ui;
    auto job = stockListJob(ui);
    ASSERT_TRUE(job);
    // The set names a missing area; the job exists without it and says which one.
    EXPECT_EQ(messageTexts(ui),
              QStringList{u"Druckbereichslayout \"Fehlt ($1009000)\" nicht gefunden."_s});
    ASSERT_EQ(job->Foot.size(), 2u);
    EXPECT_EQ(TPrintAreaLayoutsCore::FindArea(job->Foot, u"$1009000"_s, 1), &job->Foot[1]);
    EXPECT_EQ(TPrintAreaLayoutsCore::FindArea(job->Foot, u"$1009000"_s, 2), nullptr);

    job->DocType = u"LAGERLISTE"_s;
    job->Title = u"Lagerliste & Bewertung"_s;
    job->PdfFileName = u"lagerliste.pdf"_s;
    job->PdfDirectory = u"/home/pdf"_s;
    job->UsedFormFile = 1;
    job->PrintDateTime = DateTime::fromQDateTime(QDateTime(QDate(2026, 3, 1), QTime(14, 5, 9)));
    job->SetPageParameter(u"$Betreff$"_s, u"Inventur   "_s);
    job->SetPageParameter(u"$Betreff$"_s, u"Zweite <Zeile>"_s);
    int serialCount = 0;
    job->TargetCounter = [&](const QString &t) { return t == u"$Seriennummern" ? serialCount : 0; };
    job->Question = [](const QString &, bool preset) { return preset; };

    TPrintAreaLayoutsCore::SetValueCallback(job->Head[0], [](const QString &n, TPrintValue &v) {
        v.Text = n == u"Titel" ? u"Lagerliste"_s : u"Muster GmbH"_s;
        return int(pvText);
    });
    int article = 0;
    TPrintAreaLayoutsCore::SetValueCallback(job->Main[0], [&](const QString &n, TPrintValue &v) {
        return articleValue(article, n, v);
    });
    TPrintAreaLayoutsCore::SetValueCallback(job->Foot[0], [](const QString &n, TPrintValue &v) {
        if (n == u"Summe")
            return v.Amount = -1234567.891, int(pvAmount);
        return int(pvNone); // "Anzahl" left unresolved
    });

    QTemporaryDir tmp;
    const QString file = tmp.filePath(u"DRUCK.XML"_s);
    ASSERT_TRUE(job->OpenDocument(file));
    job->WriteHead();
    job->WritePageSet();
    job->WritePageParameters();
    job->WritePageNumber(u"1"_s);
    job->OutputArea(job->Head[0]);
    job->SetPrintAreaHeader(true);
    job->OutputArea(job->Main[0]);
    article = 1;
    serialCount = 2;
    job->OutputArea(job->Main[0], true);
    job->SetPrintAreaHeader(false);
    job->WriteSeparatorLine();
    job->OutputArea(job->Foot[0]);
    EXPECT_TRUE(job->CloseDocument());

    const QByteArray bytes = TestDocuments::fileBytes(file);
    ASSERT_EQ(bytes.size() % 2, 0);
    const QString text = TestDocuments::fromUtf16(bytes);
    const QString declaration = TestDocuments::withDeclaration({});
    ASSERT_TRUE(text.startsWith(declaration));
    // Boolean pictures come from the forms directory, which lies wherever the sources do.
    TestDocuments::expectGoldenText("printing", "printdocument.xml",
                                    text.mid(declaration.size()).replace(kLayouts, u"$FORMS"_s));
}

TEST(PrintDocument, MissingLayoutsAndUnwritableDocumentAreReported)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    TLayoutsetManager sets;
    sets.Load(kLayouts, u"01"_s, {});
    EXPECT_EQ(TPrintAreaLayoutsCore::Create(sets, kLayouts, u"01"_s, u"Gibt es nicht"_s), nullptr);
    EXPECT_TRUE(ui.messages.isEmpty());

    auto job = TPrintAreaLayoutsCore::Create(sets, kLayouts, u"01"_s, u"Ohne Kopf"_s);
    ASSERT_TRUE(job);
    EXPECT_FALSE(job->HeaderLayout);
    EXPECT_EQ(messageTexts(ui), QStringList{u"Druckbereichslayout \"Nirgends\" nicht gefunden."_s});

    QTemporaryDir tmp;
    EXPECT_FALSE(job->OpenDocument(tmp.filePath(u"fehlt/DRUCK.XML"_s)));
    EXPECT_EQ(messageTexts(ui).last(), u"Druckdatei kann nicht geschrieben werden !"_s);
    EXPECT_FALSE(job->CloseDocument());
}

TEST(PrintDocument, RowPatterns)
{
    const auto money = [](double v) { return u"M"_s + QString::number(v); };
    const struct {
        QString pattern;
        std::vector<TRowArgument> args;
        QString expected;
    } cases[] = {
        // clang-format off
        {u"%s|%-6s|%6s|%.3s"_s, {u"a"_s, u"bc"_s, u"de"_s, u"fghij"_s}, u"a|bc    |    de|fgh"_s},
        {u"%d|%5d|%.4d|%d"_s, {qint64(-7), qint64(42), qint64(-3), TRowAmount{2.5}},
         u"-7|   42|-0003|3"_s},
        {u"%f|%.1f|%.0f|%f"_s, {TRowAmount{1.005}, qint64(3), TRowAmount{-0.4}, TRowAmount{-0.001}},
         u"1,00|3,0|0|0,00"_s},
        {u"%n|%.0n|%12.3n"_s, {TRowAmount{1234567.891}, TRowAmount{-999999.6}, TRowAmount{1000}},
         u"1.234.567,89|-1.000.000|   1.000,000"_s},
        {u"%m / %.1m / %s"_s, {TRowAmount{12.5}, TRowAmount{12.25}, TRowAmount{3}}, u"M12.5 / 12,3 / M3"_s},
        // clang-format on
        // Fewer values than placeholders is what a stopped row gives: the rest prints empty.
        {u"%s-%d-%m-%5s."_s, {u"x"_s}, u"x---."_s},
        {u"100%% %q %"_s, {}, u"100% %q %"_s},
        {u"%d"_s, {u"kein Wert"_s}, u"kein Wert"_s},
        {u"%99999999999s|"_s, {u"x"_s}, QString(999, u' ') + u"x|"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatRowText(c.pattern, c.args, money), c.expected) << c.pattern.toStdString();
}

TEST(PrintDocument, PrintProgramArgumentsAndAMissingProgram)
{
    const struct {
        QString document;
        int mode;
        QStringList tail;
    } cases[] = {
        {u"/tmp/DRUCK.XML"_s, 2, {u"2"_s}},
        {u"/tmp/DRUCK.XML"_s, 5, {u"0"_s}},
        {u"C:\\X.CONTAINER\\DRUCK.XML"_s, 1, {u"1"_s, u"-CONTAINER"_s}},
        {u"/u/X.CONTAINER/DRUCK.XML"_s, 0, {u"0"_s, u"-CONTAINER"_s}},
        {u"/u/X.CONTAINERS/DRUCK.XML"_s, 1, {u"1"_s}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PrintProgramArguments(u"DEMO"_s, u"MEIER"_s, c.document, c.mode),
                  QStringList({u"DEMO"_s, u"MEIER"_s, c.document}) + c.tail);

    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    TLayoutsetManager sets;
    sets.Load(kLayouts, u"01"_s, {});
    auto job = TPrintAreaLayoutsCore::Create(sets, kLayouts, u"01"_s, u"Ohne Sektion"_s);
    ASSERT_TRUE(job);
    EXPECT_FALSE(job->StartPrintProgram(u"/nirgends/BIN/MOD00003"_s, u"DEMO"_s, 1));
    EXPECT_EQ(messageTexts(ui).last(),
              u"Kann die angegebene Datei nicht finden: /nirgends/BIN/MOD00003"_s);
}
