#pragma once

#include <QList>
#include <QString>

// Column type codes of the engine. The numbers are part of the table definitions the stores
// write (and of older tables), so they must not change.
enum class FieldType : int {
    String = 1,      // single-byte text, size = maximum length
    Integer = 2,     // 32-bit integer
    Float = 4,       // double; precision > 0 rounds on write to that many decimals
    Byte = 5,        // small integer 0..255
    Boolean = 6,     //
    Memo = 12,       // single-byte text of any length
    Blob = 13,       // bytes of any length (engine extension, no fixed code in the old tables)
    DateTime = 15,   // days since 1899-12-30 as double
    WideString = 16, // UTF-16 text, size = maximum characters
    WideMemo = 17,   // UTF-16 text of any length (XML columns)
};

bool isValidFieldType(int code);
bool isTextType(FieldType type); // String, WideString, Memo, WideMemo

// The definition of one column: what CreateTable and AlterTable build the table from.
struct TFieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // text types with a width: maximum characters; 0 for the others
    bool required = false;
    int precision = 0; // Float only: decimals kept on write, 0 = unrounded

    QString Name() const { return name; }
    FieldType DataType() const { return type; }
    int Size() const { return size; }
    int Precision() const { return precision; }
    void SetPrecision(int value) { precision = value; }
    void SetDataType(FieldType value) { type = value; }
    void SetSize(int value) { size = value; }
    bool Required() const { return required; }
};

// The ordered column definitions of a table. Names are compared without regard to case.
class TFieldDefs
{
public:
    TFieldDef &Add(const QString &name, FieldType type, int size = 0, bool required = false);
    int IndexOf(const QString &name) const; // -1 when missing
    bool Contains(const QString &name) const { return IndexOf(name) >= 0; }
    int Count() const { return int(m_defs.size()); }
    // Moves the definition at from so that it ends up at position to (the ones between shift).
    void Move(int from, int to);
    void Delete(int index);
    void Clear() { m_defs.clear(); }

    TFieldDef &operator[](int index) { return m_defs[index]; }
    const TFieldDef &operator[](int index) const { return m_defs[index]; }
    TFieldDef &Items(int index) { return m_defs[index]; }
    const QList<TFieldDef> &list() const { return m_defs; }

private:
    QList<TFieldDef> m_defs;
};

// Index options may be combined.
enum IndexOption : int {
    ixNone = 0,
    ixUnique = 1,
    // ASCII letters compared without regard to case (order and FindKey); other letters as
    // their character codes.
    ixCaseInsensitive = 2,
};
using IndexOptions = int;

struct TIndexDef {
    QString name;
    QString fields; // column names separated by ';'
    IndexOptions options = ixNone;

    QStringList FieldList() const;
};

class TIndexDefs
{
public:
    TIndexDef &Add(const QString &name, const QString &fields, IndexOptions options = ixNone);
    int IndexOf(const QString &name) const; // names compared without regard to case
    int Count() const { return int(m_defs.size()); }
    void Delete(int index) { m_defs.removeAt(index); }
    void Clear() { m_defs.clear(); }
    TIndexDef &operator[](int index) { return m_defs[index]; }
    const TIndexDef &operator[](int index) const { return m_defs[index]; }
    const QList<TIndexDef> &list() const { return m_defs; }

private:
    QList<TIndexDef> m_defs;
};
