#pragma once

#include "persistence/engine/fielddefs.h"

#include <QString>
#include <QVariantList>

// A filter text turned into an SQL condition with '?' placeholders and the values to bind,
// in order. The SQL holds only quoted column names, operators and placeholders.
struct CompiledFilter {
    QString sql;
    QVariantList params;
};

// Parses the filter texts of the stores:
//   (Stadium = 2) or (Stadium = 4)    LagerArtikelNr = 'O''Brien'    Anzeigetext like '*x*'
// Column names are looked up in the table's definitions without regard to case; values are
// converted to the column's type. Comparisons of texts are exact (case-sensitive); like
// ignores the case of ASCII letters, '*' matches any run of characters and everything else,
// '%' and '_' included, stands for itself. Malformed texts and unknown columns raise
// EngineError.
class FilterParser
{
public:
    explicit FilterParser(const TFieldDefs &fields);
    CompiledFilter parse(const QString &text) const;

private:
    const TFieldDefs &m_fields;
};
