#pragma once

#include "stock/lagerbuchung.h"
#include "stock/lagerserverobj.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class IModLagerDBServerObj;
class TDateischutzWF;

// One stock article touched by a receipt from an order: its record lock, held from its first
// line until the receipt ends, and the article as the receipt changes it in memory. Several
// lines of the same article add up here, so the article is locked and written once.
class TWarenzugangTempObj
{
public:
    explicit TWarenzugangTempObj(QString nr);
    ~TWarenzugangTempObj(); // releases the lock
    TWarenzugangTempObj(const TWarenzugangTempObj &) = delete;
    TWarenzugangTempObj &operator=(const TWarenzugangTempObj &) = delete;

    QString LagerArtikelNr;
    std::unique_ptr<TDateischutzWF> Lock;
    quint8 Flag = 0;
    std::optional<TLagerServerObj> Artikel;
    // One history row per order line, chained in the order the lines were received.
    TLagerBuchungList Buchungen;
};

class TWarenzugangTempObjObjectList
{
public:
    // The entry for nr; with create, a new one is appended when there is none.
    TWarenzugangTempObj *Find(const QString &nr, bool create);
    void Remove(const QString &nr);
    qsizetype Count() const { return qsizetype(m_items.size()); }
    TWarenzugangTempObj &Item(qsizetype index) { return *m_items.at(size_t(index)); }
    // Frees the entries and with them their locks.
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TWarenzugangTempObj>> m_items;
};
