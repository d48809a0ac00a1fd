#include "stock/lagercsv.h"

#include "base/formatsettings.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"
#include "stock/inputchecks.h"
#include "stock/lagerartikelfeld.h"
#include "stock/modlagerdbserverobj.h"

#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
const QString kYes = u"ja"_s;
const QString kNo = u"nein"_s;

// Spreadsheets take a cell that starts with one of these as a formula and run it. A leading
// apostrophe makes it text there, as spreadsheet users know it; a text that starts with an
// apostrophe itself gets one more, so that the import, which takes exactly one away from any
// text cell that starts with one, gives back every text exactly.
bool needsProtection(QStringView text)
{
    static constexpr char16_t kStarts[] = u"=+-@\t\r'";
    return !text.isEmpty() && std::char_traits<char16_t>::find(kStarts, 7, text[0].unicode());
}

QString protectedText(const QString &text)
{
    return needsProtection(text) ? u'\'' + text : text;
}

QString unprotectedText(const QString &cell)
{
    return cell.startsWith(u'\'') ? cell.mid(1) : cell;
}

QString quoted(const QString &cell)
{
    if (!cell.contains(u';') && !cell.contains(u'"') && !cell.contains(u'\n') &&
        !cell.contains(u'\r'))
        return cell;
    QString out = cell;
    out.replace(u"\""_s, u"\"\""_s);
    return u'"' + out + u'"';
}

QString cellOf(const TLagerArtikelFeld &f, const TLagerArtikelDaten &a)
{
    if (f.IsText())
        return protectedText(f.Text(a));
    if (f.IsBool())
        return f.Bool(a) ? kYes : kNo;
    if (f.IsFloat())
        return LagerCsv::FloatCell(f.Float(a));
    if (f.IsMoney())
        return LagerCsv::MoneyCell(f.Amount(a).raw());
    return QString::number(f.Integer(a));
}

QList<const TLagerArtikelFeld *> csvColumns()
{
    QList<const TLagerArtikelFeld *> columns;
    for (const TLagerArtikelFeld &f : TLagerArtikelFeld::All())
        if (!f.header.isEmpty())
            columns.append(&f);
    return columns;
}

void appendLine(QString &out, const QStringList &cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i)
            out += u';';
        out += quoted(cells[i]);
    }
    out += u"\r\n"_s;
}

// One record of the file with the line it starts on; quoted cells may span lines.
struct Record {
    int line = 0;
    QStringList cells;
};

// False when a quoted cell is not closed by the end of the file.
bool splitRecords(QStringView text, std::vector<Record> &records, int &badLine)
{
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        Record record;
        record.line = line;
        QString cell;
        bool inQuotes = false;
        for (;;) {
            if (i >= n) {
                if (inQuotes) {
                    badLine = record.line;
                    return false;
                }
                record.cells.append(cell);
                break;
            }
            const QChar c = text[i++];
            if (inQuotes) {
                if (c == u'"') {
                    if (i < n && text[i] == u'"') {
                        cell += u'"';
                        ++i;
                    } else {
                        inQuotes = false;
                    }
                } else {
                    if (c == u'\n')
                        ++line;
                    cell += c;
                }
            } else if (c == u'"' && cell.isEmpty()) {
                inQuotes = true;
            } else if (c == u';') {
                record.cells.append(std::exchange(cell, QString()));
            } else if (c == u'\n' || c == u'\r') {
                if (c == u'\r' && i < n && text[i] == u'\n')
                    ++i;
                ++line;
                record.cells.append(cell);
                break;
            } else {
                cell += c;
            }
        }
        records.push_back(std::move(record));
    }
    return true;
}

bool isDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The one decimal separator of a number cell: a comma, or a point when there is no comma
// (files saved by a spreadsheet in an English locale). There is no grouping in cells.
qsizetype separatorIn(QStringView text)
{
    const qsizetype comma = text.indexOf(u',');
    return comma >= 0 ? comma : text.indexOf(u'.');
}

