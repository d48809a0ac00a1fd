#include "suite/benutzereinstellungen.h"
#include "suite/inifilesec.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/installation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class LoginTest : public GeneratedInstallation
{
protected:
    LoginTest() { client = QStringLiteral("Demo"); }

    // Logs on and returns the one message shown, or an empty text when none was.
    QString failure(const QString &client, const QString &user)
    {
        ui.messages.clear();
        EXPECT_FALSE(TSystemEinstellungen::Login(client, user));
        if (ui.messages.isEmpty())
            return {};
        EXPECT_EQ(ui.messages.size(), 1);
        return ui.messages.first().text;
    }

    void writeSysDatB(const QString &section, const QString &key, const QString &value)
    {
        TIniFileSecWriter w(root + QStringLiteral("ETC/SYSDATB.INI"));
        w.writeString(section, key, value);
        ASSERT_TRUE(w.save());
    }
};

} // namespace

TEST_F(LoginTest, SucceedsAndFillsBothSettings)
{
    ASSERT_TRUE(TSystemEinstellungen::Login(QStringLiteral(" demo "), QStringLiteral("admin")));
    EXPECT_TRUE(ui.messages.isEmpty());
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    EXPECT_EQ(sys.ClientName, QStringLiteral("demo"));
    EXPECT_EQ(sys.ClientEtcDir, root + QStringLiteral("DATA/DEMO/ETC/"));
    // "[DATADIR]" continues directly after the root's DATA directory
    EXPECT_EQ(sys.LagerDir, root + QStringLiteral("DATA/DEMO/LAGER/"));
    EXPECT_EQ(sys.ImagesDir, root + QStringLiteral("DATA/DEMO/LAGER/IMAGES/"));
    EXPECT_EQ(sys.AdressenDir, root + QStringLiteral("DATA/DEMO/A1/ADRESSEN/"));
    EXPECT_EQ(sys.RechnungsdatenDir, root + QStringLiteral("DATA/DEMO/JOURNALE/RECHNUNGEN/DATA/"));
    EXPECT_EQ(sys.TemplateDirs[7], sys.ClientEtcDir + QStringLiteral("TEMPLATES/VTNT/109/"));
    EXPECT_EQ(sys.HouseCurrencyShort, QStringLiteral("EUR"));
    EXPECT_EQ(sys.TextFormats[2].WidthMM, 175);
    EXPECT_EQ(sys.FormsDirectory(), sys.ClientEtcDir + QStringLiteral("FORMS/de_DE/"));

    const TBenutzerEinstellungen &usr = TBenutzerEinstellungen::instance();
    EXPECT_EQ(usr.UserName, QStringLiteral("ADMIN"));
    EXPECT_EQ(usr.UserClientEtcDir, root + QStringLiteral("USR/ADMIN/ETC/DEMO/"));
    EXPECT_TRUE(usr.HasRight(QStringLiteral("43")));

    EXPECT_TRUE(sys.CheckAdminPassword(QStringLiteral("admin")));
    EXPECT_FALSE(sys.CheckAdminPassword(QStringLiteral("Admin")));
    EXPECT_FALSE(sys.CheckAdminPassword({}));

    // A locked right refuses only that right.
    ASSERT_TRUE(TSystemEinstellungen::Login(QStringLiteral("DEMO"), QStringLiteral("lager")));
    EXPECT_FALSE(usr.HasRight(QStringLiteral("43")));
    for (const char *right : {"41", "42", "44"})
        EXPECT_TRUE(usr.HasRight(QString::fromLatin1(right))) << right;
}

TEST_F(LoginTest, EveryFailureShowsItsMessage)
{
    EXPECT_TRUE(failure({}, QStringLiteral("ADMIN")).isEmpty());
    EXPECT_TRUE(failure(QStringLiteral("DEMO"), QStringLiteral("   ")).isEmpty());

    EXPECT_TRUE(failure(QStringLiteral("OTHER"), QStringLiteral("ADMIN"))
                    .startsWith(QStringLiteral("Verzeichnis \"") + root +
                                QStringLiteral("DATA/OTHER/ETC/\" nicht gefunden.")));

    EXPECT_TRUE(failure(QStringLiteral("DEMO"), QStringLiteral("NOBODY"))
                    .startsWith(QStringLiteral("Der Benutzer \"NOBODY\" wurde nicht in der "
                                               "Konfigurationsdatei \"") +
                                root + QStringLiteral("ETC/SYSDATB.INI\" gefunden.")));

    // a section without ZutrittsSperre blocks its user
    writeSysDatB(QStringLiteral("GAST"), QStringLiteral("Vollname"), QStringLiteral("Gast"));
    QDir().mkpath(root + QStringLiteral("USR/GAST"));
    EXPECT_TRUE(
        failure(QStringLiteral("DEMO"), QStringLiteral("gast"))
            .startsWith(QStringLiteral("Ihnen wurde der Zugriff zur Anwendung verweigert.")));

    writeSysDatB(QStringLiteral("LAGER"), QStringLiteral("Auswahl"), QStringLiteral("x, demo"));
    EXPECT_TRUE(
        failure(QStringLiteral("DEMO"), QStringLiteral("LAGER"))
            .startsWith(QStringLiteral("Ihnen wurde der Zugriff zur Anwendung verweigert.")));

    ASSERT_TRUE(QDir(root + QStringLiteral("USR/ADMIN")).removeRecursively());
    EXPECT_TRUE(failure(QStringLiteral("DEMO"), QStringLiteral("ADMIN"))
                    .startsWith(QStringLiteral("Das Benutzerverzeichnis \"") + root +
                                QStringLiteral("USR/ADMIN/\" wurde nicht gefunden.")));
}

