#include "catalogs/searchtextindex.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace
{
// Windows-1252 at 0x80..0x9F; the five codes Windows leaves free map to themselves, as its
// own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int cp1252Code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[size_t(i)] == u)
            return 0x80 + i;
    return -1;
}

bool isSeparator(QChar c)
{
    switch (c.unicode()) {
    case u'=':
    case u',':
    case u';':
    case u'"':
    case u'(':
    case u')':
    case u'[':
    case u']':
    case u'{':
    case u'}':
    case u'<':
    case u'>':
        return true;
    default:
        return c.isSpace() || c.category() == QChar::Other_Control || cp1252Code(c) < 0;
    }
}

// Stops at the first byte that cannot be UTF-8, which in a Windows-1252 file is the first
// umlaut: such a file costs no decoding pass that is thrown away.
bool isUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const uchar *end = p + bytes.size();
    while (p < end) {
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int follow = 0;
        if (c >= 0xC2 && c <= 0xDF)
            follow = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            follow = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            follow = 3;
        else
            return false;
        if (end - p <= follow)
            return false;
        for (int k = 1; k <= follow; ++k)
            if ((p[k] & 0xC0) != 0x80)
                return false;
        p += follow + 1;
    }
    return true;
}

bool isTrimmed(QChar c)
{
    return c == u'.' || c == u':' || c == u'!' || c == u'?';
}
} // namespace

namespace SearchtextIndex
{

int BucketOf(QChar first)
{
    const char16_t u = first.unicode();
    if (u >= u'A' && u <= u'Z')
        return u - u'A' + 1;
    if (u >= u'0' && u <= u'9')
        return u - u'0' + 27;
    return 0;
}

QString Fold(QStringView word)
{
    const QString upper = word.toString().toUpper();
    QString folded;
    folded.reserve(upper.size() + 4);
    for (QChar c : upper) {
        switch (c.unicode()) {
        case 0x00C4: // Ä
            folded += u"AE";
            break;
        case 0x00D6: // Ö
            folded += u"OE";
            break;
        case 0x00DC: // Ü
            folded += u"UE";
            break;
        case 0x00DF: // ß, which toUpper may leave alone
        case 0x1E9E: // capital ß
            folded += u"SS";
            break;
        default:
            folded += c;
        }
    }
    return folded;
}

QStringList Words(QStringView text)
{
    QStringList words;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        qsizetype end = i;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        qsizetype from = i;
        qsizetype to = end;
        while (from < to && isTrimmed(text[from]))
            ++from;
        while (to > from && isTrimmed(text[to - 1]))
            --to;
        if (to > from)
            words.append(Fold(text.sliced(from, to - from)));
        i = end;
    }
    return words;
}

QString Decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        out[i] = b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

bool EncodeCp1252(QStringView text, QByteArray &out)
{
    out.reserve(out.size() + text.size());
    for (QChar c : text) {
        const int code = cp1252Code(c);
        if (code < 0)
            return false;
        out.append(char(code));
    }
    return true;
}

} // namespace SearchtextIndex

void TSearchtextIndexWriter::Add(const QString &articleNr, const QStringList &texts)
{
    QByteArray probe;
    if (articleNr.isEmpty() || articleNr.contains(u',') || articleNr.contains(u';') ||
        articleNr.contains(u'\n') || articleNr.contains(u'\r') ||
        !SearchtextIndex::EncodeCp1252(articleNr, probe)) {
        ++m_skipped;
        return;
    }
    const int article = int(m_numbers.size());
    m_numbers.push_back(articleNr);
    for (const QString &text : texts) {
        for (const QString &w : SearchtextIndex::Words(text)) {
            auto it = m_wordIndex.find(w);
            if (it == m_wordIndex.end()) {
                it = m_wordIndex.insert(w, int(m_words.size()));
                m_words.push_back(Word{w, {}});
            }
            std::vector<int> &articles = m_words[size_t(*it)].articles;
            if (articles.empty() || articles.back() != article)
                articles.push_back(article);
        }
    }
}

bool TSearchtextIndexWriter::Write(const QString &directory, QString *error) const
{
    std::vector<int> order(m_words.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return m_words[size_t(a)].text < m_words[size_t(b)].text; });

    QByteArray index;
    std::array<QByteArray, SearchtextIndex::kBuckets> buckets;
    std::array<int, SearchtextIndex::kBuckets> lines{};
    for (int w : order) {
        const Word &word = m_words[size_t(w)];
        const int bucket = SearchtextIndex::BucketOf(word.text.front());
        QByteArray &out = buckets[size_t(bucket)];
        bool first = true;
        for (int article : word.articles) {
            if (!first)
                out.append(',');
            first = false;
            // Words never hold "," or ";"; numbers were checked when added.
            SearchtextIndex::EncodeCp1252(QString(m_numbers[size_t(article)]).replace(u' ', u';'),
                                          out);
        }
        out.append("\r\n");
        SearchtextIndex::EncodeCp1252(word.text, index);
        index.append('=');
        index.append(QByteArray::number(lines[size_t(bucket)]++));
        index.append("\r\n");
    }

    const auto save = [&](const QString &name, const QByteArray &bytes) {
        QSaveFile file(directory + name);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
            return true;
        if (error)
            *error = u"cannot write %1: %2"_s.arg(file.fileName(), file.errorString());
        return false;
    };
    // Buckets first: a reader that finds the new STX.IDX finds the buckets it points into.
    for (int b = 0; b < SearchtextIndex::kBuckets; ++b)
        if (!save(u"STX."_s + QString::number(b), buckets[size_t(b)]))
            return false;
    return save(u"STX.IDX"_s, index);
}