bool parseMoney(QStringView text, qint64 &raw)
{
    const bool negative = text.startsWith(u'-');
    const QStringView body = negative ? text.mid(1) : text;
    const qsizetype comma = separatorIn(body);
    const QStringView whole = comma < 0 ? body : body.left(comma);
    const QStringView fraction = comma < 0 ? QStringView() : body.mid(comma + 1);
    if (!isDigits(whole) || whole.size() > 14 || (comma >= 0 && !isDigits(fraction)) ||
        fraction.size() > 4)
        return false;
    raw = whole.toLongLong() * 10000;
    if (!fraction.isEmpty())
        raw += (fraction.toString() + QString(4 - fraction.size(), u'0')).toLongLong();
    if (negative)
        raw = -raw;
    return true;
}

bool parseFloat(QStringView text, double &value)
{
    QStringView mantissa = text;
    const qsizetype e = text.indexOf(u'E', 0, Qt::CaseInsensitive);
    if (e >= 0) {
        QStringView exponent = text.mid(e + 1);
        if (exponent.startsWith(u'-') || exponent.startsWith(u'+'))
            exponent = exponent.mid(1);
        if (!isDigits(exponent))
            return false;
        mantissa = text.left(e);
    }
    if (mantissa.startsWith(u'-'))
        mantissa = mantissa.mid(1);
    const qsizetype comma = separatorIn(mantissa);
    if (!isDigits(comma < 0 ? mantissa : mantissa.left(comma)) ||
        (comma >= 0 && !isDigits(mantissa.mid(comma + 1))))
        return false;
    return textToFloat(text, value);
}

bool parseBool(QStringView text, bool &value)
{
    static const QStringList yes{kYes, u"j"_s, u"1"_s, u"wahr"_s, u"x"_s};
    static const QStringList no{kNo, u"n"_s, u"0"_s, u"falsch"_s};
    value = yes.contains(text, Qt::CaseInsensitive);
    return value || no.contains(text, Qt::CaseInsensitive);
}

// Sets the field from its cell; the error text when the cell does not fit the field.
QString setCell(const TLagerArtikelFeld &f, const QString &cell, TLagerArtikelDaten &a)
{
    if (f.IsText()) {
        if (f.width > 0 && cell.size() > f.width)
            return formatText(tx("Spalte \"%s\": der Text ist laenger als %s Zeichen."),
                              {f.header, QString::number(f.width)});
        f.Text(a) = cell;
        return {};
    }
    const QString text = cell.trimmed();
    if (text.isEmpty()) {
        // an empty cell stands for the field's value in a new article
        TLagerArtikelDaten defaults;
        if (f.IsBool())
            f.Bool(a) = f.Bool(defaults);
        else if (f.IsFloat())
            f.Float(a) = f.Float(defaults);
        else if (f.IsMoney())
            f.Amount(a) = f.Amount(defaults);
        else
            f.SetInteger(a, f.Integer(defaults));
        return {};
    }
    const QStringList args{f.header, InputChecks::Echo(text)};
    if (f.IsBool()) {
        if (!parseBool(text, f.Bool(a)))
            return formatText(tx("Spalte \"%s\": \"%s\" ist weder ja noch nein."), args);
    } else if (f.IsFloat()) {
        if (!parseFloat(text, f.Float(a)))
            return formatText(tx("Spalte \"%s\": \"%s\" ist keine Zahl."), args);
    } else if (f.IsMoney()) {
        qint64 raw = 0;
        if (!parseMoney(text, raw))
            return formatText(
                tx("Spalte \"%s\": \"%s\" ist kein Betrag mit hoechstens vier Nachkommastellen."),
                args);
        f.Amount(a) = Money::fromRaw(raw);
    } else {
        const bool negative = text.startsWith(u'-');
        const QStringView digits = QStringView(text).mid(negative ? 1 : 0);
        if (!isDigits(digits) || digits.size() > 12 ||
            !f.SetInteger(a, negative ? -digits.toLongLong() : digits.toLongLong()))
            return formatText(tx("Spalte \"%s\": \"%s\" ist keine erlaubte ganze Zahl."), args);
    }
    return {};
}

QString lineError(int line, const QString &text)
{
    return formatText(tx("Zeile %s: %s"), {QString::number(line), text});
}

// Enough to find the pattern of what is wrong; a file with a million bad cells must not
// bury the terminal under its list.
constexpr qsizetype kMaxErrors = 100;
} // namespace

