#include "base/translation.h"
#include "base/untranslated.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QSet>
#include <QTranslator>
#include <clocale>
#include <cstring>
#include <libintl.h>
#include <memory>

namespace
{
constexpr const char *kDomain = "mod00501";
QString g_language;
bool g_active = false;
QStringList g_untranslated;
QSet<QByteArray> g_untranslatedSet;
std::unique_ptr<QTranslator> g_qtTranslator;

// gettext takes the catalog's language from LANGUAGE, but only while LC_MESSAGES names a
// locale other than "C"; and a locale like de_DE.UTF-8 can be set only where the system has
// generated it. C.UTF-8 exists on every current glibc and is not "C", so the suite's
// language wins no matter what the system offers. The user's own locale is the fallback.
void useMessagesLocale()
{
    for (const char *name : {"C.UTF-8", "C.utf8", "", "en_US.UTF-8"}) {
        const char *set = setlocale(LC_MESSAGES, name);
        if (set && std::strcmp(set, "C") != 0 && std::strcmp(set, "POSIX") != 0)
            return;
    }
}

// Qt's own buttons and dialogs (input boxes, colour and file dialogs) from the Qt
// translations of the system, e.g. qtbase_de.qm for "de_DE".
void loadQtTranslations(const QString &language)
{
    if (g_qtTranslator) {
        QCoreApplication::removeTranslator(g_qtTranslator.get());
        g_qtTranslator.reset();
    }
    if (!g_active || !QCoreApplication::instance())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    g_qtTranslator = std::move(translator);
}
} // namespace

QString tx(const char *msgid)
{
    if (!g_active)
        return QString::fromUtf8(msgid);
    const char *text = dgettext(kDomain, msgid);
    // gettext hands back the msgid itself when the catalog has no entry; an entry whose
    // rendering equals its msgid comes from the catalog's own memory.
    if (text == msgid && *msgid) {
        const QByteArray id(msgid);
        if (!g_untranslatedSet.contains(id)) {
            g_untranslatedSet.insert(id);
            g_untranslated.append(QString::fromUtf8(id));
        }
    }
    return QString::fromUtf8(text);
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
    g_untranslated.clear();
    g_untranslatedSet.clear();
    loadQtTranslations(language);
    if (!g_active)
        return;
    bindtextdomain(kDomain, QFile::encodeName(localeDir).constData());
    bind_textdomain_codeset(kDomain, "UTF-8");
    qputenv("LANGUAGE", language.toUtf8());
    useMessagesLocale();
    // also drops what gettext cached for an earlier language
    textdomain(kDomain);
}

QString Translation::language()
{
    return g_language;
}

QStringList Translation::untranslated()
{
    return g_untranslated;
}
