#include "catalogs/datanorm/datanormimport.h"

#include "base/inifile.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "catalogs/katalog1db.h"
#include "catalogs/searchtextindex.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace
{
struct Rec {
    QString file;
    int line = 0;
    QStringList f;
    QString at(int i) const { return f.value(i).trimmed(); }
};

struct Broken {
    QString text;
};

[[noreturn]] void broken(const QString &file, int line, const QString &why)
{
    throw Broken{formatText(tx("Datei \"%s\", Zeile %s: %s"), {file, QString::number(line), why})};
}

qint64 number(const Rec &r, int i)
{
    const QString s = r.at(i);
    if (s.isEmpty())
        return 0;
    bool ok = false;
    const qint64 v = s.toLongLong(&ok);
    if (!ok)
        broken(r.file, r.line,
               formatText(tx("Feld %s ist keine Zahl: \"%s\"."), {QString::number(i), s}));
    return v;
}

Money cents(qint64 v)
{
    return Money::fromRaw(v * 100);
}

// Code page 850, the upper half; the lower half is ASCII.
const char16_t kCp850[129] = u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜø£Ø×ƒáíóúñÑªº¿®¬½¼¡«»░▒▓│┤ÁÂÀ©╣║╗╝¢¥┐└┴┬├"
                             u"─┼ãÃ╚╔╩╦╠═╬¤ðÐÊËÈıÍÎÏ┘┌█▄¦Ì▀"
                             u"ÓßÔÒõÕµþÞÚÛÙýÝ¯´\u00AD±‗¾¶§÷¸°¨·¹³²■\u00A0";

struct ArticleChange {
    bool hasA = false, hasB = false, del = false;
    Rec a, b;
    QList<Rec> d;
};

// The fields of the A and B records over the article; the rest stays as it was.
void applyA(const Rec &r, TKatalog1Artikel &a, const QHash<QString, double> &discounts)
{
    a.ArtikelNr = r.at(2);
    const QString textKz = r.at(3);
    a.TextKZ = quint8(textKz.left(1).toInt());
    a.KurzZeile1 = r.at(4);
    a.KurzZeile2 = textKz.mid(1, 1) == u"1"_s ? QString() : r.at(5);
    a.PreisKZ = quint8(number(r, 6));
    static constexpr int units[4] = {1, 10, 100, 1000};
    a.Preiseinheit = units[number(r, 7)];
    a.ME = r.at(8);
    const Money price = cents(number(r, 9));
    a.Rabattgruppe = r.at(10);
    a.Hauptwarengruppe = r.at(11);
    a.LangtextNr = r.at(12);
    if (a.PreisKZ == 1) {
        a.Listenpreis = price;
        a.Rabatt = discounts.value(a.Rabattgruppe, 0);
        a.Netto = ApplyDiscount(false, price, a.Rabatt);
    } else {
        a.Listenpreis = Money();
        a.Rabatt = 0;
        a.Netto = price;
    }
}

void applyB(const Rec &r, TKatalog1Artikel &a)
{
    a.Matchcode = r.at(3);
    a.AlternativArtikelNr = r.at(4);
    a.Katalogseite = r.at(5);
    a.EAN = r.at(9);
    a.AnbindNr = r.at(10);
    a.Warengruppe = r.at(11);
    a.Kostenart = r.at(12);
    a.Verpackungsmenge = std::max<qint32>(1, qint32(number(r, 13)));
    a.ReferenzNrErsteller = r.at(14);
    a.ReferenzNr = r.at(15);
}

void applyTexts(const ArticleChange &c, TKatalog1Artikel &a)
{
    a.Dimensionslangtexte.Clear();
    if (!a.LangtextNr.isEmpty())
        a.Dimensionslangtexte.Add(TKatalog1Dimensionslangtext{2, QString(), a.LangtextNr});
    for (const Rec &d : c.d)
        for (int base : {3, 7}) {
            const QString sub = d.at(base + 1).toUpper();
            if (sub == u"F"_s)
                a.Dimensionslangtexte.Add(TKatalog1Dimensionslangtext{1, d.at(base + 3), {}});
            else if (sub == u"T"_s)
                a.Dimensionslangtexte.Add(TKatalog1Dimensionslangtext{2, {}, d.at(base + 2)});
            else if (sub == u"E"_s)
                a.Dimensionslangtexte.Add(
                    TKatalog1Dimensionslangtext{3, d.at(base + 3), d.at(base + 2)});
        }
}

void checkRecord(const Rec &r)
{
    const QString type = r.at(0);
    const auto flag = [&r] {
        const QString f = r.at(1).toUpper();
        if (f != u"N"_s && f != u"A"_s && f != u"L"_s && f != u"X"_s)
            broken(r.file, r.line,
                   formatText(tx("Unbekannter Verarbeitungsschluessel \"%s\"."), {r.at(1)}));
    };
    if (type == u"A"_s) {
        flag();
        if (r.at(2).isEmpty())
            broken(r.file, r.line, tx("Artikelnummer fehlt."));
        number(r, 6);
        const qint64 unit = number(r, 7);
        if (unit < 0 || unit > 3)
            broken(r.file, r.line, formatText(tx("Unbekannte Preiseinheit \"%s\"."), {r.at(7)}));
        number(r, 9);
    } else if (type == u"B"_s) {
        flag();
        if (r.at(2).isEmpty())
            broken(r.file, r.line, tx("Artikelnummer fehlt."));
        number(r, 13);
    } else if (type == u"T"_s || type == u"E"_s) {
        flag();
        number(r, 4);
        number(r, 7);
    } else if (type == u"D"_s) {
        flag();
        number(r, 3);
        number(r, 7);
    } else if (type == u"R"_s) {
        number(r, 3);
        number(r, 4);
    } else if (type == u"P"_s) {
        for (int g = 1; g + 2 < r.f.size(); g += 9) {
            number(r, g + 2);
            number(r, g + 3);
            number(r, g + 5);
        }
    }
}

std::vector<Rec> readFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        broken(name, 0, tx("Die Datei kann nicht gelesen werden."));
    const QString text = DatanormImport::Decode(file.readAll());
    std::vector<Rec> out;
    bool header = false;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (!header) {
            if (!line.startsWith(u'V') || line.mid(123, 2) != u"04"_s)
                broken(name, i + 1, tx("Kein Kopfsatz einer DATANORM-4-Datei."));
            header = true;
            continue;
        }
        if (!line.endsWith(u';'))
            broken(name, i + 1, tx("Der Satz ist unvollstaendig."));
        Rec r{name, i + 1, line.split(u';')};
        r.f.removeLast();
        checkRecord(r);
        out.push_back(std::move(r));
    }
    if (!header)
        broken(name, 1, tx("Kein Kopfsatz einer DATANORM-4-Datei."));
    return out;
}