QString LagerCsv::MoneyCell(qint64 raw)
{
    const bool negative = raw < 0;
    const quint64 value = negative ? quint64(0) - quint64(raw) : quint64(raw);
    QString fraction = QString::number(value % 10000).rightJustified(4, u'0');
    while (fraction.size() > 2 && fraction.endsWith(u'0'))
        fraction.chop(1);
    return (negative ? u"-"_s : QString()) + QString::number(value / 10000) + u',' + fraction;
}

QString LagerCsv::FloatCell(double value)
{
    return floatToText(value, u',');
}

qsizetype LagerCsv::Export(IModLagerDBServerObj &db, const QString &path, QString *error)
{
    const QList<const TLagerArtikelFeld *> columns = csvColumns();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = formatText(tx("Die Datei \"%s\" kann nicht geschrieben werden: %s"),
                                {path, file.errorString()});
        return -1;
    }
    QStringList header;
    for (const TLagerArtikelFeld *f : columns)
        header.append(f->header);
    QString chunk;
    appendLine(chunk, header);
    file.write("\xEF\xBB\xBF");

    qsizetype count = 0;
    db.Refresh();
    db.SetArticleIndex(QString(IModLagerDBServerObj::kArticleIndex));
    TTdbTable &table = db.LagerTable();
    auto progress = interaction().progress(tx("Export"), db.ArticleCount());
    QStringList cells;
    TLagerServerObj article;
    for (table.First(); !table.Eof(); table.Next()) {
        db.ReadRow(article);
        cells.clear();
        for (const TLagerArtikelFeld *f : columns)
            cells.append(cellOf(*f, article));
        appendLine(chunk, cells);
        if (chunk.size() > 1 << 16)
            file.write(std::exchange(chunk, QString()).toUtf8());
        ++count;
        progress->step();
    }
    file.write(chunk.toUtf8());
    if (!file.commit()) {
        if (error)
            *error = formatText(tx("Die Datei \"%s\" kann nicht geschrieben werden: %s"),
                                {path, file.errorString()});
        return -1;
    }
    return count;
}

void TLagerCsvImport::addError(const QString &text)
{
    if (m_errors.size() < kMaxErrors)
        m_errors.append(text);
    else
        ++m_moreErrors;
}

QStringList TLagerCsvImport::Errors() const
{
    QStringList all = m_errors;
    if (m_moreErrors > 0)
        all.append(formatText(tx("... und %s weitere Fehler."), {QString::number(m_moreErrors)}));
    return all;
}

