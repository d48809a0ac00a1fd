#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class IModLagerDBServerObj;
struct TLagerArtikelFeld;
struct TLagerArtikelDaten;

// The stock as a spreadsheet file: semicolons, UTF-8 with byte-order mark, one header row
// with the German column names of TLagerArtikelFeld, decimal comma, "ja"/"nein", CR LF.
// The export writes every column; an import file may carry any subset of them as long as
// "Artikel-Nr." is there, and only its columns change an existing article, so a price file
// with three columns leaves stock and texts alone.
namespace LagerCsv
{
// Every article in number order into path (replaced only once completely written). The
// number of articles written, -1 with error set on failure.
qsizetype Export(IModLagerDBServerObj &db, const QString &path, QString *error);

// The cell texts the export writes, shared with whoever shows the same values.
QString MoneyCell(qint64 rawTenThousandths);
QString FloatCell(double value);
} // namespace LagerCsv

// Reads an import file, checks every row before anything is written, and writes all rows in
// one transaction under the stock database lock, or none.
class TLagerCsvImport
{
public:
    enum class Result { Done, Invalid, Refused, Locked, Failed };
    // Asked once before writing with the number of articles the file creates and changes;
    // false refuses the import (the callback tells the user why).
    using RightCheck = std::function<bool(int created, int changed)>;

    // Parses and checks the whole file; every problem goes into Errors() with its line.
    bool Read(const QByteArray &data);
    // The first hundred problems and, when there were more, a line that counts the rest.
    QStringList Errors() const;
    qsizetype RowCount() const { return qsizetype(m_rows.size()); }

    // owner: the user's full name, for the locks and the created/changed stamps. Locked
    // when the database or an article of the file stays locked by another through the
    // interaction's wait. A dry run counts but neither locks nor writes.
    Result Write(IModLagerDBServerObj &db, const QString &owner, const RightCheck &allowed,
                 bool dryRun = false);
    int Created() const { return m_created; }
    // Existing articles the file gives other values; the others are left as they are.
    int Changed() const { return m_changed; }
    int Unchanged() const { return m_unchanged; }
    // Existing articles whose file quantities differed from the stored ones: quantities of an
    // existing article change only through bookings and stock-taking, so those cells are
    // not taken. A new article takes them as its opening stock.
    int QuantitiesKept() const { return m_quantitiesKept; }

private:
    struct Row {
        int line = 0;
        QStringList cells;
    };
    struct Applied {
        bool changed = false;      // some value taken from the file differs from the article's
        bool quantityKept = false; // a quantity cell of an existing article differed, left out
    };
    Applied apply(const Row &row, TLagerArtikelDaten &article, bool existing) const;
    void addError(const QString &text);

    std::vector<const TLagerArtikelFeld *> m_columns;
    int m_nrColumn = -1;
    std::vector<Row> m_rows;
    QStringList m_errors;
    qsizetype m_moreErrors = 0;
    int m_created = 0;
    int m_changed = 0;
    int m_unchanged = 0;
    int m_quantitiesKept = 0;
};
