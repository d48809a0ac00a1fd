#include "printing/printdocument.h"

#include "base/messages.h"
#include "base/translation.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kMaxLength = 100000;

int length(const TXMLAttributes &a, const char *name, int def = 0)
{
    return std::clamp(a.Int(name, def), 0, kMaxLength);
}

TPrintAlign alignFromNumber(int n)
{
    return n >= 0 && n <= 3 ? TPrintAlign(n) : TPrintAlign::Left;
}
} // namespace

void TPrintDocument::Clear()
{
    DocType.clear();
    Title.clear();
    PdfFileName.clear();
    PdfDirectory.clear();
    UsedFormFile = 0;
    Form1.clear();
    Form2.clear();
    HeaderColumns.clear();
    PageParameters.clear();
    FirstPageNumber = 1;
    Items.clear();
    m_sawRoot = m_sawEnd = false;
    m_unknown.clear();
    m_depth = 0;
}

void TPrintDocument::StartElement(const QString &name, const TXMLAttributes &a)
{
    ++m_depth;
    CurrentElement = name;
    if (m_depth == 1) {
        if (name == u"printpreview")
            m_sawRoot = true;
        else if (m_unknown.isEmpty())
            m_unknown = name;
        return;
    }
    if (name == u"docset") {
        DocType = a.Value("doctype");
        Title = a.Value("titel");
        PdfFileName = a.Value("pdffd");
        UsedFormFile = a.Int("usedformfile", 0);
    } else if (name == u"pdffi") {
        PdfDirectory = a.Value("fd");
    } else if (name == u"pageset") {
        Form1 = a.Value("form1");
        Form2 = a.Value("form2");
    } else if (name == u"headercol") {
        TPrintColumnLayoutItem c;
        c.Width = length(a, "w");
        c.MarginLeft = length(a, "ml");
        c.MarginRight = length(a, "mr");
        c.Align = alignFromNumber(a.Int("al", 0));
        c.Caption = a.Value("cap");
        c.CaptStyle = a.Value("fs");
        c.Utc = a.Bool("utc", false);
        HeaderColumns.push_back(std::move(c));
    } else if (name == u"pageparams") {
    } else if (name == u"pageparam") {
        PageParameters.emplace_back(a.Value("key"), QString());
        ResetCharacters();
    } else if (name == u"pagenr") {
        FirstPageNumber = std::clamp(a.Int("val", 1), -1000000, 1000000);
    } else if (name == u"printpaheader") {
        Item i;
        i.kind = Item::Header;
        i.headerOn = a.Bool("enabled", false);
        Items.push_back(std::move(i));
    } else if (name == u"line") {
        Item i;
        i.kind = Item::Line;
        Items.push_back(std::move(i));
    } else if (name == u"parow") {
        Item i;
        i.marginTop = length(a, "mt");
        i.marginBottom = length(a, "mb");
        i.newPage = a.Int("np", 0) == 1;
        Items.push_back(std::move(i));
    } else if (name == u"col" && !Items.empty() && Items.back().kind == Item::Area) {
        Items.back().columns.push_back({length(a, "w"), length(a, "ml"), length(a, "mr"), {}});
    } else if (name == u"row" && !Items.empty() && !Items.back().columns.empty()) {
        Row r;
        TPrintAreaRowLayout &l = r.Layout;
        l.Background = unsigned(a.Int("bkcol", 0xFFFFFF)) & 0xFFFFFFu;
        l.OriginalRtf = a.Bool("ortf", false);
        l.AsBarcode = a.Bool("abc", false);
        l.BarcodeHeight = length(a, "bch", 100);
        l.BarcodeType = a.Int("bct", 3);
        l.BarcodeShowText = a.Int("bcshowtxt", 0);
        l.ForceFreeLine = a.Bool("ffl", false);
        l.ForceFreeLineHeight = length(a, "fflh");
        l.ReplaceFont = a.Bool("rplf", false);
        l.Font = a.Value("f");
        l.FontColor = unsigned(a.Int("fc", 0)) & 0xFFFFFFu;
        l.FontStyle = a.Int("fst", 0);
        l.FontSize = std::clamp(a.Int("fs", 0), 0, 200);
        l.WordWrap = a.Bool("ww", false);
        l.Underline = a.Int("ul", 0);
        l.Align = alignFromNumber(a.Int("al", 0));
        r.ContentType = a.Value("rct");
        r.ContentId = a.Value("rctid");
        r.StretchImage = !a.Has("simg");
        r.PreParam = a.Value("preparam");
        Items.back().columns.back().Rows.push_back(std::move(r));
        ResetCharacters();
    } else if (m_unknown.isEmpty()) {
        m_unknown = name;
    }
}

void TPrintDocument::Characters(QStringView text)
{
    if (CurrentElement == u"row" || CurrentElement == u"pageparam")
        AppendCharacters(text);
}

void TPrintDocument::EndElement(const QString &name)
{
    if (name == u"row" && !Items.empty() && !Items.back().columns.empty() &&
        !Items.back().columns.back().Rows.empty())
        Items.back().columns.back().Rows.back().Text = CharacterText();
    else if (name == u"pageparam" && !PageParameters.empty())
        PageParameters.back().second = CharacterText();
    else if (name == u"printpreview" && m_depth == 1)
        m_sawEnd = true;
    CurrentElement.clear();
    --m_depth;
}

QString TPrintDocument::Problem() const
{
    if (HasError())
        return formatText(tx("Die Druckdatei ist fehlerhaft: %s"), {ErrorText()});
    if (!m_sawRoot)
        return tx("Die Datei ist keine Druckdatei.");
    if (!m_unknown.isEmpty())
        return formatText(tx("Die Druckdatei enthaelt das unbekannte Element \"%s\"."),
                          {m_unknown});
    if (!m_sawEnd)
        return tx("Die Druckdatei ist unvollstaendig.");
    return {};
}
