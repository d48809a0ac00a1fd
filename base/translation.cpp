#include "base/translation.h"

#include <QByteArray>
#include <QFile>
#include <clocale>
#include <libintl.h>

namespace {
constexpr const char *kDomain = "mod00501";
QString g_language;
bool g_active = false;
} // namespace

QString tx(const char *msgid)
{
    if (!g_active)
        return QString::fromUtf8(msgid);
    return QString::fromUtf8(dgettext(kDomain, msgid));
}

QString txn(const char *singular, const char *plural, qint64 count)
{
    // gettext counts without a sign; a negative count takes the form of its amount
    const unsigned long n =
        count < 0 ? 0UL - static_cast<unsigned long>(count) : static_cast<unsigned long>(count);
    if (!g_active)
        return QString::fromUtf8(n == 1 ? singular : plural);
    return QString::fromUtf8(dngettext(kDomain, singular, plural, n));
}

void Translation::setup(const QString &localeDir, const QString &language)
{
    g_language = language;
    g_active = !(language.isEmpty() || language == QStringLiteral("C"));
    if (!g_active)
        return;
    bindtextdomain(kDomain, QFile::encodeName(localeDir).constData());
    bind_textdomain_codeset(kDomain, "UTF-8");
    // gettext picks the catalog from LANGUAGE first; that is the only switch that works for
    // any installed or uninstalled locale.
    qputenv("LANGUAGE", language.toUtf8());
    setlocale(LC_MESSAGES, "");
    textdomain(kDomain);
}

QString Translation::language() { return g_language; }
