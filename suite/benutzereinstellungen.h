#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class TIniFileSec;

// The logged-on user: contact data, directories and the rights that are locked for them.
// One instance for the whole program.
class TBenutzerEinstellungen
{
public:
    static TBenutzerEinstellungen &instance();
    void reset();

    // Reads the user's section of SYSDATB.INI; false when the section is missing. Damaged
    // values that guard access close it and are reported as warnings: damaged rights lock
    // every right, a damaged password digest matches no password, a damaged client exclusion
    // blocks the user.
    bool Load(const TIniFileSec &ini, const QString &user);
    bool HasRight(const QString &right) const;

    QString UserName;
    QString PasswordDigest;
    QString FullName;
    QString Telephone;
    QString Fax;
    QString EMail;
    double Commission = 0;
    QString ContactText;
    QDateTime LogonTime;
    QString UserDir;
    QString UserEtcDir;
    QString UserClientEtcDir;
    QString UserTmpDir;
    QString UserDocDir;
    QString UserMsgDir;
    bool AccessBlocked = true;
    QString ExcludedClients;
    QStringList LockedRights;
    // The stored rights could not be read: every right counts as locked.
    bool AllRightsLocked = false;
};

// Upper-case hex MD5 of the UTF-16LE text; how passwords are kept.
QString PasswordDigest(const QString &password);
// True when stored is a well-formed digest (32 hex digits) of password; a damaged or empty
// stored digest matches nothing.
bool PasswordMatches(const QString &password, const QString &stored);
