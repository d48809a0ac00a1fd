#include "stock/lieferantenreferenzen.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "stock/lagerserverobj.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace
{
constexpr qsizetype kOrderNumberLength = 20;

bool isBracketed(const QString &text)
{
    return text.startsWith(u'[');
}

QString withoutBrackets(QString text)
{
    if (text.startsWith(u'['))
        text.remove(0, 1);
    if (text.endsWith(u']'))
        text.chop(1);
    return text;
}

void refuse(const char *format, const QStringList &args)
{
    ShowMessageBoxFmt(tx(format), args, MsgDlgType::Information, MsgButton::OK);
}
} // namespace

QString SupplierRefText(const TDoubleString &ref)
{
    if (!isBracketed(ref.Key))
        return formatText(tx("Katalog \"%s\" - Artikel-Nr. \"%s\""), {ref.Key, ref.Value});
    const QString supplier = withoutBrackets(ref.Key);
    if (isBracketed(ref.Value))
        return formatText(tx("Lieferant \"%s\" - Bestell-Nr. \"%s\""),
                          {supplier, withoutBrackets(ref.Value)});
    return formatText(tx("Lieferant \"%s\" - %s"), {supplier, ref.Value});
}

QString SupplierKey(const QString &addressNumber, const QString &anschriftId)
{
    return u'[' + addressNumber + u'_' + anschriftId + u']';
}

bool AddCatalogArticleRef(TLagerDoubleStringList &refs, const QString &catalog,
                          const QString &articleNr)
{
    if (refs.IndexOfKeyValue(catalog, articleNr) >= 0) {
        refuse("Der Artikel \"%s\" aus \"%s\" ist bereits in der Liste.", {articleNr, catalog});
        return false;
    }
    // A catalog is one supplier: a second article of it would make the reference ambiguous.
    if (refs.IndexOfKey(catalog) >= 0) {
        refuse("Ein Artikel aus dem Katalog \"%s\" ist bereits in der Liste.", {catalog});
        return false;
    }
    refs.Add(catalog, articleNr);
    return true;
}

bool AddSupplierRef(TLagerDoubleStringList &refs, const QString &key, const QString &text)
{
    if (refs.IndexOfKeyValue(key, text) >= 0) {
        refuse("Der Lieferant \"%s\" ist bereits in der Liste.", {text});
        return false;
    }
    refs.Add(key, text);
    return true;
}

bool AddSupplierOrderNumberRef(TLagerDoubleStringList &refs, const QString &key,
                               const QString &supplierText)
{
    QString answer;
    if (!interaction().inputBox(tx("Neuer Lieferant"), tx("Bestell-Nr."), answer))
        return false;
    // The input box cannot limit what is typed; a longer number is cut rather than refused.
    const QString orderNr = answer.left(kOrderNumberLength).trimmed();
    if (orderNr.isEmpty())
        return false;
    const QString value = u'[' + orderNr + u']';
    if (refs.IndexOfKeyValue(key, value) >= 0) {
        refuse("Der Lieferant \"%s\" ist bereits in der Liste.", {supplierText});
        return false;
    }
    refs.Add(key, value);
    return true;
}

bool MakeStandardSupplier(TLagerDoubleStringList &refs, qsizetype index)
{
    if (index <= 0 || index >= refs.Count())
        return false;
    std::swap(refs.Item(0), refs.Item(index));
    return true;
}
