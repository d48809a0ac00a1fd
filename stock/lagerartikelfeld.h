#pragma once

#include "stock/lagerserverobj.h"

#include <QString>
#include <span>
#include <variant>

// One scalar field of the article record as the exchange formats see it: its name in the
// JSON form (the member name, so that scripts and the record read alike), its German column
// name in the CSV file and, for texts kept in a column of the stock table, that column's
// width. The JSON form, the CSV export and the CSV import share this one table, so a field
// added to the record is added to all three in one place.
struct TLagerArtikelFeld {
    struct VKPreis {
        int index; // 0..4
    };
    using Member =
        std::variant<QString TLagerArtikelDaten::*, double TLagerArtikelDaten::*,
                     bool TLagerArtikelDaten::*, Money TLagerArtikelDaten::*,
                     qint32 TLagerArtikelDaten::*, quint8 TLagerArtikelDaten::*, VKPreis>;

    QString key;
    QString header; // empty: the field is not in the CSV file
    Member member;
    int width = 0;       // 0: no column limits the text
    qint64 maximum = -1; // below 0: the integer type's own limit

    // Every scalar field; the CSV columns in this order.
    static std::span<const TLagerArtikelFeld> All();
    static const TLagerArtikelFeld *ByKey(QStringView key);
    // Column names compare without regard to case and surrounding blanks.
    static const TLagerArtikelFeld *ByHeader(QStringView header);

    QString &Text(TLagerArtikelDaten &a) const { return a.*std::get<0>(member); }
    double &Float(TLagerArtikelDaten &a) const { return a.*std::get<1>(member); }
    bool &Bool(TLagerArtikelDaten &a) const { return a.*std::get<2>(member); }
    Money &Amount(TLagerArtikelDaten &a) const
    {
        if (const auto *vk = std::get_if<VKPreis>(&member))
            return a.VKPreis[size_t(vk->index)];
        return a.*std::get<3>(member);
    }
    const QString &Text(const TLagerArtikelDaten &a) const { return a.*std::get<0>(member); }
    double Float(const TLagerArtikelDaten &a) const { return a.*std::get<1>(member); }
    bool Bool(const TLagerArtikelDaten &a) const { return a.*std::get<2>(member); }
    Money Amount(const TLagerArtikelDaten &a) const
    {
        if (const auto *vk = std::get_if<VKPreis>(&member))
            return a.VKPreis[size_t(vk->index)];
        return a.*std::get<3>(member);
    }
    bool IsText() const { return member.index() == 0; }
    bool IsFloat() const { return member.index() == 1; }
    bool IsBool() const { return member.index() == 2; }
    bool IsMoney() const { return member.index() == 3 || member.index() == 6; }
    bool IsInt32() const { return member.index() == 4; }
    bool IsByte() const { return member.index() == 5; }
    // Integers widened so that callers need not know the two integer widths.
    qint64 Integer(const TLagerArtikelDaten &a) const;
    // False when the value does not fit the field's integer type.
    bool SetInteger(TLagerArtikelDaten &a, qint64 value) const;
};
