#pragma once

#include "persistence/xml/owninglist.h"

#include <QString>

class TXMLAttributes;

// A payment term of a supplier address. The meaning of the type belongs to the suite's
// ordering and invoicing; this module keeps and writes back what it reads.
struct TPaymentTerm {
    quint8 Type = 0;
    double Percent = 0;
    int Days = 0;
    int DaysPerWeek = 7;

    bool operator==(const TPaymentTerm &) const = default;

    // Sets what a "pt" element carries.
    void ReadAttributes(const TXMLAttributes &attributes);
};

class TPaymentTermObjectList : public TOwningList<TPaymentTerm>
{
public:
    // The "ptl" document, every line with prefix indent and CR LF.
    void AppendXML(QString &out, const QString &indent) const;
};

// A payment way of an address (bank data); its document form belongs to the address.
struct TPaymentWay {
    int Kind = 0;
    QString Comment;
    QString Institute;
    QString BankCode;
    QString Account;
    QString IBAN;
    QString BIC;

    bool operator==(const TPaymentWay &) const = default;
};

using TPaymentWayObjectList = TOwningList<TPaymentWay>;