bool TLagerCsvImport::Read(const QByteArray &data)
{
    m_columns.clear();
    m_rows.clear();
    m_errors.clear();
    m_moreErrors = 0;
    m_nrColumn = -1;
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(data);
    if (decode.hasError()) {
        addError(tx("Die Datei ist nicht in UTF-8 geschrieben."));
        return false;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    std::vector<Record> records;
    int badLine = 0;
    if (!splitRecords(text, records, badLine)) {
        addError(lineError(badLine, tx("Ein Feld in Anfuehrungszeichen wird nicht "
                                       "geschlossen.")));
        return false;
    }
    if (records.empty()) {
        addError(tx("Die Datei hat keine Kopfzeile."));
        return false;
    }

    const Record &header = records.front();
    for (const QString &name : header.cells) {
        const TLagerArtikelFeld *f = TLagerArtikelFeld::ByHeader(name);
        if (!f)
            addError(lineError(header.line, formatText(tx("Die Spalte \"%s\" ist unbekannt."),
                                                       {InputChecks::Echo(name)})));
        else if (std::find(m_columns.begin(), m_columns.end(), f) != m_columns.end())
            addError(lineError(header.line, formatText(tx("Die Spalte \"%s\" kommt doppelt vor."),
                                                       {InputChecks::Echo(name)})));
        else if (f->key == u"LagerArtikelNr")
            m_nrColumn = int(m_columns.size());
        m_columns.push_back(f);
    }
    if (m_nrColumn < 0)
        addError(lineError(header.line, formatText(tx("Die Spalte \"%s\" fehlt."),
                                                   {TLagerArtikelFeld::All()[0].header})));
    if (!m_errors.isEmpty())
        return false;

    std::vector<qsizetype> textColumns;
    for (size_t c = 0; c < m_columns.size(); ++c)
        if (m_columns[c]->IsText())
            textColumns.push_back(qsizetype(c));
    QHash<QString, int> firstLine;
    TLagerArtikelDaten scratch;
    for (size_t r = 1; r < records.size(); ++r) {
        Record &record = records[r];
        if (record.cells.size() == 1 && record.cells[0].trimmed().isEmpty())
            continue; // blank lines, as spreadsheets leave them at the end
        if (record.cells.size() != qsizetype(m_columns.size())) {
            addError(lineError(
                record.line, formatText(txn("Die Zeile hat %s Feld statt %s.",
                                            "Die Zeile hat %s Felder statt %s.", record.cells.size()),
                                        {QString::number(record.cells.size()),
                                         QString::number(m_columns.size())})));
            continue;
        }
        for (qsizetype c : textColumns)
            record.cells[c] = unprotectedText(record.cells[c]);
        QString &nr = record.cells[m_nrColumn];
        nr = InputChecks::ArticleNumber(nr);
        if (const QString problem = InputChecks::ArticleNumberProblem(nr); !problem.isEmpty())
            addError(lineError(record.line, problem));
        else if (const int seen = firstLine.value(nr); seen > 0)
            addError(lineError(record.line,
                               formatText(tx("Die Artikel-Nr. \"%s\" steht schon in Zeile %s."),
                                          {nr, QString::number(seen)})));
        else
            firstLine.insert(nr, record.line);
        for (size_t c = 0; c < m_columns.size(); ++c) {
            const QString problem = setCell(*m_columns[c], record.cells[qsizetype(c)], scratch);
            if (!problem.isEmpty())
                addError(lineError(record.line, problem));
        }
        if (scratch.PE < 1)
            addError(lineError(
                record.line, formatText(tx("Spalte \"%s\": \"%s\" ist keine erlaubte ganze Zahl."),
                                        {TLagerArtikelFeld::ByKey(u"PE")->header,
                                         QString::number(scratch.PE)})));
        scratch.PE = 1;
        m_rows.push_back({record.line, std::move(record.cells)});
    }
    return m_errors.isEmpty();
}

namespace
{
// What bookings and stock-taking keep; a file from last week's export must not undo them.
bool isBookedQuantity(const TLagerArtikelFeld &f)
{
    static const QStringList keys{u"BuchungsBestand"_s, u"SummeWareneingangMe"_s,
                                  u"Anfangsbestand"_s, u"InventurErfassung"_s,
                                  u"Inventurdifferenz"_s};
    return keys.contains(f.key);
}
} // namespace

TLagerCsvImport::Applied TLagerCsvImport::apply(const Row &row, TLagerArtikelDaten &article,
                                                bool existing) const
{
    Applied result;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const TLagerArtikelFeld &f = *m_columns[c];
        const QString &cell = row.cells[qsizetype(c)];
        if (existing && isBookedQuantity(f)) {
            TLagerArtikelDaten probe;
            setCell(f, cell, probe);
            result.quantityKept = result.quantityKept || f.Float(probe) != f.Float(article);
            continue;
        }
        bool same = true;
        if (f.IsText()) {
            const QString before = f.Text(article);
            setCell(f, cell, article);
            same = f.Text(article) == before;
        } else if (f.IsBool()) {
            const bool before = f.Bool(article);
            setCell(f, cell, article);
            same = f.Bool(article) == before;
        } else if (f.IsFloat()) {
            // A cell holds 15 digits; a stored factor may have more. The same cell text is the
            // same value as far as the file can say.
            const double before = f.Float(article);
            setCell(f, cell, article);
            same = f.Float(article) == before ||
                   LagerCsv::FloatCell(f.Float(article)) == LagerCsv::FloatCell(before);
            if (same)
                f.Float(article) = before;
        } else if (f.IsMoney()) {
            const Money before = f.Amount(article);
            setCell(f, cell, article);
            same = f.Amount(article) == before;
        } else {
            const qint64 before = f.Integer(article);
            setCell(f, cell, article);
            same = f.Integer(article) == before;
        }
        result.changed = result.changed || !same;
    }
    return result;
}

