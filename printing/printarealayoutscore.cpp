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
using printxml::appendAttr;
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
                   const QStringList &variables, bool textsOnly, const QString &formsDir)
{
    Evaluated e;
    e.Arguments.reserve(size_t(variables.size()));
    for (const QString &name : variables) {
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

TPrintAreaLayoutsCore::~TPrintAreaLayoutsCore()
{
    // A job dropped without closing still leaves what it wrote, as an unbuffered one would.
    Flush();
}

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
    m_pending.resize(0);
    m_pending.reserve(kFlushChars + 1024);
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

void TPrintAreaLayoutsCore::Line(int level, QStringView text)
{
    if (!m_writer || m_writeFailed)
        return;
    m_pending.resize(m_pending.size() + level * 2, u' ');
    m_pending.append(text);
    m_pending.append(u"\r\n");
    // A list print writes millions of short lines; handing each to the file costs more than
    // building it.
    if (m_pending.size() >= kFlushChars)
        Flush();
}

void TPrintAreaLayoutsCore::Flush()
{
    if (!m_writer || m_writeFailed || m_pending.isEmpty())
        return;
    try {
        m_writer->Write(m_pending);
    } catch (const EStreamError &) {
        // A full disk mid-run: one message, and the print program is not started on half a
        // document.
        m_writeFailed = true;
        ReportMessage(MessageKind::Error, tx("Druckdatei kann nicht geschrieben werden !"));
    }
    m_pending.resize(0); // keeps the buffer
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

bool TPrintAreaLayoutsCore::RowElement(QString &s, const TPrintAreaInstance &area,
                                       const TPrintAreaRowLayout &row) const
{
    if (!row.PrintIfTarget.isEmpty() && TargetCounter) {
        long long sum = 0;
        for (const QString &t : names(row.PrintIfTarget))
            sum += TargetCounter(t);
        if (sum == 0)
            return false;
    }
    const bool refused =
        row.RequestForPrint && Question && !Question(row.RequestFor, row.RequestStdResult);

    QString text, preparam;
    Evaluated values;
    if (!refused) {
        static const std::function<QString(double)> suiteMoney = [](double v) {
            return TSystemEinstellungen::instance().FormatMoney(Money::fromDouble(v));
        };
        values = evaluate(area, row, Names(row.Param), false, FormsDir);
        text = FormatRowText(row.Pattern, values.Arguments, FormatMoney ? FormatMoney : suiteMoney);
        if (!row.PreParam.isEmpty())
            preparam =
                FormatRowText(row.PreParamContent,
                              evaluate(area, row, Names(row.PreParam), true, FormsDir).Arguments);
    }

    s += u"<row";
    if (row.Background != 0xFFFFFF)
        appendAttr(s, "bkcol", (long long)row.Background);
    if (row.OriginalRtf)
        appendAttr(s, "ortf", true);
    if (row.AsBarcode)
        appendAttr(s, "abc", true);
    if (row.BarcodeHeight != 100)
        appendAttr(s, "bch", row.BarcodeHeight);
    if (row.BarcodeType != 3)
        appendAttr(s, "bct", row.BarcodeType);
    if (row.BarcodeShowText != 0)
        appendAttr(s, "bcshowtxt", row.BarcodeShowText);
    if (row.ForceFreeLine)
        appendAttr(s, "ffl", true);
    if (row.ForceFreeLineHeight > 0)
        appendAttr(s, "fflh", row.ForceFreeLineHeight);
    if (row.ReplaceFont) {
        appendAttr(s, "rplf", true);
        appendAttr(s, "f", row.Font);
        appendAttr(s, "fc", (long long)row.FontColor);
        appendAttr(s, "fst", row.FontStyle);
        if (row.FontSize != 0)
            appendAttr(s, "fs", row.FontSize);
    }
    if (row.WordWrap)
        appendAttr(s, "ww", true);
    if (row.Underline > 0)
        appendAttr(s, "ul", row.Underline);
    if (row.Align != TPrintAlign::Left)
        appendAttr(s, "al", int(row.Align));
    if (row.ReplaceTextParam)
        appendAttr(s, "replacetextparam", true);
    if (!values.ContentType.isEmpty()) {
        appendAttr(s, "rct", values.ContentType);
        appendAttr(s, "rctid", values.ContentId);
        if (!values.Stretch)
            appendAttr(s, "simg", 0);
    }
    if (!preparam.isEmpty())
        appendAttr(s, "preparam", preparam);
    s += u'>';
    AppendEncodedXMLText(s, text);
    s += u"</row>";
    return true;
}

const QStringList &TPrintAreaLayoutsCore::Names(const QString &list) const
{
    // The same few variable lists come back for every article.
    auto it = m_names.constFind(list);
    if (it == m_names.cend())
        it = m_names.insert(list, names(list));
    return *it;
}

void TPrintAreaLayoutsCore::OutputArea(const TPrintAreaInstance &area, bool newPage)
{
    // Emptied with resize(0), not clear() or assignment: the buffer's memory is reused.
    QString &s = m_line;
    s.resize(0);
    s += u"<parow";
    if (area.Layout.MarginTop != 0)
        appendAttr(s, "mt", area.Layout.MarginTop);
    if (area.Layout.MarginBottom != 0)
        appendAttr(s, "mb", area.Layout.MarginBottom);
    if (newPage)
        appendAttr(s, "np", 1);
    s += u'>';
    Line(1, s);
    for (const TPrintAreaColumnLayout &c : area.Layout.Columns) {
        s.resize(0);
        s += u"<col";
        appendAttr(s, "w", c.Width);
        appendAttr(s, "ml", c.MarginLeft);
        appendAttr(s, "mr", c.MarginRight);
        s += u'>';
        Line(2, s);
        for (const TPrintAreaRowLayout &r : c.Rows) {
            s.resize(0);
            if (RowElement(s, area, r))
                Line(3, s);
        }
        Line(2, u"</col>");
    }
    Line(1, u"</parow>");
}

void TPrintAreaLayoutsCore::WriteSeparatorLine()
{
    Line(1, u"<line />"_s);
}

bool TPrintAreaLayoutsCore::CloseDocument()
{
    Line(0, u"</printpreview>"_s);
    Flush();
    const bool ok = m_writer && !m_writeFailed;
    m_writer.reset();
    return ok;
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
