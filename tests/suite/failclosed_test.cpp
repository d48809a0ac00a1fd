#include "base/messages.h"
#include "suite/benutzereinstellungen.h"
#include "suite/inifilesec.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/installation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// How a protected value is spoiled: by hand in the stored text, or written validly but with
// a content the suite's administration never writes.
enum class Spoil { Flip, Valid, Remove };

// With the protocol collected.
class FailClosed : public GeneratedInstallation
{
protected:
    void SetUp() override
    {
        GeneratedInstallation::SetUp();
        Messages::setProtocolEnabled(true);
    }
    void TearDown() override
    {
        Messages::setProtocolEnabled(false);
        GeneratedInstallation::TearDown();
    }

    QString sysdata() const { return root + u"DATA/DEMO/ETC/SYSDATA.INI"_s; }
    QString sysdatb() const { return root + u"ETC/SYSDATB.INI"_s; }

    void spoil(const QString &file, const QString &section, const QString &key, Spoil how,
               const QString &value = {})
    {
        if (how == Spoil::Valid) {
            TIniFileSecWriter w(file);
            w.writeString(section, key, value);
            ASSERT_TRUE(w.save());
            return;
        }
        IniFile raw(file);
        ASSERT_TRUE(raw.valueExists(section, key)) << key.toStdString();
        if (how == Spoil::Remove) {
            raw.deleteKey(section, key);
        } else {
            QString stored = raw.readString(section, key);
            stored[3] = stored[3] == u'A' ? u'B' : u'A';
            raw.writeString(section, key, stored);
        }
        ASSERT_TRUE(raw.save());
    }

    QStringList protocolTexts() const
    {
        QStringList texts;
        for (const TProtocolEventItem &item : Messages::protocol())
            texts.append(item.text);
        return texts;
    }
};

} // namespace

// A missing rights key locks nothing (the suite's default); a damaged one must lock everything
// and say so, or a user with locked rights would hold all of them.
TEST_F(FailClosed, DamagedRightsLockEveryRight)
{
    const struct {
        Spoil how;
        const char16_t *value;
        bool allLocked;
    } cases[] = {
        {Spoil::Flip, u"", true},         {Spoil::Valid, u"43;44", true},
        {Spoil::Valid, u"43, 4 4", true}, {Spoil::Valid, u" 43 , 44 ,", false},
        {Spoil::Remove, u"", false},
    };
    const QString warning = u"Die Berechtigungen des Benutzers \"LAGER\" in \""_s + sysdatb() +
                            u"\" sind beschaedigt: alle Rechte sind gesperrt."_s;
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.value).toStdString());
        spoil(sysdatb(), u"LAGER"_s, u"Berechtigungen"_s, c.how, QString::fromUtf16(c.value));
        Messages::setProtocolEnabled(true);
        ASSERT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"LAGER"_s));
        const TBenutzerEinstellungen &usr = TBenutzerEinstellungen::instance();
        EXPECT_EQ(usr.HasRight(u"41"_s), !c.allLocked);
        EXPECT_EQ(usr.HasRight(u"43"_s), c.how == Spoil::Remove);
        EXPECT_EQ(protocolTexts().contains(warning), c.allLocked)
            << protocolTexts().join(u'|').toStdString();
        // the next case starts from a valid value again
        spoil(sysdatb(), u"LAGER"_s, u"Berechtigungen"_s, Spoil::Valid, u"43"_s);
    }
}

// A required directory that cannot be read must not turn into "" and then the file system's
// root: the log-on ends with the fatal "STLU500" naming the file and the key.
TEST_F(FailClosed, DamagedOrEmptyRequiredDirectoryEndsTheLogOn)
{
    const struct {
        Spoil how;
        const char16_t *value;
    } cases[] = {{Spoil::Flip, u""}, {Spoil::Valid, u""}, {Spoil::Valid, u"  "}};
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.how));
        spoil(sysdata(), u"System"_s, u"Lager"_s, c.how, QString::fromUtf16(c.value));
        ui.messages.clear();
        EXPECT_FALSE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s));
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages[0].text.startsWith(u"STLU500\n"_s));
        EXPECT_TRUE(ui.messages[0].text.contains(u"Fehlerhafte Datei \""_s + sysdata() +
                                                 u"\": Eintrag \"Lager\" ist ungueltig"_s))
            << ui.messages[0].text.toStdString();
        spoil(sysdata(), u"System"_s, u"Lager"_s, Spoil::Valid, u"[DATADIR]DEMO/LAGER/"_s);
        EXPECT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s));
    }
}

// Damaged digests match no password at all, the empty one included (which is what a missing
// user digest stands for); a damaged client exclusion blocks the user.
TEST_F(FailClosed, DamagedPasswordsAndClientExclusionAdmitNobody)
{
    ASSERT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s));
    TSystemEinstellungen &sys = TSystemEinstellungen::instance();
    EXPECT_TRUE(sys.CheckAdminPassword(u"admin"_s));
    spoil(sysdatb(), u"System"_s, u"AdminPasswort"_s, Spoil::Flip);
    for (const QString &password : {u"admin"_s, QString()})
        EXPECT_FALSE(sys.CheckAdminPassword(password));
    spoil(sysdatb(), u"System"_s, u"AdminPasswort"_s, Spoil::Valid, u"kein Digest"_s);
    EXPECT_FALSE(sys.CheckAdminPassword(u"kein Digest"_s));

    spoil(sysdatb(), u"ADMIN"_s, u"Passwort"_s, Spoil::Valid, PasswordDigest(u"geheim"_s));
    spoil(sysdatb(), u"ADMIN"_s, u"Passwort"_s, Spoil::Flip);
    ui.inputs = {QString()};
    EXPECT_FALSE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s, true, QString()));
    EXPECT_FALSE(TSystemEinstellungen::Login(u"DEMO"_s, u"ADMIN"_s, true, u"geheim"_s));

    spoil(sysdatb(), u"LAGER"_s, u"Auswahl"_s, Spoil::Valid, u"ANDERE"_s);
    EXPECT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"LAGER"_s));
    spoil(sysdatb(), u"LAGER"_s, u"Auswahl"_s, Spoil::Flip);
    ui.messages.clear();
    EXPECT_FALSE(TSystemEinstellungen::Login(u"DEMO"_s, u"LAGER"_s));
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_TRUE(
        ui.messages.last().text.startsWith(u"Ihnen wurde der Zugriff zur Anwendung verweigert."_s));
}

// Every user carries the rights key, and only the owner may change users and rights.
TEST_F(FailClosed, GeneratedUsersCarryTheirRightsInAFileOnlyTheOwnerWrites)
{
    const IniFile raw(sysdatb());
    for (const QString &section : raw.sections()) {
        if (section != u"System") {
            EXPECT_TRUE(raw.valueExists(section, u"Berechtigungen"_s)) << section.toStdString();
        }
    }
    const int ownerGroupOther = 0x7077; // without the "user" bits, which depend on who asks
    EXPECT_EQ(
        int(QFile::permissions(sysdatb()).toInt()) & ownerGroupOther,
        int((QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup).toInt()));
}
