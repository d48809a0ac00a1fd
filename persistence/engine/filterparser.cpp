#include "persistence/engine/filterparser.h"

#include "persistence/engine/engineerror.h"

using namespace Qt::StringLiterals;

FilterParser::FilterParser(const TFieldDefs &fields) : m_fields(fields) {}

CompiledFilter FilterParser::parse(const QString &) const
{
    throw EngineError(u"Filters are not implemented yet"_s);
}
