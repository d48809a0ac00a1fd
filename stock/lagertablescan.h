#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <map>
#include <set>
#include <string>

class TDBLagerSearchResultObjectList;
class TTdbTable;

// Hands out one shared text per distinct article group, so that the entries of a search
// refer to a few group texts instead of holding a copy each.
class TLagerGroupTexts
{
public:
    const QString &shared(QStringView group);
    const QString &shared(QByteArrayView utf8);

private:
    struct Less {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const { return a.compare(b) < 0; }
    };
    std::set<QString, Less> m_texts;
    const QString *m_last = nullptr;
    std::map<std::string, QString, std::less<>> m_byUtf8;
    std::string m_lastUtf8;
    const QString *m_lastFromUtf8 = nullptr;
};

// The stock search read straight from the table file: one statement over the columns the
// search needs, in the order of the table's current index, numbering the rows as the cursor
// would. Walking the cursor row by row costs several times as much for the hundreds of
// thousands of rows of a large stock. Returns false, having added nothing, when the table is
// filtered, being edited or laid out in a way this reader does not know; the caller then walks
// the cursor. Throws EngineError when the table cannot be read.
bool ScanLagerTable(TTdbTable &table, const QString &text, const QString &group,
                    bool withoutNotStockArticles, bool onlyStockTakingArticles,
                    TDBLagerSearchResultObjectList &result);
