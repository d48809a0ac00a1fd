#pragma once

#include "persistence/xml/xmltext.h"

#include <QString>
#include <concepts>

// Attribute pieces shared by the print files this folder writes: values escaped, booleans as
// the suite writes them.
namespace printxml
{
inline QString flag(bool b)
{
    return b ? QStringLiteral("-1") : QStringLiteral("0");
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
