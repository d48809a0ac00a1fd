#include "suite/benutzereinstellungen.h"
#include "suite/inifilesec.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/documents.h"
#include "tests/support/installation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

class LoginTest : public GeneratedInstallation
{
protected:
    LoginTest() { client = u"Demo"_s; }

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
        TIniFileSecWriter w(root + u"ETC/SYSDATB.INI"_s);
        w.writeString(section, key, value);
        ASSERT_TRUE(w.save());
    }
};

} // namespace

TEST_F(LoginTest, SucceedsAndFillsBothSettings)
{
    ASSERT_TRUE(TSystemEinstellungen::Login(u" demo "_s, u"admin"_s));
    EXPECT_TRUE(ui.messages.isEmpty());
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    EXPECT_EQ(sys.ClientName, u"demo"_s);
    EXPECT_EQ(sys.ClientEtcDir, root + u"DATA/DEMO/ETC/"_s);
    // "[DATADIR]" continues directly after the root's DATA directory
    EXPECT_EQ(sys.LagerDir, root + u"DATA/DEMO/LAGER/"_s);
    EXPECT_EQ(sys.ImagesDir, root + u"DATA/DEMO/LAGER/IMAGES/"_s);
    EXPECT_EQ(sys.AdressenDir, root + u"DATA/DEMO/A1/ADRESSEN/"_s);
    EXPECT_EQ(sys.RechnungsdatenDir, root + u"DATA/DEMO/JOURNALE/RECHNUNGEN/DATA/"_s);
    EXPECT_EQ(sys.TemplateDirs[7], sys.ClientEtcDir + u"TEMPLATES/VTNT/109/"_s);
    EXPECT_EQ(sys.HouseCurrencyShort, u"EUR"_s);
    EXPECT_EQ(sys.TextFormats[2].WidthMM, 175);
    EXPECT_EQ(sys.FormsDirectory(), sys.ClientEtcDir + u"FORMS/de_DE/"_s);

    const TBenutzerEinstellungen &usr = TBenutzerEinstellungen::instance();
    EXPECT_EQ(usr.UserName, u"ADMIN"_s);
    EXPECT_EQ(usr.UserClientEtcDir, root + u"USR/ADMIN/ETC/DEMO/"_s);
    EXPECT_TRUE(usr.HasRight(u"43"_s));

    EXPECT_TRUE(sys.CheckAdminPassword(u"admin"_s));
    EXPECT_FALSE(sys.CheckAdminPassword(u"Admin"_s));
    EXPECT_FALSE(sys.CheckAdminPassword({}));

    // A locked right refuses only that right.
    ASSERT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"lager"_s));
    EXPECT_FALSE(usr.HasRight(u"43"_s));
    for (const char *right : {"41", "42", "44"})
        EXPECT_TRUE(usr.HasRight(QString::fromLatin1(right))) << right;
}

TEST_F(LoginTest, EveryFailureShowsItsMessage)
{
    EXPECT_TRUE(failure({}, u"ADMIN"_s).isEmpty());
    EXPECT_TRUE(failure(u"DEMO"_s, u"   "_s).isEmpty());

    EXPECT_TRUE(
        failure(u"OTHER"_s, u"ADMIN"_s)
            .startsWith(u"Verzeichnis \""_s + root + u"DATA/OTHER/ETC/\" nicht gefunden."_s));

    EXPECT_TRUE(failure(u"DEMO"_s, u"NOBODY"_s)
                    .startsWith(u"Der Benutzer \"NOBODY\" wurde nicht in der "
                                u"Konfigurationsdatei \""_s +
                                root + u"ETC/SYSDATB.INI\" gefunden."_s));

    // a section without ZutrittsSperre blocks its user
    writeSysDatB(u"GAST"_s, u"Vollname"_s, u"Gast"_s);
    QDir().mkpath(root + u"USR/GAST"_s);
    EXPECT_TRUE(failure(u"DEMO"_s, u"gast"_s)
                    .startsWith(u"Ihnen wurde der Zugriff zur Anwendung verweigert."_s));

    writeSysDatB(u"LAGER"_s, u"Auswahl"_s, u"x, demo"_s);
    EXPECT_TRUE(failure(u"DEMO"_s, u"LAGER"_s)
                    .startsWith(u"Ihnen wurde der Zugriff zur Anwendung verweigert."_s));

    ASSERT_TRUE(QDir(root + u"USR/ADMIN"_s).removeRecursively());
    EXPECT_TRUE(failure(u"DEMO"_s, u"ADMIN"_s)
                    .startsWith(u"Das Benutzerverzeichnis \""_s + root +
                                u"USR/ADMIN/\" wurde nicht gefunden."_s));
}

