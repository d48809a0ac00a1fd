#include "stock/ui/lagerartikelframe1.h"

#include "app/base/translation.h"
#include "app/systemeinstellungen.h"
#include "stock/lagerserverobj.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace
{
TArtikelPreisRechner::Settings calcSettings(const TLagerArtikelEditContext &context)
{
    TArtikelPreisRechner::Settings s;
    if (context.settings) {
        s.salePriceIsGross = context.settings->SalePriceIsGross;
        s.fourDecimals = context.settings->FullCurrency;
    }
    return s;
}
} // namespace

TLagerArtikelFrame1::TLagerArtikelFrame1(const TLagerArtikelEditContext &context, QWidget *parent)
    : QFrame(parent), m_context(context), m_calc(calcSettings(context))
{
    auto *layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pcArtikel"));
    const std::pair<const char *, const char *> pages[] = {
        {"tsPreise", txNoop("Preise")},           {"tsZusatzdaten", txNoop("Zusatzdaten")},
        {"tsLieferanten", txNoop("Lieferanten")}, {"tsInventur", txNoop("Inventur")},
        {"tsEinheiten", txNoop("Einheiten")},     {"tsBilder", txNoop("Bilder")},
        {"tsSonstiges", txNoop("Sonstiges")}};
    for (const auto &[name, title] : pages) {
        auto *page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        m_pages->addTab(page, tx(title));
    }
    layout->addWidget(m_pages);
}

TLagerArtikelFrame1::~TLagerArtikelFrame1() = default;

void TLagerArtikelFrame1::ShowArticle(TLagerServerObj *article)
{
    m_article = article;
}

void TLagerArtikelFrame1::StoreArticle(TLagerServerObj &) {}

void TLagerArtikelFrame1::Clear()
{
    m_article = nullptr;
}

void TLagerArtikelFrame1::SetArticleNumberReadOnly(bool) {}

QString TLagerArtikelFrame1::ArticleNumberText() const
{
    return {};
}

bool TLagerArtikelFrame1::HasVatClass() const
{
    return true;
}

void TLagerArtikelFrame1::FocusArticleNumber() {}

void TLagerArtikelFrame1::FocusVatClass()
{
    m_pages->setCurrentIndex(0);
}
