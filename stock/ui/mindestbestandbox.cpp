#include "stock/ui/mindestbestandbox.h"

#include "stock/lagerserverobj.h"

TMindestbestandBox::TMindestbestandBox(const TLagerArtikelEditContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
}

TMindestbestandBox::~TMindestbestandBox() = default;

void TMindestbestandBox::ShowArticle(TLagerServerObj *) {}

void TMindestbestandBox::Clear() {}

void TMindestbestandBox::StoreArticle(TLagerServerObj &) const {}
