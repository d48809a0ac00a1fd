#include "printing/ui/mod00317frame1.h"

#include "base/translation.h"
#include "printing/etikettendrucker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QVBoxLayout>

TMOD00317Frame1::TMOD00317Frame1(QWidget *parent)
    : QWidget(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("TMOD00317Frame1"));
    m_printer->setFullPage(true);
    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setObjectName(QStringLiteral("PrintPreview"));
    m_cbMode = new QComboBox(this);
    m_cbMode->setObjectName(QStringLiteral("cbSeiten"));
    m_cbMode->addItems({tx("Aktuelle Seite"), tx("Seitenvorschau")});
    m_cbZoom = new QComboBox(this);
    m_cbZoom->setObjectName(QStringLiteral("cbZoom"));
    m_cbZoom->addItems({tx("50 %"), tx("100 %"), tx("150 %"), tx("200 %"), tx("Seitenbreite"),
                        tx("Seitenhoehe"), tx("Ganze Seite")});
    auto *bar = new QHBoxLayout;
    bar->addWidget(m_cbMode);
    bar->addWidget(m_cbZoom);
    bar->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(m_preview, 1);

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        if (m_pages && m_pages->PageCount() > 0)
            PaintPages(*printer, *m_pages, 1, m_pages->PageCount());
    });
    connect(m_cbMode, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_preview->setViewMode(index == 0 ? QPrintPreviewWidget::SinglePageView
                                          : QPrintPreviewWidget::AllPagesView);
    });
    connect(m_cbZoom, &QComboBox::currentIndexChanged, this, &TMOD00317Frame1::SetZoomIndex);
    SetZoomIndex(6);
}

TMOD00317Frame1::~TMOD00317Frame1() = default;

void TMOD00317Frame1::SetPages(const TEtikettendrucker *printer)
{
    m_pages = printer;
    if (printer)
        m_printer->setPageLayout(printer->PageLayout());
    m_preview->updatePreview();
}

void TMOD00317Frame1::SetZoomIndex(int index)
{
    index = std::clamp(index, 0, 6);
    if (m_cbZoom->currentIndex() != index) {
        m_cbZoom->setCurrentIndex(index); // comes back here through the signal
        return;
    }
    static const double kFactors[] = {0.5, 1.0, 1.5, 2.0};
    if (index < 4)
        m_preview->setZoomFactor(kFactors[index]);
    else if (index == 4)
        m_preview->fitToWidth();
    else
        m_preview->fitInView(); // a page's full height is what fits the view
}

int TMOD00317Frame1::ZoomIndex() const
{
    return m_cbZoom->currentIndex();
}

int TMOD00317Frame1::CurrentPage() const
{
    return m_preview->currentPage();
}

void TMOD00317Frame1::PaintPages(QPrinter &printer, const TEtikettendrucker &pages, int from,
                                 int to)
{
    printer.setFullPage(true);
    printer.setPageLayout(pages.PageLayout());
    QPainter painter(&printer);
    for (int page = std::max(1, from); page <= std::min(to, pages.PageCount()); ++page) {
        if (page > std::max(1, from))
            printer.newPage();
        pages.ReplayPage(painter, page - 1);
    }
}
