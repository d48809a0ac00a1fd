// 1,000 shelf labels of the demo's A4 sheet (24 per sheet, 42 sheets) printed into a PDF: the
// labels filled, drawn once into page recordings and replayed into the PDF, against the same
// labels drawn straight into the PDF. The difference is what the recording costs, which the
// preview and every copy win back.
#include "bench/benchmain.h"
#include "printing/barcode/barcodeencoder.h"
#include "printing/etikettendrucker.h"
#include "printing/etiketthelperlager.h"
#include "printing/etikettpainter.h"
#include "printing/printetikettmanager.h"
#include "stock/lagerserverobj.h"
#include "tools/suitegen/labelgenerator.h"
#include "tools/suitegen/stockassortment.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kLabels = 1000;
const QString kSheet = u"A4 3 x 8 Regaletiketten 70 x 37 mm"_s;

std::vector<TLagerArtikelDaten> articles()
{
    std::vector<TLagerArtikelDaten> list(kLabels);
    for (int i = 0; i < kLabels; ++i) {
        TLagerArtikelDaten &a = list[size_t(i)];
        a.LagerArtikelNr = u"ART%1"_s.arg(100000 + i);
        a.Bezeichnung = u"Kugelhahn Messing %1 Zoll, Flachdichtung"_s.arg(i % 4 + 1);
        a.EAN = StockAssortment::Ean13(u"4012%1"_s.arg(i, 8, 10, QLatin1Char('0')));
        a.MwStSatz = 1;
        a.VKPreis[0] = Money::fromUnits(10 + i % 300);
    }
    return list;
}

TEtikettHelperLager::Settings settings()
{
    TEtikettHelperLager::Settings s;
    s.vatRate = [](int) { return 19.0; };
    s.formatMoney = [](Money m) { return QString::number(m.toDouble(), 'f', 2); };
    return s;
}

struct LabelFile {
    QTemporaryDir dir;
    TPrintEtikettManager labels;
    LabelFile()
    {
        QString error;
        if (!GenerateLabelFile(dir.path(), &error))
            qFatal("%s", qPrintable(error));
        labels.LoadFromFile(TPrintEtikettManager::FileNameIn(dir.path()));
    }
};

void BM_label_pdf_Ours(benchmark::State &state)
{
    LabelFile file;
    const auto list = articles();
    const TEtikettHelperLager helper(settings());
    int pages = 0;
    double encodeSeconds = 0, totalSeconds = 0, recordSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer total;
        total.start();
        TEtikettendrucker printer;
        printer.Print(file.labels, *file.labels.FindForm(kSheet), kLabels, helper.Callback(list));
        recordSeconds += total.nsecsElapsed() / 1e9;
        QString error;
        if (!printer.WritePdf(u"/dev/null"_s, 1, &error))
            qFatal("%s", qPrintable(error));
        pages = printer.PageCount();
        totalSeconds += total.nsecsElapsed() / 1e9;
        // The encoding alone, for its share: the same two symbols per label.
        state.PauseTiming();
        QElapsedTimer encode;
        encode.start();
        for (const TLagerArtikelDaten &a : list) {
            benchmark::DoNotOptimize(EncodeBarcode(14, a.EAN));
            benchmark::DoNotOptimize(EncodeBarcode(6, a.LagerArtikelNr));
        }
        encodeSeconds += encode.nsecsElapsed() / 1e9;
        state.ResumeTiming();
    }
    state.counters["sheets"] = pages;
    state.counters["ms_per_sheet"] = totalSeconds * 1000 / double(state.iterations()) / pages;
    state.counters["recording_share_pct"] = 100 * recordSeconds / totalSeconds;
    state.counters["encoding_share_pct"] = 100 * encodeSeconds / totalSeconds;
}
BENCHMARK(BM_label_pdf_Ours)->Unit(benchmark::kMillisecond);

void BM_label_pdf_Reference(benchmark::State &state)
{
    LabelFile file;
    const auto list = articles();
    const TEtikettHelperLager helper(settings());
    TPrintEtikettForm &form = *file.labels.FindForm(kSheet);
    for (auto _ : state) {
        QPdfWriter writer(u"/dev/null"_s);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF());
        writer.setResolution(TEtikettendrucker::kDpi);
        QPainter p(&writer);
        QStringList errors;
        size_t next = 0;
        while (next < list.size()) {
            if (next > 0)
                writer.newPage();
            for (TPrintEtikettHolder &h : form.Holders) {
                if (next >= list.size())
                    break;
                TPrintEtikett &etikett = *file.labels.Resolve(h);
                etikett.Left = h.Left;
                etikett.Top = h.Top;
                helper.Fill(etikett, list[next++]);
                TEtikettPainter(p, TEtikettendrucker::kDpi).Draw(etikett, errors);
            }
        }
    }
}
BENCHMARK(BM_label_pdf_Reference)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
