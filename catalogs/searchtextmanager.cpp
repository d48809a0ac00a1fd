#include "catalogs/searchtextmanager.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringMatcher>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
QString withSeparator(const QString &dir)
{
    return dir.isEmpty() || dir.endsWith(u'/') ? dir : dir + u'/';
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A line number: digits only, within int. Anything else ("-1", "+3", "12a", "") is no number.
int lineNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

// Calls f(line) for every line of text without its CR.
template <typename F> void forEachLine(const QString &text, F &&f)
{
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = text.indexOf(u'\n', from);
        if (end < 0)
            end = text.size();
        qsizetype to = end;
        if (to > from && text[to - 1] == u'\r')
            --to;
        f(QStringView(text).sliced(from, to - from));
        from = end + 1;
    }
}
} // namespace

TSearchtextManager::TSearchtextManager(const QString &directory, const QString &synonymFile)
    : m_directory(withSeparator(directory))
{
    if (synonymFile.isEmpty() || !QFile::exists(synonymFile))
        return;
    forEachLine(SearchtextIndex::Decode(readAll(synonymFile)), [this](QStringView line) {
        QStringList group;
        for (QStringView member : line.split(u','))
            if (const QString folded = SearchtextIndex::Fold(member.trimmed()); !folded.isEmpty())
                group.append(folded);
        if (group.size() > 1)
            m_synonyms.push_back(group);
    });
}

TSearchtextManager::~TSearchtextManager() = default;

void TSearchtextManager::loadIndex()
{
    m_entries.clear();
    m_words.clear();
    const QString text = SearchtextIndex::Decode(readAll(m_directory + u"STX.IDX"_s));
    m_words.reserve(text.size());
    forEachLine(text, [this](QStringView line) {
        // Words never hold "=", so the last one separates the number even in a damaged line.
        const qsizetype eq = line.lastIndexOf(u'=');
        if (eq <= 0)
            return;
        const int n = lineNumber(line.sliced(eq + 1).trimmed());
        if (n < 0)
            return;
        const QStringView word = line.first(eq);
        m_entries.push_back(
            Entry{m_words.size(), int(word.size()), n, SearchtextIndex::BucketOf(word.front())});
        m_words += word;
        m_words += u'\n';
    });
}

TSearchtextManager::Bucket &TSearchtextManager::bucket(int number)
{
    Bucket &b = m_buckets[size_t(number)];
    if (b.loaded)
        return b;
    b.loaded = true;
    // A missing bucket file is an empty bucket: its words find nothing.
    b.text = SearchtextIndex::Decode(readAll(m_directory + u"STX."_s + QString::number(number)));
    b.lineStarts.push_back(0);
    for (qsizetype i = b.text.indexOf(u'\n'); i >= 0; i = b.text.indexOf(u'\n', i + 1))
        b.lineStarts.push_back(i + 1);
    return b;
}

void TSearchtextManager::addBucketLine(const Entry &entry, QStringList &hits)
{
    const Bucket &b = bucket(entry.bucket);
    if (size_t(entry.line) >= b.lineStarts.size())
        return;
    const qsizetype from = b.lineStarts[size_t(entry.line)];
    if (from >= b.text.size())
        return;
    qsizetype end = size_t(entry.line) + 1 < b.lineStarts.size()
                        ? b.lineStarts[size_t(entry.line) + 1] - 1
                        : b.text.size();
    const QStringView line = QStringView(b.text).sliced(from, end - from);
    qsizetype i = 0;
    while (i < line.size()) {
        qsizetype j = i;
        while (j < line.size() && line[j] != u',' && line[j] != u' ' && line[j] != u'\r')
            ++j;
        if (j > i)
            hits.append(line.sliced(i, j - i).toString());
        i = j + 1;
    }
}

