#include "app/lager/lagercommand.h"
#include "base/messages.h"
#include "base/translation.h"
#include "printing/etikettendrucker.h"
#include "printing/etiketthelperlager.h"
#include "printing/printetikettmanager.h"
#include "stock/inputchecks.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "suite/systemeinstellungen.h"

using namespace Qt::StringLiterals;

namespace
{
int invalid(const QString &text)
{
    ShowError(text);
    return LagerExit::Invalid;
}

// A whole number from..to, or -1.
int count(const QString &text, int from, int to)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= from && n <= to ? n : -1;
}
} // namespace

int Labels(LagerSession &session, const LagerArgs &args)
{
    const QString sheet = args.Option(u"--sheet"_s);
    const QString pdf = args.Option(u"--pdf"_s);
    if (sheet.isEmpty() || pdf.isEmpty() || args.positional.isEmpty()) {
        ShowError(tx("Etikettenformular, PDF-Datei und mindestens ein Artikel sind anzugeben."));
        return LagerExit::Usage;
    }
    if (args.options.contains(u"--skip"_s) && args.options.contains(u"--inactive"_s)) {
        ShowError(tx("--skip und --inactive schliessen einander aus."));
        return LagerExit::Usage;
    }

    TPrintEtikettManager labels;
    const QString file =
        TPrintEtikettManager::FileNameIn(TSystemEinstellungen::instance().FormsDirectory());
    labels.LoadFromFile(file);
    TPrintEtikettForm *form = labels.FindForm(sheet);
    if (!form) {
        ShowError(formatText(tx("Etikettenformular \"%s\" nicht gefunden."), {sheet}));
        return LagerExit::NotFound;
    }
    const int positions = int(form->Holders.size());
    if (args.options.contains(u"--skip"_s)) {
        const int skip = count(args.Option(u"--skip"_s), 0, positions);
        if (skip < 0)
            return invalid(
                formatText(tx("\"%s\" ist keine Anzahl von %s bis %s."),
                           {args.Option(u"--skip"_s), u"0"_s, QString::number(positions)}));
        for (int i = 0; i < skip; ++i)
            form->Holders[size_t(i)].Active = false;
    }
    if (args.options.contains(u"--inactive"_s)) {
        for (const QString &p : args.Option(u"--inactive"_s).split(u',')) {
            const int position = count(p, 1, positions);
            if (position < 0)
                return invalid(formatText(tx("\"%s\" ist keine Position von 1 bis %s."),
                                          {p, QString::number(positions)}));
            form->Holders[size_t(position - 1)].Active = false;
        }
    }
    int copies = 1;
    if (args.options.contains(u"--copies"_s)) {
        copies = count(args.Option(u"--copies"_s), 1, 999);
        if (copies < 0)
            return invalid(formatText(tx("\"%s\" ist keine Anzahl von %s bis %s."),
                                      {args.Option(u"--copies"_s), u"1"_s, u"999"_s}));
    }

    // Every entry gives one label, the same article as often as it is named.
    std::vector<TLagerArtikelDaten> articles;
    IModLagerDBServerObj &db = session.Db();
    for (const QString &nr : args.positional) {
        TLagerArtikelDaten article;
        if (!TEtikettHelperLager::ReadArticle(db, nr.trimmed(), article)) {
            ShowError(formatText(tx("Artikel \"%s\" nicht gefunden."), {InputChecks::Echo(nr)}));
            return LagerExit::NotFound;
        }
        articles.push_back(article);
    }

    const TEtikettHelperLager helper(TEtikettHelperLager::FromSuite());
    TEtikettendrucker printer;
    const TEtikettendrucker::Result result =
        printer.Print(labels, *form, int(articles.size()), helper.Callback(articles));
    if (result.nothingPrinted)
        return LagerExit::Invalid;
    QString error;
    if (!printer.WritePdf(pdf, copies, &error)) {
        ShowError(
            formatText(tx("Die Datei \"%s\" kann nicht geschrieben werden: %s"), {pdf, error}));
        return LagerExit::Failed;
    }
    WriteOut(formatText(tx("%s Etiketten auf %s Seiten geschrieben."),
                        {QString::number(result.labels * copies),
                         QString::number(printer.PageCount() * copies)}) +
             u'\n');
    return LagerExit::Done;
}
