// The print program: its reader and layout in process (what the writer's golden document reads
// back as, how areas flow over the pages of two different forms), then MOD00003 itself.
#include "printing/printarealayoutscore.h"
#include "printing/printdocument.h"
#include "printing/printdocumentrenderer.h"
#include "printing/printforms.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
void readBody(TDBXMLCoreObject &obj, const QString &body)
{
    TestDocuments::read(obj, TestDocuments::utf16File(TestDocuments::withDeclaration(body).mid(1)));
}

// First page on a portrait A4 form, the others on a landscape A5 form whose area is
// narrower than the header's columns.
void readForms(TPrintForms &forms)
{
    readBody(forms, QString::fromUtf8(TestDocuments::golden("printing", "renderer_forms.xml")));
}

// The text of one page of a PDF.
QString pdfPage(const QString &pdf, int n)
{
    QProcess p;
    p.start(u"pdftotext"_s,
            {u"-f"_s, QString::number(n), u"-l"_s, QString::number(n), pdf, u"-"_s});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString area(const QString &text, bool newPage = false)
{
    return u"<parow mt=\"10\"%1><col w=\"600\"><row>%2</row></col></parow>"_s.arg(
        newPage ? u" np=\"1\""_s : QString(), text);
}
} // namespace

TEST(PrintRenderer, GoldenDocumentReadsBack)
{
    TPrintDocument doc;
    readBody(doc, QString::fromUtf8(TestDocuments::golden("printing", "printdocument.xml")));
    ASSERT_EQ(doc.Problem(), QString());
    EXPECT_EQ((QStringList{doc.Title, doc.PdfDirectory, doc.Form2}),
              (QStringList{u"Lagerliste & Bewertung"_s, u"/home/pdf"_s, u"Liste Hoch"_s}));
    ASSERT_EQ(doc.HeaderColumns.size(), 3u);
    EXPECT_EQ(doc.HeaderColumns[1].Align, TPrintAlign::Block);
    ASSERT_EQ(doc.PageParameters.size(), 4u);
    EXPECT_EQ(doc.PageParameters[1].second, u"Zweite <Zeile>"_s);
    // Head area, header on, two rows, header off, line, totals.
    ASSERT_EQ(doc.Items.size(), 7u);
    EXPECT_TRUE(doc.Items[1].headerOn);
    EXPECT_TRUE(doc.Items[3].newPage);
    EXPECT_EQ(doc.Items[5].kind, TPrintDocument::Item::Line);
    const TPrintDocument::Row &picture = doc.Items[2].columns[0].Rows[1];
    EXPECT_EQ(picture.ContentType, u"IMG"_s);
    EXPECT_FALSE(picture.StretchImage);
    const TPrintDocument::Row &barcode = doc.Items[2].columns[2].Rows[2];
    EXPECT_TRUE(barcode.Layout.AsBarcode);
    EXPECT_EQ(barcode.Layout.BarcodeHeight, 80);
    EXPECT_EQ(barcode.Text, u"4711"_s);
}

