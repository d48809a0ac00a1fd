#pragma once

#include "base/inifile.h"

#include <QString>

// Settings that users must not change by hand (directories, rights, the admin password digest)
// are stored encrypted and signed: Base64 of RC4 (program key) over UTF-16LE text whose first
// 32 characters are the upper-case hex MD5 of UTF-16LE(section + key + value). A value that
// does not decode or whose digest does not match gives the caller's default. Where the default
// would grant something (rights, directories, passwords), the caller asks Read first and
// treats a damaged value as the closed case.
class TIniFileSec
{
public:
    enum class State { Missing, Valid, Damaged };

    explicit TIniFileSec(const QString &fileName);

    QString FileName() const { return m_ini.fileName(); }
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    double ReadFloat(const QString &section, const QString &key, double def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    // The value when Valid; empty otherwise.
    State Read(const QString &section, const QString &key, QString &value) const;

private:
    bool decoded(const QString &section, const QString &key, QString &value) const;

    IniFile m_ini;
};

// Encodes one value the way TIniFileSec expects it.
QString encodeProtectedValue(const QString &section, const QString &key, const QString &value);
// Decodes; false when the text is not a valid protected value for this section and key.
bool decodeProtectedValue(const QString &section, const QString &key, const QString &stored,
                          QString &value);

// Writes protected files; used by set-up tools and tests only.
class TIniFileSecWriter
{
public:
    explicit TIniFileSecWriter(const QString &fileName);

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value); // "1" / "0"
    void writePlain(const QString &section, const QString &key, const QString &value);
    bool save();

private:
    IniFile m_ini;
};
