#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "printing/lagerdruck.h"
#include "printing/layoutsetmanager.h"
#include "printing/printarealayoutscore.h"
#include "printing/printforms.h"
#include "suite/benutzereinstellungen.h"
#include "suite/systemeinstellungen.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{
// The print program renders headless; a stock list of 100,000 articles takes a while.
constexpr int kRenderTimeoutMs = 30 * 60 * 1000;

bool renderPdf(const QString &document, const QString &pdf)
{
    const TSystemEinstellungen &s = TSystemEinstellungen::instance();
    const QString program = QDir(s.ProgramDir).filePath(u"MOD00003"_s);
    if (!QFile::exists(program)) {
        ShowError(formatText(tx("Kann die angegebene Datei nicht finden: %s"), {program}));
        return false;
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, PrintProgramArguments(s.ClientName,
                                           TBenutzerEinstellungen::instance().UserName, document, 0)
                         << u"--pdf"_s << pdf);
    const bool finished = p.waitForFinished(kRenderTimeoutMs);
    const QString output = QString::fromUtf8(p.readAll()).trimmed();
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ShowError(output.isEmpty() ? p.errorString() : output);
        return false;
    }
    // Column-fit warnings: the PDF is written all the same, the script may want to know.
    if (!output.isEmpty())
        std::fputs((output + u'\n').toUtf8().constData(), stderr);
    return true;
}
} // namespace

int PrintStockList(LagerSession &session, const LagerArgs &args)
{
    const QString pdf = args.Option(u"--pdf"_s);
    const QString document = args.Option(u"--document"_s);
    if (pdf.isEmpty() == document.isEmpty()) {
        ShowError(tx("Genau eine von --pdf und --document ist anzugeben."));
        return LagerExit::Usage;
    }
    TLagerDruckAuswahl choice;
    choice.Group = args.Option(u"--group"_s);
    choice.Place = args.Option(u"--place"_s);
    choice.OnlyStock = args.flags.contains(u"--only-stock"_s);
    choice.FirstPage = args.Option(u"--first-page"_s);
    choice.Date = QDate::currentDate();
    if (args.options.contains(u"--date"_s)) {
        choice.Date = QDate::fromString(args.Option(u"--date"_s), Qt::ISODate);
        if (!choice.Date.isValid()) {
            ShowError(formatText(tx("\"%s\" ist kein Datum der Form JJJJ-MM-TT."),
                                 {args.Option(u"--date"_s)}));
            return LagerExit::Invalid;
        }
    }

    const QString formsDir = TSystemEinstellungen::instance().FormsDirectory();
    const QString ini =
        QDir(TBenutzerEinstellungen::instance().UserClientEtcDir).filePath(u"MOD00501.INI"_s);
    const TLagerDruckLetzteWahl last = TLagerDruckLetzteWahl::Read(ini);

    TPrintForms forms;
    forms.LoadFromFile(TPrintForms::FileNameIn(formsDir));
    const auto offered = SelectableForms(forms, TLagerDruck::FormGroups());
    choice.Form = args.Option(u"--form"_s, last.Form);
    if (choice.Form.isEmpty() && !offered.empty())
        choice.Form = offered.front().Name;
    const int form = PreselectedForm(offered, choice.Form);
    if (form < 0) {
        ShowError(choice.Form.isEmpty()
                      ? tx("Sie muessen ein Formular auswaehlen!")
                      : formatText(tx("Formular \"%s\" nicht gefunden."), {choice.Form}));
        return LagerExit::NotFound;
    }
    choice.Form = offered[size_t(form)].Name;

    TLayoutsetManager sets;
    sets.Load(formsDir, TLagerDruck::LayoutTarget(), TLagerDruck::LayoutSection());
    choice.LayoutSet = args.Option(u"--layout"_s, last.LayoutSet);
    if (choice.LayoutSet.isEmpty() && !sets.Sets.empty())
        choice.LayoutSet = sets.Sets.front().Name;
    if (!sets.Find(choice.LayoutSet)) {
        ShowError(choice.LayoutSet.isEmpty()
                      ? tx("Sie muessen ein Drucklayout auswaehlen!")
                      : formatText(tx("Drucklayout \"%s\" nicht gefunden."), {choice.LayoutSet}));
        return LagerExit::NotFound;
    }

    TLagerDruck run(session.Db(), TLagerDruck::FromSuite(session.Db()));
    const QString written = run.WriteDocument(choice, document);
    if (written.isEmpty())
        return LagerExit::Failed;
    if (!pdf.isEmpty()) {
        const bool rendered = renderPdf(written, pdf);
        QFile::remove(written);
        if (!rendered)
            return LagerExit::Failed;
    }
    const TLagerBewertung &b = run.Bewertung();
    WriteOut(formatText(tx("%s Artikel gedruckt, %s mit Bestand; Lagerwert %s, davon nicht "
                           "positiv %s."),
                        {QString::number(run.PrintedArticles()), QString::number(b.Count),
                         TSystemEinstellungen::instance().FormatMoney(b.PositiveValue +
                                                                      b.NonPositiveValue),
                         TSystemEinstellungen::instance().FormatMoney(b.NonPositiveValue)}) +
             u'\n');
    return LagerExit::Done;
}
