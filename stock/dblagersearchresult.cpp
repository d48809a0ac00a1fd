#include "stock/dblagersearchresult.h"

#include <algorithm>

TDBLagerSearchResult::TDBLagerSearchResult(qint32 recNo, QStringView artikelNr,
                                           QStringView bezeichnung, QString gruppe)
    : RecNo(recNo), m_gruppe(std::move(gruppe))
{
    setText(artikelNr, bezeichnung);
}

TDBLagerSearchResult::TDBLagerSearchResult(const TDBLagerSearchResult &other)
    : RecNo(other.RecNo), m_text(other.m_text), m_gruppe(other.m_gruppe),
      m_details(other.m_details ? std::make_unique<Details>(*other.m_details) : nullptr),
      m_nrLength(other.m_nrLength), m_detailsLoaded(other.m_detailsLoaded)
{
}

TDBLagerSearchResult &TDBLagerSearchResult::operator=(const TDBLagerSearchResult &other)
{
    if (this != &other) {
        RecNo = other.RecNo;
        m_text = other.m_text;
        m_gruppe = other.m_gruppe;
        m_details = other.m_details ? std::make_unique<Details>(*other.m_details) : nullptr;
        m_nrLength = other.m_nrLength;
        m_detailsLoaded = other.m_detailsLoaded;
    }
    return *this;
}

void TDBLagerSearchResult::setText(QStringView nr, QStringView bezeichnung)
{
    QString text;
    text.reserve(nr.size() + bezeichnung.size());
    text.append(nr);
    text.append(bezeichnung);
    m_text = std::move(text);
    m_nrLength = qint32(nr.size());
}

void TDBLagerSearchResult::SetArtikelNr(QStringView nr)
{
    const QString bezeichnung = Bezeichnung().toString();
    setText(nr, bezeichnung);
}

void TDBLagerSearchResult::SetBezeichnung(QStringView bezeichnung)
{
    const QString nr = ArtikelNr().toString();
    setText(nr, bezeichnung);
}

const TDBLagerSearchResult::Details &TDBLagerSearchResult::Info() const
{
    static const Details empty;
    return m_details ? *m_details : empty;
}

TDBLagerSearchResult::Details &TDBLagerSearchResult::EditInfo()
{
    if (!m_details)
        m_details = std::make_unique<Details>();
    return *m_details;
}

TLagerSearchMatcher::TLagerSearchMatcher(const QString &text, const QString &group) : m_group(group)
{
    if (text.isEmpty())
        return;
    // No trimming: "A  B" has an empty word in the middle and so finds nothing.
    m_words = text.toUpper().split(u' ', Qt::KeepEmptyParts);
    m_anyEmptyWord =
        std::any_of(m_words.cbegin(), m_words.cend(), [](const QString &w) { return w.isEmpty(); });
}

bool TLagerSearchMatcher::MatchesGroup(QStringView group) const
{
    return group.compare(m_group, Qt::CaseInsensitive) == 0;
}

bool TLagerSearchMatcher::MatchesDescription(QStringView description) const
{
    if (m_anyEmptyWord)
        return false;
    // Descriptions are nearly always ASCII; upper-casing them in place spares an allocation
    // per row of a search over the whole stock.
    m_upper.resize(description.size());
    QChar *out = m_upper.data();
    bool ascii = true;
    for (qsizetype i = 0; i < description.size(); ++i) {
        const char16_t c = description[i].unicode();
        if (c >= 0x80) {
            ascii = false;
            break;
        }
        out[i] = QChar(c >= u'a' && c <= u'z' ? char16_t(c - 32) : c);
    }
    if (!ascii)
        m_upper = description.toString().toUpper();
    const QStringView upper(m_upper);
    for (const QString &word : m_words) {
        if (!upper.contains(word))
            return false;
    }
    return true;
}

TDBLagerSearchResultObjectList::~TDBLagerSearchResultObjectList()
{
    Clear();
}

TDBLagerSearchResult *
TDBLagerSearchResultObjectList::Add(std::unique_ptr<TDBLagerSearchResult> entry)
{
    Q_ASSERT(m_owns);
    m_items.push_back(entry.release());
    return m_items.back();
}

