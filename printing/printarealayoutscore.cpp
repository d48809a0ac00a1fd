#include "printing/printarealayoutscore.h"

#include "base/formatsettings.h"
#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"
#include "persistence/xml/dbxmlcorewriter.h"
#include "persistence/xml/dbxmlwidestringstream.h"
#include "printing/layoutsetmanager.h"
#include "printing/printxml.h"
#include "printing/rowtextformat.h"
#include "suite/systemeinstellungen.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;
using printxml::attr;

namespace
{
void reportMissingLayout(const QString &what)
{
    ReportMessage(MessageKind::Error,
                  formatText(tx("Druckbereichslayout \"%s\" nicht gefunden."), {what}));
}

QStringList names(const QString &list)
{
    QStringList result;
    for (const QString &n : list.split(u','))
        if (!n.trimmed().isEmpty())
            result << n.trimmed();
    return result;
}

struct Evaluated {
    std::vector<TRowArgument> Arguments;
    QString ContentType, ContentId;
    bool Stretch = true;
};

// Asks the area for each variable in order; stops at kind 8 as the layouts expect.
Evaluated evaluate(const TPrintAreaInstance &area, const TPrintAreaRowLayout &row,
                   const QString &variables, bool textsOnly, const QString &formsDir)
{
    Evaluated e;
    for (const QString &name : names(variables)) {
        TPrintValue v;
        const int kind = area.Values ? (area.Values(name, v) & 0x7F) : pvNone;
        if (textsOnly) {
            e.Arguments.emplace_back(kind == pvText ? v.Text : QString());
            continue;
        }
        switch (kind) {
        case pvText:
            e.Arguments.emplace_back(v.Text);
            break;
        case pvBoolean:
            if (row.BooleanAs == u"IMG") {
                e.ContentType = u"IMG"_s;
                e.ContentId = QDir(formsDir).filePath(v.Boolean ? row.BooleanYes : row.BooleanNo);
                e.Stretch = row.StretchImage;
                e.Arguments.emplace_back(QString());
            } else {
                e.Arguments.emplace_back(v.Boolean ? row.BooleanYes : row.BooleanNo);
            }
            break;
        case pvAmount:
            e.Arguments.emplace_back(TRowAmount{v.Amount});
            break;
        case pvInteger:
            e.Arguments.emplace_back(v.Integer);
            break;
        case pvTextWithPicture:
            e.Arguments.emplace_back(v.Text);
            if (!v.ImagePath.isEmpty()) {
                e.ContentType = u"IMG"_s;
                e.ContentId = v.ImagePath;
                e.Stretch = v.StretchImage || row.StretchImage;
            }
            break;
        case pvRichText:
            e.ContentType = u"RTF"_s;
            e.ContentId = v.RichTextParam;
            e.Arguments.emplace_back(v.RichText);
            break;
        case pvImage:
            if (!v.ImagePath.isEmpty()) {
                e.ContentType = u"IMG"_s;
                e.ContentId = v.ImagePath;
                e.Stretch = v.StretchImage || row.StretchImage;
            }
            return e;
        default:
            e.Arguments.emplace_back(QString());
        }
    }
    return e;
}

QString dateText(double when, const QString &format)
{
    return DateTime::toQDateTime(when).toString(format);
}
} // namespace

