#include "stock/seriennummer.h"

#include "persistence/datetime.h"

#include <algorithm>

TSeriennummer &TSeriennummerObjectList::Add(const TSeriennummer &entry)
{
    m_items.push_back(entry);
    return m_items.back();
}

void TSeriennummerObjectList::Delete(qsizetype index)
{
    if (index >= 0 && index < Count())
        m_items.erase(m_items.begin() + index);
}

qsizetype TSeriennummerObjectList::CountEmpty() const
{
    return CountOf(QString());
}

qsizetype TSeriennummerObjectList::CountOf(const QString &sn) const
{
    return std::count_if(m_items.begin(), m_items.end(),
                         [&](const TSeriennummer &e) { return e.SN == sn; });
}

qsizetype TSeriennummerObjectList::IndexOf(const QString &sn) const
{
    const auto it = std::find_if(m_items.begin(), m_items.end(),
                                 [&](const TSeriennummer &e) { return e.SN == sn; });
    return it == m_items.end() ? -1 : it - m_items.begin();
}

void TSeriennummerObjectList::AddCopiesOf(const TSeriennummerObjectList &other)
{
    if (&other == this) {
        const std::vector<TSeriennummer> copy = m_items;
        m_items.insert(m_items.end(), copy.begin(), copy.end());
        return;
    }
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
}

QString TSeriennummerObjectList::LastSerialNumber(const QString &fallback) const
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if (!it->SN.isEmpty())
            return it->SN;
    return fallback;
}

void TSeriennummerObjectList::DeleteEmpty()
{
    std::erase_if(m_items, [](const TSeriennummer &e) { return e.SN.isEmpty(); });
}

void TSeriennummerObjectList::SetCount(qsizetype count, const QString &articleNr)
{
    if (count < 0)
        count = 0;
    if (count < Count()) {
        m_items.resize(size_t(count));
        return;
    }
    const double now = DateTime::now();
    m_items.reserve(size_t(count));
    while (Count() < count) {
        TSeriennummer &e = Add();
        e.LagerArtikelNr = articleNr;
        e.ZUGANG = now;
    }
}

QString TSeriennummerObjectList::JoinedText() const
{
    // Leading blanks are stripped before each number is appended, so empty numbers at the
    // start leave no gap while empty numbers later on keep their blank.
    QString text;
    for (const TSeriennummer &e : m_items) {
        text += u' ';
        qsizetype i = 0;
        while (i < text.size() && text.at(i).unicode() <= u' ')
            ++i;
        text.remove(0, i);
        text += e.SN;
    }
    return text;
}
