#pragma once

#include "persistence/xml/owninglist.h"

#include <QString>
#include <QStringList>

// Small text records used across subsystems (supplier references, pictures, named lists).
// Lookups in their lists compare exactly (case-sensitive).

struct TDoubleString {
    QString Key;
    QString Value;
};

class TDoubleStringListObjectList : public TOwningList<TDoubleString>
{
public:
    using TOwningList<TDoubleString>::Add;
    // Returns the new index.
    qsizetype Add(const QString &key, const QString &value);
    bool HasValue(const QString &value) const;
    // The value of the first item with that key; empty when there is none.
    QString ValueOf(const QString &key) const;
    // -1 when there is none.
    qsizetype IndexOfKey(const QString &key) const;
    qsizetype IndexOfKeyValue(const QString &key, const QString &value) const;
};

struct TTripleString {
    QString Text1;
    QString Text2;
    QString Text3;
};

using TTripleStringObjectList = TOwningList<TTripleString>;

using TTntStringListObjectList = TOwningList<QStringList>;

// A named string list.
struct TStringStringlist {
    QString Name;
    QStringList List;

    void Clear()
    {
        Name.clear();
        List.clear();
    }
};

// Last() gives the last item or null.
using TStringStringlistObjectList = TOwningList<TStringStringlist>;
