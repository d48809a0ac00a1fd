// The print program's reader and layout in process: what the writer's golden document reads
// back as, and how areas flow over the pages of two different forms.
#include "printing/printdocument.h"
#include "printing/printdocumentrenderer.h"
#include "printing/printforms.h"
#include "tests/support/documents.h"

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
    EXPECT_EQ(doc.Title, u"Lagerliste & Bewertung"_s);
    EXPECT_EQ(doc.PdfDirectory, u"/home/pdf"_s);
    EXPECT_EQ(doc.Form2, u"Liste Hoch"_s);
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