std::unique_ptr<TPrintAreaLayoutsCore>
TPrintAreaLayoutsCore::Create(const TLayoutsetManager &manager, const QString &formsDir,
                              const QString &target, const QString &layoutsetName)
{
    const TLayoutset *set = manager.Find(layoutsetName);
    if (!set)
        return nullptr;
    std::unique_ptr<TPrintAreaLayoutsCore> job(new TPrintAreaLayoutsCore);
    job->FormsDir = formsDir;

    const QDir dir(formsDir);
    TPrintAreaLayoutFile layouts;
    layouts.LoadFromFile(dir.filePath(target + u"PRINTAREATYPE.XML"_s));
    const QString overlayName = dir.filePath(target + u"UDPRINTAREATYPE.XML"_s);
    if (QFileInfo::exists(overlayName)) {
        // The firm's own layouts go first, so a lookup by name finds them before the suite's.
        TPrintAreaLayoutFile overlay;
        overlay.LoadFromFile(overlayName);
        layouts.HeaderLayouts.insert(layouts.HeaderLayouts.begin(), overlay.HeaderLayouts.begin(),
                                     overlay.HeaderLayouts.end());
        layouts.AreaLayouts.insert(layouts.AreaLayouts.begin(), overlay.AreaLayouts.begin(),
                                   overlay.AreaLayouts.end());
    }

    if (!set->HeaderLayout.isEmpty()) {
        auto h =
            std::find_if(layouts.HeaderLayouts.begin(), layouts.HeaderLayouts.end(),
                         [&](const TPrintColumnLayout &l) { return l.Name == set->HeaderLayout; });
        if (h != layouts.HeaderLayouts.end())
            job->HeaderLayout = *h;
        else
            reportMissingLayout(set->HeaderLayout);
    }
    auto instantiate = [&](const std::vector<TLayoutsetItem> &items,
                           std::vector<TPrintAreaInstance> &into) {
        for (const TLayoutsetItem &item : items) {
            auto l = std::find_if(layouts.AreaLayouts.begin(), layouts.AreaLayouts.end(),
                                  [&](const TPrintAreaLayout &a) { return a.Name == item.Name; });
            if (l == layouts.AreaLayouts.end()) {
                reportMissingLayout(item.Name + u" ("_s + item.Target + u')');
                continue;
            }
            const int instance = int(std::count_if(
                into.begin(), into.end(), [&](const auto &a) { return a.Target == item.Target; }));
            into.push_back({*l, item.Target, instance, {}});
        }
    };
    instantiate(set->Head, job->Head);
    instantiate(set->Main, job->Main);
    instantiate(set->Foot, job->Foot);
    if (!set->Formular.isEmpty())
        job->Form1 = job->Form2 = set->Formular;
    return job;
}

TPrintAreaLayoutsCore::~TPrintAreaLayoutsCore() = default;

TPrintAreaInstance *TPrintAreaLayoutsCore::FindArea(std::vector<TPrintAreaInstance> &areas,
                                                    const QString &target, int instance)
{
    for (TPrintAreaInstance &a : areas)
        if (a.Target == target && a.Instance == instance)
            return &a;
    return nullptr;
}

void TPrintAreaLayoutsCore::SetValueCallback(TPrintAreaInstance &area, TPrintValueCallback callback)
{
    area.Values = std::move(callback);
}

void TPrintAreaLayoutsCore::SetPageParameter(const QString &key, const QString &value)
{
    qsizetype end = value.size();
    while (end > 0 && value.at(end - 1) == u' ')
        --end;
    PageParameters.emplace_back(key, value.left(end));
}

bool TPrintAreaLayoutsCore::OpenDocument(const QString &fileName)
{
    m_writer.reset();
    m_writeFailed = false;
    try {
        m_writer = TDBXMLCoreWriter::CreateForFile(fileName);
    } catch (const EStreamError &) {
        m_writer.reset();
    }
    if (!m_writer) {
        ReportMessage(MessageKind::Error, tx("Druckdatei kann nicht geschrieben werden !"));
        return false;
    }
    m_documentFileName = fileName;
    Line(0, u"<printpreview>"_s);
    return true;
}

void TPrintAreaLayoutsCore::Line(int level, const QString &text)
{
    if (!m_writer || m_writeFailed)
        return;
    try {
        m_writer->WriteLine(QString(level * 2, u' ') + text);
    } catch (const EStreamError &) {
        // A full disk mid-run: one message, and the print program is not started on half a
        // document.
        m_writeFailed = true;
        ReportMessage(MessageKind::Error, tx("Druckdatei kann nicht geschrieben werden !"));
    }
}

