#include "suitegenerator.h"

#include "base/formatsettings.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "suite/inifilesec.h"
#include "tools/suitegen/addressgenerator.h"
#include "tools/suitegen/minstocktemplategenerator.h"
#include "tools/suitegen/ordergenerator.h"
#include "tools/suitegen/serialarticlegenerator.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace
{

const char *const kDataDirKeys[] = {"A1",         "Journale",       "Kleinrechnungen", "Angebote",
                                    "Wartung",    "Leistungsdatei", "Auftraege",       "Briefe",
                                    "Kommission", "Bestellwesen",   "Lager",           "Kataloge"};

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool makeDir(const QString &path, QString *error)
{
    if (QDir().mkpath(path))
        return true;
    return fail(error, QStringLiteral("cannot create directory %1").arg(path));
}

bool copyTree(const QString &from, const QString &to, QString *error)
{
    if (!makeDir(to, error))
        return false;
    const QDir src(from);
    for (const QFileInfo &fi :
         src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString dest = to + u'/' + fi.fileName();
        if (fi.isDir()) {
            if (!copyTree(fi.filePath(), dest, error))
                return false;
            continue;
        }
        QFile::remove(dest);
        if (!QFile::copy(fi.filePath(), dest))
            return fail(error, QStringLiteral("cannot copy %1").arg(fi.filePath()));
        QFile::setPermissions(dest, fi.permissions());
    }
    return true;
}

bool copyPrograms(const QString &binDir, const QString &target, QString *error)
{
    if (!makeDir(target, error))
        return false;
    for (const QString &name : {QStringLiteral("MOD00501"), QStringLiteral("MOD00318"),
                                QStringLiteral("lager"), QStringLiteral("mksuite")}) {
        const QFileInfo fi(binDir + u'/' + name);
        if (!fi.exists())
            continue;
        const QString dest = target + u'/' + name;
        QFile::remove(dest);
        if (!QFile::copy(fi.filePath(), dest))
            return fail(error, QStringLiteral("cannot copy %1").arg(fi.filePath()));
        QFile::setPermissions(dest, fi.permissions());
    }
    const QString locale = binDir + QStringLiteral("/locale");
    if (QFileInfo(locale).isDir())
        return copyTree(locale, target + QStringLiteral("/locale"), error);
    return true;
}

bool saveWriter(TIniFileSecWriter &w, const QString &path, QString *error)
{
    return w.save() || fail(error, QStringLiteral("cannot write %1").arg(path));
}

// What a plumbing and heating wholesaler keeps: per group a number prefix, the items and the
// sizes they come in.
struct StockGroup {
    const char16_t *name;
    const char16_t *prefix;
    std::initializer_list<const char16_t *> items;
    std::initializer_list<const char16_t *> sizes;
};

const StockGroup kStockGroups[] = {
    {u"ROHRE",
     u"ROH",
     {u"Rohr", u"Kupferrohr", u"Stahlrohr", u"Mehrschichtverbundrohr", u"HT-Rohr", u"KG-Rohr"},
     {u"DN15", u"DN20", u"DN25", u"DN32", u"DN50", u"15mm", u"22mm", u"28mm", u"1/2\"", u"3/4\""}},
    {u"FITTINGS",
     u"FIT",
     {u"Bogen 90°", u"Bogen 45°", u"Muffe", u"T-Stück", u"Reduzierstück", u"Pressfitting",
      u"Winkel", u"Nippel", u"Kappe", u"Übergangsstück"},
     {u"DN15", u"DN20", u"DN25", u"15mm", u"22mm", u"1/2\"", u"3/4\"", u"1\""}},
    {u"ARMATUREN",
     u"ARM",
     {u"Kugelhahn", u"Eckventil", u"Rückflussverhinderer", u"Absperrventil", u"Druckminderer",
      u"Schieber"},
     {u"DN15", u"DN20", u"DN25", u"1/2\"", u"3/4\"", u"1\""}},
    {u"HEIZUNG",
     u"HZG",
     {u"Heizkörperventil", u"Thermostatkopf", u"Heizkörper Typ 22", u"Umwälzpumpe",
      u"Ausdehnungsgefäß", u"Entlüfter"},
     {u"DN10", u"DN15", u"1/2\"", u"600x1000", u"25-60", u"18 l"}},
    {u"BEFESTIGUNG",
     u"BEF",
     {u"Rohrschelle", u"Schraube", u"Mutter", u"Dübel", u"Gewindestange", u"Scheibe"},
     {u"M6", u"M8", u"M10", u"M12", u"8x60", u"10x80"}},
    {u"SANITAER",
     u"SAN",
     {u"Siphon", u"Spülkasten", u"Waschtischarmatur", u"Brausegarnitur", u"WC-Sitz",
      u"Ablaufgarnitur"},
     {u"1 1/4\"", u"DN40", u"DN50", u"Standard", u"Komfort"}},
    {u"DICHTUNGEN",
     u"DIC",
     {u"Flachdichtung", u"O-Ring", u"Hanf", u"Dichtband", u"Gummidichtung"},
     {u"1/2\"", u"3/4\"", u"1\"", u"DN15", u"DN20", u"12x2"}},
};
const char16_t *const kMaterials[] = {u"Kupfer", u"Edelstahl", u"verzinkt", u"Messing", u"Rotguss",
                                      u"PVC",    u"PE-X",      u"schwarz",  u"",        u""};
const char16_t *const kUnits[] = {u"Stk", u"Stk", u"Stk", u"m", u"Pack", u"kg", u"Rolle"};

template <typename T> const T &pick(QRandomGenerator &rng, std::initializer_list<T> list)
{
    return *(list.begin() + rng.bounded(int(list.size())));
}
template <typename T, size_t N> const T &pick(QRandomGenerator &rng, const T (&array)[N])
{
    return array[rng.bounded(int(N))];
}

Money cents(qint64 value)
{
    return Money::fromRaw(value * 100);
}

void fillArticle(QRandomGenerator &rng, int i, TLagerServerObj &a)
{
    const StockGroup &g = pick(rng, kStockGroups);
    a.LagerArtikelNr = QString::fromUtf16(g.prefix) + QString::number(100000 + i);
    QString bez = QString::fromUtf16(pick(rng, g.items));
    if (const QString material = QString::fromUtf16(pick(rng, kMaterials)); !material.isEmpty())
        bez += u' ' + material;
    bez += u' ' + QString::fromUtf16(pick(rng, g.sizes));
    a.Bezeichnung = bez.left(81);
    a.Gruppe = QString::fromUtf16(g.name);
    a.Lagerort = QStringLiteral("R%1-F%2")
                     .arg(rng.bounded(1, 40), 2, 10, QLatin1Char('0'))
                     .arg(rng.bounded(1, 12), 2, 10, QLatin1Char('0'));
    a.Rabattgruppen = QStringLiteral("RG%1").arg(rng.bounded(1, 6));
    a.ME = QString::fromUtf16(pick(rng, kUnits));
    a.MwStSatz = 1;
    a.EKPreis = cents(rng.bounded(5, 250000));
    a.VKZuschlag = 1.2 + rng.bounded(130) / 100.0;
    a.VKPreis[0] = cents(qRound64(a.EKPreis.toDouble() * a.VKZuschlag * 100));
    if (rng.bounded(10) < 6)
        a.VKPreis[1] = cents(qRound64(a.VKPreis[0].toDouble() * 95));
    if (rng.bounded(10) < 3)
        a.VKPreis[2] = cents(qRound64(a.VKPreis[0].toDouble() * 90));
    const int kind = rng.bounded(100);
    if (kind < 3) {
        a.IsNotBestandsartikel = true; // services and order-only articles
    } else if (kind < 8) {
        a.BuchungsBestand = -double(rng.bounded(1, 21));
    } else {
        a.BuchungsBestand = rng.bounded(501);
    }
    a.Anfangsbestand = rng.bounded(101);
    a.SummeWareneingangMe = a.BuchungsBestand > 0 ? a.BuchungsBestand + rng.bounded(101) : 0;
    a.Inventurartikel = rng.bounded(5) == 0;
    a.SNPflicht = !a.IsNotBestandsartikel && rng.bounded(50) == 0;
    // Fixed times so that two runs write the same files.
    a.Created = 45000 + i % 1000;
    a.CreatedBy = QStringLiteral("ADMIN");
    a.Changed = a.Created;
    a.ChangedBy = a.CreatedBy;
}
} // namespace

