#include "stock/ui/lagerartikellieferantenpage.h"

#include "stock/lagerserverobj.h"

TLagerArtikelLieferantenPage::TLagerArtikelLieferantenPage(const TLagerArtikelEditContext &context,
                                                           QWidget *parent)
    : QWidget(parent), m_context(context)
{
}

TLagerArtikelLieferantenPage::~TLagerArtikelLieferantenPage() = default;

void TLagerArtikelLieferantenPage::ShowArticle(TLagerServerObj *) {}

void TLagerArtikelLieferantenPage::Clear() {}

void TLagerArtikelLieferantenPage::StoreArticle(TLagerServerObj &) const {}

void TLagerArtikelLieferantenPage::addSupplier() {}
void TLagerArtikelLieferantenPage::addSupplierWithOrderNumber() {}
void TLagerArtikelLieferantenPage::removeSelected() {}
void TLagerArtikelLieferantenPage::makeStandard() {}
