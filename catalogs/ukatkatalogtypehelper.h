#pragma once

#include <QString>

// Kinds of catalog directories; the numbers are stored in SUPPLIER.INI.
enum TKatalogKind : quint8 {
    kkSimple = 0,   // SCATALOG.DAT
    kkDatanorm = 1, // CATALOG.DAT
    kkEldanorm = 2, // ECATALOG.DAT: listed, never opened
    kkNone = 3,
    kkStock = 4, // LAGER.DAT
};

// The label a kind is listed with (a message id; empty for kinds without one).
const char *KatalogKindLabel(int kind);

// One catalog as the selection list and SUPPLIER.INI describe it. The online-update values
// belong to another program of the suite and are only carried.
struct TUKATKatalogAuswahlItem {
    QString SupplierID;
    QString SupplierSubID;
    QString SupplierInfo;
    QString CatalogName;
    QString Description;
    quint8 Kind = kkNone;
    bool OnlineEnabled = false;
    QString OnlineSimpleURL, OnlineSimpleLogin, OnlineSimplePassword;
    QString OnlineDNURL, OnlineDNParam1, OnlineDNParam2, OnlineDNParam3;
    QString OnlineDNParam1Txt, OnlineDNParam2Txt, OnlineDNParam3Txt;
    bool OnlineSimpleLoginEnabled = false;
    int OnlineDNFileAccesstype = 0;
    int OnlineDNhtAccessUsername = 0;
    int OnlineDNhtAccessPassword = 0;

    bool operator==(const TUKATKatalogAuswahlItem &) const = default;
};

// The registry: what kind of catalog a directory holds and its SUPPLIER.INI.
class TUKATKatalogTypeHelper
{
public:
    static quint8 KindOfDirectory(const QString &directory);
    static void WriteDescription(const QString &directory, const QString &description, int kind);
    static bool LoadItem(TUKATKatalogAuswahlItem &item, const QString &directory,
                         const QString &name, quint8 kind);
    static bool SaveItem(const TUKATKatalogAuswahlItem &item, const QString &directory);
};

// Supplier numbers may carry a sub-number after "_"; catalogs compare the part before it.
QString SupplierIdWithoutSub(const QString &id);
