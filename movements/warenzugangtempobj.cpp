#include "movements/warenzugangtempobj.h"

#include "persistence/databasestorebase.h"
#include "persistence/dateischutz.h"

TWarenzugangTempObj::TWarenzugangTempObj(QString nr) : LagerArtikelNr(std::move(nr)) {}

TWarenzugangTempObj::~TWarenzugangTempObj()
{
    TDatabaseStoreBase::Unlock(Lock);
}

TWarenzugangTempObj *TWarenzugangTempObjObjectList::Find(const QString &nr, bool create)
{
    for (const auto &item : m_items) {
        if (item->LagerArtikelNr == nr)
            return item.get();
    }
    if (!create)
        return nullptr;
    m_items.push_back(std::make_unique<TWarenzugangTempObj>(nr));
    return m_items.back().get();
}

void TWarenzugangTempObjObjectList::Remove(const QString &nr)
{
    std::erase_if(m_items, [&nr](const auto &item) { return item->LagerArtikelNr == nr; });
}