QString blockText(const QMap<int, QString> &lines)
{
    QStringList l;
    for (const QString &s : lines)
        l << s;
    return l.join(u"\r\n"_s);
}

void removeRows(TTdbTable &t, const QString &id, int type)
{
    t.First();
    while (!t.Eof()) {
        if (t.FieldByName(u"ID"_s).AsString() == id &&
            (type < 0 || t.FieldByName(u"IDTYPE"_s).AsInteger() == type))
            t.Delete();
        else
            t.Next();
    }
}

bool writeIndex(TKatalog1DB &db, const QString &dir, QString *error)
{
    TSearchtextIndexWriter index;
    TTdbTable &t = db.Catalog();
    for (t.First(); !t.Eof(); t.Next()) {
        TKatalog1Artikel a;
        db.ReadCurrentRow(a);
        index.Add(a.ArtikelNr, {a.KurzZeile1, a.KurzZeile2, a.Matchcode, a.ArtikelNr, a.EAN});
    }
    const QString side = dir + u"STX.NEU/"_s;
    QDir(side).removeRecursively();
    if (!QDir().mkpath(side) || !index.Write(side, error))
        return false;
    // Readers see the old index or the new one, file by file, never a half-written file.
    for (const QString &f : QDir(side).entryList(QDir::Files)) {
        std::error_code ec;
        std::filesystem::rename(QString(side + f).toStdString(), QString(dir + f).toStdString(),
                                ec);
        if (ec) {
            *error = QString::fromStdString(ec.message());
            return false;
        }
    }
    QDir(side).removeRecursively();
    return true;
}
} // namespace

QString DatanormImport::Decode(const QByteArray &raw)
{
    QByteArray bytes = raw;
    if (const qsizetype eof = bytes.indexOf('\x1A'); eof >= 0)
        bytes.truncate(eof);
    int cp850 = 0, cp1252 = 0;
    for (const char c : std::as_const(bytes)) {
        switch (quint8(c)) {
        case 0x84:
        case 0x94:
        case 0x81:
        case 0xE1:
        case 0x8E:
        case 0x99:
        case 0x9A:
            ++cp850;
            break;
        case 0xE4:
        case 0xF6:
        case 0xFC:
        case 0xDF:
        case 0xC4:
        case 0xD6:
        case 0xDC:
            ++cp1252;
            break;
        default:
            break;
        }
    }
    if (cp1252 > cp850) {
        QStringDecoder dec("windows-1252");
        if (dec.isValid())
            return dec.decode(bytes);
    }
    QString out;
    out.reserve(bytes.size());
    for (const char c : std::as_const(bytes)) {
        const quint8 b = quint8(c);
        out += b < 0x80 ? QChar(char16_t(b)) : QChar(kCp850[b - 0x80]);
    }
    return out;
}

