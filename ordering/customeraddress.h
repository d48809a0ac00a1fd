#pragma once

#include "ordering/paymentterm.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/owninglist.h"
#include "stock/dsnelement.h"

#include <QString>
#include <QStringList>
#include <memory>

// A postal address ("Anschrift") of an address; references to it read "<address>_<Id>".
struct TCustomerAnschrift {
    QString Id;
    QString Name1, Name2, Name3, Name4;
    QString Strasse;
    QString Land;
    QString Plz;
    QString Ort;
    bool Std = false;
    QString AArt;
};
using TCustomerAnschriftObjectList = TOwningList<TCustomerAnschrift>;

// One way to reach a contact (phone, mail, ...); the kinds belong to the address module.
struct TCustomerContactData {
    int CdType = 0;
    QString CdName;
    QString CdValue;
    QString CdCaract;
};
using TCustomerContactDataObjectList = TOwningList<TCustomerContactData>;

struct TCustomerContact {
    QString Name;
    bool Std = false;
    TCustomerContactDataObjectList Data;
};
using TCustomerContactObjectList = TOwningList<TCustomerContact>;

// An address record of the suite's address module as it hands it over ("kundenadr"). This
// module only reads and carries it; the meaning of most codes belongs to the address module.
class TCustomerAddress : public TDBXMLCoreObject
{
public:
    TCustomerAddress();
    ~TCustomerAddress() override;

    void Clear() override;
    void WriteXML(bool complete, const QString &indent) override;
    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;

    // Name1 of the standard postal address, else of the first one; empty without any.
    QString DisplayName() const;

    QString Id;
    QString AddrGrp;
    double Cr = 0;
    QString CrBy;
    double Ch = 0;
    QString ChBy;
    QString IdWeiterl;
    double Wv = 0;
    QString WvTxt;
    QString WvUser;
    QString KndVerz;
    QString Sprache;
    QString UstIdNr;
    QString StNr;
    int MwStAusw = 0;
    bool Paragr13b = false;
    bool Paragr14b = false;
    bool Paragr6a = false;
    int MahnTyp = 0;
    QString OwnId;

    TCustomerAnschriftObjectList Anschriften;
    QString Info;
    QString At;

    QString DebitorNr, DebitorKreditLimit, DebitorVersicherung, DebitorRating;
    QString KreditorNr, KreditorSachbearbeiter;

    bool Alarm = false;
    QString AlarmText;
    QString ZInfo;

    TCustomerContactObjectList Kontakte;
    TPaymentWayObjectList PaymentWays;
    TPaymentTermObjectList PaymentTerms;
    TDsnElementList DsnElements;
    QStringList Kz;

private:
    void WriteLists(const QString &indent);
};

using TCustomerAddressObjectList = TOwningList<TCustomerAddress>;

// Appends one address per "kundenadr" document of a UTF-16 file that may hold several
// documents one after the other. A missing or unreadable file appends nothing.
void ReadAddressFile(TCustomerAddressObjectList &list, const QString &fileName);

// "1047_2" -> "1047"; a reference without "_" has no address number.
QString AddressNumberOf(const QString &reference);
