#include "suite/benutzereinstellungen.h"

#include "base/messages.h"
#include "base/translation.h"
#include "suite/inifilesec.h"

#include <QCryptographicHash>
#include <QRegularExpression>

TBenutzerEinstellungen &TBenutzerEinstellungen::instance()
{
    static TBenutzerEinstellungen settings;
    return settings;
}

void TBenutzerEinstellungen::reset()
{
    *this = TBenutzerEinstellungen();
}

QString PasswordDigest(const QString &password)
{
    QByteArray bytes;
    for (QChar c : password) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper());
}

bool PasswordMatches(const QString &password, const QString &stored)
{
    static const QRegularExpression digest(QStringLiteral("^[0-9A-Fa-f]{32}$"));
    return digest.match(stored).hasMatch() &&
           stored.compare(PasswordDigest(password), Qt::CaseInsensitive) == 0;
}

namespace
{

// Right numbers are short words of letters and digits; anything else was not written by the
// suite's user administration.
bool parseRights(const QString &text, QStringList &rights)
{
    static const QRegularExpression right(QStringLiteral("^[0-9A-Za-z]+$"));
    rights.clear();
    for (const QString &part : text.split(u',')) {
        const QString r = part.trimmed();
        if (r.isEmpty())
            continue;
        if (!right.match(r).hasMatch())
            return false;
        rights.append(r);
    }
    return true;
}

void reportDamaged(const char *what, const QString &user, const QString &file)
{
    ReportMessage(MessageKind::Warning, formatText(tx(what), {user, file}));
}

} // namespace

bool TBenutzerEinstellungen::Load(const TIniFileSec &ini, const QString &user)
{
    if (!ini.SectionExists(user))
        return false;
    UserName = user;
    QString value;
    switch (ini.Read(user, QStringLiteral("Passwort"), value)) {
    case TIniFileSec::State::Missing:
        PasswordDigest = ::PasswordDigest({});
        break;
    case TIniFileSec::State::Valid:
        PasswordDigest = value;
        break;
    case TIniFileSec::State::Damaged:
        PasswordDigest.clear();
        reportDamaged(txNoop("Das Kennwort des Benutzers \"%s\" in \"%s\" ist beschaedigt: "
                             "es wird kein Kennwort angenommen."),
                      user, ini.FileName());
        break;
    }
    FullName = ini.ReadString(user, QStringLiteral("Vollname"), {});
    if (FullName.isEmpty())
        FullName = user;
    Telephone = ini.ReadString(user, QStringLiteral("KontaktTel"), {});
    Fax = ini.ReadString(user, QStringLiteral("KontaktFax"), {});
    EMail = ini.ReadString(user, QStringLiteral("KontaktEmail"), {});
    ContactText = ini.ReadString(user, QStringLiteral("KontaktTxt"), {});
    Commission = ini.ReadFloat(user, QStringLiteral("Provision"), 0);
    // A user without an explicit ZutrittsSperre entry stays locked out.
    AccessBlocked = ini.ReadBool(user, QStringLiteral("ZutrittsSperre"), true);
    if (ini.Read(user, QStringLiteral("Auswahl"), ExcludedClients) == TIniFileSec::State::Damaged) {
        AccessBlocked = true;
        reportDamaged(txNoop("Die Mandantenauswahl des Benutzers \"%s\" in \"%s\" ist "
                             "beschaedigt: der Zugriff ist gesperrt."),
                      user, ini.FileName());
    }
    const TIniFileSec::State rights = ini.Read(user, QStringLiteral("Berechtigungen"), value);
    AllRightsLocked = rights == TIniFileSec::State::Damaged || !parseRights(value, LockedRights);
    if (AllRightsLocked) {
        LockedRights.clear();
        reportDamaged(txNoop("Die Berechtigungen des Benutzers \"%s\" in \"%s\" sind "
                             "beschaedigt: alle Rechte sind gesperrt."),
                      user, ini.FileName());
    }
    return true;
}

bool TBenutzerEinstellungen::HasRight(const QString &right) const
{
    return !AllRightsLocked && !LockedRights.contains(right.trimmed(), Qt::CaseInsensitive);
}
