// "Lager drucken" over 100,000 generated articles: the print run up to the closed print
// document, against a bare scan of LAGER that parses every article's XML with expat and
// writes a file of the document's size. The PDF of that document is timed on its own: it is
// the print program's work, not the module's.
#include "bench/benchdata.h"
#include "bench/benchmain.h"
#include "bench/quietinteraction.h"
#include "printing/lagerdruck.h"
#include "printing/printdocument.h"
#include "printing/printdocumentrenderer.h"
#include "printing/printforms.h"
#include "stock/modlagerdbserverobj.h"
#include "tools/suitegen/printformgenerator.h"
#include "tools/suitegen/suitegenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <expat.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 100000;

struct Setup {
    QString stockDir;
    QTemporaryDir forms;
    QString document;
    Setup()
    {
        stockDir = KeptStock(BenchDataRoot() + u"/stock-%1"_s.arg(kArticles), kArticles);
        QString error;
        if (!GeneratePrintForms(forms.path(), &error))
            qFatal("%s", qPrintable(error));
        document = forms.filePath(u"LAGER.XML"_s);
    }
};

Setup &setup()
{
    static Setup s;
    return s;
}

void BM_stocklist_print_Ours(benchmark::State &state)
{
    Setup &s = setup();
    IModLagerDBServerObj db;
    db.Open(s.stockDir);
    TLagerDruck::Environment env;
    env.FormsDir = s.forms.path();
    env.Values.currencyText = u"EUR"_s;
    TLagerDruckAuswahl choice;
    choice.Form = u"Lagerliste Hochformat"_s;
    choice.LayoutSet = u"Lagerliste"_s;
    choice.Date = QDate(2026, 3, 1);
    int printed = 0;
    for (auto _ : state) {
        TLagerDruck run(db, env);
        if (run.WriteDocument(choice, s.document).isEmpty())
            qFatal("no document");
        printed = run.PrintedArticles();
    }
    state.counters["articles"] = printed;
    state.counters["MB"] = double(QFileInfo(s.document).size()) / 1e6;
}

void BM_stocklist_print_Reference(benchmark::State &state)
{
    Setup &s = setup();
    const qint64 size = QFileInfo(s.document).size();
    if (size == 0)
        qFatal("run the Ours benchmark first: the reference writes as much as it did");
    sqlite3 *db = nullptr;
    const QByteArray path = (s.stockDir + u"/LAGER.DAT"_s).toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        qFatal("cannot open %s", path.constData());
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT \"LagerArtikelNr\", \"XMLDATA\" FROM \"LAGER\" ORDER BY "
                       "\"LagerArtikelNr\", rowid",
                       -1, &stmt, nullptr);
    const QString out = s.forms.filePath(u"REFERENCE.XML"_s);
    qint64 parsed = 0;
    for (auto _ : state) {
        QFile file(out);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write");
        const QByteArray perRow(int(size / kArticles), 'x');
        parsed = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            XML_Parser parser = XML_ParserCreate("UTF-16LE");
            const void *xml = sqlite3_column_text16(stmt, 1);
            const int bytes = sqlite3_column_bytes16(stmt, 1);
            if (XML_Parse(parser, static_cast<const char *>(xml), bytes, 1) == XML_STATUS_OK)
                ++parsed;
            XML_ParserFree(parser);
            file.write(perRow);
        }
        sqlite3_reset(stmt);
        file.write(QByteArray(int(size % kArticles), 'x'));
    }
    state.counters["parsed"] = double(parsed);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

// Not a pair: how long the print program takes for the same document.
void BM_stocklist_print_pdf(benchmark::State &state)
{
    Setup &s = setup();
    TPrintForms forms;
    forms.LoadFromFile(TPrintForms::FileNameIn(s.forms.path()));
    TPrintDocument document;
    document.LoadFromFile(s.document);
    int pages = 0;
    for (auto _ : state) {
        QPdfWriter writer(u"/dev/null"_s);
        writer.setResolution(600);
        TPrintDocumentRenderer renderer(document, forms, s.forms.path());
        pages = renderer.Render(writer);
    }
    state.counters["pages"] = pages;
}
} // namespace

BENCHMARK(BM_stocklist_print_Ours)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_stocklist_print_Reference)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_stocklist_print_pdf)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QuietInteraction quiet;
    ScopedInteraction scope(&quiet);
    return RunBenchmarks(argc, argv);
}