bool SuiteGenerator::generateStock(const QString &stockDir, int articles, quint32 seed,
                                   QString *error)
{
    QString reported;
    IModLagerDBServerObj db(
        [&reported](const std::exception *, const QString &text) { reported = text; });
    try {
        db.Open(stockDir);
        TTdbTable &lager = db.LagerTable();
        QRandomGenerator rng(seed);
        TLagerServerObj a;
        db.Database().StartTransaction();
        for (int i = 0; i < articles; ++i) {
            a.Clear();
            fillArticle(rng, i, a);
            const int serialCount = PrepareDemoSerialArticle(a, i);
            lager.Append();
            db.WriteRow(a);
            lager.Post();
            WriteDemoSerials(db, a, serialCount);
        }
        db.Database().Commit();
        db.Close();
    } catch (const std::exception &e) {
        if (db.Database().InTransaction())
            db.Database().Rollback();
        return fail(error, QStringLiteral("cannot write the stock in %1: %2 %3")
                               .arg(stockDir, QString::fromUtf8(e.what()), reported));
    }
    return true;
}

QString SuiteGenerator::passwordDigest(const QString &password)
{
    QByteArray utf16(reinterpret_cast<const char *>(password.utf16()), password.size() * 2);
    if (QSysInfo::ByteOrder == QSysInfo::BigEndian)
        for (qsizetype i = 0; i + 1 < utf16.size(); i += 2)
            std::swap(utf16[i], utf16[i + 1]);
    return QString::fromLatin1(QCryptographicHash::hash(utf16, QCryptographicHash::Md5).toHex())
        .toUpper();
}

