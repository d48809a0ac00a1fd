#pragma once

#include <QString>

class TLagerDoubleStringList;
struct TDoubleString;

// The supplier references of an article (first entry = standard supplier) and how they are
// added: a catalog name with the article number in that catalog, a supplier "[address_postal]"
// with the display text of its postal address, or a supplier with "[order number]". Refusals
// are told to the user through the interaction.

// The list line of a reference, brackets removed.
QString SupplierRefText(const TDoubleString &ref);

// "[address_postal]".
QString SupplierKey(const QString &addressNumber, const QString &anschriftId);

// Appends catalog / article number unless the pair or another article of that catalog is
// listed already. Returns whether it was added.
bool AddCatalogArticleRef(TLagerDoubleStringList &refs, const QString &catalog,
                          const QString &articleNr);

// Appends supplier key / display text unless that pair is listed already.
bool AddSupplierRef(TLagerDoubleStringList &refs, const QString &key, const QString &text);

// Asks for an order number (at most 20 characters) and appends key / "[number]" unless the
// answer is empty or the pair is listed already. supplierText names the supplier in the
// refusal.
bool AddSupplierOrderNumberRef(TLagerDoubleStringList &refs, const QString &key,
                               const QString &supplierText);

// Makes the entry the standard supplier by swapping it with the first one.
bool MakeStandardSupplier(TLagerDoubleStringList &refs, qsizetype index);
