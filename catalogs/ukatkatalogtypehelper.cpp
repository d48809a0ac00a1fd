#include "catalogs/ukatkatalogtypehelper.h"

#include "base/inifile.h"
#include "base/translation.h"

#include <QDir>
#include <QFileInfo>

namespace
{

const QString kCatalog = QStringLiteral("Catalog");
const QString kSupplier = QStringLiteral("Supplier");
const QString kOnline = QStringLiteral("Online");

QString supplierIni(const QString &directory)
{
    return QDir(directory).filePath(QStringLiteral("SUPPLIER.INI"));
}

} // namespace

const char *KatalogKindLabel(int kind)
{
    switch (kind) {
    case kkSimple:
        return txNoop("Einfacher Katalog");
    case kkDatanorm:
        return txNoop("DATANORM-Katalog");
    case kkEldanorm:
        return txNoop("ELDANORM-Katalog");
    case kkStock:
        return txNoop("Lager-Katalog");
    default:
        return "";
    }
}

QString SupplierIdWithoutSub(const QString &id)
{
    const qsizetype cut = id.indexOf(u'_');
    return cut < 0 ? id : id.left(cut);
}

quint8 TUKATKatalogTypeHelper::KindOfDirectory(const QString &directory)
{
    const QDir dir(directory);
    if (!dir.exists())
        return kkNone;
    const std::pair<const char *, quint8> markers[] = {
        {"LAGER.DAT", kkStock},
        {"SCATALOG.DAT", kkSimple},
        {"CATALOG.DAT", kkDatanorm},
        {"ECATALOG.DAT", kkEldanorm},
    };
    for (const auto &[file, kind] : markers)
        if (QFileInfo::exists(dir.filePath(QString::fromLatin1(file))))
            return kind;
    const QString ini = supplierIni(directory);
    if (!QFileInfo::exists(ini))
        return kkNone;
    // Any byte value is kept, so that kinds this program does not know are not listed.
    return quint8(IniFile(ini).readInteger(kCatalog, QStringLiteral("Type"), kkNone));
}

void TUKATKatalogTypeHelper::WriteDescription(const QString &directory, const QString &description,
                                              int kind)
{
    if (!QDir(directory).exists())
        return;
    IniFile ini(supplierIni(directory));
    ini.writeInteger(kCatalog, QStringLiteral("Type"), kind);
    ini.writeString(kCatalog, QStringLiteral("Description"), description);
    ini.save();
}

bool TUKATKatalogTypeHelper::LoadItem(TUKATKatalogAuswahlItem &item, const QString &directory,
                                      const QString &name, quint8 kind)
{
    item = TUKATKatalogAuswahlItem();
    item.Kind = kind;
    item.CatalogName = name;
    const QString path = supplierIni(directory);
    if (!QFileInfo::exists(path))
        return false;
    const IniFile ini(path);
    auto s = [&](const QString &section, const char *key) {
        return ini.readString(section, QString::fromLatin1(key));
    };
    item.Description = s(kCatalog, "Description");
    item.SupplierID = SupplierIdWithoutSub(s(kSupplier, "ID"));
    item.SupplierSubID = s(kSupplier, "SUBID");
    item.SupplierInfo = s(kSupplier, "INFO");
    item.OnlineEnabled = ini.readBool(kOnline, QStringLiteral("Enabled"), false);
    item.OnlineSimpleURL = s(kOnline, "OnlineupdateSimpleURL");
    item.OnlineSimpleLogin = s(kOnline, "OnlineupdateSimpleLogin");
    item.OnlineSimplePassword = s(kOnline, "OnlineupdateSimplePassword");
    item.OnlineDNURL = s(kOnline, "OnlineupdateDNURL");
    item.OnlineDNParam1 = s(kOnline, "OnlineupdateDNParam1");
    item.OnlineDNParam2 = s(kOnline, "OnlineupdateDNParam2");
    item.OnlineDNParam3 = s(kOnline, "OnlineupdateDNParam3");
    item.OnlineDNParam1Txt = s(kOnline, "OnlineupdateDNParam1Txt");
    item.OnlineDNParam2Txt = s(kOnline, "OnlineupdateDNParam2Txt");
    item.OnlineDNParam3Txt = s(kOnline, "OnlineupdateDNParam3Txt");
    item.OnlineSimpleLoginEnabled =
        ini.readBool(kOnline, QStringLiteral("OnlineupdateSimpleLoginEnabled"), false);
    item.OnlineDNFileAccesstype =
        ini.readInteger(kOnline, QStringLiteral("OnlineupdateDNFileAccesstype"), 0);
    item.OnlineDNhtAccessUsername =
        ini.readInteger(kOnline, QStringLiteral("OnlineupdateDNhtAccessUsername"), 0);
    item.OnlineDNhtAccessPassword =
        ini.readInteger(kOnline, QStringLiteral("OnlineupdateDNhtAccessPassword"), 0);
    return true;
}

bool TUKATKatalogTypeHelper::SaveItem(const TUKATKatalogAuswahlItem &item, const QString &directory)
{
    // Keys this program does not know stay in the file.
    IniFile ini(supplierIni(directory));
    auto w = [&](const QString &section, const char *key, const QString &value) {
        ini.writeString(section, QString::fromLatin1(key), value);
    };
    ini.writeInteger(kCatalog, QStringLiteral("Type"), item.Kind);
    w(kCatalog, "Description", item.Description);
    w(kSupplier, "ID", item.SupplierID);
    w(kSupplier, "SUBID", item.SupplierSubID);
    w(kSupplier, "INFO", item.SupplierInfo);
    ini.writeBool(kOnline, QStringLiteral("Enabled"), item.OnlineEnabled);
    w(kOnline, "OnlineupdateSimpleURL", item.OnlineSimpleURL);
    w(kOnline, "OnlineupdateSimpleLogin", item.OnlineSimpleLogin);
    w(kOnline, "OnlineupdateSimplePassword", item.OnlineSimplePassword);
    w(kOnline, "OnlineupdateDNURL", item.OnlineDNURL);
    w(kOnline, "OnlineupdateDNParam1", item.OnlineDNParam1);
    w(kOnline, "OnlineupdateDNParam2", item.OnlineDNParam2);
    w(kOnline, "OnlineupdateDNParam3", item.OnlineDNParam3);
    w(kOnline, "OnlineupdateDNParam1Txt", item.OnlineDNParam1Txt);
    w(kOnline, "OnlineupdateDNParam2Txt", item.OnlineDNParam2Txt);
    w(kOnline, "OnlineupdateDNParam3Txt", item.OnlineDNParam3Txt);
    ini.writeBool(kOnline, QStringLiteral("OnlineupdateSimpleLoginEnabled"),
                  item.OnlineSimpleLoginEnabled);
    ini.writeInteger(kOnline, QStringLiteral("OnlineupdateDNFileAccesstype"),
                     item.OnlineDNFileAccesstype);
    ini.writeInteger(kOnline, QStringLiteral("OnlineupdateDNhtAccessUsername"),
                     item.OnlineDNhtAccessUsername);
    ini.writeInteger(kOnline, QStringLiteral("OnlineupdateDNhtAccessPassword"),
                     item.OnlineDNhtAccessPassword);
    return ini.save();
}
