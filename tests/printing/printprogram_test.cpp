// MOD00003 renders what the stock list's print run writes: a generated installation, its
// stock-list layout set, and the PDF read back with pdftotext.
#include "printing/lagerdruck.h"
#include "printing/printarealayoutscore.h"
#include "printing/printdocument.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"

#include <QCoreApplication>
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

    // The stock list as the list print writes it, one unit of each article at 10.
    QString writeStockList()
    {
        IModLagerDBServerObj db;
        db.Open(m_dir.filePath(u"LAGER"_s));
        for (int i = 1; i <= kArticles; ++i) {
            TLagerServerObj a;
            a.LagerArtikelNr = u"A%1"_s.arg(i, 4, 10, QChar(u'0'));
            a.Bezeichnung = u"Artikel Nummer %1"_s.arg(i);
            a.BuchungsBestand = 1;
            a.EKPreis = Money::fromUnits(10);
            EXPECT_EQ(db.WriteArticle(&a), 0);
        }
        TLagerDruck::Environment env;
        env.FormsDir = forms();
        env.TmpDir = m_dir.path();
        env.UserFullName = u"Muster Haustechnik GmbH"_s;
        env.Clock = [] { return QTime(9, 30); };
        TLagerDruckAuswahl choice;
        choice.Form = u"Lagerliste Hochformat"_s;
        choice.LayoutSet = u"Lagerliste"_s;
        choice.Date = QDate(2026, 3, 1);
        return TLagerDruck(db, env).WriteDocument(choice);
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
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
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
    const auto document = [](const QString &body) {
        return TestDocuments::utf16File(TestDocuments::withDeclaration(body).mid(1));
    };
    const QByteArray good =
        document(QString::fromUtf8(TestDocuments::golden("printing", "printdocument.xml")));
    const struct {
        const char *name;
        QByteArray content;
        QStringList messages;
    } cases[] = {
        {"truncated", good.left(good.size() / 2), {u"fehlerhaft"_s}},
        {"not xml", "%PDF-1.4 kein XML", {u"fehlerhaft"_s}},
        {"other root", document(u"<forms />"_s), {u"keine Druckdatei"_s}},
        {"unknown element",
         document(u"<printpreview><bild /></printpreview>"_s),
         {u"unbekannte Element"_s}},
        // A missing picture is named, and the rest of the document still prints. The program
        // runs translated; the German rendering quotes the name differently.
        {"picture",
         document(u"<printpreview>\r\n<parow><col w=\"500\"><row rct=\"IMG\" "
                  u"rctid=\"/fehlt.png\"></row><row>danach</row></col></parow>\r\n"
                  u"</printpreview>"_s),
         {u"Fehler beim Laden des Bildes"_s, u"/fehlt.png"_s}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = m_dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(TestDocuments::writeFile(file, c.content));
        QString output;
        const bool printed = c.name == std::string("picture");
        EXPECT_EQ(render(file, file + u".pdf"_s, &output), printed ? 0 : 2);
        for (const QString &message : c.messages)
            EXPECT_TRUE(output.contains(message)) << output.toStdString();
        EXPECT_EQ(QFileInfo::exists(file + u".pdf"_s), printed);
    }
    EXPECT_TRUE(pageText(m_dir.filePath(u"picture.pdf"_s), 1).contains(u"danach"_s));
}
