#include "stock/lagercsv.h"

#include "base/formatsettings.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/dblagersearchresult.h"
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
        return f.Text(a);
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

bool parseMoney(QStringView text, qint64 &raw)
{
    const bool negative = text.startsWith(u'-');
    const QStringView body = negative ? text.mid(1) : text;
    const qsizetype comma = body.indexOf(u',');
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
    const qsizetype comma = mantissa.indexOf(u',');
    if (!isDigits(comma < 0 ? mantissa : mantissa.left(comma)) ||
        (comma >= 0 && !isDigits(mantissa.mid(comma + 1))))
        return false;
    bool ok = false;
    value = text.toString().replace(u',', u'.').toDouble(&ok);
    return ok && std::isfinite(value);
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
    const QStringList args{f.header, text};
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
            *error = formatText(tx("Die Datei \"%s\" kann nicht geschrieben werden."), {path});
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
            *error = formatText(tx("Die Datei \"%s\" kann nicht geschrieben werden."), {path});
        return -1;
    }
    return count;
}

bool TLagerCsvImport::Read(const QByteArray &data)
{
    m_columns.clear();
    m_rows.clear();
    m_errors.clear();
    m_nrColumn = -1;
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(data);
    if (decode.hasError()) {
        m_errors.append(tx("Die Datei ist nicht in UTF-8 geschrieben."));
        return false;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    std::vector<Record> records;
    int badLine = 0;
    if (!splitRecords(text, records, badLine)) {
        m_errors.append(lineError(badLine, tx("Ein Feld in Anfuehrungszeichen wird nicht "
                                              "geschlossen.")));
        return false;
    }
    if (records.empty()) {
        m_errors.append(tx("Die Datei hat keine Kopfzeile."));
        return false;
    }

    const Record &header = records.front();
    for (const QString &name : header.cells) {
        const TLagerArtikelFeld *f = TLagerArtikelFeld::ByHeader(name);
        if (!f)
            m_errors.append(
                lineError(header.line, formatText(tx("Die Spalte \"%s\" ist unbekannt."), {name})));
        else if (std::find(m_columns.begin(), m_columns.end(), f) != m_columns.end())
            m_errors.append(lineError(
                header.line, formatText(tx("Die Spalte \"%s\" kommt doppelt vor."), {name})));
        else if (f->key == u"LagerArtikelNr")
            m_nrColumn = int(m_columns.size());
        m_columns.push_back(f);
    }
    if (m_nrColumn < 0)
        m_errors.append(lineError(header.line, formatText(tx("Die Spalte \"%s\" fehlt."),
                                                          {TLagerArtikelFeld::All()[0].header})));
    if (!m_errors.isEmpty())
        return false;

    QHash<QString, int> firstLine;
    TLagerArtikelDaten scratch;
    for (size_t r = 1; r < records.size(); ++r) {
        Record &record = records[r];
        if (record.cells.size() == 1 && record.cells[0].trimmed().isEmpty())
            continue; // blank lines, as spreadsheets leave them at the end
        if (record.cells.size() != qsizetype(m_columns.size())) {
            m_errors.append(
                lineError(record.line,
                          formatText(txn("Die Zeile hat %s Feld statt %s.",
                                         "Die Zeile hat %s Felder statt %s.", record.cells.size()),
                                     {QString::number(record.cells.size()),
                                      QString::number(m_columns.size())})));
            continue;
        }
        QString &nr = record.cells[m_nrColumn];
        nr = nr.trimmed();
        if (nr.isEmpty())
            m_errors.append(lineError(record.line, tx("Die Artikel-Nr. fehlt.")));
        else if (const int seen = firstLine.value(nr); seen > 0)
            m_errors.append(lineError(
                record.line, formatText(tx("Die Artikel-Nr. \"%s\" steht schon in Zeile %s."),
                                        {nr, QString::number(seen)})));
        else
            firstLine.insert(nr, record.line);
        for (size_t c = 0; c < m_columns.size(); ++c) {
            const QString problem = setCell(*m_columns[c], record.cells[qsizetype(c)], scratch);
            if (!problem.isEmpty())
                m_errors.append(lineError(record.line, problem));
        }
        if (scratch.PE < 1)
            m_errors.append(lineError(
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

bool TLagerCsvImport::apply(const Row &row, TLagerArtikelDaten &article, bool existing) const
{
    bool kept = false;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const TLagerArtikelFeld &f = *m_columns[c];
        if (existing && isBookedQuantity(f)) {
            TLagerArtikelDaten probe;
            setCell(f, row.cells[qsizetype(c)], probe);
            kept = kept || f.Float(probe) != f.Float(article);
            continue;
        }
        setCell(f, row.cells[qsizetype(c)], article);
    }
    return kept;
}

TLagerCsvImport::Result TLagerCsvImport::Write(IModLagerDBServerObj &db, const QString &owner,
                                               const RightCheck &allowed, bool dryRun)
{
    m_created = m_changed = m_quantitiesKept = 0;
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
    std::vector<bool> exists(m_rows.size());
    QStringList busy;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const QString &nr = m_rows[i].cells[m_nrColumn];
        exists[i] = stored.contains(nr);
        ++(exists[i] ? m_changed : m_created);
        // Whoever edits an article in the window holds its record lock; the import must not
        // overwrite what they are about to save.
        if (!dryRun &&
            !TDateischutz::HolderRecord(db.DatabaseDirectory() +
                                        TDatabaseStoreBase::RecordLockName(nr) + u".SRW"_s)
                 .isEmpty())
            busy.append(nr);
    }
    if (allowed && !allowed(m_created, m_changed))
        return Result::Refused;
    if (dryRun)
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
    auto progress = interaction().progress(tx("Import"), int(m_rows.size()));
    const double now = DateTime::now();
    try {
        table.StartTransaction();
        TLagerServerObj article;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            article.Clear();
            article.LagerArtikelNr = m_rows[i].cells[m_nrColumn];
            if (exists[i] && db.ReadArticle(&article) != 0)
                throw std::runtime_error("ReadArticle");
            if (!exists[i]) {
                article.Created = now;
                article.CreatedBy = owner;
            }
            if (apply(m_rows[i], article, exists[i]))
                ++m_quantitiesKept;
            article.Changed = now;
            article.ChangedBy = owner;
            if (db.WriteArticle(&article) != 0)
                throw std::runtime_error("WriteArticle");
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
