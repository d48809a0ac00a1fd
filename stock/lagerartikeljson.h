#pragma once

#include <QJsonObject>
#include <QStringList>

struct TLagerArtikelDaten;

// The article as one JSON object, for scripts and other programs: every scalar field under
// its member name (money and quantities as numbers, dates as the suite's day numbers), and
// the lists MindestBestand (the period texts as stored), KatRefs and Bilder ({"key", "val"}
// pairs) and Zusatzdaten ({"name", "type", "value"}, the value typed by kind). The serial
// numbers a goods receipt attaches are never stored and so not part of it.
// Beside each day number stands the same reading as ISO 8601 local time without an offset
// (CreatedIso, ChangedIso, "iso" of dated extra values), to the millisecond. Reading takes
// either; given both, they must agree and the number is kept exactly.
namespace LagerArtikelJson
{
QJsonObject ToJson(const TLagerArtikelDaten &article);
// Reads into a record in its cleared state: a key that is missing keeps its default, so a
// document replaces an article as a whole. Unknown keys and values of the wrong type are
// errors, all of them listed; the record is unusable then.
bool FromJson(const QJsonObject &object, TLagerArtikelDaten &article, QStringList &errors);
} // namespace LagerArtikelJson
