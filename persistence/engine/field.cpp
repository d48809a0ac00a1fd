#include "persistence/engine/field.h"

#include "base/formatsettings.h"
#include "persistence/datetime.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbtable.h"

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace
{

// Single-byte columns hold what Latin-1 can; anything else becomes '?', as the old
// single-byte tables did with characters outside their code page.
QString toSingleByte(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return QString::fromLatin1(text.toLatin1());
    }
    return text;
}

// Texts written to or read from non-text columns: blank is "no value", anything else must
// be a number (with a decimal comma or point).
std::optional<double> textNumber(const QString &text, const QString &field)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    double value = 0;
    if (!textToFloat(text, value))
        throw EngineError(u"'%1' is not a valid number for field %2"_s.arg(text, field));
    return value;
}

std::optional<bool> textBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QChar c = t.at(0).toUpper();
    return c == u'T' || c == u'Y' || c == u'J' || c == u'1' || t == u"-1"_s;
}

double roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

TField::TField(TTdbTable *table, int index, const TFieldDef &def)
    : m_table(table), m_index(index), m_def(def)
{
}

const QVariant &TField::value() const
{
    return m_table->fieldValue(m_index);
}

void TField::assign(const QVariant &value)
{
    m_table->setFieldValue(m_index, normalised(value));
}

bool TField::IsNull() const
{
    return !value().isValid();
}

void TField::Clear()
{
    m_table->setFieldValue(m_index, QVariant());
}

QVariant TField::normalised(const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const bool isText = v.typeId() == QMetaType::QString;
    switch (m_def.type) {
    case FieldType::String:
    case FieldType::WideString: {
        QString text = v.toString();
        if (m_def.type == FieldType::String)
            text = toSingleByte(text);
        if (m_def.size > 0 && text.size() > m_def.size)
            text.truncate(m_def.size);
        return text;
    }
    case FieldType::Memo:
        return toSingleByte(v.toString());
    case FieldType::WideMemo:
        return v.toString();
    case FieldType::Integer:
    case FieldType::Byte: {
        double d = 0;
        if (isText) {
            const auto n = textNumber(v.toString(), m_def.name);
            if (!n)
                return QVariant();
            d = *n;
        } else if (v.typeId() == QMetaType::Bool) {
            d = v.toBool() ? 1 : 0;
        } else {
            d = v.toDouble();
        }
        const double r = std::round(d);
        const double lo = m_def.type == FieldType::Byte ? 0 : std::numeric_limits<qint32>::min();
        const double hi = m_def.type == FieldType::Byte ? 255 : std::numeric_limits<qint32>::max();
        if (!(r >= lo && r <= hi))
            throw EngineError(u"Value %1 out of range for field %2"_s.arg(d).arg(m_def.name));
        return int(r);
    }
    case FieldType::Float:
    case FieldType::DateTime: {
        double d = 0;
        if (isText) {
            const auto n = textNumber(v.toString(), m_def.name);
            if (!n)
                return QVariant();
            d = *n;
        } else if (v.typeId() == QMetaType::QDateTime) {
            d = DateTime::fromQDateTime(v.toDateTime());
        } else if (v.typeId() == QMetaType::QDate) {
            d = DateTime::fromQDate(v.toDate());
        } else {
            d = v.toDouble();
        }
        if (!std::isfinite(d))
            throw EngineError(u"Invalid number for field %1"_s.arg(m_def.name));
        if (m_def.type == FieldType::Float && m_def.precision > 0)
            d = roundTo(d, m_def.precision);
        return d;
    }
    case FieldType::Boolean:
        if (isText) {
            const auto b = textBool(v.toString());
            return b ? QVariant(*b) : QVariant();
        }
        return v.toBool();
    case FieldType::Blob:
        return v.typeId() == QMetaType::QString ? v.toString().toUtf8() : v.toByteArray();
    }
    return v;
}

QString TField::AsString() const
{
    const QVariant &v = value();
    if (!v.isValid())
        return QString();
    switch (m_def.type) {
    case FieldType::Float:
        return floatToText(v.toDouble());
    case FieldType::DateTime:
        return DateTime::toText(v.toDouble());
    case FieldType::Boolean:
        return v.toBool() ? u"True"_s : u"False"_s;
    case FieldType::Blob:
        return QString::fromUtf8(v.toByteArray());
    default:
        // Text columns always hold a QString; skip the variant's conversion machinery.
        return v.typeId() == QMetaType::QString ? *static_cast<const QString *>(v.constData())
                                                : v.toString();
    }
}

void TField::SetAsString(const QString &value)
{
    assign(value);
}

int TField::AsInteger() const
{
    const qint64 v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw EngineError(u"Value of field %1 is not a 32-bit integer"_s.arg(m_def.name));
    return int(v);
}

void TField::SetAsInteger(int value)
{
    assign(value);
}

qint64 TField::AsLargeInt() const
{
    const QVariant &v = value();
    if (!v.isValid())
        return 0;
    if (v.typeId() == QMetaType::QString)
        return qint64(std::llround(textNumber(v.toString(), m_def.name).value_or(0)));
    if (v.typeId() == QMetaType::Double)
        return qint64(std::llround(v.toDouble()));
    return v.toLongLong();
}

void TField::SetAsLargeInt(qint64 value)
{
    assign(value);
}

double TField::AsFloat() const
{
    const QVariant &v = value();
    if (!v.isValid())
        return 0;
    if (v.typeId() == QMetaType::QString)
        return textNumber(v.toString(), m_def.name).value_or(0);
    return v.toDouble();
}

void TField::SetAsFloat(double value)
{
    assign(value);
}

bool TField::AsBoolean() const
{
    const QVariant &v = value();
    if (!v.isValid())
        return false;
    if (v.typeId() == QMetaType::QString)
        return textBool(v.toString()).value_or(false);
    return v.toDouble() != 0;
}

void TField::SetAsBoolean(bool value)
{
    assign(value);
}

double TField::AsDateTime() const
{
    return AsFloat();
}

void TField::SetAsDateTime(double value)
{
    assign(value);
}

QDateTime TField::AsQDateTime() const
{
    return DateTime::toQDateTime(AsDateTime());
}

void TField::SetAsQDateTime(const QDateTime &value)
{
    assign(DateTime::fromQDateTime(value));
}

Money TField::AsCurrency() const
{
    return Money::fromDouble(AsFloat());
}

void TField::SetAsCurrency(Money value)
{
    assign(value.toDouble());
}

QByteArray TField::AsBytes() const
{
    const QVariant &v = value();
    if (v.typeId() == QMetaType::QString)
        return v.toString().toUtf8();
    return v.toByteArray();
}

void TField::SetAsBytes(const QByteArray &value)
{
    assign(value);
}

QVariant TField::AsVariant() const
{
    return value();
}

void TField::SetAsVariant(const QVariant &value)
{
    assign(value);
}
