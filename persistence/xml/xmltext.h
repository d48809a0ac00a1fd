#pragma once

#include <QString>
#include <QStringView>

// Escapes a text for XML attribute values and element content: the five entities, and CR and
// LF as character references so that multi-line texts survive inside attributes and on one
// line. Texts inside CDATA sections are written without it.
QString EncodeXMLText(QStringView text);
// Appends the escaped text to out, for writers that build one large buffer.
void AppendEncodedXMLText(QString &out, QStringView text);
// Appends ` name="value"` with the value encoded, tabs as "&#9;" besides.
void AppendXMLAttribute(QString &out, QStringView name, QStringView value);

// Small readers for embedded XML snippets where a parser would be overkill.
// The trimmed text between the first <tag> and the following </tag>; empty when missing.
QString XMLTagText(QStringView text, QStringView tag);
// Within the first <tag ... /> the value of attribute="..."; empty when tag or attribute
// is missing.
QString XMLTagAttribute(QStringView text, QStringView tag, QStringView attribute);
// The text between the first occurrence of opening and the first occurrence of closing;
// empty when either is missing or closing comes first.
QString TextBetween(QStringView text, QStringView opening, QStringView closing);
