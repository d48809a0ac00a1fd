// MOD00003 renders what a list print writes: a generated installation, its stock-list layout
// set, and the PDF read back with pdftotext.
#include "persistence/datetime.h"
#include "printing/layoutsetmanager.h"
#include "printing/printarealayoutscore.h"
#include "printing/printdocument.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 150; // three portrait pages of the demo form

class PrintProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString built = QCoreApplication::applicationDirPath() + u"/../bin"_s;
        ASSERT_TRUE(QFileInfo::exists(built + u"/MOD00003"_s))
            << "MOD00003 has not been built next to the test program";
        ASSERT_TRUE(generateInstallation(m_dir.path(), {}, built));
    }

    QString forms() const { return m_dir.filePath(u"DATA/DEMO/ETC/FORMS/de_DE"_s); }

    // The stock list as the list print writes it: header on for the rows, off for the totals.
    QString writeStockList()
    {
        TLayoutsetManager sets;
        sets.Load(forms(), u"01"_s, u"002"_s);
        auto job = TPrintAreaLayoutsCore::Create(sets, forms(), u"01"_s, u"Lagerliste"_s);
        EXPECT_TRUE(job);
        if (!job)
            return {};
        job->PrintDateTime = DateTime::fromQDateTime(QDateTime(QDate(2026, 3, 1), QTime(9, 30)));
        job->Title = u"Lagerliste"_s;
        job->SetPageParameter(u"$NameLang$"_s, u"Muster Haustechnik GmbH"_s);
        job->SetPageParameter(u"$Betreff$"_s, u"Artikelgruppe: SAN"_s);
        job->FormatMoney = [](double v) { return QString::number(v, 'f', 2); };
        int article = 0;
        job->Main[0].Values = [&](const QString &name, TPrintValue &v) {
            if (name == u"$1001000")
                v.Text = u"A%1"_s.arg(article, 4, 10, QChar(u'0'));
            else if (name == u"$1001002")
                v.Text = u"Artikel Nummer %1"_s.arg(article);
            else if (name == u"$1001014" || name == u"$1001104")
                return v.Amount = 10, int(pvAmount);
            else
                v.Text = u"x"_s;
            return int(pvText);
        };
        job->Foot[0].Values = [](const QString &name, TPrintValue &v) {
            if (name == u"$100102")
                return v.Integer = kArticles, int(pvInteger);
            return v.Amount = 1500, int(pvAmount);
        };
        const QString file = m_dir.filePath(u"USR/LAGER/TMP/DRUCK.$$$"_s);
        EXPECT_TRUE(job->OpenDocument(file));
        job->WriteHead();
        job->WritePageSet();
        job->WritePageParameters();
        job->WritePageNumber(u"1"_s);
        job->SetPrintAreaHeader(true);
        for (article = 1; article <= kArticles; ++article)
            job->OutputArea(job->Main[0]);
        job->SetPrintAreaHeader(false);
        job->WriteSeparatorLine();
        job->OutputArea(job->Foot[0]);
        EXPECT_TRUE(job->CloseDocument());
        return file;
    }

    // Exit code of MOD00003 writing pdf; its messages in output.
    int render(const QString &document, const QString &pdf, QString *output = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(m_dir.filePath(u"BIN/MOD00003"_s),
                PrintProgramArguments(u"DEMO"_s, u"LAGER"_s, document, 0) << u"--pdf"_s << pdf);
        EXPECT_TRUE(p.waitForFinished(120000));
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return p.exitCode();
    }

    static QString pageText(const QString &pdf, int page)
    {
        QProcess p;
        p.start(u"pdftotext"_s, {u"-layout"_s, u"-f"_s, QString::number(page), u"-l"_s,
                                 QString::number(page), pdf, u"-"_s});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QTemporaryDir m_dir;
};
} // namespace

TEST_F(PrintProgram, RendersAStockListOnThreePagesWithRepeatedHeader)
{
    const QString document = writeStockList();
    const QString pdf = m_dir.filePath(u"liste.pdf"_s);
    QString output;
    ASSERT_EQ(render(document, pdf, &output), 0) << output.toStdString();
    EXPECT_FALSE(output.contains(u"Spalte"_s)) << output.toStdString(); // the demo columns fit

    int article = 1;
    for (int page = 1; page <= 3; ++page) {
        const QString text = pageText(pdf, page);
        SCOPED_TRACE(page);
        EXPECT_TRUE(text.contains(u"Artikel-Nr."_s)) << text.toStdString();
        EXPECT_TRUE(text.contains(u"Muster Haustechnik GmbH"_s));
        EXPECT_TRUE(text.contains(u"01.03.2026"_s));
        EXPECT_TRUE(text.contains(QRegularExpression(u"\\n\\s*%1\\s*(\\n|$)"_s.arg(page))))
            << "page number";
        // Rows in order, each on the page it flowed onto.
        const int first = article;
        while (article <= kArticles && text.contains(u"A%1"_s.arg(article, 4, 10, QChar(u'0'))))
            ++article;
        EXPECT_GT(article, first) << "no rows on this page";
    }
    EXPECT_EQ(article, kArticles + 1) << "rows missing from the three pages";
    EXPECT_TRUE(pageText(pdf, 3).contains(u"Anzahl Artikel: 150"_s));
    EXPECT_TRUE(pageText(pdf, 4).trimmed().isEmpty());
}

TEST_F(PrintProgram, BadDocumentsGiveAMessageAndNoPdf)
{
    const QString good = writeStockList();
    const QByteArray bytes = TestDocuments::fileBytes(good);
    const struct {
        const char *name;
        QByteArray content;
        const char *message;
    } cases[] = {
        {"truncated", bytes.left(bytes.size() / 2), "fehlerhaft"},
        {"not xml", "%PDF-1.4 kein XML", "fehlerhaft"},
        {"other root",
         TestDocuments::utf16File(TestDocuments::withDeclaration(u"<forms />"_s).mid(1)),
         "keine Druckdatei"},
        {"unknown element",
         TestDocuments::utf16File(
             TestDocuments::withDeclaration(u"<printpreview><bild /></printpreview>"_s).mid(1)),
         "unbekannte Element"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = m_dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(TestDocuments::writeFile(file, c.content));
        QString output;
        EXPECT_EQ(render(file, file + u".pdf"_s, &output), 2);
        EXPECT_TRUE(output.contains(QString::fromLatin1(c.message))) << output.toStdString();
        EXPECT_FALSE(QFileInfo::exists(file + u".pdf"_s));
    }
    // A missing picture is named, and the rest of the document still prints.
    const QString picture =
        TestDocuments::withDeclaration(
            u"<printpreview>\r\n<parow><col w=\"500\"><row rct=\"IMG\" rctid=\"/fehlt.png\"></row>"
            "<row>danach</row></col></parow>\r\n</printpreview>"_s)
            .mid(1);
    const QString file = m_dir.filePath(u"bild.xml"_s);
    ASSERT_TRUE(TestDocuments::writeFile(file, TestDocuments::utf16File(picture)));
    QString output;
    EXPECT_EQ(render(file, file + u".pdf"_s, &output), 0);
    // The program runs translated; the German rendering quotes differently.
    EXPECT_TRUE(output.contains(u"Fehler beim Laden des Bildes"_s) &&
                output.contains(u"/fehlt.png"_s))
        << output.toStdString();
    EXPECT_TRUE(pageText(file + u".pdf"_s, 1).contains(u"danach"_s));
}