void TDBLagerSearchResultObjectList::AddReference(TDBLagerSearchResult *entry)
{
    Q_ASSERT(!m_owns);
    m_items.push_back(entry);
}

void TDBLagerSearchResultObjectList::Delete(qsizetype index)
{
    TDBLagerSearchResult *entry = m_items[size_t(index)];
    m_items.erase(m_items.begin() + index);
    if (m_owns)
        delete entry;
}

qsizetype TDBLagerSearchResultObjectList::IndexOf(const TDBLagerSearchResult *entry) const
{
    const auto it = std::find(m_items.begin(), m_items.end(), entry);
    return it == m_items.end() ? -1 : qsizetype(it - m_items.begin());
}

qsizetype TDBLagerSearchResultObjectList::Remove(const TDBLagerSearchResult *entry)
{
    const qsizetype index = IndexOf(entry);
    if (index >= 0)
        Delete(index);
    return index;
}

void TDBLagerSearchResultObjectList::Clear()
{
    if (m_owns) {
        for (TDBLagerSearchResult *entry : m_items)
            delete entry;
    }
    m_items.clear();
}

void TDBLagerSearchResultObjectList::Search(const QString &text, const QString &group,
                                            TDBLagerSearchResultObjectList &result) const
{
    result.Clear();
    const TLagerSearchMatcher matcher(text, group);
    for (TDBLagerSearchResult *entry : m_items) {
        if (matcher.Matches(entry->Bezeichnung(), entry->Gruppe()))
            result.m_items.push_back(entry);
    }
}

qsizetype TDBLagerSearchResultObjectList::IndexOfArticle(QStringView nr, bool exact) const
{
    if (nr.isEmpty())
        return -1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const QStringView candidate = m_items[i]->ArtikelNr();
        if (exact ? candidate == nr : candidate.startsWith(nr))
            return qsizetype(i);
    }
    return -1;
}

TDBLagerSearchResult *TDBLagerSearchResultObjectList::FindArticle(QStringView nr) const
{
    const qsizetype index = IndexOfArticle(nr, true);
    return index < 0 ? nullptr : m_items[size_t(index)];
}

template <typename Less> void TDBLagerSearchResultObjectList::sortBy(Less less)
{
    if (m_items.size() < 2)
        return;
    // Stable, so that a second sort keeps the order of the first among equal keys.
    std::stable_sort(m_items.begin(), m_items.end(),
                     [&less](const TDBLagerSearchResult *a, const TDBLagerSearchResult *b) {
                         return less(*a, *b);
                     });
}

namespace
{
// By UTF-16 code units, the order the old list compared its texts in.
bool textLess(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseSensitive) < 0;
}
} // namespace

void TDBLagerSearchResultObjectList::SortByArtikelNr()
{
    sortBy([](const auto &a, const auto &b) { return textLess(a.ArtikelNr(), b.ArtikelNr()); });
}

void TDBLagerSearchResultObjectList::SortByBezeichnung()
{
    sortBy([](const auto &a, const auto &b) { return textLess(a.Bezeichnung(), b.Bezeichnung()); });
}

void TDBLagerSearchResultObjectList::SortByGruppe()
{
    sortBy([](const auto &a, const auto &b) { return textLess(a.Gruppe(), b.Gruppe()); });
}

void TDBLagerSearchResultObjectList::SortByLagerort()
{
    sortBy([](const auto &a, const auto &b) {
        return textLess(a.Info().Lagerort, b.Info().Lagerort);
    });
}

void TDBLagerSearchResultObjectList::SortByRabattgruppe()
{
    sortBy([](const auto &a, const auto &b) {
        return textLess(a.Info().Rabattgruppen, b.Info().Rabattgruppen);
    });
}

void TDBLagerSearchResultObjectList::SortByEKPreis()
{
    sortBy([](const auto &a, const auto &b) { return a.Info().EKPreis < b.Info().EKPreis; });
}

void TDBLagerSearchResultObjectList::SortByVKPreis(int index)
{
    Q_ASSERT(index >= 0 && index < 5);
    sortBy([index](const auto &a, const auto &b) {
        return a.Info().VKPreis[size_t(index)] < b.Info().VKPreis[size_t(index)];
    });
}
