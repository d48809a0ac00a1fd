#include "catalogs/katalogdbclipboard.h"

#include "catalogs/katalog1artikel.h"
#include "catalogs/katalog2artikel.h"

namespace
{
// The entry as one of the two catalog articles; both null for any other class.
struct Entry {
    const TKatalog1Artikel *a1;
    const TKatalog2Artikel *a2;
};

Entry resolve(const TDBXMLCoreObject &entry)
{
    return {dynamic_cast<const TKatalog1Artikel *>(&entry),
            dynamic_cast<const TKatalog2Artikel *>(&entry)};
}

QString numberOf(const TDBXMLCoreObject &entry)
{
    const Entry e = resolve(entry);
    return e.a1 ? e.a1->ArtikelNr : e.a2 ? e.a2->ArtikelNr : QString();
}
} // namespace

TKatalogDBClipBoard::TKatalogDBClipBoard() = default;
TKatalogDBClipBoard::~TKatalogDBClipBoard() = default;

qsizetype TKatalogDBClipBoard::Add(std::unique_ptr<TDBXMLCoreObject> article)
{
    m_items.push_back(std::move(article));
    return Count() - 1;
}

bool TKatalogDBClipBoard::AddIfNew(std::unique_ptr<TDBXMLCoreObject> article)
{
    if (Contains(numberOf(*article)))
        return false;
    Add(std::move(article));
    return true;
}

void TKatalogDBClipBoard::Delete(qsizetype index)
{
    m_items.erase(m_items.begin() + index);
}

void TKatalogDBClipBoard::Clear()
{
    m_items.clear();
}

bool TKatalogDBClipBoard::Contains(const QString &artikelNr) const
{
    if (artikelNr.isEmpty())
        return false;
    for (const auto &item : m_items)
        if (numberOf(*item) == artikelNr)
            return true;
    return false;
}

QString TKatalogDBClipBoard::ArtikelNr(qsizetype index) const
{
    return numberOf(Item(index));
}

QString TKatalogDBClipBoard::KatalogName(qsizetype index) const
{
    const Entry e = resolve(Item(index));
    return e.a1 ? e.a1->Katalog : e.a2 ? e.a2->Katalog : QString();
}

QString TKatalogDBClipBoard::Text(qsizetype index) const
{
    const Entry e = resolve(Item(index));
    return e.a1 ? e.a1->Kurzzeilen() : e.a2 ? e.a2->Kurztext : QString();
}

std::unique_ptr<TKatalogDBClipBoardMergeObj>
TKatalogDBClipBoard::MergeObj(qsizetype index, const TKatalogPreisEinstellungen &settings) const
{
    const Entry e = resolve(Item(index));
    if (!e.a1 && !e.a2)
        return nullptr;
    auto merge = std::make_unique<TKatalogDBClipBoardMergeObj>();
    if (e.a1)
        merge->LoadFrom(*e.a1, settings);
    else
        merge->LoadFrom(*e.a2, settings);
    return merge;
}
