#include "suite/benutzereinstellungen.h"

#include "suite/inifilesec.h"

#include <QCryptographicHash>

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

bool TBenutzerEinstellungen::Load(const TIniFileSec &ini, const QString &user)
{
    if (!ini.SectionExists(user))
        return false;
    UserName = user;
    PasswordDigest = ini.ReadString(user, QStringLiteral("Passwort"), ::PasswordDigest({}));
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
    ExcludedClients = ini.ReadString(user, QStringLiteral("Auswahl"), {});
    LockedRights.clear();
    const QStringList rights =
        ini.ReadString(user, QStringLiteral("Berechtigungen"), {}).split(u',');
    for (const QString &r : rights)
        if (!r.trimmed().isEmpty())
            LockedRights.append(r.trimmed());
    return true;
}

bool TBenutzerEinstellungen::HasRight(const QString &right) const
{
    return !LockedRights.contains(right.trimmed(), Qt::CaseInsensitive);
}