TEST(PrintRenderer, AreasFlowOverFormsAndColumnsAreChecked)
{
    TPrintForms forms;
    readForms(forms);
    QString body = u"<printpreview><pageset form1=\"Erste\" form2=\"Folge\" />"
                   "<headercol w=\"600\" cap=\"Nummer\" /><headercol w=\"900\" cap=\"Text\" />"
                   "<headercol w=\"1200\" cap=\"Breit\" /><pagenr val=\"7\" />"
                   "<printpaheader enabled=\"-1\" />"_s;
    for (int i = 1; i <= 40; ++i)
        body += area(u"Zeile %1"_s.arg(i), i == 40);
    body += u"</printpreview>"_s;
    TPrintDocument doc;
    readBody(doc, body);
    ASSERT_EQ(doc.Problem(), QString());

    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"r.pdf"_s);
    int pages = 0;
    QStringList warnings;
    {
        QPdfWriter writer(pdf);
        TPrintDocumentRenderer renderer(doc, forms, dir.path());
        pages = renderer.Render(writer);
        warnings = renderer.Warnings();
    }
    EXPECT_EQ(
        warnings,
        (QStringList{
            u"Die Spalte Breit passt nicht mehr auf den Druckbereich des Formulares Erste."_s,
            u"Die Spalte Text ist breiter als der verfuegbare Druckbereich des Formulares Folge."_s,
            u"Die Spalte Breit ist breiter als der verfuegbare Druckbereich des Formulares Folge."_s}));
    ASSERT_GE(pages, 3);
    const QString first = pdfPage(pdf, 1), second = pdfPage(pdf, 2), last = pdfPage(pdf, pages);
    EXPECT_TRUE(first.contains(u"Nummer"_s) && first.contains(u"Zeile 1\n"_s));
    EXPECT_TRUE(first.contains(u"7"_s)); // page numbers start where the document says
    // The follow-up form does not repeat the header.
    EXPECT_FALSE(second.contains(u"Nummer"_s));
    EXPECT_TRUE(second.contains(u"8"_s));
    // An area asking for a new page starts one, alone.
    EXPECT_EQ(last.trimmed().split(u'\n').filter(u"Zeile"_s), QStringList{u"Zeile 40"_s});
    EXPECT_FALSE(pdfPage(pdf, pages - 1).contains(u"Zeile 40"_s));
}

namespace
{
QStringList g_qtWarnings;
void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg)
        g_qtWarnings << text;
}
} // namespace

// The preview draws onto a QPrinter, which complains about every page layout set while it
// prints. On pages of one form the header comes again after each break, and no row is lost or
// doubled where a page ends.
TEST(PrintRenderer, PagesOfOneFormRepeatTheHeaderAndLeaveThePrintersLayoutAlone)
{
    TPrintForms forms;
    readForms(forms);
    QString body = u"<printpreview><pageset form1=\"Erste\" form2=\"Erste\" />"
                   "<headercol w=\"600\" cap=\"Nummer\" /><printpaheader enabled=\"-1\" />"_s;
    QStringList rows;
    for (int i = 1; i <= 30; ++i) {
        rows << u"Zeile %1"_s.arg(i);
        body += area(rows.last());
    }
    TPrintDocument doc;
    readBody(doc, body + u"</printpreview>"_s);
    ASSERT_EQ(doc.Problem(), QString());

    QTemporaryDir dir;
    QPrinter printer;
    QPrintPreviewWidget preview(&printer);
    int pages = 0;
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [&](QPrinter *p) {
        TPrintDocumentRenderer renderer(doc, forms, dir.path());
        pages = renderer.Render(*p);
    });
    g_qtWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    preview.updatePreview();
    qInstallMessageHandler(previous);
    EXPECT_GE(pages, 3);
    EXPECT_TRUE(g_qtWarnings.isEmpty()) << qPrintable(g_qtWarnings.join(u'\n'));

    const QString pdf = dir.filePath(u"r.pdf"_s);
    {
        QPdfWriter writer(pdf);
        EXPECT_EQ(TPrintDocumentRenderer(doc, forms, dir.path()).Render(writer), pages);
    }
    QStringList printed;
    for (int n = 1; n <= pages; ++n) {
        const QString text = pdfPage(pdf, n);
        EXPECT_TRUE(text.contains(u"Nummer"_s)) << "page " << n;
        for (const QString &line : text.split(u'\n'))
            if (line.startsWith(u"Zeile"_s))
                printed << line.trimmed();
    }
    EXPECT_EQ(printed, rows);
}

// MOD00003 in a generated installation: which documents it refuses with which exit code, and
// the PDF of one it prints, read back with pdftotext. How the pages flow is the renderer's
// test; a stock list rendered through to its totals is the command line's.
namespace
{
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

    QTemporaryDir m_dir;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
};
} // namespace

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
    QProcess text;
    text.start(u"pdftotext"_s, {m_dir.filePath(u"picture.pdf"_s), u"-"_s});
    text.waitForFinished(60000);
    EXPECT_TRUE(text.readAllStandardOutput().contains("danach"));
}
