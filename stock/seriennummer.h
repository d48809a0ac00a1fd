#pragma once

#include <QString>
#include <vector>

// One serial number of a stock article, as the LAGERSN table keeps it.
struct TSeriennummer {
    QString SN;
    QString LagerArtikelNr;
    QString INFO;
    double ZUGANG = 0; // receipt date-time
    QString LIEFERANT;
    QString RESAUFTRAGSNR;
    qint32 RESAUFTRAGSTYP = 0;

    bool operator==(const TSeriennummer &) const = default;
};

// The serial numbers of one booking or one article, in entry order. Entries are held by value;
// the list owns them.
class TSeriennummerObjectList
{
public:
    qsizetype Count() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }
    TSeriennummer &Item(qsizetype index) { return m_items[size_t(index)]; }
    const TSeriennummer &Item(qsizetype index) const { return m_items[size_t(index)]; }
    TSeriennummer &Add(const TSeriennummer &entry = {});
    void Delete(qsizetype index);
    void Clear() { m_items.clear(); }

    qsizetype CountEmpty() const;
    qsizetype CountOf(const QString &sn) const;
    qsizetype IndexOf(const QString &sn) const;
    void AddCopiesOf(const TSeriennummerObjectList &other);
    QString LastSerialNumber(const QString &fallback) const;
    void DeleteEmpty();
    // Grows with fresh entries for the article (received now) or cuts entries off the end.
    void SetCount(qsizetype count, const QString &articleNr);
    // All numbers separated by one blank, the way the journal and the receipt dialogs show them.
    QString JoinedText() const;

    bool operator==(const TSeriennummerObjectList &) const = default;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<TSeriennummer> m_items;
};
