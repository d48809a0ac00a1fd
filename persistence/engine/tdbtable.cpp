#include "persistence/engine/tdbtable.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/filterparser.h"
#include "persistence/engine/tdbdatabase.h"

using namespace Qt::StringLiterals;

namespace
{
[[noreturn]] void notYet()
{
    throw EngineError(u"Not implemented yet"_s);
}
} // namespace

TTdbTable::TTdbTable(TTdbDatabase *database)
{
    SetDatabase(database);
}
TTdbTable::~TTdbTable()
{
    if (m_database)
        m_database->unregisterTable(this);
}
void TTdbTable::SetDatabase(TTdbDatabase *database)
{
    if (m_database)
        m_database->unregisterTable(this);
    m_database = database;
    if (m_database)
        m_database->registerTable(this);
}
void TTdbTable::SetTableName(const QString &name)
{
    m_tableName = name;
}
QString TTdbTable::FileName() const
{
    return m_database ? m_database->tableFilePath(m_tableName) : QString();
}
void TTdbTable::SetIndexName(const QString &name)
{
    m_indexName = name;
}
void TTdbTable::ReadDefinitions()
{
    notYet();
}
bool TTdbTable::Exists() const
{
    notYet();
}
void TTdbTable::CreateTable()
{
    notYet();
}
void TTdbTable::DeleteTable()
{
    notYet();
}
void TTdbTable::EmptyTable()
{
    notYet();
}
void TTdbTable::AlterTable()
{
    notYet();
}
void TTdbTable::AddIndex(const QString &, const QString &, IndexOptions)
{
    notYet();
}
void TTdbTable::DeleteIndex(const QString &)
{
    notYet();
}
void TTdbTable::Open()
{
    notYet();
}
void TTdbTable::Close()
{
    m_state = DataSetState::Inactive;
}
void TTdbTable::First()
{
    notYet();
}
void TTdbTable::Last()
{
    notYet();
}
void TTdbTable::Next()
{
    notYet();
}
void TTdbTable::Prior()
{
    notYet();
}
int TTdbTable::MoveBy(int)
{
    notYet();
}
bool TTdbTable::IsEmpty()
{
    notYet();
}
int TTdbTable::RecordCount()
{
    notYet();
}
bool TTdbTable::FindKey(const QVariantList &)
{
    notYet();
}
void TTdbTable::FindNearest(const QVariantList &)
{
    notYet();
}
int TTdbTable::RecordNo()
{
    notYet();
}
void TTdbTable::SetRecordNo(int)
{
    notYet();
}
void TTdbTable::Append()
{
    notYet();
}
void TTdbTable::Edit()
{
    notYet();
}
void TTdbTable::Post()
{
    notYet();
}
void TTdbTable::Cancel()
{
    notYet();
}
void TTdbTable::Delete()
{
    notYet();
}
void TTdbTable::Refresh()
{
    notYet();
}
void TTdbTable::SetFilter(const QString &filter)
{
    m_filterText = filter;
}
void TTdbTable::SetFiltered(bool value)
{
    m_filtered = value;
}
bool TTdbTable::FindFirst()
{
    notYet();
}
bool TTdbTable::FindNext()
{
    notYet();
}
bool TTdbTable::FindPrior()
{
    notYet();
}
bool TTdbTable::FindLast()
{
    notYet();
}
TField *TTdbTable::FindField(const QString &)
{
    return nullptr;
}
TField &TTdbTable::FieldByName(const QString &)
{
    notYet();
}
void TTdbTable::EnableControls()
{
    if (m_controlsDisabled > 0)
        --m_controlsDisabled;
}
void TTdbTable::LockTable(int)
{
    notYet();
}
void TTdbTable::UnlockTable(int)
{
    notYet();
}
void TTdbTable::StartTransaction()
{
    notYet();
}
void TTdbTable::Commit()
{
    notYet();
}
void TTdbTable::Rollback()
{
    notYet();
}
const QVariant &TTdbTable::fieldValue(int) const
{
    notYet();
}
void TTdbTable::setFieldValue(int, const QVariant &)
{
    notYet();
}
void TTdbTable::invalidateBuffer() {}
