#pragma once

#include "catalogs/katalogdbclipboardmergeobj.h"
#include "catalogs/katalogpreiseinstellungen.h"
#include "persistence/xml/dbxmlcoreobject.h"

#include <QString>
#include <memory>
#include <vector>

// The catalog articles the user has chosen for the stock, each a TKatalog1Artikel or a
// TKatalog2Artikel; the clipboard owns them. Entries of any other class answer with empty
// texts and no merge record.
class TKatalogDBClipBoard
{
public:
    TKatalogDBClipBoard();
    ~TKatalogDBClipBoard();
    TKatalogDBClipBoard(const TKatalogDBClipBoard &) = delete;
    TKatalogDBClipBoard &operator=(const TKatalogDBClipBoard &) = delete;

    qsizetype Count() const { return qsizetype(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // Returns the new index.
    qsizetype Add(std::unique_ptr<TDBXMLCoreObject> article);
    // Adds the article unless an entry of any catalog has its number; false (and the article
    // freed) when one has.
    bool AddIfNew(std::unique_ptr<TDBXMLCoreObject> article);
    TDBXMLCoreObject &Item(qsizetype index) { return *m_items.at(size_t(index)); }
    const TDBXMLCoreObject &Item(qsizetype index) const { return *m_items.at(size_t(index)); }
    void Delete(qsizetype index);
    void Clear();

    // False for an empty number; numbers compare case-sensitively.
    bool Contains(const QString &artikelNr) const;
    QString ArtikelNr(qsizetype index) const;
    QString KatalogName(qsizetype index) const;
    // A DATANORM article's two short-text lines joined by a blank, a simple article's short
    // text.
    QString Text(qsizetype index) const;
    // Null for an entry that is no catalog article.
    std::unique_ptr<TKatalogDBClipBoardMergeObj>
    MergeObj(qsizetype index, const TKatalogPreisEinstellungen &settings) const;

private:
    std::vector<std::unique_ptr<TDBXMLCoreObject>> m_items;
};