QStringList DatanormImport::DeliveryFiles(const QString &deliveryDir)
{
    const QDir dir(deliveryDir);
    QMap<QString, QString> byUpper;
    for (const QString &f : dir.entryList(QDir::Files))
        byUpper.insert(f.toUpper(), dir.filePath(f));
    if (!byUpper.contains(u"DATANORM.001"_s))
        return {};
    QStringList out;
    static const QRegularExpression volume(u"^DATANORM\\.\\d{3}$"_s);
    static const QRegularExpression prices(u"^DATPREIS\\.\\d{3}$"_s);
    for (auto it = byUpper.cbegin(); it != byUpper.cend(); ++it)
        if (volume.match(it.key()).hasMatch())
            out << it.value();
    for (const QString &f : {u"DATANORM.RAB"_s, u"DATANORM.WRG"_s})
        if (byUpper.contains(f))
            out << byUpper.value(f);
    for (auto it = byUpper.cbegin(); it != byUpper.cend(); ++it)
        if (prices.match(it.key()).hasMatch())
            out << it.value();
    return out;
}

DatanormImport::Result DatanormImport::Import(const QString &deliveryDir,
                                              const QString &catalogDirectory,
                                              const QString &supplier)
{
    Result result;
    const QString catalogDir =
        catalogDirectory.endsWith(u'/') ? catalogDirectory : catalogDirectory + u'/';
    const QStringList files = DeliveryFiles(deliveryDir);
    if (files.isEmpty()) {
        result.error = formatText(tx("Keine DATANORM-Dateien in \"%s\"."), {deliveryDir});
        return result;
    }
    std::vector<Rec> records;
    try {
        for (const QString &f : files) {
            result.bytes += QFileInfo(f).size();
            std::vector<Rec> r = readFile(f);
            std::move(r.begin(), r.end(), std::back_inserter(records));
        }
    } catch (const Broken &b) {
        result.error = b.text;
        return result;
    }

    // What the delivery says, gathered per article and per text block.
    QMap<QString, ArticleChange> articles;
    QMap<QString, QMap<int, QString>> blocks[2]; // T, E
    QSet<QString> deletedBlocks[2];
    QList<const Rec *> discounts, groups, prices;
    for (const Rec &r : records) {
        const QString type = r.at(0);
        const QString flag = r.at(1).toUpper();
        if (type == u"A"_s || type == u"B"_s || type == u"D"_s) {
            if (flag == u"X"_s) {
                ++result.skipped;
                continue;
            }
            ArticleChange &c = articles[r.at(2)];
            if (flag == u"L"_s)
                c.del = true;
            else if (type == u"A"_s)
                c.hasA = true, c.a = r;
            else if (type == u"B"_s)
                c.hasB = true, c.b = r;
            else
                c.d << r;
        } else if (type == u"T"_s || type == u"E"_s) {
            const int k = type == u"T"_s ? 0 : 1;
            if (flag == u"L"_s) {
                deletedBlocks[k].insert(r.at(2));
                continue;
            }
            QMap<int, QString> &b = blocks[k][r.at(2)];
            b.insert(int(number(r, 4)), r.at(6));
            if (!r.at(7).isEmpty())
                b.insert(int(number(r, 7)), r.at(9));
        } else if (type == u"R"_s) {
            discounts << &r;
        } else if (type == u"S"_s) {
            groups << &r;
        } else if (type == u"P"_s) {
            prices << &r;
        } else {
            ++result.skipped;
        }
    }

    const bool fresh = !QFileInfo::exists(catalogDir + u"CATALOG.DAT"_s);
    QString reported;
    TKatalog1DB db([&reported](const std::exception *, const QString &text) { reported = text; });
    std::unique_ptr<Progress> progress =
        interaction().progress(tx("DATANORM importieren"), int(articles.size() + prices.size()));
    try {
        db.Open(catalogDir);
        if (fresh) {
            IniFile ini;
            ini.writeInteger(u"Catalog"_s, u"Type"_s, 1);
            ini.writeString(u"Catalog"_s, u"Description"_s, QDir(catalogDir).dirName());
            ini.writeString(u"Supplier"_s, u"ID"_s, supplier);
            ini.saveAs(catalogDir + u"SUPPLIER.INI"_s);
        }
        db.Database().StartTransaction();
        if (!discounts.isEmpty()) {
            TTdbTable &t = db.DiscountGroups();
            t.EmptyTable();
            for (const Rec *r : discounts) {
                const qint64 v = number(*r, 4);
                const double pct =
                    number(*r, 3) == 2 ? (1.0 - double(v) / 1000) * 100 : double(v) / 100;
                t.Append();
                t.FieldByName(u"ID"_s).SetAsString(r->at(2));
                t.FieldByName(u"RABATT"_s).SetAsFloat(pct);
                t.FieldByName(u"BESCHREIBUNG"_s).SetAsString(r->at(5));
                t.Post();
            }
        }
        if (!groups.isEmpty()) {
            TTdbTable &t = db.GoodsGroups();
            t.EmptyTable();
            for (const Rec *r : groups) {
                const bool main = r->at(4).isEmpty();
                t.Append();
                t.FieldByName(u"HAUPTWRG"_s).SetAsString(r->at(2));
                t.FieldByName(u"WRG"_s).SetAsString(main ? QString() : r->at(4));
                t.FieldByName(u"ISHAUPTWRG"_s).SetAsBoolean(main);
                t.FieldByName(u"BESCHREIBUNG"_s).SetAsString(main ? r->at(3) : r->at(5));
                t.Post();
            }
        }
        QHash<QString, double> percent;
        {
            TTdbTable &t = db.DiscountGroups();
            for (t.First(); !t.Eof(); t.Next())
                percent.insert(t.FieldByName(u"ID"_s).AsString(),
                               t.FieldByName(u"RABATT"_s).AsFloat());
        }
        for (int k = 0; k < 2; ++k) {
            TTdbTable &t = db.Langtexte();
            for (const QString &nr : std::as_const(deletedBlocks[k]))
                removeRows(t, nr, k + 2);
            for (auto it = blocks[k].cbegin(); it != blocks[k].cend(); ++it) {
                if (!fresh)
                    removeRows(t, it.key(), k + 2);
                t.Append();
                t.FieldByName(u"ID"_s).SetAsString(it.key());
                t.FieldByName(u"IDTYPE"_s).SetAsInteger(k + 2);
                t.FieldByName(u"LT"_s).SetAsString(blockText(it.value()));
                t.Post();
            }
        }
        const double now = DateTime::now();
        TTdbTable &catalog = db.Catalog();
        for (auto it = articles.cbegin(); it != articles.cend(); ++it) {
            if (progress->cancelled())
                throw Broken{};
            progress->step();
            const ArticleChange &c = it.value();
            const bool exists = !fresh && db.GoTo(it.key());
            if (c.del) {
                if (exists) {
                    catalog.Delete();
                    ++result.deleted;
                }
                continue;
            }
            TKatalog1Artikel a;
            if (exists)
                db.ReadCurrentRow(a);
            else if (!c.hasA)
                continue; // B or D lines of an article the catalog does not know
            const Money oldNet = a.Netto;
            if (c.hasA)
                applyA(c.a, a, percent);
            if (c.hasB)
                applyB(c.b, a);
            if (c.hasA || !c.d.isEmpty())
                applyTexts(c, a);
            a.ArtikelNr = it.key();
            if (exists && a.Netto != oldNet) {
                a.LastNetto = oldNet;
                a.LastNettoChanged = now;
            }
            if (exists)
                catalog.Edit();
            else
                catalog.Append();
            db.WriteRow(a);
            catalog.Post();
            ++result.written;
        }
        for (const Rec *r : prices) {
            if (progress->cancelled())
                throw Broken{};
            progress->step();
            for (int g = 1; g + 2 < r->f.size(); g += 9) {
                const QString nr = r->at(g + 1);
                if (nr.isEmpty() || !db.GoTo(nr))
                    continue;
                TKatalog1Artikel a;
                db.ReadCurrentRow(a);
                const Money oldNet = a.Netto;
                const Money price = cents(number(*r, g + 3));
                a.PreisKZ = quint8(number(*r, g + 2));
                if (a.PreisKZ == 1) {
                    a.Listenpreis = price;
                    if (number(*r, g + 4) == 1)
                        a.Rabatt = double(number(*r, g + 5)) / 100;
                    a.Netto = ApplyDiscount(false, price, a.Rabatt);
                } else {
                    a.Listenpreis = Money();
                    a.Rabatt = 0;
                    a.Netto = price;
                }
                if (a.Netto != oldNet) {
                    a.LastNetto = oldNet;
                    a.LastNettoChanged = now;
                }
                catalog.Edit();
                db.WriteRow(a);
                catalog.Post();
            }
        }
        db.Database().Commit();
    } catch (const Broken &b) {
        if (db.IsOpen() && db.Database().InTransaction())
            db.Database().Rollback();
        result.cancelled = b.text.isEmpty();
        result.error = b.text;
        result.written = result.deleted = 0;
        return result;
    } catch (const std::exception &e) {
        if (db.IsOpen() && db.Database().InTransaction())
            db.Database().Rollback();
        result.error = QString::fromUtf8(e.what()) + u' ' + reported;
        result.written = result.deleted = 0;
        return result;
    }
    QString error;
    if (!writeIndex(db, catalogDir, &error)) {
        result.error = error;
        return result;
    }
    result.ok = true;
    return result;
}
