#include "stock/ui/lagerartikelbilderpage.h"

#include "stock/lagerserverobj.h"

TLagerArtikelBilderPage::TLagerArtikelBilderPage(const TLagerArtikelEditContext &context,
                                                 QWidget *parent)
    : QWidget(parent), m_context(context)
{
}

TLagerArtikelBilderPage::~TLagerArtikelBilderPage() = default;

void TLagerArtikelBilderPage::ShowArticle(TLagerServerObj *) {}

void TLagerArtikelBilderPage::Clear() {}

void TLagerArtikelBilderPage::StoreArticle(TLagerServerObj &) const {}

void TLagerArtikelBilderPage::addPicture() {}
void TLagerArtikelBilderPage::removeSelected() {}
void TLagerArtikelBilderPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}
