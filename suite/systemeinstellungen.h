#pragma once

#include "base/inifile.h"
#include "persistence/money.h"

#include <QString>
#include <QStringList>
#include <array>

struct EnvironmentDirs;
class TIniFileSec;

struct TWaehrung {
    QString Name;
    QString ShortName;
    double FactorIn = 1.0;
    double FactorOut = 1.0;
    int HouseMultiplierIn = 1;
    int HouseMultiplierOut = 1;
};

struct TTextFormat {
    int WidthMM = 80;
    QString FontName = QStringLiteral("Arial");
    int FontSize = 8;
};

// The suite's settings for the running program: the installation tree, the logged-on
// client's data directories, currencies, VAT rates and text formats. One instance for the
// whole program, created by InitEnvironment and filled by Login.
//
// Directory fields end with a slash. Directory names the suite creates are upper-case; the
// part of the path above the installation root is kept as it is, since Linux file names are
// case-sensitive.
class TSystemEinstellungen
{
public:
    static TSystemEinstellungen &instance();
    // True once InitEnvironment has created the instance (reset() clears it again).
    static bool created();
    static void setCreated(bool created);
    void reset();

    void SetEnvironment(const EnvironmentDirs &dirs);
    // Reads the client's SYSDATA.INI. Throws std::runtime_error listing every missing
    // required directory key, one "Fehlerhafte Datei" line each.
    void ReadSysData(const TIniFileSec &ini);

    // Logs client and user on; shows its own messages (none for an empty client or user).
    static bool Login(const QString &client, const QString &user, bool askPassword = false,
                      const QString &password = {});

    double VATRate(int vatClass) const;
    static QStringList VATClassNames();
    void FillUnits(QStringList &list) const;
    QString FormatMoney(Money amount) const;
    // With currency: the short name follows; empty = the house currency.
    QString FormatMoney(Money amount, const QString &currencyShortName) const;
    QString FormsDirectory() const;
    bool CheckAdminPassword(const QString &password) const;

    // The suite's APPLICATION.INI, read once at start and kept for the program's life.
    IniFile &ApplicationIni() { return m_applicationIni; }

    // 1. installation tree
    QString RootDir, ProgramDir, EtcDir, TmpDir, LogDir, DataDir, UsrDir, AllUsersDir, HlpDir,
        RscDir;
    // 2. client
    QString ClientEtcDir, SystemTmpDir, ClientName, Language = QStringLiteral("de_DE");
    // 3. data directories of SYSDATA.INI and the ones derived from them
    QString A1Dir, JournaleDir, KleinrechnungenDir, AngeboteDir, WartungDir, LeistungsdateiDir,
        AuftraegeDir, BriefeDir, KommissionDir, BestellwesenDir, LagerDir, KatalogeDir;
    QString AdressenDir, RechnungenDir, RechnungsdatenDir, ImagesDir;
    // 4./5. currencies
    QString HouseCurrency = QStringLiteral("EURO");
    QString HouseCurrencyShort = QStringLiteral("EUR");
    std::array<TWaehrung, 3> Currencies{TWaehrung{QStringLiteral("EURO"), QStringLiteral("EUR")},
                                        TWaehrung{}, TWaehrung{}};
    // 6./7. VAT
    double VATReduced = 0, VATNormal = 0, VATSpecial = 0;
    bool VATMultiDisabled = false;
    int VATDefault = 1;
    // 8. standard text, label text, the third text kind
    std::array<TTextFormat, 3> TextFormats{TTextFormat{80}, TTextFormat{80}, TTextFormat{175}};
    // 9.
    bool FullCurrency = false;
    bool RoundCurrencyEnabled = false;
    bool SalePriceIsGross = false;
    // 10. TEMPLATES/VTNT/102 .. 109 in the client configuration directory
    std::array<QString, 8> TemplateDirs;
    // 11.
    QStringList Strings;
    // The client's tables on a database server (connection string without password), or
    // empty for the SQLite files of the data directories.
    QString DatabaseServer;

private:
    void readDatabaseBackend(const TIniFileSec &ini, QStringList &errors);

    IniFile m_applicationIni;
};
