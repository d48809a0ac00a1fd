#pragma once

#include <QString>

// Every user-visible text passes through tx(); the msgid is the German ASCII source text.
// xgettext collects the msgids with --keyword=tx --keyword=txNoop --keyword=txn:1,2.
QString tx(const char *msgid);

// A text about a count: the catalog's plural rule picks the form for the count ("1 Artikel
// wurde", "3 Artikel wurden"); untranslated, the singular stands for exactly one.
QString txn(const char *singular, const char *plural, qint64 count);

// Marks a msgid for extraction where the lookup happens later (tables of captions).
constexpr const char *txNoop(const char *msgid) { return msgid; }

namespace Translation {
// Binds the module's domain to the catalogs below localeDir and switches to the language
// ("de_DE", "en_US", ...). An empty language or "C" leaves the source texts untranslated.
void setup(const QString &localeDir, const QString &language);
QString language();
} // namespace Translation
