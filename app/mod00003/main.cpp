// The print program: renders a print document of a list print on the suite's forms.
//   MOD00003 CLIENT USER "DOCUMENT" MODE [-CONTAINER] [--pdf OUT.pdf]
// Mode 1 shows a preview (zoom, pages, "Drucken", "PDF speichern"), mode 2 prints straight to
// the default printer, --pdf writes a PDF without any window (scripts and tests; run it on
// Qt's offscreen platform). Exit codes: 0 done, 1 log-on or command line, 2 bad document,
// 3 output not written.
#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/qtinteraction.h"
#include "printing/printdocument.h"
#include "printing/printdocumentrenderer.h"
#include "printing/printforms.h"
#include "suite/environment.h"
#include "suite/systemeinstellungen.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{
struct CommandLine {
    QString client, user, document, pdf;
    int mode = 0;
};

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine c;
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == u"--pdf")
            c.pdf = arguments.value(++i);
        else if (!arg.startsWith(u'-'))
            positional << arg;
    }
    c.client = positional.value(0);
    c.user = positional.value(1);
    c.document = positional.value(2);
    // The suite quotes the document; a shell that passed the quotes on leaves them here.
    if (c.document.size() >= 2 && c.document.startsWith(u'"') && c.document.endsWith(u'"'))
        c.document = c.document.mid(1, c.document.size() - 2).replace(u"\"\""_s, u"\""_s);
    c.mode = positional.value(3).toInt();
    return c;
}

bool writePdf(const TPrintDocument &doc, const TPrintForms &forms, const QString &formsDir,
              const QString &file, QStringList &warnings)
{
    QPdfWriter writer(file);
    writer.setTitle(doc.Title);
    writer.setCreator(u"MOD00003"_s);
    writer.setResolution(600);
    TPrintDocumentRenderer renderer(doc, forms, formsDir);
    renderer.Render(writer);
    warnings = renderer.Warnings();
    return QFileInfo(file).size() > 0;
}

void showWarnings(const QStringList &warnings)
{
    for (const QString &w : warnings)
        ReportMessage(MessageKind::Warning, w);
}

int preview(const TPrintDocument &doc, const TPrintForms &forms, const QString &formsDir)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(doc.Title);
    QPrintPreviewDialog dialog(&printer);
    dialog.setWindowTitle(u"[0003 - 01] - "_s +
                          (doc.Title.isEmpty() ? tx("Druckvorschau") : doc.Title));
    QStringList warnings;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter *p) {
        TPrintDocumentRenderer renderer(doc, forms, formsDir);
        renderer.Render(*p);
        warnings = renderer.Warnings();
    });
    if (QToolBar *bar = dialog.findChild<QToolBar *>()) {
        QAction *save = bar->addAction(tx("PDF speichern"));
        QObject::connect(save, &QAction::triggered, &dialog, [&] {
            const QString suggested = doc.PdfFileName.isEmpty() ? u"Druck.pdf"_s : doc.PdfFileName;
            const QString file = QFileDialog::getSaveFileName(
                &dialog, tx("PDF speichern"), QDir(doc.PdfDirectory).filePath(suggested),
                u"PDF (*.pdf)"_s);
            QStringList ignored;
            if (!file.isEmpty() && !writePdf(doc, forms, formsDir, file, ignored))
                ReportMessage(MessageKind::Error,
                              tx("Die PDF-Datei kann nicht geschrieben werden."));
        });
    }
    dialog.resize(900, 1000);
    dialog.exec();
    showWarnings(warnings);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QtInteraction qtInteraction;
    setInteraction(&qtInteraction);
    Messages::setApplicationFileName(QCoreApplication::applicationFilePath());
    const CommandLine cmd = parseCommandLine(QCoreApplication::arguments());
    if (!cmd.pdf.isEmpty())
        Messages::setConsole(true, stderr); // no window may wait for a click in a script
    if (!InitEnvironment(QCoreApplication::applicationDirPath()))
        return 1;
    if (!TSystemEinstellungen::Login(cmd.client, cmd.user))
        return 1;
    const QString formsDir = TSystemEinstellungen::instance().FormsDirectory();

    TPrintDocument doc;
    if (!QFileInfo(cmd.document).isFile()) {
        ReportMessage(MessageKind::Error,
                      formatText(tx("Kann die angegebene Datei nicht finden: %s"), {cmd.document}));
        return 2;
    }
    doc.LoadFromFile(cmd.document);
    if (const QString problem = doc.Problem(); !problem.isEmpty()) {
        ReportMessage(MessageKind::Error, problem);
        return 2;
    }
    TPrintForms forms;
    forms.LoadFromFile(TPrintForms::FileNameIn(formsDir));

    if (!cmd.pdf.isEmpty()) {
        QStringList warnings;
        const bool ok = writePdf(doc, forms, formsDir, cmd.pdf, warnings);
        showWarnings(warnings);
        return ok ? 0 : 3;
    }
    if (cmd.mode == 2) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(doc.Title);
        TPrintDocumentRenderer renderer(doc, forms, formsDir);
        renderer.Render(printer);
        showWarnings(renderer.Warnings());
        return 0;
    }
    return preview(doc, forms, formsDir);
}
