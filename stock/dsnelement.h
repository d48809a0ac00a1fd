#pragma once

#include <QString>
#include <vector>

class TXmlTextSink;

// A named, typed extra value ("Zusatzdaten") of an article, order or address. Only the value
// that belongs to the kind means anything; the others stay at their zero values.
struct TDsnElement {
    enum Kind : quint8 { Text = 1, Integer = 2, Boolean = 3, Date = 4, Time = 5, DateAndTime = 6 };

    QString Name;
    quint8 Kind = 0;
    double FloatValue = 0;
    QString TextValue;
    qint32 IntValue = 0;
    bool BoolValue = false;

    bool operator==(const TDsnElement &) const = default;

    // The value as the XML element content carries it (not yet escaped).
    QString ValueText() const;
    // Takes the element content of a read value by kind; unparsable content gives the zero
    // value, unknown kinds keep nothing.
    void SetValueFromText(const QString &text);
};

// The extra values in their order; held by value, so the list owns them.
class TDsnElementList
{
public:
    qsizetype Count() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }
    TDsnElement &Item(qsizetype index) { return m_items[size_t(index)]; }
    const TDsnElement &Item(qsizetype index) const { return m_items[size_t(index)]; }
    TDsnElement &Add(const TDsnElement &element = {});
    void Delete(qsizetype index);
    void Clear() { m_items.clear(); }
    // First element of that name (exact comparison), -1 when none.
    qsizetype IndexOf(const QString &name) const;

    // Appends each element as indent + two blanks + its dsnobj element, each line ending in
    // CR LF; nothing when the list is empty.
    void AppendXML(QString &out, QStringView indent) const;
    void AppendXML(TXmlTextSink &out, QStringView indent) const;

    bool operator==(const TDsnElementList &) const = default;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<TDsnElement> m_items;
};
