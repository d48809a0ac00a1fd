#include "suite/systemeinstellungen.h"

#include "base/formatsettings.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/regularfile.h"
#include "base/translation.h"
#include "persistence/databasebackend.h"
#include "persistence/engine/tdbdatabase.h"
#include "suite/benutzereinstellungen.h"
#include "suite/environment.h"
#include "suite/inifilesec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <stdexcept>

namespace
{

bool g_created = false;

QString withSlash(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

const QString kSystem = QStringLiteral("System");

// Texts of the fixed lists, marked for the catalog and translated when used.
const char *const kVATClassNames[] = {
    txNoop("ohne MwSt."),
    txNoop("normaler MwSt-Satz"),
    txNoop("gesonderter MwSt-Satz"),
    txNoop("reduzierter MwSt-Satz"),
};

const char *const kDefaultUnits[] = {
    txNoop("Stck (Stueck)"),
    txNoop("Stg (Stange)"),
    txNoop("mm (Millimeter)"),
    txNoop("qmm (Quadratmillimeter)"),
    txNoop("cm (Zentimeter)"),
    txNoop("cm2 (Quadratzentimeter)"),
    txNoop("cm3 (Kubikzentimeter)"),
    txNoop("lfm (laufender Meter)"),
    txNoop("m (Meter)"),
    txNoop("m2 (Quadratmeter)"),
    txNoop("m3 (Kubikmeter)"),
    txNoop("psch (Pauschal)"),
    txNoop("ohne"),
    txNoop("Min (Minuten)"),
    txNoop("Std (Stunden)"),
    txNoop("g (Gramm)"),
    txNoop("kg (Kilogramm)"),
    txNoop("t (Tonne)"),
    txNoop("l (Liter)"),
};

void showError(const QString &text)
{
    ReportMessage(MessageKind::Error, text);
}

// Delphi's "%n": two decimals with thousands grouping.
QString groupedTwoDecimals(Money amount)
{
    const FormatSettings &fs = FormatSettings::current();
    // Round half away from zero to cents in fixed point, never through double.
    qint64 raw = amount.raw();
    const bool negative = raw < 0;
    quint64 cents = quint64(negative ? -raw : raw);
    cents = (cents + 50) / 100;
    QString whole = QString::number(cents / 100);
    for (int i = int(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(i, fs.thousandSeparator);
    QString text = whole + fs.decimalSeparator +
                   QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
    if (negative && cents != 0)
        text.prepend(u'-');
    return text;
}

QString fourDecimals(Money amount)
{
    const qint64 raw = amount.raw();
    const quint64 abs = quint64(raw < 0 ? -raw : raw);
    QString text = QString::number(abs / Money::kScale) +
                   FormatSettings::current().decimalSeparator +
                   QStringLiteral("%1").arg(abs % Money::kScale, 4, 10, QLatin1Char('0'));
    if (raw < 0)
        text.prepend(u'-');
    return text;
}

} // namespace

TSystemEinstellungen &TSystemEinstellungen::instance()
{
    static TSystemEinstellungen settings;
    return settings;
}

bool TSystemEinstellungen::created()
{
    return g_created;
}

void TSystemEinstellungen::setCreated(bool created)
{
    g_created = created;
}

void TSystemEinstellungen::reset()
{
    *this = TSystemEinstellungen();
    g_created = false;
}

void TSystemEinstellungen::SetEnvironment(const EnvironmentDirs &d)
{
    RootDir = d.root;
    ProgramDir = d.program;
    EtcDir = d.etc;
    TmpDir = d.tmp;
    LogDir = d.log;
    DataDir = d.data;
    UsrDir = d.usr;
    AllUsersDir = d.allUsers;
    HlpDir = d.hlp;
    RscDir = d.rsc;
    const QString systemTmp = QDir::tempPath();
    SystemTmpDir = QFileInfo(systemTmp).isDir() ? withSlash(systemTmp) : TmpDir;
    if (!m_applicationIni.load(EtcDir + QStringLiteral("APPLICATION.INI")) &&
        m_applicationIni.notRegular())
        ReportMessage(MessageKind::Warning, notRegularFileMessage(m_applicationIni.fileName()));
}

void TSystemEinstellungen::readDatabaseBackend(const TIniFileSec &ini, QStringList &errors)
{
    // Protected like the directories: a damaged value must neither send the client's tables
    // to another place nor quietly back to the files.
    const QString section = QStringLiteral("Datenbank");
    QString backend;
    QString connection;
    for (const auto &[key, value] : {std::pair{QStringLiteral("Backend"), &backend},
                                     std::pair{QStringLiteral("Verbindung"), &connection}}) {
        if (ini.Read(section, key, *value) == TIniFileSec::State::Damaged) {
            errors.append(formatText(tx("Fehlerhafte Datei \"%s\": Eintrag \"%s\" ist ungueltig"),
                                     {ini.FileName(), key}));
            return;
        }
    }
    const DatabaseBackend choice = parseDatabaseBackend(backend, connection);
    if (!choice.ok()) {
        errors.append(choice.error);
        return;
    }
    DatabaseServer = choice.kind == DatabaseBackend::PostgreSql ? choice.connection : QString();
    // A program logs on once; without a setting the tables stay in the files.
    if (!DatabaseServer.isEmpty())
        TTdbDatabase::UseServer(DatabaseServer, RootDir);
}

void TSystemEinstellungen::ReadSysData(const TIniFileSec &ini)
{
    QStringList errors;
    const QString fileName = ini.FileName();
    auto dir = [&](const char *key) {
        const QString k = QString::fromLatin1(key);
        QString value;
        switch (ini.Read(kSystem, k, value)) {
        case TIniFileSec::State::Missing:
            errors.append(formatText(tx("Fehlerhafte Datei \"%s\""), {fileName}));
            return QString();
        case TIniFileSec::State::Damaged:
            value.clear();
            break;
        case TIniFileSec::State::Valid:
            break;
        }
        // Without a directory every file name would land in the file system's root.
        if (value.trimmed().isEmpty()) {
            errors.append(formatText(tx("Fehlerhafte Datei \"%s\": Eintrag \"%s\" ist ungueltig"),
                                     {fileName, k}));
            return QString();
        }
        const qsizetype at = value.indexOf(QStringLiteral("[DATADIR]"));
        if (at >= 0)
            value.replace(at, 9, DataDir);
        return withSlash(QDir::fromNativeSeparators(value));
    };
    A1Dir = dir("A1");
    JournaleDir = dir("Journale");
    KleinrechnungenDir = dir("Kleinrechnungen");
    AngeboteDir = dir("Angebote");
    WartungDir = dir("Wartung");
    LeistungsdateiDir = dir("Leistungsdatei");
    AuftraegeDir = dir("Auftraege");
    BriefeDir = dir("Briefe");
    KommissionDir = dir("Kommission");
    BestellwesenDir = dir("Bestellwesen");
    LagerDir = dir("Lager");
    KatalogeDir = dir("Kataloge");
    AdressenDir = A1Dir + QStringLiteral("ADRESSEN/");
    RechnungenDir = JournaleDir + QStringLiteral("RECHNUNGEN/");
    RechnungsdatenDir = RechnungenDir + QStringLiteral("DATA/");
    ImagesDir = LagerDir + QStringLiteral("IMAGES/");

    auto text = [&](const char *key, const QString &def) {
        return ini.ReadString(kSystem, QString::fromLatin1(key), def);
    };
    HouseCurrency = text("Hauswaehrung", QStringLiteral("EURO"));
    HouseCurrencyShort = text("HKurz", QStringLiteral("EUR"));
    for (int i = 0; i < 3; ++i) {
        TWaehrung &w = Currencies[size_t(i)];
        const QString n = QString::number(i + 1);
        const QString defName = i == 0 ? QStringLiteral("EURO") : QString();
        const QString defShort = i == 0 ? QStringLiteral("EUR") : QString();
        w.Name = ini.ReadString(kSystem, QStringLiteral("Waehrung") + n, defName);
        w.ShortName = ini.ReadString(kSystem, u'W' + n + QStringLiteral("Kurz"), defShort);
        w.FactorIn =
            ini.ReadFloat(kSystem, QStringLiteral("WaehrFaktor") + n + QStringLiteral("In"), 1.0);
        w.FactorOut =
            ini.ReadFloat(kSystem, QStringLiteral("WaehrFaktor") + n + QStringLiteral("Out"), 1.0);
        w.HouseMultiplierIn =
            ini.ReadInteger(kSystem, QStringLiteral("HausX") + n + QStringLiteral("In"), 1);
        w.HouseMultiplierOut =
            ini.ReadInteger(kSystem, QStringLiteral("HausX") + n + QStringLiteral("Out"), 1);
    }
    Language = text("StdSprache", QStringLiteral("de_DE"));
    VATReduced = ini.ReadFloat(kSystem, QStringLiteral("MwStRed"), 0);
    VATNormal = ini.ReadFloat(kSystem, QStringLiteral("MwStNorm"), 0);
    VATSpecial = ini.ReadFloat(kSystem, QStringLiteral("MwStErh"), 0);
    VATMultiDisabled = ini.ReadBool(kSystem, QStringLiteral("MwStMultiDisabled"), false);
    VATDefault = ini.ReadInteger(kSystem, QStringLiteral("MwStDefault"), 1);
    FullCurrency = ini.ReadBool(kSystem, QStringLiteral("FullCurrency"), false);
    RoundCurrencyEnabled = ini.ReadBool(kSystem, QStringLiteral("RoundCurrencyEnabled"), false);
    SalePriceIsGross = ini.ReadBool(kSystem, QStringLiteral("ArtikelVKPreisIsBrutto"), false);

    const QString textSections[3] = {QStringLiteral("StdTxt"), QStringLiteral("EtTxt"),
                                     QStringLiteral("VTNTTxt")};
    const int widths[3] = {80, 80, 175};
    for (int i = 0; i < 3; ++i) {
        TTextFormat &f = TextFormats[size_t(i)];
        f.WidthMM = ini.ReadInteger(textSections[i], QStringLiteral("TextWidthMM"), widths[i]);
        f.FontName =
            ini.ReadString(textSections[i], QStringLiteral("StdFont"), QStringLiteral("Arial"));
        f.FontSize = ini.ReadInteger(textSections[i], QStringLiteral("StdFontSize"), 8);
    }
    const QString vtnt = ClientEtcDir + QStringLiteral("TEMPLATES/VTNT/");
    for (int i = 0; i < 8; ++i)
        TemplateDirs[size_t(i)] = vtnt + QString::number(102 + i) + u'/';

    readDatabaseBackend(ini, errors);
    if (!errors.isEmpty())
        throw std::runtime_error(errors.join(u'\n').toStdString());
}

bool TSystemEinstellungen::Login(const QString &client, const QString &user, bool askPassword,
                                 const QString &password)
{
    TSystemEinstellungen &sys = instance();
    TBenutzerEinstellungen &usr = TBenutzerEinstellungen::instance();
    const QString clientName = client.trimmed();
    const QString userName = user.trimmed().toUpper();
    if (clientName.isEmpty() || userName.isEmpty())
        return false;
    try {
        const QString clientDir = sys.DataDir + clientName.toUpper() + QStringLiteral("/ETC/");
        if (!QFileInfo(clientDir).isDir()) {
            showError(formatText(tx("Verzeichnis \"%s\" nicht gefunden."), {clientDir}));
            return false;
        }
        const QString sysData = clientDir + QStringLiteral("SYSDATA.INI");
        const QString sysDatB = sys.EtcDir + QStringLiteral("SYSDATB.INI");
        for (const QString &file : {sysData, sysDatB}) {
            if (!QFileInfo::exists(file)) {
                showError(formatText(tx("Datei \"%s\" nicht gefunden."), {file}));
                return false;
            }
            if (isOtherThanRegularFile(file)) {
                showError(notRegularFileMessage(file));
                return false;
            }
        }
        sys.ClientEtcDir = clientDir;
        sys.ClientName = clientName;
        sys.ReadSysData(TIniFileSec(sysData));

        const TIniFileSec users(sysDatB);
        if (!usr.Load(users, userName)) {
            showError(formatText(tx("Der Benutzer \"%s\" wurde nicht in der Konfigurationsdatei "
                                    "\"%s\" gefunden."),
                                 {userName, sysDatB}));
            return false;
        }
        usr.LogonTime = QDateTime::currentDateTime();
        usr.UserDir = sys.UsrDir + userName + u'/';
        usr.UserEtcDir = usr.UserDir + QStringLiteral("ETC/");
        usr.UserClientEtcDir = usr.UserEtcDir + clientName.toUpper() + u'/';
        usr.UserTmpDir = usr.UserDir + QStringLiteral("TMP/");
        usr.UserDocDir = usr.UserDir + QStringLiteral("DOC/");
        usr.UserMsgDir = usr.UserDir + QStringLiteral("MSG/");

        bool excluded = false;
        for (const QString &c : usr.ExcludedClients.split(u','))
            if (c.trimmed().compare(clientName, Qt::CaseInsensitive) == 0)
                excluded = true;
        if (usr.AccessBlocked || excluded) {
            showError(tx("Ihnen wurde der Zugriff zur Anwendung verweigert."));
            return false;
        }
        if (!QFileInfo(usr.UserDir).isDir()) {
            showError(formatText(tx("Das Benutzerverzeichnis \"%s\" wurde nicht gefunden."),
                                 {usr.UserDir}));
            return false;
        }
        if (askPassword) {
            auto matches = [&](const QString &p) { return PasswordMatches(p, usr.PasswordDigest); };
            if (!matches(password)) {
                QString entered;
                if (!password.isEmpty() ||
                    !interaction().inputBox(tx("Anmeldung"), tx("Kennwort:"), entered) ||
                    !matches(entered))
                    return false;
            }
        }
        return true;
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::FatalError, QStringLiteral("STLU500"), nullptr, &e);
        return false;
    }
}

double TSystemEinstellungen::VATRate(int vatClass) const
{
    switch (vatClass) {
    case 1:
        return VATNormal;
    case 2:
        return VATSpecial;
    case 3:
        return VATReduced;
    default:
        return 0;
    }
}

QStringList TSystemEinstellungen::VATClassNames()
{
    QStringList names;
    for (const char *name : kVATClassNames)
        names.append(tx(name));
    return names;
}

void TSystemEinstellungen::FillUnits(QStringList &list) const
{
    list.clear();
    const QString fileName = EtcDir + QStringLiteral("UNITS.TXT");
    QFile file;
    const RegularFile opened =
        EtcDir.isEmpty() ? RegularFile::Missing : openRegularFile(file, fileName);
    if (opened == RegularFile::NotRegular)
        ReportMessage(MessageKind::Warning, notRegularFileMessage(fileName));
    if (opened == RegularFile::Opened) {
        QTextStream in(&file);
        while (!in.atEnd())
            list.append(in.readLine());
        return;
    }
    for (const char *unit : kDefaultUnits)
        list.append(tx(unit));
}

QString TSystemEinstellungen::FormatMoney(Money amount) const
{
    return FullCurrency ? fourDecimals(amount) : groupedTwoDecimals(amount);
}

QString TSystemEinstellungen::FormatMoney(Money amount, const QString &currencyShortName) const
{
    return FormatMoney(amount) + u' ' +
           (currencyShortName.isEmpty() ? HouseCurrencyShort : currencyShortName);
}

QString TSystemEinstellungen::FormsDirectory() const
{
    return ClientEtcDir + QStringLiteral("FORMS/") + Language + u'/';
}

bool TSystemEinstellungen::CheckAdminPassword(const QString &password) const
{
    // The suite keeps the administrator's digest as a protected value beside the users.
    const QString fileName = EtcDir + QStringLiteral("SYSDATB.INI");
    if (isOtherThanRegularFile(fileName)) {
        ReportMessage(MessageKind::Warning, notRegularFileMessage(fileName));
        return false;
    }
    const TIniFileSec ini(fileName);
    QString stored;
    if (ini.Read(kSystem, QStringLiteral("AdminPasswort"), stored) == TIniFileSec::State::Damaged)
        ReportMessage(MessageKind::Warning,
                      formatText(tx("Das Administrator-Kennwort in \"%s\" ist beschaedigt: es "
                                    "wird kein Kennwort angenommen."),
                                 {fileName}));
    return PasswordMatches(password, stored);
}
