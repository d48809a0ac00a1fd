// A 2,000-page stock list rendered by MOD00003's renderer into a PDF, against the same text
// runs drawn straight onto a QPdfWriter at positions known in advance. The difference is what
// our layout costs: measuring rows, flowing them over pages, the form and the header.
#include "bench/benchmain.h"
#include "persistence/datetime.h"
#include "printing/layoutsetmanager.h"
#include "printing/printarealayoutscore.h"
#include "printing/printdocument.h"
#include "printing/printdocumentrenderer.h"
#include "printing/printforms.h"
#include "tools/suitegen/printformgenerator.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kPages = 2000;

struct StockListDocument {
    QTemporaryDir dir;
    TPrintForms forms;
    TPrintDocument document;
    int rowsPerPage = 0;
    StockListDocument()
    {
        QString error;
        if (!GeneratePrintForms(dir.path(), &error))
            qFatal("%s", qPrintable(error));
        forms.LoadFromFile(TPrintForms::FileNameIn(dir.path()));
        // One page first, to learn how many rows the form holds.
        rowsPerPage = RowsOnFirstPage();
        Write(rowsPerPage * kPages);
    }

    void Write(int rows)
    {
        TLayoutsetManager sets;
        sets.Load(dir.path(), u"01"_s, u"002"_s);
        auto job = TPrintAreaLayoutsCore::Create(sets, dir.path(), u"01"_s, u"Lagerliste"_s);
        job->FormatMoney = [](double v) { return QString::number(v, 'f', 2); };
        int article = 0;
        job->Main[0].Values = [&](const QString &name, TPrintValue &v) {
            if (name == u"$1001014" || name == u"$1001104")
                return v.Amount = 10 + article % 97, int(pvAmount);
            v.Text = name == u"$1001002" ? u"Kugelhahn Messing %1 Zoll"_s.arg(article % 4 + 1)
                                         : u"A%1"_s.arg(article);
            return int(pvText);
        };
        const QString file = dir.filePath(u"DRUCK.XML"_s);
        job->OpenDocument(file);
        job->WriteHead();
        job->WritePageSet();
        job->WritePageParameters();
        job->WritePageNumber(u"1"_s);
        job->SetPrintAreaHeader(true);
        for (article = 0; article < rows; ++article)
            job->OutputArea(job->Main[0]);
        job->CloseDocument();
        document.LoadFromFile(file);
    }

    int RowsOnFirstPage()
    {
        for (int rows = 20;; rows += 1) {
            Write(rows);
            QPdfWriter writer(u"/dev/null"_s);
            writer.setResolution(600);
            TPrintDocumentRenderer renderer(document, forms, dir.path());
            if (renderer.Render(writer) > 1)
                return rows - 1;
        }
    }
};

StockListDocument &doc()
{
    static StockListDocument d;
    return d;
}

void BM_print_document_pdf_Ours(benchmark::State &state)
{
    StockListDocument &d = doc();
    int pages = 0;
    for (auto _ : state) {
        QPdfWriter writer(u"/dev/null"_s);
        writer.setResolution(600);
        TPrintDocumentRenderer renderer(d.document, d.forms, d.dir.path());
        pages = renderer.Render(writer);
    }
    state.counters["pages"] = pages;
}

// The same runs at precomputed places: header, page texts and one text per cell.
void BM_print_document_pdf_Reference(benchmark::State &state)
{
    StockListDocument &d = doc();
    const TPrintForm &form = *d.forms.Find(d.document.Form1);
    const TPrintFormPrintArea &area = *form.PrintArea;
    QFont font(area.Font);
    font.setPixelSize(qRound(area.FontSize * 254.0 / 72.0));
    for (auto _ : state) {
        QPdfWriter writer(u"/dev/null"_s);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF());
        QPainter p(&writer);
        p.setWindow(0, 0, 2100, 2970);
        p.setViewport(0, 0, writer.width(), writer.height());
        const int line = QFontMetrics(font).height();
        size_t item = 1; // the header switch
        for (int page = 0; page < kPages; ++page) {
            if (page > 0) {
                writer.newPage();
                p.setWindow(0, 0, 2100, 2970);
                p.setViewport(0, 0, writer.width(), writer.height());
            }
            p.setFont(font);
            for (const auto &e : form.Elements)
                p.drawText(QRect(e->Left, e->Top, e->Width, e->Height), 0, e->Name);
            int x = area.Left;
            for (const auto &c : d.document.HeaderColumns) {
                p.drawText(QRect(x, area.Top, c.Width, line), 0, c.Caption);
                x += c.Width;
            }
            int y = area.Top + line + area.HdMarginBottom;
            for (int r = 0; r < d.rowsPerPage && item < d.document.Items.size(); ++r, ++item) {
                x = area.Left;
                for (const auto &c : d.document.Items[item].columns) {
                    p.drawText(
                        QRect(x + c.MarginLeft, y, c.Width - c.MarginLeft - c.MarginRight, line), 0,
                        c.Rows.front().Text);
                    x += c.Width;
                }
                y += line;
            }
        }
    }
}
} // namespace

BENCHMARK(BM_print_document_pdf_Ours)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_print_document_pdf_Reference)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