TLagerCsvImport::Result TLagerCsvImport::Write(IModLagerDBServerObj &db, const QString &owner,
                                               const RightCheck &allowed, bool dryRun)
{
    m_created = m_changed = m_unchanged = m_quantitiesKept = 0;
    if (!m_errors.isEmpty())
        return Result::Invalid;
    std::unique_ptr<TDateischutzWF> lock;
    if (!dryRun) {
        lock = db.LockDatabase(owner);
        if (!lock)
            return Result::Locked;
    }
    db.Refresh();
    // One pass over the table as the stock list loads it instead of a look-up per row: the
    // look-ups made a dry run over 100,000 rows take half a minute.
    QSet<QString> stored;
    {
        TDBLagerSearchResultObjectList all;
        db.Search(QString(), QString(), all, false, false);
        stored.reserve(all.Count());
        for (const TDBLagerSearchResult *entry : all)
            stored.insert(entry->ArtikelNr().toString());
    }
    // A row that gives an existing article what it has already is not written: re-importing
    // an export must not mark every article as changed now by the importer.
    std::vector<bool> exists(m_rows.size());
    std::vector<bool> write(m_rows.size());
    QStringList busy;
    TLagerServerObj article;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const QString &nr = m_rows[i].cells[m_nrColumn];
        exists[i] = stored.contains(nr);
        write[i] = !exists[i];
        if (exists[i]) {
            article.Clear();
            article.LagerArtikelNr = nr;
            if (db.ReadArticle(&article) != 0)
                return Result::Failed;
            const Applied applied = apply(m_rows[i], article, true);
            m_quantitiesKept += applied.quantityKept;
            write[i] = applied.changed;
        }
        ++(!exists[i] ? m_created : write[i] ? m_changed : m_unchanged);
        // Whoever edits an article in the window holds its record lock; the import must not
        // overwrite what they are about to save.
        if (!dryRun && write[i] &&
            !TDateischutz::HolderRecord(db.DatabaseDirectory() +
                                        TDatabaseStoreBase::RecordLockName(nr) + u".SRW"_s)
                 .isEmpty())
            busy.append(nr);
    }
    if (allowed && !allowed(m_created, m_changed))
        return Result::Refused;
    if (dryRun || m_created + m_changed == 0)
        return Result::Done;
    // Only the articles someone holds are locked here, waiting as every record lock waits;
    // taking a lock file for each of 100,000 rows would cost more than the import.
    std::vector<std::unique_ptr<TDateischutzWF>> recordLocks;
    for (const QString &nr : busy) {
        recordLocks.push_back(db.LockRecord(owner, nr));
        if (!recordLocks.back())
            return Result::Locked;
    }

    TTdbTable &table = db.LagerTable();
    auto progress = interaction().progress(tx("Import"), m_created + m_changed);
    const double now = DateTime::now();
    try {
        table.StartTransaction();
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (!write[i])
                continue;
            article.Clear();
            article.LagerArtikelNr = m_rows[i].cells[m_nrColumn];
            // read again: the holder of a record lock may have saved it meanwhile
            if (exists[i] && db.ReadArticle(&article) != 0)
                throw std::runtime_error("ReadArticle");
            if (!exists[i]) {
                article.Created = now;
                article.CreatedBy = owner;
            }
            apply(m_rows[i], article, exists[i]);
            article.Changed = now;
            article.ChangedBy = owner;
            if (db.WriteArticle(&article) != 0)
                throw std::runtime_error("WriteArticle");
            // The history file is attached to the table's connection: same transaction.
            if (!exists[i] &&
                db.AppendBooking(TLagerBuchung::Change(TLagerBuchung::Import,
                                                       article.LagerArtikelNr, 0,
                                                       article.BuchungsBestand, now,
                                                       TLagerBuchung::CurrentUser())) != 0)
                throw std::runtime_error("AppendBooking");
            progress->step();
        }
        table.Commit();
    } catch (const std::exception &e) {
        db.ReportError(&e, u"Import"_s);
        if (table.Active())
            table.Rollback();
        return Result::Failed;
    }
    return Result::Done; // the locks go with their owners
}