void TPrintAreaLayoutsCore::WriteHead()
{
    Line(1, u"<docset"_s + attr("doctype", DocType) + attr("titel", Title) +
                attr("pdffd", PdfFileName) + attr("usedformfile", UsedFormFile) + u" />"_s);
    if (!PdfDirectory.isEmpty())
        Line(2, u"<pdffi"_s + attr("fd", PdfDirectory) + u" />"_s);
}

void TPrintAreaLayoutsCore::WritePageSet()
{
    Line(1, u"<pageset"_s + attr("form1", Form1) + attr("form2", Form2) + u" />"_s);
    if (!HeaderLayout)
        return;
    for (const TPrintColumnLayoutItem &c : HeaderLayout->Columns)
        Line(1, u"<headercol"_s + attr("w", c.Width) + attr("ml", c.MarginLeft) +
                    attr("mr", c.MarginRight) + attr("al", int(c.Align)) + attr("cap", c.Caption) +
                    attr("fs", c.CaptStyle.trimmed()) + attr("utc", c.Utc) + u" />"_s);
}

void TPrintAreaLayoutsCore::WritePageParameters()
{
    const FormatSettings &fs = FormatSettings::current();
    SetPageParameter(u"$Datum$"_s, dateText(PrintDateTime, fs.shortDateFormat));
    SetPageParameter(u"$Uhrzeit$"_s, dateText(PrintDateTime, fs.shortTimeFormat));
    Line(1, u"<pageparams>"_s);
    for (const auto &[key, value] : PageParameters)
        Line(2,
             u"<pageparam"_s + attr("key", key) + u'>' + EncodeXMLText(value) + u"</pageparam>"_s);
    Line(1, u"</pageparams>"_s);
}

void TPrintAreaLayoutsCore::WritePageNumber(const QString &number)
{
    Line(1, u"<pagenr"_s + attr("val", number) + u" />"_s);
}

void TPrintAreaLayoutsCore::SetPrintAreaHeader(bool enabled)
{
    PrintAreaHeader = enabled;
    Line(1, u"<printpaheader"_s + attr("enabled", enabled) + u" />"_s);
}

QString TPrintAreaLayoutsCore::RowElement(const TPrintAreaInstance &area,
                                          const TPrintAreaRowLayout &row, bool &skip) const
{
    skip = false;
    if (!row.PrintIfTarget.isEmpty() && TargetCounter) {
        long long sum = 0;
        for (const QString &t : names(row.PrintIfTarget))
            sum += TargetCounter(t);
        if (sum == 0) {
            skip = true;
            return {};
        }
    }
    const bool refused =
        row.RequestForPrint && Question && !Question(row.RequestFor, row.RequestStdResult);

    QString text, preparam;
    Evaluated values;
    if (!refused) {
        std::function<QString(double)> money = FormatMoney;
        if (!money)
            money = [](double v) {
                return TSystemEinstellungen::instance().FormatMoney(Money::fromDouble(v));
            };
        values = evaluate(area, row, row.Param, false, FormsDir);
        text = FormatRowText(row.Pattern, values.Arguments, money);
        if (!row.PreParam.isEmpty())
            preparam = FormatRowText(row.PreParamContent,
                                     evaluate(area, row, row.PreParam, true, FormsDir).Arguments);
    }

    QString s = u"<row"_s;
    if (row.Background != 0xFFFFFF)
        s += attr("bkcol", (long long)row.Background);
    if (row.OriginalRtf)
        s += attr("ortf", true);
    if (row.AsBarcode)
        s += attr("abc", true);
    if (row.BarcodeHeight != 100)
        s += attr("bch", row.BarcodeHeight);
    if (row.BarcodeType != 3)
        s += attr("bct", row.BarcodeType);
    if (row.BarcodeShowText != 0)
        s += attr("bcshowtxt", row.BarcodeShowText);
    if (row.ForceFreeLine)
        s += attr("ffl", true);
    if (row.ForceFreeLineHeight > 0)
        s += attr("fflh", row.ForceFreeLineHeight);
    if (row.ReplaceFont) {
        s += attr("rplf", true) + attr("f", row.Font) + attr("fc", (long long)row.FontColor) +
             attr("fst", row.FontStyle);
        if (row.FontSize != 0)
            s += attr("fs", row.FontSize);
    }
    if (row.WordWrap)
        s += attr("ww", true);
    if (row.Underline > 0)
        s += attr("ul", row.Underline);
    if (row.Align != TPrintAlign::Left)
        s += attr("al", int(row.Align));
    if (row.ReplaceTextParam)
        s += attr("replacetextparam", true);
    if (!values.ContentType.isEmpty()) {
        s += attr("rct", values.ContentType) + attr("rctid", values.ContentId);
        if (!values.Stretch)
            s += attr("simg", 0);
    }
    if (!preparam.isEmpty())
        s += attr("preparam", preparam);
    return s + u'>' + EncodeXMLText(text) + u"</row>"_s;
}