bool SuiteGenerator::generate(const Options &o, QString *error)
{
    if (o.targetDir.isEmpty())
        return fail(error, QStringLiteral("no target directory"));
    const QString client = o.client.toUpper();
    if (client.isEmpty())
        return fail(error, QStringLiteral("no client name"));
    const QString root = QDir(o.targetDir).absolutePath() + u'/';

    if (!o.binDir.isEmpty() && !copyPrograms(o.binDir, root + QStringLiteral("BIN"), error))
        return false;
    if (!makeDir(root + QStringLiteral("BIN"), error) ||
        !makeDir(root + QStringLiteral("ETC"), error))
        return false;

    {
        const QString path = root + QStringLiteral("ETC/APPLICATION.INI");
        TIniFileSecWriter w(path);
        w.writePlain(QStringLiteral("Language"), QStringLiteral("Name"), QStringLiteral("de_DE"));
        if (!saveWriter(w, path, error))
            return false;
    }
    {
        const QString path = root + QStringLiteral("ETC/SYSDATB.INI");
        TIniFileSecWriter w(path);
        w.writeString(QStringLiteral("System"), QStringLiteral("AdminPasswort"),
                      passwordDigest(o.adminPassword));
        // Every user gets the rights key, empty or not: the program reads a missing key as
        // "nothing locked", so a user written without it would hold every right.
        const struct {
            const char16_t *name, *fullName, *lockedRights;
        } users[] = {{u"ADMIN", u"Administrator", u""}, {u"LAGER", u"Lagerist", u"43"}};
        for (const auto &u : users) {
            const QString name = QString::fromUtf16(u.name);
            w.writeString(name, QStringLiteral("Vollname"), QString::fromUtf16(u.fullName));
            w.writeBool(name, QStringLiteral("ZutrittsSperre"), false);
            w.writeString(name, QStringLiteral("Berechtigungen"),
                          QString::fromUtf16(u.lockedRights));
        }
        if (!saveWriter(w, path, error))
            return false;
        // Users and rights are changed by the suite's administration alone. Every program of
        // the suite reads the file under the account of whoever runs it, so the suite's users
        // (one group on a shared installation) read it; others do not see the password digests.
        if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadGroup))
            return fail(error, QStringLiteral("cannot set the permissions of %1").arg(path));
    }

    const QString data = root + QStringLiteral("DATA/");
    if (!makeDir(data + client + QStringLiteral("/ETC"), error))
        return false;
    {
        const QString path = data + client + QStringLiteral("/ETC/SYSDATA.INI");
        TIniFileSecWriter w(path);
        const QString sys = QStringLiteral("System");
        for (const char *key : kDataDirKeys) {
            const QString name = QString::fromLatin1(key);
            const QString sub = name.toUpper();
            if (!makeDir(data + client + u'/' + sub, error))
                return false;
            w.writeString(sys, name, QStringLiteral("[DATADIR]") + client + u'/' + sub + u'/');
        }
        w.writeString(sys, QStringLiteral("Hauswaehrung"), QStringLiteral("EURO"));
        w.writeString(sys, QStringLiteral("HKurz"), QStringLiteral("EUR"));
        w.writeString(sys, QStringLiteral("Waehrung1"), QStringLiteral("EURO"));
        w.writeString(sys, QStringLiteral("W1Kurz"), QStringLiteral("EUR"));
        w.writeString(sys, QStringLiteral("MwStNorm"), floatToText(19));
        w.writeString(sys, QStringLiteral("MwStRed"), floatToText(7));
        w.writeString(sys, QStringLiteral("MwStErh"), floatToText(0));
        w.writeInteger(sys, QStringLiteral("MwStDefault"), 1);
        if (!saveWriter(w, path, error))
            return false;
    }

    if (o.articles > 0 &&
        !generateStock(data + client + QStringLiteral("/LAGER"), o.articles, o.seed, error))
        return false;
    if (!GenerateMinStockTemplate(data + client + QStringLiteral("/LAGER/"), error))
        return false;
    if (!GenerateSupplierAddresses(data + client + QStringLiteral("/A1/ADRESSEN"), error))
        return false;

    for (const QString &user : {QStringLiteral("ADMIN"), QStringLiteral("LAGER")}) {
        const QString home = root + QStringLiteral("USR/") + user + u'/';
        for (const QString &sub : {QStringLiteral("ETC/") + client, QStringLiteral("TMP"),
                                   QStringLiteral("DOC"), QStringLiteral("MSG")})
            if (!makeDir(home + sub, error))
                return false;
    }
    return GenerateOrders(o, root, error);
}
