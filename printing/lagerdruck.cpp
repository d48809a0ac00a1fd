#include "printing/lagerdruck.h"

#include "base/formatsettings.h"
#include "base/inifile.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "printing/layoutsetmanager.h"
#include "printing/printarealayoutscore.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"

#include <QCoreApplication>
#include <QDir>

using namespace Qt::StringLiterals;

namespace
{
const QString kAreaTarget = u"$1009000"_s;
const QString kTarget = u"01"_s;
const QString kDialogName = u"MOD00501Form10"_s;

// Keeps the caller's article order for the stock list that shares the table.
class ArticleIndexScope
{
public:
    explicit ArticleIndexScope(IModLagerDBServerObj &db)
        : m_db(db), m_previous(db.ArticleIndexName())
    {
        m_db.SetArticleIndex(QString(IModLagerDBServerObj::kArticleIndex));
    }
    ~ArticleIndexScope()
    {
        if (!m_previous.isEmpty())
            m_db.SetArticleIndex(m_previous);
    }

private:
    IModLagerDBServerObj &m_db;
    QString m_previous;
};
// The article of the table's current row. Read in place rather than looked up by its number:
// a search per article would cost the sequential read its window of rows.
bool readCurrent(IModLagerDBServerObj &db, TLagerServerObj &article)
{
    article.LagerArtikelNr = db.LagerTable().FieldByName(u"LagerArtikelNr"_s).AsString();
    if (article.LagerArtikelNr.isEmpty())
        return false;
    try {
        db.ReadRow(article);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
} // namespace

TLagerDruckLetzteWahl TLagerDruckLetzteWahl::Read(const QString &iniFile)
{
    const IniFile ini(iniFile);
    return {ini.readString(kDialogName, u"edPrintForm1"_s),
            ini.readString(u"TLayoutMngFrame"_s + kDialogName, u"CurrentLayoutSetName"_s)};
}

bool TLagerDruckLetzteWahl::Write(const QString &iniFile) const
{
    IniFile ini(iniFile);
    ini.writeString(kDialogName, u"edPrintForm1"_s, Form);
    ini.writeString(u"TLayoutMngFrame"_s + kDialogName, u"CurrentLayoutSetName"_s, LayoutSet);
    return ini.save();
}

TLagerDruck::Environment TLagerDruck::FromSuite(IModLagerDBServerObj &db)
{
    const TSystemEinstellungen &s = TSystemEinstellungen::instance();
    const TBenutzerEinstellungen &u = TBenutzerEinstellungen::instance();
    Environment env;
    env.FormsDir = s.FormsDirectory();
    env.TmpDir = u.UserTmpDir;
    env.ProgramDir = s.ProgramDir;
    env.ClientName = s.ClientName;
    env.UserName = u.UserName;
    env.UserFullName = u.FullName;
    env.Telephone = u.Telephone;
    env.Fax = u.Fax;
    env.EMail = u.EMail;
    env.ContactText = u.ContactText;
    env.Values = TPrintHelperLager::FromSuite(db);
    return env;
}

TLagerDruck::TLagerDruck(IModLagerDBServerObj &db, Environment environment)
    : m_db(db), m_env(std::move(environment)), m_helper(m_env.Values)
{
    m_bewertung.CurrencyText = m_env.Values.currencyText;
}

int TLagerDruck::FirstPageNumber(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 1;
}

QString TLagerDruck::SpoolFileName(const QString &tmpDir, double when)
{
    QString stamp = floatToText(when);
    for (QChar &c : stamp)
        if (!c.isDigit() || c.unicode() > 127)
            c = u'X';
    return QDir(tmpDir).filePath(u"$"_s + stamp + u".$$$"_s);
}

QString TLagerDruck::Subject(const QString &group, const QString &place)
{
    QString subject;
    if (!group.isEmpty())
        subject = tx("Artikelgruppe") + u": "_s + group;
    if (!place.isEmpty()) {
        if (!subject.isEmpty())
            subject += u" - "_s;
        subject += tx("Lagerort") + u": "_s + place;
    }
    return subject;
}

QString TLagerDruck::WriteDocument(const TLagerDruckAuswahl &choice, const QString &fileName)
{
    TLayoutsetManager sets;
    sets.Load(m_env.FormsDir, kTarget, {});
    auto job = TPrintAreaLayoutsCore::Create(sets, m_env.FormsDir, kTarget, choice.LayoutSet);
    if (!job) {
        ReportMessage(MessageKind::Error,
                      formatText(tx("Drucklayout \"%s\" nicht gefunden."), {choice.LayoutSet}));
        return {};
    }
    const QTime now = m_env.Clock ? m_env.Clock() : QTime::currentTime();
    job->DocType = tx("Lager");
    job->Title = choice.LayoutSet;
    job->PdfFileName = job->DocType + u".PDF"_s;
    job->PrintDateTime = DateTime::fromQDateTime(QDateTime(choice.Date, now));
    job->UserName = m_env.UserName;
    job->UserFullName = m_env.UserFullName;
    job->Form1 = job->Form2 = choice.Form;
    job->FormatMoney = m_env.FormatMoney;
    job->SetPageParameter(u"$NameKurz$"_s, m_env.UserName);
    job->SetPageParameter(u"$NameLang$"_s, m_env.UserFullName);
    job->SetPageParameter(u"$NameTel$"_s, m_env.Telephone);
    job->SetPageParameter(u"$NameFax$"_s, m_env.Fax);
    job->SetPageParameter(u"$NameEmail$"_s, m_env.EMail);
    job->SetPageParameter(u"$NameText$"_s, m_env.ContactText);
    const QString subject = Subject(choice.Group, choice.Place);
    if (!subject.isEmpty())
        job->SetPageParameter(u"$Betreff$"_s, subject);

    TLagerServerObj article;
    TPrintAreaInstance *rows = TPrintAreaLayoutsCore::FindArea(job->Main, kAreaTarget);
    TPrintAreaInstance *totals = TPrintAreaLayoutsCore::FindArea(job->Foot, kAreaTarget);
    if (rows)
        rows->Values = [this, &article](const QString &name, TPrintValue &v) {
            return m_helper.ResolveRow(name, v, article);
        };
    if (totals)
        totals->Values = [this](const QString &name, TPrintValue &v) {
            return m_bewertung.Resolve(name, v);
        };

    const QString target =
        fileName.isEmpty()
            ? SpoolFileName(m_env.TmpDir,
                            DateTime::fromQDateTime(QDateTime(QDate::currentDate(), now)))
            : fileName;
    if (!job->OpenDocument(target))
        return {};
    job->WriteHead();
    job->WritePageSet();
    job->WritePageParameters();
    job->WritePageNumber(QString::number(FirstPageNumber(choice.FirstPage)));

    if (rows) {
        job->SetPrintAreaHeader(true);
        ArticleIndexScope order(m_db);
        TTdbTable &table = m_db.LagerTable();
        auto progress = interaction().progress(tx("Lager drucken"), table.RecordCount());
        for (table.First(); !table.Eof();) {
            progress->step();
            article.Clear();
            if (!readCurrent(m_db, article)) {
                ReportMessage(MessageKind::Error,
                              formatText(tx("Lagerartikel \"%s\" nicht gefunden."),
                                         {article.LagerArtikelNr}));
                table.Next();
                continue;
            }
            table.Next();
            if (!choice.Group.isEmpty() && choice.Group != article.Gruppe)
                continue;
            if (!choice.Place.isEmpty() && choice.Place != article.Lagerort)
                continue;
            if (choice.OnlyStock && (article.IsNotBestandsartikel || article.BuchungsBestand == 0))
                continue;
            m_bewertung.Add(article);
            job->OutputArea(*rows);
            job->WriteSeparatorLine();
            // The event loop polls its sources on every call; once per few dozen articles
            // keeps the window responsive at a fraction of the cost.
            if (++m_printed % 64 == 0)
                QCoreApplication::processEvents();
            if (progress->cancelled()) {
                m_cancelled = true;
                break;
            }
        }
        if (totals)
            job->OutputArea(*totals);
        article.Clear();
        job->SetPrintAreaHeader(false);
    }
    if (!job->CloseDocument())
        return {};
    return target;
}

bool TLagerDruck::Print(const TLagerDruckAuswahl &choice, int mode)
{
    const QString document = WriteDocument(choice);
    if (document.isEmpty())
        return false;
    return StartPrintProgram(QDir(m_env.ProgramDir).filePath(u"MOD00003"_s), m_env.ClientName,
                             m_env.UserName, document, mode);
}
