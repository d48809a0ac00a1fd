#include "base/translation.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <clocale>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
// The process environment of a machine whose locale was never generated, for one test.
class UngeneratedLocale
{
public:
    UngeneratedLocale()
    {
        for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"})
            m_saved.append({name, qgetenv(name)});
        qputenv("LC_ALL", "de_DE.NOT-GENERATED");
        qputenv("LANG", "de_DE.NOT-GENERATED");
        qunsetenv("LANGUAGE");
        // what a program finds when setlocale(LC_ALL, "") fails at start
        setlocale(LC_ALL, "C");
    }
    ~UngeneratedLocale()
    {
        for (const auto &[name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        setlocale(LC_ALL, "");
        Translation::setup(QString(), QString()); // the tests after compare msgids
    }

private:
    QList<std::pair<const char *, QByteArray>> m_saved;
};
} // namespace

TEST(Translation, LanguageComesFromTheSettingsNotFromTheSystemLocale)
{
    const QString catalogs = QStringLiteral(STOCK_LOCALE_DIR);
    ASSERT_TRUE(QFile::exists(catalogs + u"/de_DE/LC_MESSAGES/mod00501.mo"_s));
    UngeneratedLocale machine;
    ASSERT_EQ(setlocale(LC_MESSAGES, ""), nullptr) << "the test needs a locale that is missing";
    setlocale(LC_MESSAGES, "C");

    // C is untranslated on purpose; a language without a catalog shows the source texts;
    // switching back works.
    for (const auto &[language, loeschen] : {std::pair{"de_DE", "Löschen"},
                                             {"C", "Loeschen"},
                                             {"", "Loeschen"},
                                             {"xx_XX", "Loeschen"},
                                             {"de_DE", "Löschen"}}) {
        SCOPED_TRACE(language);
        Translation::setup(catalogs, QString::fromUtf8(language));
        EXPECT_EQ(tx("Loeschen"), QString::fromUtf8(loeschen));
    }
}