bool TSearchtextManager::collect(const QString &word, bool prefixOnly, QStringList &hits,
                                 WaitWindow *wait)
{
    const QStringMatcher matcher(word, Qt::CaseSensitive);
    const size_t chunk = size_t(std::max(1, LinesPerCancelCheck));
    for (size_t first = 0; first < m_entries.size(); first += chunk) {
        if (wait) {
            wait->idle();
            if (wait->cancelled())
                return false;
        }
        const size_t last = std::min(m_entries.size(), first + chunk);
        // The chunk's words end where the next chunk's begin, so no match spans two chunks.
        const qsizetype chunkEnd = last < m_entries.size() ? m_entries[last].start : m_words.size();
        const QStringView text = QStringView(m_words).first(chunkEnd);
        size_t e = first;
        qsizetype from = m_entries[first].start;
        while (from < chunkEnd) {
            const qsizetype pos = matcher.indexIn(text, from);
            if (pos < 0)
                break;
            // The entry holding pos: the last one starting at or before it.
            e = size_t(std::upper_bound(m_entries.begin() + qsizetype(e),
                                        m_entries.begin() + qsizetype(last), pos,
                                        [](qsizetype p, const Entry &x) { return p < x.start; }) -
                       m_entries.begin()) -
                1;
            const Entry &entry = m_entries[e];
            if (!prefixOnly || pos == entry.start)
                addBucketLine(entry, hits);
            from = entry.start + entry.length + 1;
        }
    }
    return true;
}

std::vector<TSearchWordItem> TSearchtextManager::SplitQuery(const QString &query,
                                                            bool useSynonyms) const
{
    QString text = query;
    text.remove(u'\r');
    text.remove(u'\n');
    std::vector<TSearchWordItem> items;
    for (QStringView piece : QStringView(text).split(u' ', Qt::SkipEmptyParts)) {
        QString word = SearchtextIndex::Fold(piece.trimmed());
        if (word.isEmpty())
            continue;
        TSearchWordItem item;
        if (word.startsWith(u'^')) {
            item.PrefixOnly = true;
            word.remove(0, 1);
        }
        // "=" after the first character separates alternatives.
        if (word.indexOf(u'=', 1) > 0) {
            QStringList parts = word.split(u'=');
            word = parts.takeFirst();
            for (const QString &p : parts)
                if (!p.isEmpty())
                    item.Alternatives.append(p);
        }
        if (word.isEmpty())
            continue;
        item.Word = word;
        if (useSynonyms)
            for (const QStringList &group : m_synonyms)
                if (group.contains(word))
                    for (const QString &s : group)
                        if (s != word && !item.Alternatives.contains(s))
                            item.Alternatives.append(s);
        items.push_back(std::move(item));
    }
    return items;
}

bool TSearchtextManager::Search(const QString &query, bool useSynonyms, bool showWaitWindow)
{
    QElapsedTimer timer;
    timer.start();
    m_result.clear();
    m_cancelled = false;
    m_duration = 0;
    if (m_entries.empty() && QFile::exists(m_directory + u"STX.IDX"_s))
        loadIndex();
    if (m_entries.empty()) {
        ShowMessageBox(tx("Kein Suchtext zu diesem Katalog vorhanden.") + u'\n' +
                           tx("Die muessen erst einen Suchtext zu diesem Katalog erstellen."),
                       MsgDlgType::Information, MsgButton::OK);
        return false;
    }
    std::vector<TSearchWordItem> words = SplitQuery(query, useSynonyms);
    if (words.empty())
        return true;

    std::unique_ptr<WaitWindow> wait;
    if (showWaitWindow)
        wait = interaction().waitWindow(tx("Bitte warten ..."));
    for (TSearchWordItem &item : words) {
        QStringList candidates = item.Alternatives;
        candidates.append(item.Word);
        for (const QString &w : candidates)
            if (!collect(w, item.PrefixOnly, item.Hits, wait.get())) {
                m_cancelled = true;
                m_duration = double(timer.nsecsElapsed()) / 1e9;
                return true;
            }
    }
    std::erase_if(words, [](const TSearchWordItem &w) { return w.Hits.isEmpty(); });
    for (TSearchWordItem &w : words) {
        std::sort(w.Hits.begin(), w.Hits.end());
        w.Hits.erase(std::unique(w.Hits.begin(), w.Hits.end()), w.Hits.end());
    }
    if (!words.empty()) {
        m_result = words.front().Hits;
        for (size_t i = 1; i < words.size(); ++i) {
            QStringList both;
            std::set_intersection(m_result.begin(), m_result.end(), words[i].Hits.begin(),
                                  words[i].Hits.end(), std::back_inserter(both));
            m_result.swap(both);
        }
        for (QString &nr : m_result)
            nr.replace(u';', u' ');
    }
    wait.reset();
    m_duration = double(timer.nsecsElapsed()) / 1e9;
    return true;
}

int TSearchtextManager::Position(const QString &text, bool exact) const
{
    if (text.isEmpty())
        return -1;
    for (qsizetype i = 0; i < m_result.size(); ++i)
        if (exact ? m_result[i] == text : m_result[i].startsWith(text))
            return int(i);
    return -1;
}