void TPrintAreaLayoutsCore::OutputArea(const TPrintAreaInstance &area, bool newPage)
{
    QString open = u"<parow"_s;
    if (area.Layout.MarginTop != 0)
        open += attr("mt", area.Layout.MarginTop);
    if (area.Layout.MarginBottom != 0)
        open += attr("mb", area.Layout.MarginBottom);
    if (newPage)
        open += attr("np", 1);
    Line(1, open + u'>');
    for (const TPrintAreaColumnLayout &c : area.Layout.Columns) {
        Line(2, u"<col"_s + attr("w", c.Width) + attr("ml", c.MarginLeft) +
                    attr("mr", c.MarginRight) + u'>');
        for (const TPrintAreaRowLayout &r : c.Rows) {
            bool skip = false;
            const QString element = RowElement(area, r, skip);
            if (!skip)
                Line(3, element);
        }
        Line(2, u"</col>"_s);
    }
    Line(1, u"</parow>"_s);
}

void TPrintAreaLayoutsCore::WriteSeparatorLine()
{
    Line(1, u"<line />"_s);
}

bool TPrintAreaLayoutsCore::CloseDocument()
{
    Line(0, u"</printpreview>"_s);
    const bool ok = m_writer && !m_writeFailed;
    m_writer.reset();
    return ok;
}

QString PrintProgramCommandLine(const QString &extraArgument, const QString &user,
                                const QString &document, int mode)
{
    QString quoted = document;
    quoted.replace(u"\""_s, u"\"\""_s);
    const QStringList args = PrintProgramArguments(extraArgument, user, document, mode);
    QString line = extraArgument + u' ' + user + u" \""_s + quoted + u"\" "_s + args.at(3);
    if (args.size() > 4)
        line += u' ' + args.at(4);
    return line;
}

QStringList PrintProgramArguments(const QString &extraArgument, const QString &user,
                                  const QString &document, int mode)
{
    QStringList args{extraArgument, user, document,
                     mode == 1   ? u"1"_s
                     : mode == 2 ? u"2"_s
                                 : u"0"_s};
    if (document.contains(u".CONTAINER\\"_s) || document.contains(u".CONTAINER/"_s))
        args << u"-CONTAINER"_s;
    return args;
}

bool TPrintAreaLayoutsCore::StartPrintProgram(const QString &programPath,
                                              const QString &extraArgument, int mode) const
{
    return ::StartPrintProgram(programPath, extraArgument, UserName, m_documentFileName, mode);
}

bool StartPrintProgram(const QString &programPath, const QString &extraArgument,
                       const QString &user, const QString &document, int mode)
{
    const QFileInfo program(programPath);
    if (!program.isFile()) {
        ReportMessage(MessageKind::Error,
                      formatText(tx("Kann die angegebene Datei nicht finden: %s"), {programPath}));
        return false;
    }
    QProcess process;
    process.setProgram(program.absoluteFilePath());
    process.setArguments(PrintProgramArguments(extraArgument, user, document, mode));
    process.setWorkingDirectory(program.absolutePath());
    if (!process.startDetached()) {
        ReportMessage(MessageKind::Error, process.errorString());
        return false;
    }
    return true;
}
