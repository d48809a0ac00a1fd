#pragma once

#include "persistence/money.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <memory>
#include <vector>

// One row of the stock list. The list holds every article of a stock (hundreds of thousands),
// so an entry carries only what a search fills: row number, number and description in one
// text buffer, and the group, whose text is shared between the entries of a search. The rest
// arrives with LoadDetails into a part that is allocated only then.
class TDBLagerSearchResult
{
public:
    struct Details {
        QString Lagerort;
        QString Rabattgruppen;
        QString ME;
        Money EKPreis;
        std::array<Money, 5> VKPreis{};
        bool IsNotBestandsartikel = false;
        double Bestand = 0; // current stock, put here by the stock list when it shows it
        qint32 ViewColor = 0;
        double SummeWareneingangMe = 0;
        double Anfangsbestand = 0;
    };

    TDBLagerSearchResult() = default;
    TDBLagerSearchResult(qint32 recNo, QStringView artikelNr, QStringView bezeichnung,
                         QString gruppe);
    // text is the number followed by the description; the number is its first nrLength
    // characters.
    TDBLagerSearchResult(qint32 recNo, QString text, qint32 nrLength, QString gruppe)
        : RecNo(recNo), m_text(std::move(text)), m_gruppe(std::move(gruppe)), m_nrLength(nrLength)
    {
    }
    TDBLagerSearchResult(const TDBLagerSearchResult &other);
    TDBLagerSearchResult &operator=(const TDBLagerSearchResult &other);

    // Row of the article in the table at the time of the search (1-based).
    qint32 RecNo = 0;

    QStringView ArtikelNr() const { return QStringView(m_text).left(m_nrLength); }
    QStringView Bezeichnung() const { return QStringView(m_text).mid(m_nrLength); }
    const QString &Gruppe() const { return m_gruppe; }
    void SetArtikelNr(QStringView nr);
    void SetBezeichnung(QStringView bezeichnung);
    void SetGruppe(const QString &gruppe) { m_gruppe = gruppe; }

    bool DetailsLoaded() const { return m_detailsLoaded; }
    void SetDetailsLoaded(bool loaded) { m_detailsLoaded = loaded; }
    // The detail fields; zeros and empty texts while nothing was put there.
    const Details &Info() const;
    // The detail fields for writing; allocates them on first use.
    Details &EditInfo();
    bool HasDetails() const { return m_details != nullptr; }

private:
    void setText(QStringView nr, QStringView bezeichnung);

    // Number followed by description: one allocation instead of two for every entry.
    QString m_text;
    QString m_gruppe;
    std::unique_ptr<Details> m_details;
    qint32 m_nrLength = 0;
    bool m_detailsLoaded = false;
};

// The word and group rules of the stock search, shared by the search over the table and the
// search inside a list. Words are the upper-cased text split at every blank; a blank-only text
// therefore has only empty words, and an empty word occurs in no description.
class TLagerSearchMatcher
{
public:
    TLagerSearchMatcher(const QString &text, const QString &group);

    bool HasText() const { return !m_words.isEmpty(); }
    bool HasGroup() const { return !m_group.isEmpty(); }
    // The group is compared as a whole text without regard to case.
    bool MatchesGroup(QStringView group) const;
    // Every word somewhere in the upper-cased description, in any order, overlaps allowed.
    bool MatchesDescription(QStringView description) const;
    bool Matches(QStringView description, QStringView group) const
    {
        return (!HasGroup() || MatchesGroup(group)) &&
               (!HasText() || MatchesDescription(description));
    }

private:
    QStringList m_words;
    bool m_anyEmptyWord = false;
    QString m_group;
    mutable QString m_upper; // reused for every description of a search
};

// The stock list's entries. The full list owns its entries; a search list made with
// ownsObjects false refers to entries of the full list and frees none of them.
class TDBLagerSearchResultObjectList
{
public:
    explicit TDBLagerSearchResultObjectList(bool ownsObjects = true) : m_owns(ownsObjects) {}
    ~TDBLagerSearchResultObjectList();
    TDBLagerSearchResultObjectList(const TDBLagerSearchResultObjectList &) = delete;
    TDBLagerSearchResultObjectList &operator=(const TDBLagerSearchResultObjectList &) = delete;

    bool OwnsObjects() const { return m_owns; }
    qsizetype Count() const { return qsizetype(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    TDBLagerSearchResult *Item(qsizetype index) const { return m_items[size_t(index)]; }
    TDBLagerSearchResult *operator[](qsizetype index) const { return Item(index); }
    // Takes the entry; an owning list frees it with itself.
    TDBLagerSearchResult *Add(std::unique_ptr<TDBLagerSearchResult> entry);
    // Adds an entry owned elsewhere; only for lists that do not own their entries.
    void AddReference(TDBLagerSearchResult *entry);
    void Reserve(qsizetype count) { m_items.reserve(size_t(count)); }
    // Removes the entry at index, freeing it when the list owns it.
    void Delete(qsizetype index);
    // Removes the entry if present, freeing it when the list owns it; -1 when absent.
    qsizetype Remove(const TDBLagerSearchResult *entry);
    qsizetype IndexOf(const TDBLagerSearchResult *entry) const;
    void Clear();

    // Adds the entries whose description and group pass the search rules to result, which
    // is emptied first and should not own its entries.
    void Search(const QString &text, const QString &group,
                TDBLagerSearchResultObjectList &result) const;
    // First entry whose number equals nr (exact) or starts with it; case-sensitive.
    qsizetype IndexOfArticle(QStringView nr, bool exact) const;
    TDBLagerSearchResult *FindArticle(QStringView nr) const;

    // Ascending sorts; texts by character codes, money by value. Entries whose details are
    // not loaded count as empty texts and zero prices.
    void SortByArtikelNr();
    void SortByBezeichnung();
    void SortByGruppe();
    void SortByLagerort();
    void SortByRabattgruppe();
    void SortByEKPreis();
    void SortByVKPreis1() { SortByVKPreis(0); }
    void SortByVKPreis2() { SortByVKPreis(1); }
    void SortByVKPreis3() { SortByVKPreis(2); }
    void SortByVKPreis4() { SortByVKPreis(3); }
    void SortByVKPreis5() { SortByVKPreis(4); }
    void SortByVKPreis(int index); // 0..4

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    template <typename Less> void sortBy(Less less);

    std::vector<TDBLagerSearchResult *> m_items;
    bool m_owns;
};