TEST_F(LoginTest, MissingFilesAndKeys)
{
    const QString sysdata = root + u"DATA/DEMO/ETC/SYSDATA.INI"_s;
    const QString saved = sysdata + u".saved"_s;
    ASSERT_TRUE(QFile::rename(sysdata, saved));
    EXPECT_TRUE(failure(u"DEMO"_s, u"ADMIN"_s)
                    .startsWith(u"Datei \""_s + sysdata + u"\" nicht gefunden."_s));
    ASSERT_TRUE(QFile::rename(saved, sysdata));

    // a required directory key missing: the log-on fails with the fatal "STLU500"
    IniFile raw(sysdata);
    raw.deleteKey(u"System"_s, u"Kataloge"_s);
    ASSERT_TRUE(raw.save());
    const QString text = failure(u"DEMO"_s, u"ADMIN"_s);
    EXPECT_TRUE(text.startsWith(u"STLU500"_s));
    EXPECT_TRUE(text.contains(u"Fehlerhafte Datei \""_s + sysdata + u'"'));

    const QString sysdatb = root + u"ETC/SYSDATB.INI"_s;
    ASSERT_TRUE(QFile::remove(sysdatb));
    EXPECT_TRUE(failure(u"DEMO"_s, u"ADMIN"_s)
                    .startsWith(u"Datei \""_s + sysdatb + u"\" nicht gefunden."_s));
}

TEST_F(LoginTest, TamperedValueFallsBackToItsDefaultAskedPasswordIsChecked)
{
    const QString sysdata = root + u"DATA/DEMO/ETC/SYSDATA.INI"_s;
    IniFile raw(sysdata);
    QString stored = raw.readString(u"System"_s, u"MwStNorm"_s);
    stored[5] = stored[5] == u'A' ? u'B' : u'A';
    raw.writeString(u"System"_s, u"MwStNorm"_s, stored);
    ASSERT_TRUE(raw.save());
    ASSERT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s));
    const TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    EXPECT_EQ(sys.VATRate(1), 0.0);
    EXPECT_EQ(sys.VATRate(3), 7.0);

    // An asked password is checked once more.
    ui.messages.clear();
    writeSysDatB(u"ADMIN"_s, u"Passwort"_s, PasswordDigest(u"geheim"_s));
    EXPECT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s, true, u"geheim"_s));
    EXPECT_FALSE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s, true, u"falsch"_s));
    ui.inputs = {u"geheim"_s};
    EXPECT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s, true));
    ui.inputs = {u"falsch"_s};
    EXPECT_FALSE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s, true));
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
    EXPECT_EQ(TSystemEinstellungen::VATClassNames().value(2), u"gesonderter MwSt-Satz"_s);

    QTemporaryDir tmp;
    sys.EtcDir = tmp.path() + u'/';
    QStringList units;
    sys.FillUnits(units);
    ASSERT_EQ(units.size(), 19);
    EXPECT_EQ(units.first(), u"Stck (Stueck)"_s);
    EXPECT_EQ(units.last(), u"l (Liter)"_s);
    ASSERT_TRUE(TestDocuments::writeFile(tmp.filePath(u"UNITS.TXT"_s), "Stk\nPaar\n"));
    sys.FillUnits(units);
    EXPECT_EQ(units, QStringList({u"Stk"_s, u"Paar"_s}));

    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(1234567.125)), u"1.234.567,13"_s);
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(-0.5), {}), u"-0,50 EUR"_s);
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(999.994), u"CHF"_s), u"999,99 CHF"_s);
    sys.FullCurrency = true;
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(1234.5678)), u"1234,5678"_s);
    EXPECT_EQ(sys.FormatMoney(Money::fromDouble(-0.0001)), u"-0,0001"_s);
}
