#include "persistence/engine/fielddefs.h"

#include "persistence/engine/engineerror.h"

#include <QStringList>

using namespace Qt::StringLiterals;

bool isValidFieldType(int code)
{
    switch (code) {
    case 1:
    case 2:
    case 4:
    case 5:
    case 6:
    case 12:
    case 13:
    case 15:
    case 16:
    case 17:
        return true;
    default:
        return false;
    }
}

bool isTextType(FieldType type)
{
    return type == FieldType::String || type == FieldType::WideString || type == FieldType::Memo ||
           type == FieldType::WideMemo;
}

TFieldDef &TFieldDefs::Add(const QString &name, FieldType type, int size, bool required)
{
    if (name.trimmed().isEmpty())
        throw EngineError(u"Field definition without a name"_s);
    if (IndexOf(name) >= 0)
        throw EngineError(u"Duplicate field name: %1"_s.arg(name));
    if (!isValidFieldType(int(type)))
        throw EngineError(u"Unknown field type %1 for field %2"_s.arg(int(type)).arg(name));
    TFieldDef def;
    def.name = name;
    def.type = type;
    def.size = (type == FieldType::String || type == FieldType::WideString) ? size : 0;
    def.required = required;
    m_defs.append(def);
    return m_defs.last();
}

int TFieldDefs::IndexOf(const QString &name) const
{
    for (int i = 0; i < m_defs.size(); ++i) {
        if (m_defs[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TFieldDefs::Move(int from, int to)
{
    if (from < 0 || from >= m_defs.size() || to < 0 || to >= m_defs.size())
        throw EngineError(u"Field definition position out of range"_s);
    m_defs.move(from, to);
}

void TFieldDefs::Delete(int index)
{
    if (index < 0 || index >= m_defs.size())
        throw EngineError(u"Field definition position out of range"_s);
    m_defs.removeAt(index);
}

QStringList TIndexDef::FieldList() const
{
    QStringList result;
    for (const QString &part : fields.split(u';', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            result.append(name);
    }
    return result;
}

TIndexDef &TIndexDefs::Add(const QString &name, const QString &fields, IndexOptions options)
{
    if (name.trimmed().isEmpty())
        throw EngineError(u"Index definition without a name"_s);
    if (IndexOf(name) >= 0)
        throw EngineError(u"Duplicate index name: %1"_s.arg(name));
    m_defs.append(TIndexDef{name, fields, options});
    return m_defs.last();
}

int TIndexDefs::IndexOf(const QString &name) const
{
    for (int i = 0; i < m_defs.size(); ++i) {
        if (m_defs[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
