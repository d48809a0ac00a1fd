#pragma once

#include "persistence/xml/xmltext.h"

#include <QString>
#include <charconv>
#include <concepts>

// Attribute pieces shared by the print files this folder writes: values escaped, booleans as
// the suite writes them.
namespace printxml
{
inline QString flag(bool b)
{
    return b ? QStringLiteral("-1") : QStringLiteral("0");
}

// Appending forms for the per-row output, which would otherwise allocate a string per
// attribute.
inline void appendAttr(QString &out, const char *name, QStringView value)
{
    out += u' ';
    out += QLatin1StringView(name);
    out += u"=\"";
    AppendEncodedXMLText(out, value);
    out += u'"';
}

inline void appendAttr(QString &out, const char *name, long long value)
{
    // Digits and a sign never need escaping.
    out += u' ';
    out += QLatin1StringView(name);
    out += u"=\"";
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out += QLatin1StringView(digits, end - digits);
    out += u'"';
}

template <typename T>
requires std::same_as<T, bool>
void appendAttr(QString &out, const char *name, T value)
{
    appendAttr(out, name, flag(value));
}

inline QString attr(const char *name, const QString &value)
{
    return u' ' + QLatin1StringView(name) + QStringLiteral("=\"") + EncodeXMLText(value) + u'"';
}

inline QString attr(const char *name, long long value)
{
    return attr(name, QString::number(value));
}

// Only a real bool is written as a flag; numbers must not slip into it.
template <typename T>
requires std::same_as<T, bool> QString attr(const char *name, T value)
{
    return attr(name, flag(value));
}
} // namespace printxml
