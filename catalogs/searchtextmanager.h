#pragma once

#include "catalogs/searchtextindex.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class WaitWindow;

// One word of a search query with the article numbers it found.
struct TSearchWordItem {
    QString Word;             // folded
    QStringList Alternatives; // folded; from "=" in the query and from synonym groups
    bool PrefixOnly = false;  // matches index words that begin with it, not any that hold it
    QStringList Hits;
};

// One catalog's word index, read on first use and kept; a query becomes the article numbers
// that carry every one of its words. Views own one each.
//
// Query words: blanks separate them, case and German spelling do not matter ("röhre" =
// "ROEHRE"). "^" in front of a word finds only index words that begin with it;
// "ROHR=TUBE" also counts the hits of TUBE as hits of ROHR. A word found nowhere is dropped
// instead of emptying the result.
class TSearchtextManager
{
public:
    // synonymFile may be empty; a file that does not exist gives no synonyms.
    TSearchtextManager(const QString &directory, const QString &synonymFile = QString());
    ~TSearchtextManager();

    // False, after telling the user, when the catalog has no index. A search cancelled in the
    // wait window ends with no hits and no message.
    bool Search(const QString &query, bool useSynonyms, bool showWaitWindow);
    int ResultCount() const { return int(m_result.size()); }
    const QString &Result(int index) const { return m_result[index]; }
    const QStringList &Results() const { return m_result; }
    // The first result equal to text (exact) or beginning with it; -1 for none or empty text.
    int Position(const QString &text, bool exact) const;
    // Seconds the last search took.
    double Duration() const { return m_duration; }
    bool Cancelled() const { return m_cancelled; }

    // The words of a query, with their alternatives; public for the tests of the query rules.
    std::vector<TSearchWordItem> SplitQuery(const QString &query, bool useSynonyms) const;
    const std::vector<QStringList> &Synonyms() const { return m_synonyms; }

    // Index lines walked between two looks at the wait window's cancel button.
    int LinesPerCancelCheck = 8192;

private:
    struct Entry {
        qsizetype start; // of the word in m_words
        int length;
        int line;
        int bucket;
    };
    struct Bucket {
        bool loaded = false;
        QString text;
        std::vector<qsizetype> lineStarts;
    };

    void loadIndex();
    Bucket &bucket(int number);
    // Adds the articles of every index word matching word; false when cancelled.
    bool collect(const QString &word, bool prefixOnly, QStringList &hits, WaitWindow *wait);
    void addBucketLine(const Entry &entry, QStringList &hits);

    QString m_directory;
    std::vector<QStringList> m_synonyms; // folded
    QString m_words;                     // every index word followed by a line feed
    std::vector<Entry> m_entries;
    std::array<Bucket, SearchtextIndex::kBuckets> m_buckets;
    QStringList m_result;
    double m_duration = 0;
    bool m_cancelled = false;
};
