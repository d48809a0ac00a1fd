#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The word index of a catalog as files: "STX.IDX" (one "WORD=line" per indexed word) and the
// bucket files "STX.0" to "STX.36" (line n: the article numbers of the word pointing to n).
// Reader and every writer share these rules, so that a word typed into a search folds exactly
// as it was folded when the index was written.
namespace SearchtextIndex
{
constexpr int kBuckets = 37;

// "A" to "Z" 1 to 26, "0" to "9" 27 to 36, anything else 0.
int BucketOf(QChar first);
// Upper case with the German letters spelled out (Ä AE, Ö OE, Ü UE, ß SS): "röhre" and
// "roehre" become the same word.
QString Fold(QStringView word);
// The folded words of a text as the writers index them: split at blanks and control
// characters, at the characters the file format uses itself ("=", ",", ";"), at quotes and
// brackets, and at characters Windows-1252 cannot hold; "." ":" "!" "?" are trimmed off the
// ends. Inner punctuation stays ("3/4", "DN-15", "1.5").
QStringList Words(QStringView text);

// An index file's text: UTF-8 after a byte-order mark, UTF-8 when the bytes are valid
// UTF-8, else Windows-1252 (what the suite writes).
QString Decode(const QByteArray &bytes);
// Windows-1252; false when a character has no code there.
bool EncodeCp1252(QStringView text, QByteArray &out);
} // namespace SearchtextIndex

// Collects the words of a catalog's articles and writes the index files in Windows-1252 with
// CR LF. Article numbers holding "," or ";" or a character outside Windows-1252 cannot be
// stored in a bucket line and are left out (counted in Skipped).
class TSearchtextIndexWriter
{
public:
    // Indexes the article under the words of each text (short texts or description, match
    // code, the number itself, EAN).
    void Add(const QString &articleNr, const QStringList &texts);
    // Writes STX.IDX and the 37 bucket files into directory (with trailing separator),
    // replacing older ones.
    bool Write(const QString &directory, QString *error) const;
    int Skipped() const { return m_skipped; }
    int Articles() const { return int(m_numbers.size()); }

private:
    struct Word {
        QString text;
        std::vector<int> articles; // indexes into m_numbers, ascending, unique
    };
    std::vector<QString> m_numbers;
    std::vector<Word> m_words;
    QHash<QString, int> m_wordIndex;
    int m_skipped = 0;
};
