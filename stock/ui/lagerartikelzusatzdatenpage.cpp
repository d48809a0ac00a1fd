#include "stock/ui/lagerartikelzusatzdatenpage.h"

#include "stock/lagerserverobj.h"

TLagerArtikelZusatzdatenPage::TLagerArtikelZusatzdatenPage(const TLagerArtikelEditContext &context,
                                                           QWidget *parent)
    : QWidget(parent), m_context(context)
{
}

TLagerArtikelZusatzdatenPage::~TLagerArtikelZusatzdatenPage() = default;

void TLagerArtikelZusatzdatenPage::ShowArticle(TLagerServerObj *) {}

void TLagerArtikelZusatzdatenPage::Clear() {}

void TLagerArtikelZusatzdatenPage::StoreArticle(TLagerServerObj &) const {}