TEST_F(LoginTest, MissingFilesAndKeys)
{
    const QString sysdata = root + QStringLiteral("DATA/DEMO/ETC/SYSDATA.INI");
    const QString saved = sysdata + QStringLiteral(".saved");
    ASSERT_TRUE(QFile::rename(sysdata, saved));
    EXPECT_TRUE(failure(QStringLiteral("DEMO"), QStringLiteral("ADMIN"))
                    .startsWith(QStringLiteral("Datei \"") + sysdata +
                                QStringLiteral("\" nicht gefunden.")));
    ASSERT_TRUE(QFile::rename(saved, sysdata));

    // a required directory key missing: the log-on fails with the fatal "STLU500"
    IniFile raw(sysdata);
    raw.deleteKey(QStringLiteral("System"), QStringLiteral("Kataloge"));
    ASSERT_TRUE(raw.save());
    const QString text = failure(QStringLiteral("DEMO"), QStringLiteral("ADMIN"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("STLU500")));
    EXPECT_TRUE(text.contains(QStringLiteral("Fehlerhafte Datei \"") + sysdata + u'"'));

    const QString sysdatb = root + QStringLiteral("ETC/SYSDATB.INI");
    ASSERT_TRUE(QFile::remove(sysdatb));
    EXPECT_TRUE(failure(QStringLiteral("DEMO"), QStringLiteral("ADMIN"))
                    .startsWith(QStringLiteral("Datei \"") + sysdatb +
                                QStringLiteral("\" nicht gefunden.")));
}

TEST_F(LoginTest, TamperedValueFallsBackToItsDefaultAskedPasswordIsChecked)
{
    const QString sysdata = root + QStringLiteral("DATA/DEMO/ETC/SYSDATA.INI");
    IniFile raw(sysdata);
    QString stored = raw.readString(QStringLiteral("System"), QStringLiteral("MwStNorm"));
    stored[5] = stored[5] == u'A' ? u'B' : u'A';
    raw.writeString(QStringLiteral("System"), QStringLiteral("MwStNorm"), stored);
    ASSERT_TRUE(raw.save());
    ASSERT_TRUE(TSystemEinstellungen::Login(QStringLiteral("DEMO"), QStringLiteral("ADMIN")));
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    EXPECT_EQ(sys.VATRate(1), 0.0);
    EXPECT_EQ(sys.VATRate(3), 7.0);

    // An asked password is checked once more.
    ui.messages.clear();
    writeSysDatB(QStringLiteral("ADMIN"), QStringLiteral("Passwort"),
                 PasswordDigest(QStringLiteral("geheim")));
    EXPECT_TRUE(TSystemEinstellungen::Login(QStringLiteral("DEMO"), QStringLiteral("ADMIN"), true,
                                            QStringLiteral("geheim")));
    EXPECT_FALSE(TSystemEinstellungen::Login(QStringLiteral("DEMO"), QStringLiteral("ADMIN"), true,
                                             QStringLiteral("falsch")));
    ui.inputs = {QStringLiteral("geheim")};
    EXPECT_TRUE(TSystemEinstellungen::Login(QStringLiteral("DEMO"), QStringLiteral("ADMIN"), true));
    ui.inputs = {QStringLiteral("falsch")};
    EXPECT_FALSE(
        TSystemEinstellungen::Login(QStringLiteral("DEMO"), QStringLiteral("ADMIN"), true));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(SystemSettings, VatClassesUnitsAndMoney)
{
    TSystemEinstellungen sys;
    sys.VATNormal = 19;
    sys.VATReduced = 7;
    sys.VATSpecial = 10.7;
    EXPECT_EQ(sys.VATRate(0), 0.0);
    EXPECT_EQ(sys.VATRate(1), 19.0);
    EXPECT_EQ(sys.VATRate(2), 10.7);
    EXPECT_EQ(sys.VATRate(3), 7.0);
    EXPECT_EQ(sys.VATRate(4), 0.0);
    EXPECT_EQ(TSystemEinstellungen::VATClassNames().value(2),
              QStringLiteral("gesonderter MwSt-Satz"));

    QTemporaryDir tmp;
    sys.EtcDir = tmp.path() + u'/';
    QStringList units;
    sys.FillUnits(units);
    ASSERT_EQ(units.size(), 19);
    EXPECT_EQ(units.first(), QStringLiteral("Stck (Stueck)"));
    EXPECT_EQ(units.last(), QStringLiteral("l (Liter)"));
    QFile f(tmp.filePath(QStringLiteral("UNITS.TXT")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Stk\nPaar\n");
    f.close();
    sys.FillUnits(units);
    EXPECT_EQ(units, QStringList({QStringLiteral("Stk"), QStringLiteral("Paar")}));

    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(1234567.125)), QStringLiteral("1.234.567,13"));
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(-0.5), {}), QStringLiteral("-0,50 EUR"));
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(999.994), QStringLiteral("CHF")),
              QStringLiteral("999,99 CHF"));
    sys.FullCurrency = true;
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(1234.5678)), QStringLiteral("1234,5678"));
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(-0.0001)), QStringLiteral("-0,0001"));
}
