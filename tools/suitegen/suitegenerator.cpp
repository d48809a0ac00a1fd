#include "suitegenerator.h"

#include "base/formatsettings.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "suite/inifilesec.h"
#include "tools/suitegen/addressgenerator.h"
#include "tools/suitegen/cataloggenerator.h"
#include "tools/suitegen/labelgenerator.h"
#include "tools/suitegen/printformgenerator.h"
#include "tools/suitegen/minstocktemplategenerator.h"
#include "tools/suitegen/ordergenerator.h"
#include "tools/suitegen/receiptordergenerator.h"
#include "tools/suitegen/serialarticlegenerator.h"
#include "tools/suitegen/stockassortment.h"

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
    for (const QString &name : {QStringLiteral("MOD00501"), QStringLiteral("MOD00318"), QStringLiteral("MOD00003"),
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
            StockAssortment::FillArticle(rng, i, a);
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

    {
        // The suite's units as the firm keeps them; the generated articles use these.
        QFile units(root + QStringLiteral("ETC/UNITS.TXT"));
        if (!units.open(QIODevice::WriteOnly) ||
            units.write(StockAssortment::Units().join(QStringLiteral("\r\n")).toUtf8() + "\r\n") <
                0)
            return fail(error, QStringLiteral("cannot write %1").arg(units.fileName()));
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

    const QString stockDir = data + client + QStringLiteral("/LAGER/");
    if (o.articles > 0 && !generateStock(stockDir, o.articles, o.seed, error))
        return false;
    // Without articles too: new articles choose from these lists.
    if (!StockAssortment::WriteConfig(stockDir, error) ||
        !StockAssortment::WritePictures(stockDir + QStringLiteral("IMAGES"), error))
        return false;
    if (!GenerateMinStockTemplate(data + client + QStringLiteral("/LAGER/"), error))
        return false;
    if (!GenerateLabelFile(data + client + QStringLiteral("/ETC/FORMS/de_DE/"), error))
        return false;
    if (!GeneratePrintForms(data + client + QStringLiteral("/ETC/FORMS/de_DE/"), error))
        return false;
    if (!GenerateSupplierAddresses(data + client + QStringLiteral("/A1/ADRESSEN"), error))
        return false;
    if (!CatalogGenerator::GenerateCatalogs(data + client + QStringLiteral("/KATALOGE"),
                                            o.articles > 0 ? o.articles : 60, o.seed, error))
        return false;

    for (const QString &user : {QStringLiteral("ADMIN"), QStringLiteral("LAGER")}) {
        const QString home = root + QStringLiteral("USR/") + user + u'/';
        for (const QString &sub : {QStringLiteral("ETC/") + client, QStringLiteral("TMP"),
                                   QStringLiteral("DOC"), QStringLiteral("MSG")})
            if (!makeDir(home + sub, error))
                return false;
    }
    return GenerateOrders(o, root, error) && GenerateReceiptOrders(o, root, error);
}
