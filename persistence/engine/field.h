#pragma once

#include "persistence/engine/fielddefs.h"
#include "persistence/money.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

class TTdbTable;

// One column of an open table, as FieldByName hands it out: typed reads of the current row,
// typed writes into the row being edited or appended. Writes convert to the column's type
// and cut texts to the column width, so reading back gives what will be stored.
class TField
{
public:
    TField(TTdbTable *table, int index, const TFieldDef &def);

    const QString &FieldName() const { return m_def.name; }
    FieldType DataType() const { return m_def.type; }
    int Size() const { return m_def.size; }
    int FieldNo() const { return m_index; }
    const TFieldDef &Def() const { return m_def; }

    bool IsNull() const;
    void Clear();

    QString AsString() const;
    void SetAsString(const QString &value);
    int AsInteger() const;
    void SetAsInteger(int value);
    qint64 AsLargeInt() const;
    void SetAsLargeInt(qint64 value);
    double AsFloat() const;
    void SetAsFloat(double value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    double AsDateTime() const; // days since 1899-12-30
    void SetAsDateTime(double value);
    QDateTime AsQDateTime() const;
    void SetAsQDateTime(const QDateTime &value);
    Money AsCurrency() const;
    void SetAsCurrency(Money value);
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray &value);
    // Texts and memos as QString, numbers as double/int, booleans as bool, null as invalid.
    QVariant AsVariant() const;
    void SetAsVariant(const QVariant &value);

    // The value converted to what the column stores (cut, rounded, range-checked); throws
    // EngineError when the value cannot be stored in this column.
    QVariant normalised(const QVariant &value) const;

private:
    const QVariant &value() const;
    void assign(const QVariant &value);

    TTdbTable *m_table;
    int m_index;
    TFieldDef m_def;
};
