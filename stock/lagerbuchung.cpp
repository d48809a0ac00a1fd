#include "stock/lagerbuchung.h"

#include "base/translation.h"
#include "suite/benutzereinstellungen.h"

using namespace Qt::StringLiterals;

TLagerBuchung TLagerBuchung::Change(int kind, const QString &nr, double before, double after,
                                    double when, const QString &user)
{
    TLagerBuchung row;
    row.Zeit = when;
    row.Benutzer = user;
    row.LagerArtikelNr = nr;
    row.Art = kind;
    row.Menge = after - before;
    row.BestandVorher = before;
    row.BestandNachher = after;
    return row;
}

QString TLagerBuchung::CurrentUser()
{
    return TBenutzerEinstellungen::instance().UserName;
}

bool TLagerBuchung::OpensChain(int kind)
{
    return kind == Opening || kind == Copy || kind == Import;
}

const char *TLagerBuchung::KindText(int kind)
{
    switch (kind) {
    case Receipt:
        return txNoop("Warenzugang");
    case OrderReceipt:
        return txNoop("Warenzugang aus Bestellung");
    case ManualChange:
        return txNoop("Manuelle Bestandsaenderung");
    case Opening:
        return txNoop("Anfangsbestand");
    case Copy:
        return txNoop("Kopie");
    case Import:
        return txNoop("Import");
    default:
        return txNoop("Unbekannt");
    }
}

QString TLagerBuchung::KindKey(int kind)
{
    switch (kind) {
    case Receipt:
        return u"receipt"_s;
    case OrderReceipt:
        return u"order-receipt"_s;
    case ManualChange:
        return u"manual"_s;
    case Opening:
        return u"opening"_s;
    case Copy:
        return u"copy"_s;
    case Import:
        return u"import"_s;
    default:
        return QString::number(kind);
    }
}
